// The tables every front end is built from: a control out of its place or a
// key bound twice would show in every front end at once.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "firmware/lcd/lcd.h"
#include "workbench/controls/key_bindings.h"

namespace {

bool inside(const Control& inner, int left, int top, int width, int height) {
    return inner.left >= left && inner.top >= top && inner.left + inner.width <= left + width &&
           inner.top + inner.height <= top + height;
}

bool overlap(const Control& a, const Control& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

}  // namespace

TEST(Controls, EveryControlHasItsOwnNamesAndLiesInItsParent) {
    std::set<std::string> names;
    for (const Control& c : CONTROLS) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(names.insert(c.name).second);
        EXPECT_TRUE(names.insert(c.role).second);
        EXPECT_EQ(find_control(c.name), &c);
        EXPECT_EQ(find_control(c.role), &c);
        // Labels size themselves; everything else has a size.
        EXPECT_EQ(c.kind == ControlKind::Label, c.width == 0 && c.height == 0);
        if (*c.parent == '\0') {
            EXPECT_TRUE(inside(c, 0, 0, CLIENT_WIDTH, CLIENT_HEIGHT));
        } else {
            // A child fills its parent less the parent's one-pixel border.
            const Control* parent = find_control(c.parent);
            ASSERT_NE(parent, nullptr);
            EXPECT_TRUE(inside(c, 1, 1, parent->width - 2, parent->height - 2));
        }
        if (c.kind == ControlKind::Slider) {
            EXPECT_LE(c.initial, c.maximum);
        }
    }
    EXPECT_EQ(find_control("Image4"), nullptr);
    EXPECT_EQ(find_control(""), nullptr);
}

// The key areas, the lamp and the LCD lie over what the bezel picture draws,
// each on its own.
TEST(Controls, KeysLampAndLcdLieOnTheBezelApart) {
    constexpr Control bezel = control("bezel");
    const Control* on_bezel[] = {&control("alarm_lamp"), &control("lcd_frame"),
                                 &control("left_key"), &control("centre_key"),
                                 &control("right_key")};
    for (const Control* c : on_bezel) {
        SCOPED_TRACE(c->name);
        EXPECT_TRUE(inside(*c, bezel.left, bezel.top, bezel.width, bezel.height));
        for (const Control* other : on_bezel) {
            if (other != c) {
                EXPECT_FALSE(overlap(*c, *other)) << other->name;
            }
        }
    }
    // The LCD picture holds the LCD's 2 x 2 blocks.
    EXPECT_GE(control("lcd").width, 2 * LCD_WIDTH);
    EXPECT_GE(control("lcd").height, 2 * LCD_HEIGHT);
}

TEST(Controls, SlidersStartWhereTheWindowsDo) {
    EXPECT_EQ(channel_slider(0).initial, 1u);
    EXPECT_EQ(channel_slider(1).initial, 0u);
    EXPECT_STREQ(channel_slider(0).name, "TrackBar1");
}

// No key does two things on one front end; the simulator's own functions
// all hold Ctrl, so none takes a key of the instrument's; every key the
// instrument takes gives a control's event.
TEST(KeyBindings, EachKeyDoesOneThing) {
    for (const u8 front : {IN_WINDOW, ON_PAGE}) {
        std::map<std::string, std::string> seen;
        for (const KeyBinding& b : KEY_BINDINGS) {
            SCOPED_TRACE(b.action);
            EXPECT_EQ(find_binding(b.action), &b);
            if ((b.fronts & front) == 0) continue;
            for (const std::string& key : keys_of(b, front)) {
                EXPECT_TRUE(seen.emplace(key, b.action).second) << key << " also " << seen[key];
                EXPECT_EQ(binding_of_key(key, front), &b);
                const bool instrument = *b.control != '\0';
                // Escape closes the page's LCD window, as it closes any dialog.
                if (key != "Escape") {
                    EXPECT_EQ(key.rfind("Ctrl+", 0) != 0, instrument) << key;
                }
            }
            if (*b.control != '\0') {
                ASSERT_NE(find_control(b.control), nullptr);
                EXPECT_NE(find_control(b.control)->key, KeyNone);
            }
        }
        for (const char* key : SLIDER_KEYS)
            EXPECT_NE(*binding_of_key(key, front)->control, '\0') << key;
    }
    EXPECT_STREQ(binding_of_key("Ctrl+R", IN_WINDOW)->action, "record");
    EXPECT_EQ(binding_of_key("Escape", IN_WINDOW), nullptr);
    // The page plays sensor logs too, by the window's key.
    EXPECT_STREQ(binding_of_key("Ctrl+G", ON_PAGE)->action, "sensor_log");
    EXPECT_EQ(binding_of_key("F3", IN_WINDOW), nullptr);
    EXPECT_EQ(find_binding("nothing"), nullptr);
}

// The browser keeps these for itself: the page offers others, which its help
// lists, and the window keeps its own.
TEST(KeyBindings, ThePageTakesNoKeyTheBrowserKeeps) {
    for (const char* kept : {"Ctrl+W", "Ctrl+T", "Ctrl+N", "Ctrl+L"})
        EXPECT_EQ(binding_of_key(kept, ON_PAGE), nullptr) << kept;
    EXPECT_STREQ(binding_of_key("Ctrl+,", ON_PAGE)->action, "single_tick");
    EXPECT_STREQ(binding_of_key("Ctrl+T", IN_WINDOW)->action, "single_tick");
    EXPECT_EQ(keys_text(*find_binding("lcd_window"), ON_PAGE), "Ctrl+Shift+L");
    EXPECT_EQ(keys_text(*find_binding("context_menu"), ON_PAGE),
              "Right click or long press on the bezel or the LCD");
    for (const PageWay& way : PAGE_WAYS)
        EXPECT_NE(find_binding(way.action), nullptr) << way.action;
}

TEST(KeyBindings, HelpAndTooltipsNameTheKeys) {
    EXPECT_EQ(keys_text(*find_binding("left_key")), "F1, Up arrow, click");
    EXPECT_EQ(keys_text(*find_binding("knob_clockwise")),
              "Right arrow, +, wheel up over the bezel");
    EXPECT_EQ(keys_text(*find_binding("context_menu")), "Right click on the bezel or the LCD");
    EXPECT_EQ(keys_text(*find_binding("keys_help")), "Ctrl+K, Ctrl+/");
    EXPECT_EQ(keys_of(*find_binding("speed")).size(), 6u);

    EXPECT_EQ(tooltip(control("centre_key"), IN_WINDOW), "Centre key: Return, Enter or Space");
    EXPECT_EQ(tooltip(control("left_key"), ON_PAGE), "Left key \"F1\" (up): F1 or Up arrow");
    EXPECT_EQ(tooltip(control("anticlockwise_button"), IN_WINDOW),
              "Knob one step anticlockwise: Left arrow, - or wheel down over the bezel");
    // A control no key works keeps its own text; one without any has none.
    EXPECT_EQ(tooltip(control("on_button"), IN_WINDOW), control("on_button").help);
    EXPECT_EQ(tooltip(control("bezel"), IN_WINDOW), "");
}
