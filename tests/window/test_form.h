// The window as its tests see it: every control, every function of the
// context menu and what the runtime calls, which the window keeps to itself,
// opened up.
#pragma once

#include "app/window/form1.h"

class TestForm : public TForm1 {
public:
    using TForm1::Button1;
    using TForm1::Button2;
    using TForm1::Button3;
    using TForm1::Button4;
    using TForm1::CheckBox2;
    using TForm1::CheckBox3;
    using TForm1::ContextMenu;
    using TForm1::Image1;
    using TForm1::Image2;
    using TForm1::Image3;
    using TForm1::Image5;
    using TForm1::Image6;
    using TForm1::Label1;
    using TForm1::Label13;
    using TForm1::Label14;
    using TForm1::Label2;
    using TForm1::Panel1;
    using TForm1::Shape1;
    using TForm1::StatusBar1;
    using TForm1::Timer1;
    using TForm1::TrackBar1;
    using TForm1::TrackBar2;

    using TForm1::hide_lcd_picture;
    using TForm1::lcd_canvas;
    using TForm1::set_lamp_colour;
    using TForm1::show_lcd_picture;

    using TForm1::about_text;
    using TForm1::copy_lcd_picture;
    using TForm1::keys_and_shortcuts_text;
    using TForm1::lcd_picture_changed;
    using TForm1::lcd_picture_shown;
    using TForm1::load_settings_from;
    using TForm1::paused;
    using TForm1::play_sensor_log;
    using TForm1::power_on_settings;
    using TForm1::power_state_text;
    using TForm1::recorder;
    using TForm1::recording;
    using TForm1::refresh_slider_tooltips;
    using TForm1::save_lcd_picture;
    using TForm1::save_lcd_picture_dialog;
    using TForm1::save_settings_to;
    using TForm1::sensor_log_playing;
    using TForm1::set_channel_value;
    using TForm1::set_paused;
    using TForm1::set_sender_fault;
    using TForm1::show_about;
    using TForm1::show_keys_and_shortcuts;
    using TForm1::single_pass;
    using TForm1::single_tick;
    using TForm1::slider_tooltip_base;
    using TForm1::speed;
    using TForm1::start_recording;
    using TForm1::start_recording_at_zoom;
    using TForm1::stop_recording;
    using TForm1::stop_sensor_log;
    using TForm1::time_state_text;
    using TForm1::toggle_recording;
};
