// The window's part of a command-line session: recording what the user does,
// playing a scenario, and the settings every power-on ends with.
#include "app/window/session.h"

#include <QCheckBox>
#include <QSlider>
#include <QTimer>
#include <cstdio>
#include <istream>
#include <memory>

#include "app/window/form1.h"
#include "app/window/player.h"
#include "workbench/controls/controls.h"
#include "workbench/settings/settings_file.h"

CommandLineOutcome prepare_session(const CommandLine& options, SessionPlan& plan) {
    plan.power_on = options.power_on;
    plan.exit_after_play = options.exit_after_play;
    if (!options.settings_path.isEmpty()) {
        InstrumentSettings loaded;
        std::string error;
        if (!load_settings_file(options.settings_path.toStdString(), loaded, error))
            return CommandLineOutcome{EXIT_BAD_USE,
                                      QStringLiteral("dg2: ") + QString::fromStdString(error)};
        plan.power_on_settings = loaded;
    }
    if (!options.play_path.isEmpty()) {
        // Read through once before the window opens, so a bad line ends the
        // program at once; the player then reads the script again as it plays.
        const std::string path = options.play_path.toStdString();
        std::unique_ptr<std::istream> in;
        std::string error;
        if (open_scenario_file(path, in, error)) {
            ScenarioReader reader(*in, path);
            for (ScenarioCommand c; reader.next(c);) {
            }
            error = reader.error();
            plan.play_lines = reader.lines_read();
        }
        if (!error.empty())
            return CommandLineOutcome{SCENARIO_BAD,
                                      QStringLiteral("dg2: ") + QString::fromStdString(error)};
        plan.play = path;
    }
    return CommandLineOutcome{};
}

CommandLineOutcome start_recording(const CommandLine& options, SessionPlan& plan) {
    std::string error;
    if (options.record_path.isEmpty() ||
        plan.recorder.start(options.record_path.toStdString(), error))
        return CommandLineOutcome{};
    return CommandLineOutcome{
        EXIT_BAD_USE, QStringLiteral("dg2: cannot record: ") + QString::fromStdString(error)};
}

void TForm1::start_session(SessionPlan& plan) {
    power_on_settings = plan.power_on_settings;
    recorder = std::move(plan.recorder);
    if (power_on_settings) recorder.power_on_settings(*power_on_settings);
    // A replay starts with the sliders where a window opens with them; a
    // slider moved since stands elsewhere, and its position reaches the
    // instrument at power-on.
    for (u8 channel = 0; channel < 2; ++channel) {
        const int position = (channel == 0 ? TrackBar1 : TrackBar2)->value();
        if (static_cast<u32>(position) != channel_slider(channel).initial)
            recorder.slider(channel, static_cast<u32>(position));
    }
    // The instrument reads the check boxes at every pass; only the recording
    // needs to know when they change.
    connect(CheckBox2, &QCheckBox::toggled, this,
            [this](bool ticked) { recorder.calibrate(ticked); });
    connect(CheckBox3, &QCheckBox::toggled, this,
            [this](bool ticked) { recorder.keyfast(ticked); });
    if (plan.play) {
        player_ = new WindowPlayer(*this, *plan.play, plan.play_lines, plan.power_on,
                                   plan.exit_after_play);
        plan.power_on = false;
    }
    power_on_when_shown_ = plan.power_on;
}

void TForm1::begin_session() {
    QTimer::singleShot(0, this, [this] {
        if (player_ != nullptr) player_->start();
        if (power_on_when_shown_) Button1Click();
    });
}

// A played script's status stands for the session's; an incomplete
// recording turns a success into a failure all the same.
int TForm1::finish_session(int status) {
    if (player_ != nullptr && player_->finished()) status = player_->status();
    std::string error = recorder.write_error();
    if (!recorder.finish(error) || !error.empty()) {
        std::fprintf(stderr, "dg2: the recording is incomplete: %s\n", error.c_str());
        if (status == 0) status = EXIT_BAD_USE;
    }
    return status;
}

void TForm1::before_first_pass() {
    if (power_on_settings) settings = *power_on_settings;
}
