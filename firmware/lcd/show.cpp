#include <cstring>

#include "firmware/lcd/lcd.h"

static const LcdCanvas* attached_canvas;

// What the latest lcd_show painted, to tell a changed picture from the same
// one painted again.
static u8 shown_frame[FRAME_BUFFER_SIZE];
static u32 shown_unlit;
static const LcdCanvas* shown_canvas;
static u32 picture_serial;

void lcd_attach_canvas(const LcdCanvas* canvas) { attached_canvas = canvas; }

u32 lcd_picture_serial() { return picture_serial; }

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

// Every pixel on every call: the picture has no memory of what it showed
// before. The unlit colour is asked for once per picture (the desktop's
// colour does not change in the middle of one). A canvas with room for the
// whole LCD is written a row at a time: each LCD row becomes one row of
// 2-pixel blocks, copied to the row under it; a smaller one pixel by pixel,
// dropping the blocks that do not fit.
void lcd_show() {
    const LcdCanvas* c = attached_canvas;
    if (c == nullptr) return;
    const u32 unlit = c->inactive_border_colour();

    if (c != shown_canvas || unlit != shown_unlit ||
        std::memcmp(shown_frame, frame_buffer, FRAME_BUFFER_SIZE) != 0) {
        std::memcpy(shown_frame, frame_buffer, FRAME_BUFFER_SIZE);
        shown_unlit = unlit;
        shown_canvas = c;
        ++picture_serial;
    }

    if (c->pixels == nullptr) return;
    if (c->width < 2 * LCD_WIDTH || c->height < 2 * LCD_HEIGHT || c->stride < c->width) {
        for (int x = 0; x < LCD_WIDTH; ++x)
            for (int y = 0; y < LCD_HEIGHT; ++y)
                lcd_show_pixel(
                    x, y,
                    lcd_get_pixel(static_cast<u8>(x), static_cast<u8>(y)) ? LCD_BLACK : unlit);
        return;
    }
    const uint64_t black_pair = (uint64_t{LCD_BLACK} << 32) | LCD_BLACK;
    const uint64_t unlit_pair = (uint64_t{unlit} << 32) | unlit;
    for (int y = 0; y < LCD_HEIGHT; ++y) {
        const u8* page = frame_buffer + (y / 8) * LCD_WIDTH;
        const u8 mask = BIT_MASKS[y % 8];
        u32* top = c->pixels + static_cast<int64_t>(2 * y) * c->stride;
        for (int x = 0; x < LCD_WIDTH; ++x) {
            const uint64_t pair = (page[x] & mask) != 0 ? black_pair : unlit_pair;
            std::memcpy(top + 2 * x, &pair, sizeof pair);
        }
        std::memcpy(top + c->stride, top, 2 * LCD_WIDTH * sizeof(u32));
    }
}
