// The LCD frame buffer and its drawing primitives.
//
// Frame buffer layout, as in the display controller's memory: 114 columns x
// 64 rows, 8 pages of 8 rows. Byte (y / 8) * 114 + x holds column x of page
// y / 8; bit (y % 8) of it is row y, bit 0 on top. A 1 bit is a lit pixel.
//
// Coordinates are unsigned bytes and all arithmetic on them wraps modulo
// 256. Pixels at x >= 114 or y >= 64 are dropped, so a small negative
// coordinate (256 - n) falls off the screen instead of wrapping onto the
// opposite edge.
#pragma once

#include "firmware/core/types.h"

constexpr u8 LCD_WIDTH = 114;
constexpr u8 LCD_HEIGHT = 64;
constexpr int FRAME_BUFFER_SIZE = 912;

enum class DrawMode : u8 { Clear = 0, Set = 1, Invert = 2 };

extern u8 frame_buffer[FRAME_BUFFER_SIZE];

// Single-bit masks by row within a page; the fonts use the same table.
constexpr u8 BIT_MASKS[8] = {1, 2, 4, 8, 16, 32, 64, 128};

void lcd_clear();

// The one pixel setter every text and line goes through, so it is inline: a
// screen sets a few thousand pixels a pass.
inline void lcd_apply(u8& byte, u8 mask, DrawMode mode) {
    switch (mode) {
        case DrawMode::Clear: byte = static_cast<u8>(byte & ~mask); break;
        case DrawMode::Set: byte = static_cast<u8>(byte | mask); break;
        case DrawMode::Invert: byte = static_cast<u8>(byte ^ mask); break;
        default: break;
    }
}

inline void lcd_pixel(u8 x, u8 y, DrawMode mode) {
    if (x >= LCD_WIDTH || y >= LCD_HEIGHT) return;
    lcd_apply(frame_buffer[(y / 8) * LCD_WIDTH + x], BIT_MASKS[y % 8], mode);
}

// Eight rows of one column at once: bit r of bits stands for the pixel at
// (x, y + r), the row wrapping modulo 256 like every coordinate. The result is
// that of lcd_pixel on each set bit; the glyphs, whose bytes are columns, are
// drawn this way, a byte or two of frame buffer per column instead of a test
// per pixel.
inline void lcd_column(u8 x, u8 y, u8 bits, DrawMode mode) {
    if (x >= LCD_WIDTH || bits == 0) return;
    unsigned rows = 0;  // rows page * 8 .. page * 8 + 15
    int page = 0;
    if (y < LCD_HEIGHT) {
        page = y / 8;
        rows = static_cast<unsigned>(bits) << (y % 8);
    } else if (y > 256 - 8) {
        // The lower bits fall on rows past 255, which are rows 0 and on.
        rows = static_cast<unsigned>(bits) >> (256 - y);
    }
    if (rows == 0) return;
    lcd_apply(frame_buffer[page * LCD_WIDTH + x], static_cast<u8>(rows), mode);
    if (page + 1 < LCD_HEIGHT / 8)
        lcd_apply(frame_buffer[(page + 1) * LCD_WIDTH + x], static_cast<u8>(rows >> 8), mode);
}
bool lcd_get_pixel(u8 x, u8 y);
void lcd_line(s32 x0, s32 y0, s32 x1, s32 y1, DrawMode mode);
void lcd_rect(u8 x0, u8 y0, u8 x1, u8 y1, DrawMode mode);
void lcd_fill(u8 x0, u8 y0, u8 x_end, u8 y1, DrawMode mode);
void lcd_scroll_bar(u8 item, u8 count);

// Icons: 32 x 32 pictures copied whole into columns 4..35 (lcd/icons.cpp).
constexpr u8 ICON_CALIBRATE = 0;
constexpr u8 ICON_EXIT = 1;
constexpr u8 ICON_CHANNEL = 2;
constexpr u8 ICON_QUESTION = 3;
constexpr u8 ICON_ADC = 4;
constexpr u8 ICON_MESSAGE = 5;
constexpr u8 ICON_ADJUST = 6;
constexpr u8 ICON_DISPLAY = 7;
extern const u8 IconSheet[1024];
void lcd_icon(u8 index);

// The LCD picture in the window. The host owns the pixel memory (32-bit
// 0xAARRGGBB, row-major); lcd_show paints each LCD pixel as a 2 x 2 block of
// it, and leaves it alone when it already holds the picture. A host that
// writes the memory itself attaches the canvas again, so the next lcd_show
// paints it whole. Unlit pixels take the desktop's inactive-border colour, asked for once
// per picture.
struct LcdCanvas {
    u32* pixels;
    int stride;  // pixels per row
    int width;
    int height;
    u32 (*inactive_border_colour)();
};
constexpr u32 LCD_BLACK = 0xFF000000u;

void lcd_attach_canvas(const LcdCanvas* canvas);  // nullptr detaches
void lcd_show();
void lcd_show_pixel(s32 x, s32 y, u32 colour);
// Counts the pictures lcd_show has painted that differ from the one it painted
// before (other pixels, another unlit colour or another canvas). A host
// repaints its LCD only when this has moved; an unchanged screen then costs
// no drawing at all.
u32 lcd_picture_serial();
