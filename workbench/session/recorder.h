// A window session written down as a scenario that the headless runner
// replays to the same frames: every "ON", "OFF", key, knob step, slider move,
// check box change and tick, in the order the instrument handled them, with
// the passes between them counted.
//
// Time is placed by the instrument's own message points (one per splash
// frame and per pass, instrument_message_points()): an event handled while
// the window processed messages after point N is replayed at point N. The
// runner's "on splash" goes on at the first splash frame and "off" at the
// next message point (or, once the instrument has stopped, at once); the
// recorder counts from the same places. "on" is always recorded as
// "on splash": the tick keeps running through the splash, so a live session
// nearly always has events there.
//
// The file is rewritten whole (temporary file, then rename) after every user
// event (a slider move with the tick that follows it), and every two seconds
// for the ticks alone, so it is a complete scenario at any moment. finish() appends the final frame
// as an expect-text block, so a replay checks itself.
#pragma once

#include <chrono>
#include <string>

#include "firmware/core/keys.h"
#include "firmware/core/settings.h"
#include "firmware/core/types.h"
#include "workbench/scenario/command.h"

class SessionRecorder {
public:
    // Writes the heading at once, so a path that cannot be written is known
    // before the session starts. False with "<path>: <reason>" in `error`.
    bool start(const std::string& path, std::string& error);
    bool recording() const { return !path_.empty(); }

    void power_on();
    void power_off();
    void key(KeyCode key);
    void slider(u8 channel, u32 position);
    void calibrate(bool ticked);
    void keyfast(bool ticked);
    void tick();
    // Settings put into the instrument ("Load settings..."), and the settings
    // every power-on ends with (--settings). Each is kept in a file of its own
    // beside the recording (a copy: the original may change later), which
    // the recording loads at the same point.
    void settings_loaded(const InstrumentSettings& loaded);
    void power_on_settings(const InstrumentSettings& loaded);

    // After the instrument has stopped for good (the window closed): the
    // passes up to its last frame and that frame. Recording ends here.
    bool finish(std::string& error);

    // The scenario as it stands (what the file holds after the next write).
    std::string text() const;
    // The first failed write, if any ("<path>: <reason>").
    const std::string& write_error() const { return write_error_; }

private:
    enum class Kind : u8 { Other, Ticks, Passes, Wait };
    struct Line {
        Kind kind = Kind::Other;
        long count = 0;
        size_t at = 0;  // offset of the line in body_
    };

    void place();  // the passes from the script's point to now
    void event(const std::string& line, bool user);
    void counted(Kind kind, long count);
    void append(Kind kind, long count, const std::string& line);
    void rewrite_last(Kind kind, long count);
    void write();
    void settings_file(ScenarioCommand::Op op, const InstrumentSettings& s);

    std::string path_;
    std::string body_;
    Line last_;
    Line before_last_;
    int settings_files_ = 0;  // written beside the recording so far
    long script_point_ = 0;   // the message point the replay stands at
    bool dirty_ = false;      // an event not yet in the file (ticks aside)
    std::chrono::steady_clock::time_point written_at_{};
    std::string write_error_;
};
