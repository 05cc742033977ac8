// Renders every glyph of the four fonts and the eight icons into one PNG
// sheet, each pixel as a 4 x 4 block on its cell's LCD-grey background, so
// an artist can look at the whole set at once. A last panel shows sample
// screens through the text routines at the LCD's own 2 x 2 scale.
//
//   font_sheet [output.png]     (default: font_sheet.png)
#include <QBuffer>
#include <QImage>
#include <cstdio>
#include <functional>
#include <string>

#include "firmware/lcd/fonts/fonts.h"
#include "firmware/lcd/lcd.h"
#include "firmware/lcd/text.h"
#include "tools/png_file.h"
#include "workbench/files/atomic_file.h"

namespace {

constexpr int SCALE = 4;
constexpr int GAP = 2 * SCALE;
constexpr int MARGIN = 16;
constexpr QRgb PAPER = 0xFFFFFFFF;
constexpr QRgb CELL = 0xFFD4D0C8;
constexpr QRgb INK = 0xFF000000;
constexpr QRgb LABEL = 0xFF3050A0;

// A cell of width x height pixels whose lit(column, row) pixels are ink.
using PixelFn = std::function<bool(int, int)>;

void draw_cell(QImage& image, int left, int top, int width, int height, const PixelFn& lit,
               int scale = SCALE) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const QRgb colour = lit(x, y) ? INK : CELL;
            for (int dy = 0; dy < scale; ++dy)
                for (int dx = 0; dx < scale; ++dx)
                    image.setPixel(left + x * scale + dx, top + y * scale + dy, colour);
        }
}

// Labels in FontSmall itself, at 2x, in blue on the paper.
void draw_label(QImage& image, int left, int top, const char* text) {
    for (int i = 0; text[i] != '\0'; ++i) {
        const int index = static_cast<unsigned char>(text[i]) - FONT_SMALL_FIRST;
        if (index < 0 || index >= FONT_SMALL_GLYPHS) continue;
        const SmallGlyph& g = FontSmall[index];
        for (int c = 0; c < 5; ++c)
            for (int r = 0; r < 7; ++r)
                if ((g[c] >> (6 - r)) & 1)
                    for (int d = 0; d < 4; ++d)
                        image.setPixel(left + 12 * i + 2 * c + d % 2, top + 2 * r + d / 2, LABEL);
    }
}

struct Layout {
    int y = MARGIN;
    int width = 0;
};

// A titled grid of equal cells, `per_row` to a row, each row labelled with
// its first code.
void grid(QImage* image, Layout& at, const char* title, int count, int per_row, int cell_w,
          int cell_h, int first_code, const std::function<PixelFn(int)>& glyph) {
    const int label_w = 48;
    const int row_h = cell_h * SCALE + GAP;
    if (image) draw_label(*image, MARGIN, at.y, title);
    at.y += 24;
    for (int i = 0; i < count; ++i) {
        const int row = i / per_row, col = i % per_row;
        const int left = MARGIN + label_w + col * (cell_w * SCALE + GAP);
        const int top = at.y + row * row_h;
        if (image) {
            if (col == 0) {
                char label[8];
                std::snprintf(label, sizeof label, "%d", first_code + i);
                draw_label(*image, MARGIN, top + 2, label);
            }
            draw_cell(*image, left, top, cell_w, cell_h, glyph(i));
        }
        at.width = std::max(at.width, left + cell_w * SCALE + MARGIN);
    }
    at.y += ((count + per_row - 1) / per_row) * row_h + 16;
}

// The glyphs of FontTiny with their own widths (the blank column included).
struct TinyEntry {
    char code;
    const u8* columns;
    int width;
};

void tiny_row(QImage* image, Layout& at) {
    TinyEntry entries[FONT_TINY_GLYPHS + 6];
    int n = 0;
    for (int i = 0; i < FONT_TINY_GLYPHS; ++i)
        entries[n++] = {static_cast<char>(FONT_TINY_FIRST + i), FontTiny[i].data(), 4};
    entries[n++] = {'.', FontTinyPoint.data(), 4};
    entries[n++] = {'t', FontTinyLowerT.data(), 4};
    entries[n++] = {'K', FontTinyK.data(), 5};
    entries[n++] = {'N', FontTinyN.data(), 5};
    entries[n++] = {'M', FontTinyM.data(), 6};
    entries[n++] = {'m', FontTinyLowerM.data(), 6};
    if (image) draw_label(*image, MARGIN, at.y, "FONTTINY  0..< . t K N M m");
    at.y += 24;
    int left = MARGIN + 48;
    for (int i = 0; i < n; ++i) {
        const TinyEntry e = entries[i];
        if (image)
            draw_cell(*image, left, at.y, e.width, 5, [e](int x, int y) {
                return x < e.width - 1 && ((e.columns[x] >> (5 - y)) & 1);
            });
        left += e.width * SCALE + GAP;
    }
    at.width = std::max(at.width, left + MARGIN);
    at.y += 5 * SCALE + GAP + 16;
}

// Sample screens through the text routines, shown as the LCD shows them.
void sample_screens(QImage* image, Layout& at) {
    const std::function<void()> screens[] = {
        [] {
            text_normal_const(10, 5, "KVX AVIONICS", 1, DrawMode::Set, 0);
            text_normal_centred_const(58, 28, "DG-2", 1, DrawMode::Set, 0);
            text_small_const(85, 40, "1.16", 100);
            text_small_centred_const(57, 56, "WWW.KVXGAUGES.COM", 100);
        },
        [] {
            text_normal(0, 0, "OIL PRESS 5.2bar", 0, DrawMode::Set, 0);
            text_normal(0, 8, " MENU SETUP  ", 0, DrawMode::Set, 1);
            text_normal(0, 16, "COOLANT 98|C", 0, DrawMode::Set, 0);
            text_normal(0, 24, "quick jumpy fog", 0, DrawMode::Set, 0);
            text_normal_centred_const(57, 40, "USE { } OR ~", 0, DrawMode::Set, 0);
            text_tiny(0, 52, "0 50 100 -10 KNMm", 0);
            text_normal(0, 56, "\x80\x81\x7F\x83\x87\x84\x85\x89\x86", 0, DrawMode::Set, 0);
        },
        [] {
            text_big(0, 0, "-1.5");
            text_big(72, 0, "+8");
            text_big(0, 32, "2947");
            text_small(90, 34, "Aa0", 1);
        },
        [] {
            lcd_icon(ICON_MESSAGE);
            text_normal(40, 24, "DONE", 1, DrawMode::Set, 0);
        },
    };
    if (image) draw_label(*image, MARGIN, at.y, "SAMPLE SCREENS AT THE LCD SCALE");
    at.y += 24;
    int left = MARGIN;
    for (const auto& draw : screens) {
        lcd_clear();
        draw();
        if (image)
            draw_cell(
                *image, left, at.y, LCD_WIDTH, LCD_HEIGHT,
                [](int x, int y) { return lcd_get_pixel(static_cast<u8>(x), static_cast<u8>(y)); },
                2);
        left += LCD_WIDTH * 2 + GAP;
        if (left + LCD_WIDTH * 2 > 1100) {
            left = MARGIN;
            at.y += LCD_HEIGHT * 2 + GAP;
        }
    }
    at.width = std::max(at.width, 2 * (LCD_WIDTH * 2 + GAP) + 2 * MARGIN);
    at.y += (left == MARGIN ? 0 : LCD_HEIGHT * 2 + GAP) + MARGIN;
}

// Runs the whole layout; with no image it only measures.
Layout render(QImage* image) {
    Layout at;
    grid(image, at, "FONTNORMAL  32..138", FONT_NORMAL_GLYPHS, 16, 8, 8, FONT_NORMAL_FIRST,
         [](int i) { return PixelFn([i](int x, int y) { return (FontNormal[i][x] >> y) & 1; }); });
    grid(image, at, "FONTSMALL  32..127", FONT_SMALL_GLYPHS, 16, 6, 8, FONT_SMALL_FIRST, [](int i) {
        return PixelFn([i](int x, int y) { return x < 5 && ((FontSmall[i][x] >> (7 - y)) & 1); });
    });
    tiny_row(image, at);
    grid(image, at, "FONTBIG  0..9", FONT_BIG_GLYPHS, 10, FONT_BIG_WIDTH, FONT_BIG_HEIGHT, '0',
         [](int i) {
             return PixelFn([i](int x, int y) {
                 return (FontBig[i][(y / 8) * FONT_BIG_WIDTH + x] >> (y % 8)) & 1;
             });
         });
    grid(image, at, "ICONS  0..7", 8, 8, 32, 32, 0, [](int i) {
        const int base = (i / 4) * 512 + (i % 4) * 32;
        return PixelFn(
            [base](int x, int y) { return (IconSheet[base + (y / 8) * 128 + x] >> (y % 8)) & 1; });
    });
    sample_screens(image, at);
    return at;
}

}  // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "font_sheet.png";
    const Layout size = render(nullptr);
    QImage image(size.width, size.y, QImage::Format_ARGB32);
    image.fill(PAPER);
    render(&image);
    // Encoded in memory and written whole: a failed run leaves the old sheet.
    std::string error;
    if (!write_png_file(image, path, error)) {
        std::fprintf(stderr, "font_sheet: cannot write %s\n", path);
        return 1;
    }
    std::printf("%s: %d x %d\n", path, image.width(), image.height());
    return 0;
}
