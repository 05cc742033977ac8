#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"
#include "tests/support/frame_text.h"

namespace {

class MenuFramework : public ::testing::Test {
protected:
    void SetUp() override { reset_all_state(); }
};

// Row 4 of the frame as '#'/'.' without the newline.
std::string rule_row() {
    std::string row = frame_region(0, 4, LCD_WIDTH - 1, 4);
    row.pop_back();
    return row;
}

std::string lit_run(int from, int to) {
    return std::string(static_cast<size_t>(to - from + 1), '#');
}
std::string dark_run(int from, int to) {
    return std::string(static_cast<size_t>(to - from + 1), '.');
}

TEST_F(MenuFramework, TitleRulesStopTwoPixelsIntoTheEndBlanks) {
    // Row 4 crosses the title's letters, so look only at the rules and the
    // blank cells at both ends of the title.
    menu_title(" MAIN MENU ");  // 11 characters, cells 13..100
    std::string row = rule_row();
    EXPECT_EQ(row.substr(0, 21), lit_run(0, 15) + dark_run(16, 20));
    EXPECT_EQ(row.substr(93), dark_run(93, 98) + lit_run(99, 113));

    lcd_clear();
    menu_title(" CONTRAST ");  // 10 characters, cells 17..96
    row = rule_row();
    EXPECT_EQ(row.substr(0, 25), lit_run(0, 19) + dark_run(20, 24));
    EXPECT_EQ(row.substr(89), dark_run(89, 94) + lit_run(95, 113));

    // Only row 4 carries the rules.
    EXPECT_EQ(frame_region(0, 3, 8, 5), ".........\n#########\n.........\n");
}

TEST_F(MenuFramework, TitleRuleEndsWrapModulo256) {
    // 15 characters: the left rule's end 59 - 60 wraps to 255, so that rule
    // runs across the whole row; the right one starts at 115, off the screen.
    menu_title("123456789012345");
    EXPECT_EQ(rule_row(), lit_run(0, 113));

    // An empty title: both rules meet and overlap around the centre.
    lcd_clear();
    menu_title("");
    EXPECT_EQ(rule_row(), lit_run(0, 113));
    lcd_clear();
    menu_title(nullptr);
    EXPECT_EQ(rule_row(), lit_run(0, 113));
}

TEST_F(MenuFramework, ScrollOffsetStartsAtTheEighthLine) {
    const u8 cursors[] = {0, 6, 7, 8, 14, 255};
    const u8 offsets[] = {0, 0, 1, 2, 8, 249};
    for (int i = 0; i < 6; ++i) {
        menu_cursor = cursors[i];
        EXPECT_EQ(menu_scroll_offset(), offsets[i]) << "cursor " << int(cursors[i]);
    }
}

TEST_F(MenuFramework, PressureUnitsInCapitalsByChannel) {
    const PressureUnit units[] = {PressureUnit::Bar, PressureUnit::Psi, PressureUnit::PsiTenths,
                                  PressureUnit::InHg};
    const char* expected[] = {"12 BAR", "12 PSI", "12 PSI", "12 \"Hg"};
    for (int i = 0; i < 4; ++i) {
        settings.pressure[1].unit = units[i];
        settings.pressure[0].unit = PressureUnit::Bar;
        char text[MENU_TEXT_SIZE] = "12 ";
        append_pressure_unit(1, text);
        EXPECT_STREQ(text, expected[i]);
    }
    // Codes the menus never produce add nothing, and so does a third channel.
    settings.pressure[0].unit = static_cast<PressureUnit>(4);
    char text[MENU_TEXT_SIZE] = "7";
    append_pressure_unit(0, text);
    EXPECT_STREQ(text, "7");
    settings.pressure[0].unit = PressureUnit::Bar;
    append_pressure_unit(2, text);
    EXPECT_STREQ(text, "7");
}

TEST_F(MenuFramework, TemperatureUnitsByChannel) {
    settings.temperature[0].unit = TemperatureUnit::Celsius;
    settings.temperature[1].unit = TemperatureUnit::Fahrenheit;
    char text[MENU_TEXT_SIZE] = "-12";
    append_temp_unit(1, text);
    EXPECT_STREQ(text, "-12|F");
    std::strcpy(text, "85");
    append_temp_unit(0, text);
    EXPECT_STREQ(text, "85|C");
    // Anything but Celsius reads as Fahrenheit.
    settings.temperature[0].unit = static_cast<TemperatureUnit>(9);
    std::strcpy(text, "1");
    append_temp_unit(0, text);
    EXPECT_STREQ(text, "1|F");
}

TEST_F(MenuFramework, AppendingStaysInsideTheWorkingBuffer) {
    // Guard bytes after the buffer catch any write past its end.
    struct {
        char text[MENU_TEXT_SIZE];
        char guard[8];
    } b;
    std::memset(&b, '#', sizeof b);
    std::memset(b.text, 'x', 29);
    b.text[29] = '\0';
    settings.pressure[0].unit = PressureUnit::Bar;
    append_pressure_unit(0, b.text);
    EXPECT_EQ(std::strlen(b.text), 31u);
    EXPECT_EQ(std::string(b.text + 29), "BA");
    append_temp_unit(0, b.text);  // full: unchanged
    EXPECT_EQ(std::strlen(b.text), 31u);

    // No terminator anywhere in the buffer: left alone.
    std::memset(b.text, 'x', MENU_TEXT_SIZE);
    append_pressure_unit(0, b.text);
    EXPECT_EQ(std::string(b.guard, 8), "########");
    EXPECT_EQ(b.text[MENU_TEXT_SIZE - 1], 'x');
}

// Columns of row y that are lit, as a string of '#' and '.' over x0..x1.
std::string row_text(int y, int x0 = 0, int x1 = LCD_WIDTH - 1) {
    std::string row = frame_region(x0, y, x1, y);
    row.pop_back();
    return row;
}

// Row 7 of a text cell is blank in every glyph without a descender, so in an
// inverse cell it is lit: it shows exactly which cells are inverse.
std::string band(int row) { return row_text(8 * row + 15); }

TEST_F(MenuFramework, ListTextStaysOutOfTheTitleRow) {
    menu_text(0, 7, "   ", 1);
    EXPECT_EQ(frame_to_text().find('#'), std::string::npos);
    menu_text(0, 8, "   ", 1);
    EXPECT_EQ(row_text(8), lit_run(0, 23) + dark_run(24, 113));
    EXPECT_EQ(row_text(7), dark_run(0, 113));
}

TEST_F(MenuFramework, ValueStartsAfterTheLabelsFullWidth) {
    struct Case {
        const char* label;
        int value_x;
    } cases[] = {{"MODE: ", 48}, {"TYPE:", 40}, {"PRES 20mA:", 80}, {"HIGH ALARM:", 88}};
    for (const Case& c : cases) {
        lcd_clear();
        menu_cursor = 2;
        menu_edit = 1;  // only the value inverse: the band starts at the value
        menu_line(0, 2, c.label, "123");
        EXPECT_EQ(band(2), dark_run(0, c.value_x - 1) + lit_run(c.value_x, c.value_x + 23) +
                               dark_run(c.value_x + 24, 113))
            << c.label;
    }
}

TEST_F(MenuFramework, CurrentLineIsInverseLabelAndValueUnlessEdited) {
    menu_cursor = 3;
    menu_edit = 0;
    menu_line(0, 3, "BAR: ", "VERTICAL");  // 13 cells
    menu_line(0, 2, "DISP: ", "DUAL");     // not current
    EXPECT_EQ(band(3), lit_run(0, 103) + dark_run(104, 113));
    EXPECT_EQ(band(2), dark_run(0, 113));

    // 15 characters: the fifteenth cell is cut at the right edge.
    lcd_clear();
    menu_line(0, 3, "BAR: ", "HORIZONTAL");
    EXPECT_EQ(band(3), lit_run(0, 113));
}

TEST_F(MenuFramework, ScrolledListKeepsTheCursorOnTheBottomRow) {
    auto draw_list = [] {
        lcd_clear();
        menu_done_line();
        const u8 s = menu_scroll_offset();
        for (u8 line = 1; line < 10; ++line)
            menu_line(0, static_cast<u8>(line - s), "LINE ", "X");
    };
    menu_cursor = 6;
    draw_list();
    EXPECT_NE(row_text(8 + 3).find('#'), std::string::npos);  // DONE on row 0
    EXPECT_EQ(band(6), lit_run(0, 47) + dark_run(48, 113));   // line 6 current

    menu_cursor = 7;
    draw_list();
    // DONE is gone, line 1 moved to row 0 and line 7 is current on row 6.
    EXPECT_EQ(band(0), dark_run(0, 113));
    EXPECT_EQ(band(6), lit_run(0, 47) + dark_run(48, 113));
    EXPECT_NE(frame_region(0, 8, 47, 15).find('#'), std::string::npos);
    // Nothing of lines 8 and 9 below the screen, nothing of line 0 above.
    EXPECT_EQ(frame_region(0, 0, 113, 7).find('#'), std::string::npos);
}

TEST_F(MenuFramework, DoneLineIsCentredAndInverseOnlyOnLineZero) {
    menu_cursor = 0;
    menu_done_line();
    EXPECT_EQ(band(0), dark_run(0, 8) + lit_run(9, 104) + dark_run(105, 113));
    lcd_clear();
    menu_cursor = 1;
    menu_done_line();
    EXPECT_EQ(band(0), dark_run(0, 113));
    EXPECT_NE(frame_region(9, 8, 104, 15).find('#'), std::string::npos);
}

}  // namespace
