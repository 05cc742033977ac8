// The one interpreter of the scenario language. It runs a script against
// any front end through ScenarioControls, in two places: from the top while
// the instrument is off (where "ON" returns only once the instrument has
// stopped again), and at the message points of the splash and the main loop
// (once per frame or pass), where the front end hands over. Commands that let
// time pass return and leave a count of message points to let go by, so
// every front end sees the same frames at the same points.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "workbench/pictures/gif_recorder.h"
#include "workbench/scenario/controls.h"
#include "workbench/scenario/reader.h"
#include "workbench/sensors/sensor_log.h"

struct ScenarioOptions {
    bool update_goldens = false;  // expect-golden writes its file instead of comparing
    std::ostream* out = nullptr;  // dump output
    std::ostream* err = nullptr;  // failures, "<path>:<line>: ..." (standard error if null)
    // Called at every splash frame and pass, before the script goes on there
    // (tests compare the frames of two front ends).
    std::function<void()> at_message_point;
};

class ScenarioDriver {
public:
    ScenarioDriver(ScenarioControls& controls, std::istream& in, std::string path,
                   ScenarioOptions options);
    ~ScenarioDriver();

    // Runs the script from where it stands until it must let time pass; call
    // at the start and whenever the front end's resume_later() comes due.
    void resume();
    // Runs `first` as if it were the script's first line (the window's --on
    // with --play), then the script.
    void run_first(const ScenarioCommand& first);
    // The instrument hands over to the front end (a splash frame or a pass).
    void message_point();
    // An "ON" the script gave through click_on_returning() has stopped.
    void on_stopped();

    bool finished() const { return finished_; }
    int status() const { return status_; }
    const std::string& path() const { return reader_.path(); }
    // The line of the command that ran last, and the lines read so far.
    int line() const { return line_; }

private:
    bool execute(const ScenarioCommand& c);  // true: let time pass first
    bool on_ended(bool running);             // execute()'s answer once an "ON" stopped
    bool workbench(const ScenarioCommand& c);
    bool shot(const ScenarioCommand& c);
    bool record(const ScenarioCommand& c);
    bool end_recording(const ScenarioCommand* c);
    bool start_motion(const ScenarioCommand& c);
    bool motion_step();  // false: the run has failed
    void advance_tick();
    long long clock_ms() const;
    void finish(int status, const std::string& message);
    bool fail(int status, const std::string& why);  // with the current line; returns false
    std::ostream& err();

    ScenarioControls& controls_;
    ScenarioReader reader_;
    ScenarioOptions options_;
    int line_ = 0;
    long skip_points_ = 0;     // message points to let go by
    long wait_ticks_ = 0;      // ticks of a `wait` still to come
    long off_ticks_ = 0;       // ticks still to come while the instrument is off
    bool await_pass_ = false;  // `on`: go on only after the first pass
    // A ramp or a log taking the script's time: a step before every tick.
    std::unique_ptr<SensorLogPlayer> motion_;
    long points_at_on_ = 0;
    int ons_returned_ = 0;        // "ON"s given through click_on_returning() still running
    long ticks_ = 0;              // ticks given so far
    long points_since_tick_ = 0;  // passes and splash frames since the last tick
    GifRecorder recorder_;
    bool finished_ = false;
    int status_ = SCENARIO_OK;
};
