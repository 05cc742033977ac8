#include "app/window/player.h"

#include <QBuffer>
#include <QCheckBox>
#include <QImage>
#include <QSlider>
#include <QStatusBar>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "app/window/controls.h"
#include "app/window/form1.h"
#include "firmware/firmware.h"
#include "runtime/instrument.h"
#include "workbench/files/atomic_file.h"
#include "workbench/sensors/sensor_value.h"
#include "workbench/settings/settings_file.h"

namespace {

// The instrument's tick, as the window's timer gives it.
constexpr int PLAYED_TICK_MS = 100;

u32 colour_word(QColor colour) {
    return static_cast<u32>(colour.red()) | static_cast<u32>(colour.green()) << 8 |
           static_cast<u32>(colour.blue()) << 16;
}

}  // namespace

WindowPlayer::WindowPlayer(TForm1& form, Scenario scenario, bool exit_at_end)
    : QObject(&form), form_(form), scenario_(std::move(scenario)), exit_at_end_(exit_at_end) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { resume(); });
}

void WindowPlayer::start() {
    started_ = true;
    // The script is the only source of ticks while it plays.
    form_.place_ticks();
    form_.StatusBar1->showMessage(
        QStringLiteral("Playing %1").arg(QString::fromStdString(scenario_.path)));
    if (instrument_running_depth() > 0) return;
    // A script starts, as the runner's does, with both sliders at 0.
    form_.TrackBar1->setValue(0);
    form_.TrackBar2->setValue(0);
    later(0);
}

void WindowPlayer::later(int milliseconds) { timer_.start(milliseconds); }

// Where the headless runner's script goes on, the player goes on: at the
// first splash frame after "on splash", after the first pass after "on", at
// the next message point after "off", after the passes a count lets by.
void WindowPlayer::message_point() {
    if (!started_ || finished_) return;
    if (await_pass_) {
        if (instrument_message_points() <= points_at_on_ + SPLASH_FRAMES) return;
        await_pass_ = false;
    } else if (skip_points_ > 0) {
        if (--skip_points_ > 0) return;
        if (wait_ticks_ > 0) {
            --wait_ticks_;
            form_.Timer1Timer();
            skip_points_ = PASSES_PER_TICK;
            return;
        }
    }
    resume();
}

void WindowPlayer::resume() {
    while (!finished_) {
        // A window closed by its user ends the script where it stands.
        if (!form_.isVisible()) {
            std::fprintf(stderr, "%s: the window was closed before the scenario ended\n",
                         scenario_.path.c_str());
            finish(SCENARIO_FAILED);
            return;
        }
        if (off_ticks_ > 0) {
            --off_ticks_;
            form_.Timer1Timer();
            later(PLAYED_TICK_MS);
            return;
        }
        if (next_ == scenario_.commands.size()) {
            finish(SCENARIO_OK);
            return;
        }
        if (execute(scenario_.commands[next_++])) return;
    }
}

bool WindowPlayer::execute(const ScenarioCommand& c) {
    using Op = ScenarioCommand::Op;
    const bool running = instrument_running_depth() > 0;
    switch (c.op) {
        case Op::On:
            await_pass_ = c.a == 0;
            points_at_on_ = instrument_message_points();
            skip_points_ = 0;
            wait_ticks_ = 0;
            timer_.stop();
            form_.Button1Click();
            // Back once this "ON" has stopped again; the "OFF" that stopped
            // a nested one stops those around it before the script goes on.
            skip_points_ = 0;
            wait_ticks_ = 0;
            await_pass_ = false;
            return running && power_off_requested != 0;
        case Op::Off: form_.Button2Click(); return running;
        case Op::Key:
            switch (c.a) {
                case KeyCentre: form_.Image5Click(); break;
                case KeyClockwise: form_.Button3Click(); break;
                case KeyAnticlockwise: form_.Button4Click(); break;
                case KeyLeft: form_.Image3Click(); break;
                case KeyRight: form_.Image6Click(); break;
                // No control gives other codes; they arrive the same way.
                default: press_key(static_cast<KeyCode>(c.a)); break;
            }
            return false;
        case Op::Slider: move_slider(static_cast<u8>(c.a), c.b); return false;
        case Op::Calibrate: form_.CheckBox2->setChecked(c.a == 1); return false;
        case Op::KeyFast: form_.CheckBox3->setChecked(c.a == 1); return false;
        case Op::Ticks:
        case Op::Wait:
            if (!running) {
                off_ticks_ = c.a;
                return false;
            }
            form_.Timer1Timer();
            if (c.op == Op::Ticks) {
                for (long i = 1; i < c.a; ++i)
                    form_.Timer1Timer();
                return false;
            }
            skip_points_ = PASSES_PER_TICK;
            wait_ticks_ = c.a - 1;
            return true;
        case Op::Passes:
            if (!running) return false;
            skip_points_ = c.a;
            return true;
        case Op::Expect:
        case Op::ExpectGolden:
        case Op::ExpectText: {
            std::ostringstream failure;
            const int status =
                check_expectation(scenario_.path, scenario_.directory, c,
                                  colour_word(form_.Shape1->brush_colour()), false, failure);
            if (status == SCENARIO_OK) return false;
            const std::string text = failure.str();
            std::fputs(text.c_str(), stderr);
            form_.StatusBar1->showMessage(QString::fromStdString(text.substr(0, text.find('\n'))));
            finish(status);
            return true;
        }
        case Op::Shot: {
            const QImage picture = form_.Image1->lcd_area();
            const QImage image = picture.scaled(picture.size() * static_cast<int>(c.a));
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            const std::string path =
                !c.word.empty() && c.word[0] == '/' ? c.word : scenario_.directory + "/" + c.word;
            std::string error;
            if (write_file_atomically(path, std::string_view(png.constData(), png.size()), error))
                return false;
            std::fprintf(stderr, "%s:%d: %s\n", scenario_.path.c_str(), c.line, error.c_str());
            finish(SCENARIO_BAD);
            return true;
        }
        case Op::Record:
        case Op::StopRecord: return !record(c);
        case Op::Dump: std::fputs(frame_as_text().c_str(), stdout); return false;
        case Op::SaveSettings:
        case Op::LoadSettings:
        case Op::PowerOnSettings:
        case Op::Value: return !workbench(c);
        case Op::Sender: move_slider(static_cast<u8>(c.a), c.b); return false;
    }
    return false;
}

void WindowPlayer::move_slider(u8 channel, long position) {
    QSlider* slider = channel == 0 ? form_.TrackBar1 : form_.TrackBar2;
    // A slider left where it is sends no change, yet the instrument may have
    // forgotten its position at power-on.
    if (slider->value() != position) {
        slider->setValue(static_cast<int>(position));
    } else if (channel == 0) {
        form_.TrackBar1Change();
    } else {
        form_.TrackBar2Change();
    }
}

// Settings files and a sensor by value, through the window's own paths: a
// value moves the channel's slider. What goes wrong is the script's fault.
bool WindowPlayer::workbench(const ScenarioCommand& c) {
    using Op = ScenarioCommand::Op;
    const std::string path =
        !c.word.empty() && c.word[0] == '/' ? c.word : scenario_.directory + "/" + c.word;
    std::string error;
    bool done = false;
    if (c.op == Op::SaveSettings) {
        done = save_settings_file(path, settings, error);
    } else if (c.op == Op::Value) {
        u32 count = 0;
        done = count_for_value(static_cast<u8>(c.a), std::strtod(c.word.c_str(), nullptr), count,
                               error);
        if (done) move_slider(static_cast<u8>(c.a), count);
    } else {
        InstrumentSettings loaded;
        done = load_settings_file(path, loaded, error);
        if (done && c.op == Op::LoadSettings) apply_settings(loaded);
        if (done && c.op == Op::PowerOnSettings) form_.power_on_settings = loaded;
    }
    if (done) return true;
    std::fprintf(stderr, "%s:%d: %s\n", scenario_.path.c_str(), c.line, error.c_str());
    form_.StatusBar1->showMessage(QString::fromStdString(error));
    finish(SCENARIO_BAD);
    return false;
}

// An animation as the window records one: in real time, whatever the script's
// ticks. The end of the script ends an open recording, as in the runner.
bool WindowPlayer::record(const ScenarioCommand& c) {
    std::string why;
    if (c.op == ScenarioCommand::Op::Record) {
        const std::string path =
            !c.word.empty() && c.word[0] == '/' ? c.word : scenario_.directory + "/" + c.word;
        if (form_.start_recording(QString::fromStdString(path), static_cast<int>(c.a))) return true;
        why = form_.StatusBar1->currentMessage().toStdString();
    } else if (!form_.recording()) {
        why = "stop-record without a recording";
    } else {
        if (form_.stop_recording()) return true;
        why = form_.StatusBar1->currentMessage().toStdString();
    }
    std::fprintf(stderr, "%s:%d: %s\n", scenario_.path.c_str(), c.line, why.c_str());
    finish(SCENARIO_BAD);
    return false;
}

void WindowPlayer::finish(int status) {
    if (form_.recording()) form_.stop_recording();
    finished_ = true;
    status_ = status;
    timer_.stop();
    if (status == SCENARIO_OK)
        form_.StatusBar1->showMessage(
            QStringLiteral("Played %1").arg(QString::fromStdString(scenario_.path)));
    if (exit_at_end_) {
        form_.close();
        return;
    }
    form_.place_ticks();
}
