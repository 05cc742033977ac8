// Plays a scenario in the window, visibly and at the instrument's own pace:
// each command drives the window's own handlers (the "ON" button, the key
// areas, the sliders, the check boxes, the tick), so the picture is the
// window's. The script goes on where the headless runner's would: at the
// message points of the splash and the main loop while the instrument runs,
// from the window's event loop while it is off. While it plays, the script
// is the only source of ticks; a tick while the instrument is off takes
// 100 ms, as the window's timer would.
#pragma once

#include <QObject>
#include <QTimer>

#include "workbench/scenario/scenario.h"

class TForm1;

class WindowPlayer : public QObject {
public:
    WindowPlayer(TForm1& form, Scenario scenario, bool exit_at_end);

    // Starts from the window's event loop, or at the next message point if
    // the instrument is already running.
    void start();
    // The instrument hands over to the window (a splash frame or a pass).
    void message_point();

    bool finished() const { return finished_; }
    int status() const { return status_; }

private:
    void resume();
    bool execute(const ScenarioCommand& c);    // true: let time pass first
    bool workbench(const ScenarioCommand& c);  // settings files, value
    bool record(const ScenarioCommand& c);     // record, stop-record
    void move_slider(u8 channel, long position);
    void finish(int status);
    void later(int milliseconds);  // resume from the event loop

    TForm1& form_;
    Scenario scenario_;
    bool exit_at_end_;
    QTimer timer_;
    size_t next_ = 0;
    long skip_points_ = 0;       // message points to let go by
    long wait_ticks_ = 0;        // ticks of a `wait` still to come
    long off_ticks_ = 0;         // ticks still to come, 100 ms apart, while off
    bool await_splash_ = false;  // "on splash": go on at its first frame
    bool await_pass_ = false;    // "on": go on after its first pass
    long points_at_on_ = 0;
    bool resuming_ = false;
    bool started_ = false;
    bool finished_ = false;
    int status_ = SCENARIO_OK;
};
