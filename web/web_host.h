// What a module built around the page's instrument adds to it (the workbench
// module: a script playing, a session recorded). The instrument's own module
// sets no observer, so its only cost there is a test for null.
#pragma once

#include "firmware/core/keys.h"
#include "firmware/core/settings.h"
#include "firmware/core/types.h"

class WebHostObserver {
public:
    virtual ~WebHostObserver() = default;
    // A splash frame or a pass hands over to the page, its picture shown.
    virtual void message_point() {}
    // An "ON" has stopped again (at `depth` the runs around it still go on).
    virtual void stopped(int /*depth*/) {}
    // The page's controls, as the instrument takes them.
    virtual void took_on() {}
    virtual void took_off() {}
    virtual void took_key(KeyCode /*key*/) {}
    virtual void took_slider(u8 /*channel*/, u32 /*position*/) {}
    virtual void took_calibrate(bool /*ticked*/) {}
    virtual void took_keyfast(bool /*ticked*/) {}
    virtual void took_tick() {}
    virtual void took_settings(const InstrumentSettings& /*loaded*/) {}
};

// One observer at a time, or none (null).
void set_web_host_observer(WebHostObserver* observer);

// Every later power-on ends with these settings (null: the factory's).
void set_web_power_on_settings(const InstrumentSettings* loaded);
const InstrumentSettings* web_power_on_settings();

// While a script plays, every pass runs at the pace, even one that changed
// nothing: the script is what moves on at the passes.
void set_web_host_steady_sleep(bool allowed);

// Milliseconds from the start of one pass to the next (20, the window's; 0 runs
// passes back to back, yielding to the browser now and then).
void set_web_pass_period(double milliseconds);
