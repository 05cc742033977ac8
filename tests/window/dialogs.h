// The window's menu entries in tests, with their dialogs answered from inside
// the dialogs' own event loops, as a user answers them.
#pragma once

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "app/window/value_dialog.h"
#include "tests/window/test_form.h"

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
// file `answer`, a number dialog with the text `answer` (either cancelled
// when `answer` is empty), a message box by closing it. The dialogs do not
// hold up the caller: the entry returns at once, and this waits until the
// last of them has closed. Returns the message box's text if one came, else
// the status bar's message ("?" for no entry); `boxes` counts the boxes.
inline QString use_entry(TestForm& form, QMenu* menu, const QString& text,
                         const QString& answer = QString(), int* boxes = nullptr) {
    QString message;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (dialog == nullptr) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            message = box->text();
            if (boxes != nullptr) ++*boxes;
        } else if (auto* file = qobject_cast<QFileDialog*>(modal)) {
            file->selectFile(answer);
        } else if (auto* value = dynamic_cast<ValueDialog*>(modal)) {
            value->findChild<QLineEdit*>()->setText(answer);
            // A number it refuses: the reason it gives stands for the answer.
            if (!answer.isEmpty() && !value->refusal().isEmpty()) {
                message = value->refusal();
                return dialog->reject();
            }
        }
        if (answer.isEmpty() && message.isEmpty()) return dialog->reject();
        dialog->accept();  // a file dialog's own, which checks the name
    });
    poll.start(5);
    form.StatusBar1->clearMessage();
    if (!trigger(menu, text)) return QStringLiteral("?");
    QElapsedTimer waited;
    waited.start();
    while (QApplication::activeModalWidget() != nullptr && waited.elapsed() < 10000)
        QTest::qWait(5);
    return message.isEmpty() ? form.StatusBar1->currentMessage() : message;
}
