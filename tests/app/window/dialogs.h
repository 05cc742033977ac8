// The window's dialogs in tests: each is answered from inside its own event
// loop, as a user answers it, once it has become the active modal window.
#pragma once

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <functional>

// `answer` gets the next modal Dialog to open, fills it in and accepts or
// rejects it.
template <typename Dialog>
void answer_dialog(std::function<void(Dialog*)> answer) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        poll->stop();
        poll->deleteLater();
        answer(dialog);
    });
    poll->start(5);
}

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
