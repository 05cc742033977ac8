// The window's controls, written once: the window lays itself out from this
// table, the page's layout is written from it when the page is built, and
// the layout test checks the window against it.
//
// Each control keeps the name the instrument's window has always given it
// (`TrackBar1`), which only the window and the page's elements carry; the
// rest of the simulator calls it by its role (`channel1_slider`). Places and
// sizes are client pixels of the 621 x 404 window; a label's size follows its
// text, so its width and height are 0. A child's place is inside its parent.
#pragma once

#include <string_view>

#include "firmware/core/keys.h"
#include "firmware/core/setting_limits.h"
#include "runtime/host.h"

enum class ControlKind : u8 {
    Picture,    // the bezel
    Shape,      // the round alarm lamp
    Panel,      // the frame around the LCD
    Lcd,        // the LCD picture, 2 x 2 screen pixels per LCD pixel
    KeyArea,    // a clickable area over a key of the bezel, drawing nothing
    Button,     // a push button with a caption
    Label,      // a text
    Slider,     // horizontal, 0 to `maximum`, no tick marks
    CheckBox,   // with a caption
    StatusBar,  // the window's bottom line, for the simulator's own messages
};

struct Control {
    const char* name;  // the window's name for it: "TrackBar1"
    const char* role;  // everyone else's: "channel1_slider"
    ControlKind kind;
    const char* parent;  // the role of the control it lies in, or "" for the window
    int left, top, width, height;
    const char* caption;  // buttons, labels and check boxes; "" for the rest
    // A slider's position, a check box's tick (1) or not (0), the lamp's
    // colour word (red in the low byte); 0 for the rest.
    u32 initial;
    u32 maximum;       // a slider's top end; 0 for the rest
    KeyCode key;       // the event a click gives; KeyNone for most
    const char* help;  // the tooltip, before the keys that work it (key_bindings.h)
};

constexpr int CLIENT_WIDTH = 621;
constexpr int CLIENT_HEIGHT = 404;

// In the order the window creates them: later ones lie over earlier ones.
inline constexpr Control CONTROLS[] = {
    {"Image2", "bezel", ControlKind::Picture, "", 0, 0, 310, 310, "", 0, 0, KeyNone, ""},
    {"Shape1", "alarm_lamp", ControlKind::Shape, "", 144, 17, 22, 22, "", LAMP_RED, 0, KeyNone,
     "Alarm lamp: flashes red while an alarm is unacknowledged, maroon otherwise"},
    {"Panel1", "lcd_frame", ControlKind::Panel, "", 39, 92, 231, 135, "", 0, 0, KeyNone, ""},
    {"Image1", "lcd", ControlKind::Lcd, "lcd_frame", 1, 1, 229, 133, "", 0, 0, KeyNone,
     "The LCD, 114 x 64 pixels shown at 2x. Right click for pictures, animations and the LCD "
     "window"},
    {"Image3", "left_key", ControlKind::KeyArea, "", 65, 234, 49, 49, "", 0, 0, KeyLeft,
     "Left key \"F1\" (up)"},
    {"Image5", "centre_key", ControlKind::KeyArea, "", 131, 247, 49, 49, "", 0, 0, KeyCentre,
     "Centre key"},
    {"Image6", "right_key", ControlKind::KeyArea, "", 195, 234, 49, 49, "", 0, 0, KeyRight,
     "Right key \"F2\" (down)"},
    {"Button3", "clockwise_button", ControlKind::Button, "", 0, 285, 58, 25, "Clockwise", 0, 0,
     KeyClockwise, "Knob one step clockwise"},
    {"Button4", "anticlockwise_button", ControlKind::Button, "", 235, 285, 75, 25, "AntiClockwise",
     0, 0, KeyAnticlockwise, "Knob one step anticlockwise"},
    {"Button1", "on_button", ControlKind::Button, "", 24, 328, 129, 49, "ON", 0, 0, KeyNone,
     "Power on: the splash, then the instrument runs"},
    {"Button2", "off_button", ControlKind::Button, "", 176, 328, 137, 49, "OFF", 0, 0, KeyNone,
     "Power off at the end of the pass; the LCD keeps its last picture"},
    {"Label1", "channel1_label", ControlKind::Label, "", 344, 8, 0, 0, "Channel 1:", 0, 0, KeyNone,
     ""},
    {"Label13", "channel1_echo", ControlKind::Label, "", 400, 8, 0, 0, "0", 0, 0, KeyNone,
     "Channel 1 slider position"},
    {"TrackBar1", "channel1_slider", ControlKind::Slider, "", 432, 8, 185, 45, "", 1,
     INPUT_FULL_SCALE, KeyNone,
     "Channel 1 sensor input: the sender's signal in the converter's raw counts (0..4096)"},
    {"Label2", "channel2_label", ControlKind::Label, "", 344, 40, 0, 0, "Channel 2:", 0, 0, KeyNone,
     ""},
    {"Label14", "channel2_echo", ControlKind::Label, "", 400, 40, 0, 0, "0", 0, 0, KeyNone,
     "Channel 2 slider position"},
    {"TrackBar2", "channel2_slider", ControlKind::Slider, "", 432, 40, 185, 33, "", 0,
     INPUT_FULL_SCALE, KeyNone,
     "Channel 2 sensor input: the sender's signal in the converter's raw counts (0..4096)"},
    {"CheckBox2", "calibrate_box", ControlKind::CheckBox, "", 360, 80, 97, 17, "Calibrate", 0, 0,
     KeyNone, "Calibrate: the main menu also shows the service entries (ADC VALUES, CALIBRATE)"},
    {"CheckBox3", "keyfast_box", ControlKind::CheckBox, "", 472, 80, 97, 17, "KeyFast", 0, 0,
     KeyNone, "KeyFast: numeric settings step by 10"},
    {"StatusBar1", "status_bar", ControlKind::StatusBar, "", 0, 385, 621, 19, "", 0, 0, KeyNone,
     ""},
};

// Reached only when a role is not in the table; being no constant
// expression, it makes `control` fail to compile for a misspelt role.
const Control& no_control_has_this_role();

// The control of a role, found while compiling: control("centre_key").
consteval const Control& control(std::string_view role) {
    for (const Control& c : CONTROLS)
        if (std::string_view(c.role) == role) return c;
    return no_control_has_this_role();
}

// The control of a role or of a window name, or nullptr; for roles that
// arrive as text (the key table's, a test's).
const Control* find_control(std::string_view role_or_name);

// Each channel's slider, by channel 0 or 1.
constexpr const Control& channel_slider(u8 channel) {
    return channel == 0 ? control("channel1_slider") : control("channel2_slider");
}
