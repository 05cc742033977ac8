// What a scenario needs of a front end: the instrument's controls as a user
// works them, and the few things a script reads back. The window implements
// them with its own handlers, the headless runner with its in-memory host,
// the page with its host; none of them knows the scenario language.
#pragma once

#include <string>
#include <vector>

#include "firmware/core/keys.h"
#include "firmware/core/settings.h"
#include "firmware/core/types.h"

class ScenarioControls {
public:
    virtual ~ScenarioControls() = default;

    // "ON": the instrument's power-on and main loop, returning once it has
    // stopped again. While it runs, the front end calls the driver's
    // message_point() at every splash frame and pass.
    virtual void click_on() = 0;
    // "ON" for a front end whose event loop goes on around the instrument
    // (the page, where "ON" returns at the loop's first sleep): it gives "ON"
    // as its user would and returns true at once, and calls the driver's
    // on_stopped() once that "ON" has stopped again, where click_on() would
    // have returned. False (the default): the driver calls click_on().
    virtual bool click_on_returning() { return false; }
    virtual void click_off() = 0;  // "OFF"
    // A key area or a knob button; other codes arrive as a key would.
    virtual void press(KeyCode key) = 0;
    virtual void move_slider(u8 channel, u32 position) = 0;
    virtual void set_calibrate(bool ticked) = 0;  // "Calibrate"
    virtual void set_keyfast(bool ticked) = 0;    // "KeyFast"
    virtual void tick() = 0;                      // the instrument's 100 ms tick

    // The lamp's colour word and the LCD as shown (LCD_WIDTH * LCD_HEIGHT
    // entries, 1 = lit).
    virtual u32 lamp_colour() = 0;
    virtual std::vector<u8> shown_lcd() = 0;

    // Every later power-on ends with these settings (power-on-settings).
    virtual void set_power_on_settings(const InstrumentSettings& loaded) = 0;

    // While the instrument is off, a front end with a clock of its own lets a
    // tick's 100 ms pass: it calls the driver's resume() after `milliseconds`
    // and returns true. False: the script goes on at once.
    virtual bool resume_later(int /*milliseconds*/) { return false; }
    // Whether the user has closed the front end under the script.
    virtual bool closed() { return false; }
    // Something the front end found wrong at this message point (a broken
    // rule of the instrument's state), or empty. It fails the run.
    virtual std::string check_point() { return {}; }
    // The script has ended with `status` (SCENARIO_OK, ...); `message` is
    // the first line of what went wrong, empty when it ran through. The
    // instrument may still be on: the front end stops it, or leaves it on
    // for its user.
    virtual void finished(int status, const std::string& message) = 0;
};
