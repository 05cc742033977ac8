// The font tables against the bytes the instrument's screens are known to
// show: the telling glyphs and every special symbol.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "firmware/lcd/fonts/fonts.h"

namespace {

struct Expected {
    int code;
    std::vector<u8> bytes;
};

template <typename Glyph>
std::vector<u8> bytes_of(const Glyph& glyph) {
    return std::vector<u8>(glyph.begin(), glyph.end());
}

TEST(FontNormalTable, TellingGlyphsAndSpecialSymbols) {
    const Expected cases[] = {
        {32, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {48, {0x3E, 0x7F, 0x41, 0x41, 0x41, 0x7F, 0x3E, 0x00}},
        {49, {0x00, 0x40, 0x42, 0x7F, 0x7F, 0x40, 0x40, 0x00}},
        {65, {0x7C, 0x7E, 0x13, 0x11, 0x13, 0x7E, 0x7C, 0x00}},
        {103, {0x18, 0xBC, 0xA4, 0xA4, 0x94, 0xFC, 0x7C, 0x00}},
        {95, {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}},
        {123, {0x20, 0x30, 0x38, 0x3C, 0x38, 0x30, 0x20, 0x00}},
        {124, {0x00, 0x00, 0x06, 0x09, 0x09, 0x06, 0x00, 0x00}},
        {125, {0x04, 0x0C, 0x1C, 0x3C, 0x1C, 0x0C, 0x04, 0x00}},
        {126, {0x1C, 0x3E, 0x63, 0x63, 0x63, 0x2A, 0x0C, 0x0E}},
        {127, {0x4E, 0x7E, 0x31, 0x01, 0x01, 0x31, 0x7E, 0x4E}},
        {128, {0x06, 0x09, 0x09, 0x06, 0x70, 0x88, 0x88, 0x00}},
        {129, {0x06, 0x09, 0x09, 0x06, 0xF8, 0x28, 0x08, 0x00}},
        {130, {0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00}},
        {131, {0x00, 0x00, 0x00, 0xF8, 0xF8, 0x18, 0x18, 0x18}},
        {132, {0x18, 0x18, 0x18, 0xF8, 0xF8, 0x00, 0x00, 0x00}},
        {133, {0x00, 0x00, 0x00, 0x1F, 0x1F, 0x18, 0x18, 0x18}},
        {134, {0x18, 0x18, 0x18, 0x1F, 0x1F, 0x00, 0x00, 0x00}},
        {135, {0x18, 0x18, 0x18, 0x18, 0x18, 0x18, 0x18, 0x18}},
        {136, {0x18, 0x18, 0x18, 0x1E, 0x1E, 0x18, 0x18, 0x18}},
        {137, {0x18, 0x18, 0x18, 0xFF, 0xFF, 0x18, 0x18, 0x18}},
        {138, {0x00, 0x00, 0x06, 0x09, 0x09, 0x06, 0x00, 0x00}},
    };
    for (const Expected& e : cases)
        EXPECT_EQ(bytes_of(FontNormal[e.code - FONT_NORMAL_FIRST]), e.bytes) << "code " << e.code;
}

// The look the screens are laid out for: glyphs on rows 0..6, descenders only
// on row 7, column 7 left blank so neighbouring characters never touch.
TEST(FontNormalTable, PrintableGlyphsKeepToTheirCell) {
    const std::string descenders = ",;Q_gjpqy";
    const std::string wide = "Y\\_~";
    for (int code = 33; code <= 122; ++code) {
        const NormalGlyph& g = FontNormal[code - FONT_NORMAL_FIRST];
        const char ch = static_cast<char>(code);
        int lit_columns = 0;
        for (int c = 0; c < 8; ++c) {
            if (g[c] != 0) ++lit_columns;
            if (descenders.find(ch) == std::string::npos) {
                EXPECT_EQ(g[c] & 0x80, 0) << "row 7 of '" << ch << "'";
            }
        }
        if (wide.find(ch) == std::string::npos) {
            EXPECT_EQ(g[7], 0) << "column 7 of '" << ch << "'";
        }
        EXPECT_GT(lit_columns, 0) << "'" << ch << "' is blank";
        if (code >= 'a' && code <= 'z' && std::string("bdfhijklt").find(ch) == std::string::npos) {
            for (int c = 0; c < 8; ++c) {
                EXPECT_EQ(g[c] & 0x03, 0) << "'" << ch << "' reaches above the x-height";
            }
        }
    }
    // Letters a reader must tell apart on the small screen.
    EXPECT_NE(FontNormal['I' - 32], FontNormal['1' - 32]);
    EXPECT_NE(FontNormal['S' - 32], FontNormal['5' - 32]);
    EXPECT_NE(FontNormal['B' - 32], FontNormal['8' - 32]);
    EXPECT_NE(FontNormal['Z' - 32], FontNormal['2' - 32]);
}

}  // namespace
