#include "app/window/player.h"

#include <QFileInfo>
#include <iostream>

#include "app/window/controls.h"
#include "app/window/form1.h"
#include "firmware/firmware.h"
#include "runtime/instrument.h"
#include "workbench/controls/controls.h"

namespace {

ScenarioOptions player_options() {
    ScenarioOptions options;
    options.out = &std::cout;
    options.err = &std::cerr;
    return options;
}

}  // namespace

WindowPlayer::WindowPlayer(TForm1& form, const std::string& path, int lines, bool power_on_first,
                           bool exit_at_end)
    : QObject(&form),
      form_(form),
      in_(path, std::ios::binary),
      driver_(*this, in_, path, player_options()),
      lines_(lines),
      power_on_first_(power_on_first),
      exit_at_end_(exit_at_end) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { driver_.resume(); });
}

void WindowPlayer::start() {
    started_ = true;
    // The script is the only source of ticks while it plays.
    form_.place_ticks();
    show_progress();
    if (instrument_running_depth() > 0) return;
    // A script starts, as the runner's does, with the sliders where the window
    // opens with them.
    form_.set_slider_position(0, channel_slider(0).initial);
    form_.set_slider_position(1, channel_slider(1).initial);
    if (power_on_first_) {
        // --on with --play: "ON" first, as the script's own first line.
        power_on_first_ = false;
        ScenarioCommand on;
        on.op = ScenarioCommand::Op::On;
        on.a = 1;
        driver_.run_first(on);
        return;
    }
    timer_.start(0);
}

void WindowPlayer::message_point() {
    if (!started_ || driver_.finished()) return;
    driver_.message_point();
    show_progress();
}

void WindowPlayer::show_progress() {
    if (driver_.finished() || driver_.line() == shown_line_) return;
    shown_line_ = driver_.line();
    form_.show_status(QStringLiteral("Playing %1 line %2 of %3")
                          .arg(QFileInfo(QString::fromStdString(driver_.path())).fileName())
                          .arg(shown_line_)
                          .arg(lines_));
}

void WindowPlayer::click_on() {
    timer_.stop();
    form_.Button1Click();
}

void WindowPlayer::click_off() { form_.Button2Click(); }

void WindowPlayer::press(KeyCode key) {
    switch (key) {
        case KeyCentre: form_.Image5Click(); break;
        case KeyClockwise: form_.Button3Click(); break;
        case KeyAnticlockwise: form_.Button4Click(); break;
        case KeyLeft: form_.Image3Click(); break;
        case KeyRight: form_.Image6Click(); break;
        // No control gives other codes; they arrive the same way.
        default: press_key(key); break;
    }
}

void WindowPlayer::move_slider(u8 channel, u32 position) {
    // A slider left where it is sends no change, yet the instrument may have
    // forgotten its position at power-on.
    if (form_.slider_position(channel) != position) {
        form_.set_slider_position(channel, position);
    } else if (channel == 0) {
        form_.TrackBar1Change();
    } else {
        form_.TrackBar2Change();
    }
}

void WindowPlayer::set_calibrate(bool ticked) { form_.set_calibrate(ticked); }
void WindowPlayer::set_keyfast(bool ticked) { form_.set_keyfast(ticked); }
void WindowPlayer::tick() { form_.Timer1Timer(); }

u32 WindowPlayer::lamp_colour() { return form_.lamp_colour(); }

std::vector<u8> WindowPlayer::shown_lcd() { return form_.lcd_pixels(); }

void WindowPlayer::set_power_on_settings(const InstrumentSettings& loaded) {
    form_.set_power_on_settings(loaded);
}

bool WindowPlayer::resume_later(int milliseconds) {
    timer_.start(milliseconds);
    return true;
}

// A window closed by its user ends the script where it stands.
bool WindowPlayer::closed() { return !form_.isVisible(); }

void WindowPlayer::finished(int status, const std::string& message) {
    timer_.stop();
    form_.show_status(status == SCENARIO_OK
                          ? QStringLiteral("Played %1").arg(QString::fromStdString(driver_.path()))
                          : QString::fromStdString(message));
    if (exit_at_end_) {
        form_.close();
        return;
    }
    form_.place_ticks();
}
