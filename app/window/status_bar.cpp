#include "app/window/status_bar.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyleOption>
#include <algorithm>

namespace {

// Room kept clear between the end of a message and the first field.
constexpr int FIELD_GAP = 10;
// Where QStatusBar starts its message.
constexpr int MESSAGE_LEFT = 6;

}  // namespace

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent) {
    connect(this, &QStatusBar::messageChanged, this, [this](const QString& message) {
        setToolTip(shown_message() == message ? QString() : message);
    });
}

QRect StatusBar::message_rect() const {
    int right = width() - MESSAGE_LEFT;
    for (QWidget* field : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (field->isVisible()) right = std::min(right, field->x() - FIELD_GAP);
    return QRect(MESSAGE_LEFT, 0, std::max(0, right - MESSAGE_LEFT), height());
}

QString StatusBar::shown_message() const {
    return fontMetrics().elidedText(currentMessage(), Qt::ElideMiddle, message_rect().width());
}

// As QStatusBar paints itself (the panel, a frame around each field, the
// message), with the message fitted into its room.
void StatusBar::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    QStyleOption panel;
    panel.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &panel, &painter, this);
    for (QWidget* field : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!field->isVisible()) continue;
        QStyleOption frame;
        frame.rect = field->geometry().adjusted(-2, -1, 2, 1);
        if (!event->rect().intersects(frame.rect)) continue;
        frame.palette = palette();
        frame.state = QStyle::State_None;
        style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &frame, &painter, field);
    }
    if (currentMessage().isEmpty()) return;
    painter.setPen(palette().windowText().color());
    painter.drawText(message_rect(), Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine,
                     shown_message());
}
