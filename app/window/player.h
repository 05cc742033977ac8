// Plays a scenario in the window, visibly and at the instrument's own pace,
// by the workbench's one driver: each control drives the window's own
// handlers (the "ON" button, the key areas, the sliders, the check boxes,
// the tick), so the picture is the window's. The script goes on at the
// message points of the splash and the main loop while the instrument runs,
// from the window's event loop while it is off. While it plays, the script
// is the only source of ticks; a tick while the instrument is off takes
// 100 ms, as the window's timer would.
#pragma once

#include <QObject>
#include <QTimer>
#include <fstream>
#include <string>

#include "workbench/scenario/scenario.h"

class TForm1;

class WindowPlayer : public QObject, public ScenarioControls {
public:
    // `path` has been read through once already (prepare_session): it is a
    // script of `lines` lines without a bad one.
    WindowPlayer(TForm1& form, const std::string& path, int lines, bool power_on_first,
                 bool exit_at_end);

    // Starts from the window's event loop, or at the next message point if
    // the instrument is already running.
    void start();
    // The instrument hands over to the window (a splash frame or a pass).
    void message_point();

    bool finished() const { return driver_.finished(); }
    int status() const { return driver_.status(); }

    // ScenarioControls: the window's own handlers.
    void click_on() override;
    void click_off() override;
    void press(KeyCode key) override;
    void move_slider(u8 channel, u32 position) override;
    void set_calibrate(bool ticked) override;
    void set_keyfast(bool ticked) override;
    void tick() override;
    u32 lamp_colour() override;
    std::vector<u8> shown_lcd() override;
    void set_power_on_settings(const InstrumentSettings& loaded) override;
    bool resume_later(int milliseconds) override;
    bool closed() override;
    void finished(int status, const std::string& message) override;

private:
    void show_progress();

    TForm1& form_;
    std::ifstream in_;
    ScenarioDriver driver_;
    QTimer timer_;
    int lines_;
    int shown_line_ = -1;
    bool power_on_first_;
    bool exit_at_end_;
    bool started_ = false;
};
