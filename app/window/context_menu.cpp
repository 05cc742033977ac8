// The context menu on the bezel and the LCD. Each group of entries is added by
// the part of the window that owns it; the groups are separated by lines.
#include <QContextMenuEvent>
#include <QMenu>

#include "app/window/bezel.h"
#include "app/window/form1.h"

void TForm1::build_context_menu() {
    ContextMenu = new QMenu(this);
    add_settings_actions();
    add_sensor_log_entries();
    build_time_menu();
    add_picture_entries();
    add_help_entries();
}

// Only the bezel (with the LCD on it) offers the menu; the controls beside it
// keep their own behaviour.
void TForm1::contextMenuEvent(QContextMenuEvent* event) {
    if (!QRect(0, 0, BEZEL_SIZE, BEZEL_SIZE).contains(event->pos()) ||
        ContextMenu->actions().isEmpty()) {
        event->ignore();
        return;
    }
    ContextMenu->popup(event->globalPos());
    event->accept();
}
