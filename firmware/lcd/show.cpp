#include <cstdint>
#include <cstring>

#include "firmware/lcd/lcd.h"

static const LcdCanvas* attached_canvas;

// What the latest lcd_show painted, to tell a changed picture from the same
// one painted again.
static u8 shown_frame[FRAME_BUFFER_SIZE];
static u32 shown_unlit;
static const LcdCanvas* shown_canvas;
static u32 picture_serial;
// The attached canvas holds exactly the picture described above.
static bool canvas_holds_shown;

void lcd_attach_canvas(const LcdCanvas* canvas) {
    attached_canvas = canvas;
    canvas_holds_shown = false;
}

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

// The unlit colour is asked for once per picture (the desktop's colour does
// not change in the middle of one). A picture equal to the one this canvas
// already holds is not written again: most passes redraw the same screen. A
// canvas with room for the whole LCD is written a row at a time: each LCD row
// becomes two rows of 2-pixel blocks; a smaller one pixel by pixel, dropping
// the blocks that do not fit.
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
    } else if (canvas_holds_shown) {
        return;
    }
    canvas_holds_shown = true;

    if (c->pixels == nullptr) return;
    if (c->width < 2 * LCD_WIDTH || c->height < 2 * LCD_HEIGHT || c->stride < c->width) {
        for (int x = 0; x < LCD_WIDTH; ++x)
            for (int y = 0; y < LCD_HEIGHT; ++y)
                lcd_show_pixel(
                    x, y,
                    lcd_get_pixel(static_cast<u8>(x), static_cast<u8>(y)) ? LCD_BLACK : unlit);
        return;
    }
    // Eight LCD pixels at a time: their lit bits pick one of 256 ready-made
    // runs of sixteen picture pixels. Eight columns of a page are read at once
    // and turned on their side, giving for each of the page's eight rows a
    // byte with one bit per column; the picture is then written row after
    // row, the way it lies in memory. The runs (16 KB) are made again only
    // when the unlit colour changes.
    static u32 runs[256][16];
    static u32 runs_unlit;
    static bool runs_made;
    if (!runs_made || runs_unlit != unlit) {
        for (int bits = 0; bits < 256; ++bits)
            for (int i = 0; i < 16; ++i)
                runs[bits][i] = (bits >> (i / 2) & 1) != 0 ? LCD_BLACK : unlit;
        runs_unlit = unlit;
        runs_made = true;
    }
    constexpr int GROUPS = (LCD_WIDTH + 7) / 8;  // of eight columns, the last one short
    constexpr int WHOLE = LCD_WIDTH / 8;
    constexpr int REST = LCD_WIDTH - 8 * WHOLE;  // columns in the short group
    static_assert(REST > 0 && REST < 8, "the last group is short");
    const int64_t stride = c->stride;
    for (int p = 0; p < LCD_HEIGHT / 8; ++p) {
        const u8* page = frame_buffer + p * LCD_WIDTH;
        uint64_t turned[GROUPS];  // byte r: row r of the group, bit i: its column i
        for (int g = 0; g < GROUPS; ++g) {
            uint64_t x = 0;  // byte i: column 8g + i, bit r: row r
            for (int i = 0; i < 8 && 8 * g + i < LCD_WIDTH; ++i)
                x |= uint64_t{page[8 * g + i]} << (8 * i);
            // An 8 x 8 transpose of bits: bit 8i + r goes to 8r + i.
            uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAull;
            x = x ^ t ^ (t << 7);
            t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCull;
            x = x ^ t ^ (t << 14);
            t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ull;
            turned[g] = x ^ t ^ (t << 28);
        }
        u32* row = c->pixels + 16 * p * stride;
        for (int r = 0; r < 8; ++r) {
            for (int twice = 0; twice < 2; ++twice, row += stride) {
                for (int g = 0; g < WHOLE; ++g)
                    std::memcpy(row + 16 * g, runs[(turned[g] >> (8 * r)) & 0xFF], sizeof runs[0]);
                std::memcpy(row + 16 * WHOLE, runs[(turned[WHOLE] >> (8 * r)) & 0xFF],
                            2 * REST * sizeof(u32));
            }
        }
    }
}
