// The LCD pop-out: a window of its own that shows only the LCD, as large as
// it fits at a whole-number zoom, so a projector or a screenshot gets sharp
// square pixels. It takes the instrument's keys like the main window.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <vector>

#include "firmware/core/types.h"

class QMenu;

// Zoom limits of the pop-out, in screen pixels per LCD pixel.
constexpr int LCD_WINDOW_MIN_ZOOM = 2;
constexpr int LCD_WINDOW_MAX_ZOOM = 12;

// The largest whole-number zoom at which the LCD fits into `size`, within the
// limits; below the smallest the window does not shrink.
int lcd_window_zoom(QSize size);

class LcdWindow : public QWidget {
public:
    // `forward_key` hands the instrument's keys to the main window; it
    // returns true when it took the key.
    LcdWindow(QWidget* parent, std::function<bool(QKeyEvent*)> forward_key);

    // The LCD's pixels (LCD_WIDTH * LCD_HEIGHT, nonzero = lit). Repaints only
    // when they differ from what is shown.
    void set_picture(const std::vector<u8>& lit);
    int zoom() const { return lcd_window_zoom(size()); }
    // Lit and unlit colours as 0xRRGGBB, as the pop-out draws them now.
    u32 lit_colour() const;
    u32 unlit_colour() const;

    // Faint lines between the pixels, and light green on dark for a
    // projector; both off at first.
    void set_grid(bool on);
    void set_lit_scheme(bool on);
    bool grid() const { return grid_; }
    bool lit_scheme() const { return lit_scheme_; }

    QMenu* menu() const { return menu_; }
    // How often the picture has been repainted: for the tests.
    int paints() const { return paints_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void apply_colours();
    QRect lcd_rect() const;  // where the LCD is drawn, centred

    QImage picture_;  // one byte per LCD pixel, two-entry colour table
    std::function<bool(QKeyEvent*)> forward_key_;
    QMenu* menu_;
    bool grid_ = false;
    bool lit_scheme_ = false;
    int paints_ = 0;
};
