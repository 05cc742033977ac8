// Everything the keyboard does, written once: the window binds its keys and
// shortcuts from this table, its help box lists it and the controls'
// tooltips name the keys that work them; the page's keys are written from it
// when the page is built.
//
// Keys are named as Qt's portable text names them ("F1", "Up", "Return",
// "Space", "+", "Ctrl+Shift+S"), several to a binding separated by blanks.
// The instrument's own keys take no modifier (Shift aside, which some
// keyboards need for "+"); the simulator's functions all hold Ctrl, so none
// takes a key of the instrument's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "workbench/controls/controls.h"

// Which front ends a binding works in.
enum Fronts : u8 {
    IN_WINDOW = 1,
    ON_PAGE = 2,
    EVERYWHERE = IN_WINDOW | ON_PAGE,
};

struct KeyBinding {
    const char* action;   // what it does, by name: "centre_key", "pause"
    const char* control;  // the role of the control it works, or ""
    const char* keys;     // "F1 Up"; "" for a binding of the mouse alone
    const char* also;     // other ways in, in words, for the help box: "click"
    const char* help;     // what it does, in words, for the help box
    u8 fronts;
};

// In the order a user meets them; the help box lists them so.
inline constexpr KeyBinding KEY_BINDINGS[] = {
    {"left_key", "left_key", "F1 Up", "click", "left key \"F1\"", EVERYWHERE},
    {"right_key", "right_key", "F2 Down", "click", "right key \"F2\"", EVERYWHERE},
    {"centre_key", "centre_key", "Return Enter Space", "click", "centre key", EVERYWHERE},
    {"knob_clockwise", "clockwise_button", "Right +", "wheel up over the bezel",
     "knob one step clockwise (\"Clockwise\")", EVERYWHERE},
    {"knob_anticlockwise", "anticlockwise_button", "Left -", "wheel down over the bezel",
     "knob one step anticlockwise (\"AntiClockwise\")", EVERYWHERE},
    {"slider_arrows", "", "", "Tab to a slider, then arrows",
     "move the slider (framed while it has the keys); Escape, or a click on the bezel, gives "
     "the arrows back",
     EVERYWHERE},
    {"context_menu", "", "", "Right click on the bezel or the LCD",
     "the menu of the window's functions", EVERYWHERE},
    {"copy_picture", "", "Ctrl+C", "", "copy the LCD picture (228 x 128) to the clipboard",
     EVERYWHERE},
    {"save_picture", "", "Ctrl+Shift+S", "",
     "save the LCD picture as PNG (in the LCD window: at its zoom)", EVERYWHERE},
    {"record", "", "Ctrl+R", "", "record an LCD animation (GIF); again to stop", EVERYWHERE},
    {"lcd_window", "", "Ctrl+L", "", "LCD window: the LCD alone, zoomed 2x to 12x", EVERYWHERE},
    {"close_lcd_window", "", "Ctrl+W", "", "close the LCD window (from within it)", EVERYWHERE},
    {"keys_help", "", "Ctrl+K Ctrl+/", "", "this table", EVERYWHERE},
    {"save_settings", "", "Ctrl+S", "", "save the settings", EVERYWHERE},
    {"sensor_log", "", "Ctrl+G", "", "play a sensor log (CSV) into the channels; again to stop",
     EVERYWHERE},
    {"load_settings", "", "Ctrl+O", "", "load settings", EVERYWHERE},
    {"pause", "", "Ctrl+P", "", "pause or resume the instrument (passes and tick)", EVERYWHERE},
    {"single_pass", "", "Ctrl+.", "", "single pass while paused", EVERYWHERE},
    {"single_tick", "", "Ctrl+T", "", "single tick while paused", EVERYWHERE},
    // One key for each speed the window offers, slowest first.
    {"speed", "", "Ctrl+1 Ctrl+2 Ctrl+3 Ctrl+4 Ctrl+5 Ctrl+6", "",
     "speed 1/4x, 1/2x, 1x, 2x, 4x, 10x (passes and tick together)", EVERYWHERE},
};

// Where the page takes other ways in than the window: the browser keeps
// Ctrl+W, Ctrl+T, Ctrl+N and Ctrl+L for itself (a page never sees them), and
// a touch screen has no right click. nullptr: as in the window.
struct PageWay {
    const char* action;
    const char* keys;
    const char* also;
};

inline constexpr PageWay PAGE_WAYS[] = {
    {"context_menu", nullptr, "Right click or long press on the bezel or the LCD"},
    {"lcd_window", "Ctrl+Shift+L", nullptr},
    {"close_lcd_window", "Escape", nullptr},
    {"single_tick", "Ctrl+,", nullptr},
};

// The keys a focused slider keeps for itself; clicking a key area gives them
// back to the instrument.
inline constexpr const char* SLIDER_KEYS[] = {"Up", "Down", "Left", "Right"};

// A binding's keys one by one: {"F1", "Up"}; on the page, the page's.
std::vector<std::string> keys_of(const KeyBinding& binding, u8 front = IN_WINDOW);

// The binding of an action, or nullptr.
const KeyBinding* find_binding(std::string_view action);

// The binding that a key (by its portable name) has on a front end, or
// nullptr.
const KeyBinding* binding_of_key(std::string_view key, u8 front);

// Whether a focused slider keeps this key.
bool slider_keeps(std::string_view key);

// The help box's first column: the keys as a user reads them, then the
// other ways in: "F1, Up arrow, click"; on the page, the page's.
std::string keys_text(const KeyBinding& binding, u8 front = IN_WINDOW);

// A control's tooltip on a front end: what it is, then the keys that work it
// there, and any way in but a click on the control itself: "Centre key:
// Return, Enter or Space". Empty for a control without one.
std::string tooltip(const Control& control, u8 front);
