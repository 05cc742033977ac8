#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "firmware/firmware.h"
#include "tests/support/fake_host.h"
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

}  // namespace
