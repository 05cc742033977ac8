// The window's status bar: a message at the left, the permanent fields (the
// instrument's power state, the clock's state, a recording) at the right.
#pragma once

#include <QStatusBar>

class StatusBar : public QStatusBar {
public:
    explicit StatusBar(QWidget* parent);

    // The message as drawn: one too long for the room left of the fields is
    // shortened in the middle with an ellipsis, so it never runs into them;
    // its whole text is then the bar's tooltip.
    QString shown_message() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect message_rect() const;
};
