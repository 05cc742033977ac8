#include "app/window/controls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionSlider>

#include "app/window/colours.h"

ClickArea::ClickArea(QWidget* parent, std::function<void()> on_click)
    : QWidget(parent), on_click_(std::move(on_click)) {
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(Qt::PointingHandCursor);
    // Clicking a key takes the keyboard from a slider, so the arrow keys work
    // the instrument again.
    setFocusPolicy(Qt::ClickFocus);
}

void ClickArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressed_ = true;
    QWidget::mousePressEvent(event);
}

// A click is a press and a release over the same area, as on a button.
void ClickArea::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) pressed_ = false;
    if (click) on_click_();
}

SensorSlider::SensorSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setFocusPolicy(Qt::TabFocus);
}

// The frame lies close around the groove and the handle: the first slider's
// control is taller than the room above the second one.
void SensorSlider::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (!hasFocus()) return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect used =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this) |
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRect(QRectF(used.adjusted(-2, -2, 2, 2) & rect()).adjusted(1, 1, -1, -1));
}

CircleShape::CircleShape(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CircleShape::set_brush_colour(QColor colour) {
    if (colour == brush_) return;
    brush_ = colour;
    update();
}

void CircleShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(brush_);
    painter.drawEllipse(QRectF(0.5, 0.5, width() - 1, height() - 1));
}

LcdPicture::LcdPicture(QWidget* parent, int width, int height, u32 (*unlit_colour)())
    : QWidget(parent), image_(width, height, QImage::Format_RGB32) {
    image_.fill(Qt::white);
    canvas_ = LcdCanvas{reinterpret_cast<u32*>(image_.bits()),
                        static_cast<int>(image_.bytesPerLine() / 4), width, height, unlit_colour};
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

const LcdCanvas* LcdPicture::canvas() {
    drawn_ = true;
    return &canvas_;
}

QImage LcdPicture::lcd_area() const {
    const QRect area(0, 0, 2 * LCD_WIDTH, 2 * LCD_HEIGHT);
    if (drawn_) return image_.copy(area);
    QImage blank(area.size(), QImage::Format_RGB32);
    blank.fill(QColor::fromRgb(scroll_bar_colour()));
    return blank;
}

void LcdPicture::paintEvent(QPaintEvent*) {
    if (!drawn_) return;
    QPainter painter(this);
    // Scaled for a high-density screen, the LCD's pixels stay square blocks:
    // no smoothing.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), image_);
}
