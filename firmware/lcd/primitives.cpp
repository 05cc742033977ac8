#include <cstring>

#include "firmware/lcd/lcd.h"

u8 frame_buffer[FRAME_BUFFER_SIZE];

void lcd_clear() { std::memset(frame_buffer, 0, sizeof frame_buffer); }

bool lcd_get_pixel(u8 x, u8 y) {
    if (x >= LCD_WIDTH || y >= LCD_HEIGHT) return false;
    return (frame_buffer[(y / 8) * LCD_WIDTH + x] & BIT_MASKS[y % 8]) != 0;
}

// Bresenham from the first end point: the minor coordinate steps only while
// the error term is strictly positive, so the pixels chosen at a tie depend on
// the direction in which the line is drawn. Callers rely on that.
// A vertical line of at most 256 points meets every row at most once: the
// rows it covers on the screen, as a mask of the 64 rows, are applied a page
// at a time. The points are reduced to their low byte as lcd_pixel's are.
static bool vertical_line(s32 x, s32 y0, s32 y1, DrawMode mode) {
    const int64_t top = y0 < y1 ? y0 : y1;
    const int64_t count = (y0 < y1 ? int64_t{y1} - y0 : int64_t{y0} - y1) + 1;
    if (count > 256) return false;
    const u8 column = static_cast<u8>(x & 0xFF);
    if (column >= LCD_WIDTH) return true;
    // Rows first .. first + count - 1, then those past 255 again from row 0.
    const int first = static_cast<int>(top & 0xFF);
    const int end = first + static_cast<int>(count);
    auto rows_between = [](int from, int to) -> uint64_t {  // rows from .. to - 1
        if (from < 0) from = 0;
        if (to > LCD_HEIGHT) to = LCD_HEIGHT;
        if (from >= to) return 0;
        const uint64_t below_to = to == 64 ? ~uint64_t{0} : (uint64_t{1} << to) - 1;
        return below_to & ~((uint64_t{1} << from) - 1);
    };
    const uint64_t rows = rows_between(first, end) | rows_between(0, end - 256);
    for (int page = 0; page < LCD_HEIGHT / 8; ++page) {
        const u8 bits = static_cast<u8>(rows >> (8 * page));
        if (bits != 0) lcd_apply(frame_buffer[page * LCD_WIDTH + column], bits, mode);
    }
    return true;
}

void lcd_line(s32 x0, s32 y0, s32 x1, s32 y1, DrawMode mode) {
    if (x0 == x1 && vertical_line(x0, y0, y1, mode)) return;
    // Work in 64 bits: the window never produces far-off coordinates, but the
    // differences of two arbitrary s32 values do not fit in 32 bits.
    const int64_t dx = x1 > x0 ? int64_t{x1} - x0 : int64_t{x0} - x1;
    const int64_t dy = y1 > y0 ? int64_t{y1} - y0 : int64_t{y0} - y1;
    const int sx = x0 > x1 ? -1 : 1;
    const int sy = y0 > y1 ? -1 : 1;
    int64_t x = x0;
    int64_t y = y0;
    // Coordinates are reduced to their low byte, as the 8-bit primitives do.
    auto plot = [&] { lcd_pixel(static_cast<u8>(x & 0xFF), static_cast<u8>(y & 0xFF), mode); };
    if (dx >= dy) {
        int64_t d = 2 * dy - dx;
        for (int64_t i = 0; i <= dx; ++i) {
            plot();
            if (d > 0) {
                x += sx;
                y += sy;
                d += 2 * dy - 2 * dx;
            } else {
                x += sx;
                d += 2 * dy;
            }
        }
    } else {
        int64_t d = 2 * dx - dy;
        for (int64_t i = 0; i <= dy; ++i) {
            plot();
            if (d > 0) {
                x += sx;
                y += sy;
                d += 2 * dx - 2 * dy;
            } else {
                y += sy;
                d += 2 * dx;
            }
        }
    }
}

// Each corner is plotted twice, so with Invert the corners keep their state.
void lcd_rect(u8 x0, u8 y0, u8 x1, u8 y1, DrawMode mode) {
    lcd_line(x0, y0, x0, y1, mode);
    lcd_line(x0, y0, x1, y0, mode);
    lcd_line(x1, y0, x1, y1, mode);
    lcd_line(x0, y1, x1, y1, mode);
}

// Columns x0 .. x_end - 1 (exclusive end), rows y0 .. y1 (inclusive).
void lcd_fill(u8 x0, u8 y0, u8 x_end, u8 y1, DrawMode mode) {
    for (u8 x = x0; x < x_end; ++x)
        lcd_line(x, y0, x, y1, mode);
}

void lcd_scroll_bar(u8 item, u8 count) {
    if (count == 0) count = 1;  // the menu passes 4 or 6; never divide by zero
    const int s = 560 / count;
    lcd_line(111, 8, 111, 63, DrawMode::Set);
    const int d = (item * s + 80) / 10;
    const int e = d + s / 10;
    lcd_fill(109, static_cast<u8>(d), 114, static_cast<u8>(e), DrawMode::Set);
}
