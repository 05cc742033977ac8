// The small controls the window needs that Qt has no ready-made widget for:
// a clickable transparent area over the bezel, the round lamp and the LCD
// picture.
#pragma once

#include <QColor>
#include <QImage>
#include <QSlider>
#include <QWidget>
#include <functional>

#include "firmware/lcd/lcd.h"

// A picture without an image that reacts to clicks: the key areas lie over the
// keys drawn on the bezel, so they paint nothing themselves.
class ClickArea : public QWidget {
public:
    ClickArea(QWidget* parent, std::function<void()> on_click);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::function<void()> on_click_;
    bool pressed_ = false;
};

// A sensor input's slider. A click moves it but does not take the keyboard:
// the arrow keys stay the instrument's keys. Tab gives it the keys, and then
// it is framed in the highlight colour for as long as it has them.
class SensorSlider : public QSlider {
public:
    explicit SensorSlider(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A circle with a one-pixel black outline, filled with the brush colour.
class CircleShape : public QWidget {
public:
    explicit CircleShape(QWidget* parent);
    void set_brush_colour(QColor colour);
    QColor brush_colour() const { return brush_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor brush_ = Qt::red;
};

// The LCD picture: an image in memory that lcd_show writes straight into.
// Until the instrument first draws, nothing is shown and the panel's colour
// shows through; from then on the whole image is, with the unpainted margin in
// the toolkit's fill colour for a new picture (white).
class LcdPicture : public QWidget {
public:
    LcdPicture(QWidget* parent, int width, int height, u32 (*unlit_colour)());
    const LcdCanvas* canvas();
    const QImage& image() const { return image_; }
    bool drawn() const { return drawn_; }
    // The 228 x 128 area that lcd_show paints, as the user sees it.
    QImage lcd_area() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
    LcdCanvas canvas_;
    bool drawn_ = false;
};
