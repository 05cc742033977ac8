// The window's menu entries in tests, with their dialogs answered from inside
// the dialogs' own event loops, as a user answers them.
#pragma once

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>

#include "app/window/form1.h"

// Triggers the entry of `menu` (or of one of its submenus) named `text`;
// false if there is none.
inline bool trigger(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr && trigger(action->menu(), text)) return true;
        if (action->text() != text) continue;
        action->trigger();
        return true;
    }
    return false;
}

// Triggers the entry and answers each dialog it opens: a file dialog with the
// file `answer`, a number dialog with the number `answer` (either cancelled
// when `answer` is empty), a message box by closing it. Returns the message
// box's text if one came, else the status bar's message ("?" for no entry).
inline QString use_entry(TForm1& form, QMenu* menu, const QString& text,
                         const QString& answer = QString()) {
    QString message;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (auto* box = qobject_cast<QMessageBox*>(modal)) message = box->text();
        if (auto* file = qobject_cast<QFileDialog*>(modal)) file->selectFile(answer);
        if (auto* number = qobject_cast<QInputDialog*>(modal))
            number->setDoubleValue(answer.toDouble());
        if (dialog == nullptr) return;
        if (answer.isEmpty() && message.isEmpty()) return dialog->reject();
        dialog->accept();  // a file dialog's own, which checks the name
    });
    poll.start(5);
    form.StatusBar1->clearMessage();
    if (!trigger(menu, text)) return QStringLiteral("?");
    return message.isEmpty() ? form.StatusBar1->currentMessage() : message;
}
