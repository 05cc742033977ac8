#include "firmware/lcd/lcd.h"

static const LcdCanvas* attached_canvas;

void lcd_attach_canvas(const LcdCanvas* canvas) { attached_canvas = canvas; }

void lcd_show_pixel(s32 x, s32 y, u32 colour) {
    const LcdCanvas* c = attached_canvas;
    if (c == nullptr || c->pixels == nullptr) return;
    if (x < 0 || y < 0 || 2 * int64_t{x} + 1 >= c->width || 2 * int64_t{y} + 1 >= c->height) return;
    u32* top = c->pixels + static_cast<int64_t>(2 * y) * c->stride + 2 * x;
    u32* bottom = top + c->stride;
    top[0] = colour;
    top[1] = colour;
    bottom[0] = colour;
    bottom[1] = colour;
}

// Column by column, top to bottom, every pixel on every call: the picture has
// no memory of what it showed before.
void lcd_show() {
    const LcdCanvas* c = attached_canvas;
    if (c == nullptr) return;
    for (int x = 0; x < LCD_WIDTH; ++x) {
        for (int y = 0; y < LCD_HEIGHT; ++y) {
            const bool lit = (frame_buffer[(y / 8) * LCD_WIDTH + x] & BIT_MASKS[y % 8]) != 0;
            lcd_show_pixel(x, y, lit ? LCD_BLACK : c->inactive_border_colour());
        }
    }
}
