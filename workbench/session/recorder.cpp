#include "workbench/session/recorder.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "firmware/lcd/lcd.h"
#include "runtime/instrument.h"
#include "workbench/files/atomic_file.h"
#include "workbench/scenario/writer.h"
#include "workbench/settings/settings_file.h"

namespace {

// A slider move is written at the latest this long after it (with the tick
// that follows), ticks alone at the latest after the longer delay: the tick
// runs all the time, and rewriting a long recording ten times a second would
// be wasted work.
constexpr auto SLIDER_WRITE_DELAY = std::chrono::milliseconds(250);
constexpr auto TICK_WRITE_DELAY = std::chrono::seconds(2);

ScenarioCommand command(ScenarioCommand::Op op, long a = 0, long b = 0) {
    ScenarioCommand c;
    c.op = op;
    c.a = a;
    c.b = b;
    return c;
}

// The recorder's own kinds of line, as commands.
ScenarioCommand::Op counted_op(int kind) {
    static const ScenarioCommand::Op OPS[] = {ScenarioCommand::Op::Dump, ScenarioCommand::Op::Ticks,
                                              ScenarioCommand::Op::Passes,
                                              ScenarioCommand::Op::Wait};
    return OPS[kind];
}

std::string counted_line(int kind, long count) {
    return scenario_text(command(counted_op(kind), count));
}

// The name of the n-th file a recording keeps beside itself
// ("session-log-2.csv"). A script's words are separated by blanks: none in
// the name.
std::string companion_name(const std::filesystem::path& recording, const char* kind, int number,
                           const char* extension) {
    std::string stem = recording.stem().string();
    for (char& c : stem)
        if (c == ' ' || c == '\t') c = '_';
    return stem + "-" + kind + "-" + std::to_string(number) + extension;
}

}  // namespace

bool SessionRecorder::start(const std::string& path, std::string& error) {
    body_ =
        "# A session in the DG-2 window, recorded by dg2 --record.\n"
        "# Replay it with: dg2_scenario FILE, or in the window: dg2 --play FILE\n";
    script_point_ = instrument_message_points();
    if (!write_file_atomically(path, body_, error)) return false;
    path_ = path;
    written_at_ = std::chrono::steady_clock::now();
    return true;
}

void SessionRecorder::power_on() {
    event(scenario_text(command(ScenarioCommand::Op::On, 1)), true);
    // The replay goes on at the first splash frame of this power-on.
    script_point_ = instrument_message_points() + 1;
}

void SessionRecorder::power_off() {
    event(scenario_text(command(ScenarioCommand::Op::Off)), true);
    // While the instrument runs, the replay goes on at the next message
    // point; once it has stopped no message point comes until the next "ON".
    if (instrument_running_depth() > 0) script_point_ = instrument_message_points() + 1;
}

void SessionRecorder::key(KeyCode key) {
    event(scenario_text(command(ScenarioCommand::Op::Key, key)), true);
}

// A dragged slider moves many times a second; the ticks that follow write
// the file.
void SessionRecorder::slider(u8 channel, u32 position) {
    event(scenario_text(command(ScenarioCommand::Op::Slider, channel, position)), false);
}

void SessionRecorder::calibrate(bool ticked) {
    event(scenario_text(command(ScenarioCommand::Op::Calibrate, ticked ? 1 : 0)), true);
}

void SessionRecorder::keyfast(bool ticked) {
    event(scenario_text(command(ScenarioCommand::Op::KeyFast, ticked ? 1 : 0)), true);
}

void SessionRecorder::tick() {
    if (!recording()) return;
    place();
    counted(Kind::Ticks, 1);
    const auto since = std::chrono::steady_clock::now() - written_at_;
    if ((dirty_ && since >= SLIDER_WRITE_DELAY) || since >= TICK_WRITE_DELAY) {
        dirty_ = true;
        write();
    }
}

void SessionRecorder::settings_loaded(const InstrumentSettings& loaded) {
    settings_file(ScenarioCommand::Op::LoadSettings, loaded);
}

void SessionRecorder::power_on_settings(const InstrumentSettings& loaded) {
    settings_file(ScenarioCommand::Op::PowerOnSettings, loaded);
}

// "session.scn" keeps its settings in "session-settings-1.toml", ... beside
// it; the recording names them relative to its own folder, as scripts do.
void SessionRecorder::settings_file(ScenarioCommand::Op op, const InstrumentSettings& s) {
    if (!recording()) return;
    const std::filesystem::path recording(path_);
    const std::string name = companion_name(recording, "settings", ++settings_files_, ".toml");
    std::string error;
    if (!save_settings_file((recording.parent_path() / name).string(), s, error) &&
        write_error_.empty())
        write_error_ = error;
    ScenarioCommand c = command(op);
    c.word = name;
    event(scenario_text(c), true);
}

void SessionRecorder::sensor_log(const std::string& source) {
    if (!recording()) return;
    const std::filesystem::path recording(path_);
    const std::string name = companion_name(recording, "log", ++log_files_, ".csv");
    std::ifstream in(source, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    if ((!in ||
         !write_file_atomically((recording.parent_path() / name).string(), text.str(), error)) &&
        write_error_.empty())
        write_error_ = error.empty() ? "cannot read " + source : error;
    event("# play-log " + name + ": its values follow as slider lines, at the window's ticks\n",
          true);
}

bool SessionRecorder::finish(std::string& error) {
    if (!recording()) return true;
    place();
    append(Kind::Other, 0, "# The last frame the window showed.\n" + whole_frame_expectation());
    const bool written = write_file_atomically(path_, body_, error);
    path_.clear();
    return written;
}

std::string SessionRecorder::text() const { return body_; }

// Message points between the replay's position and now become one `passes`.
// While the instrument is off the count stands still, so nothing is written.
void SessionRecorder::place() {
    const long now = instrument_message_points();
    if (now > script_point_) counted(Kind::Passes, now - script_point_);
    if (now > script_point_) script_point_ = now;
}

void SessionRecorder::event(const std::string& line, bool user) {
    if (!recording()) return;
    place();
    append(Kind::Other, 0, line);
    dirty_ = true;
    if (user) write();
}

// Keeps the file short through a long session: ticks in a row are one line,
// and a tick followed by five passes (the window's own pace) becomes a
// `wait`, consecutive ones one `wait N`.
void SessionRecorder::counted(Kind kind, long count) {
    if (kind == Kind::Ticks && last_.kind == Kind::Ticks) {
        rewrite_last(Kind::Ticks, last_.count + count);
        return;
    }
    if (kind == Kind::Passes && count == PASSES_PER_TICK && last_.kind == Kind::Ticks &&
        last_.count == 1) {
        if (before_last_.kind == Kind::Wait) {
            body_.resize(last_.at);
            last_ = before_last_;
            before_last_ = Line{};
            rewrite_last(Kind::Wait, last_.count + 1);
        } else {
            rewrite_last(Kind::Wait, 1);
        }
        return;
    }
    append(kind, count, counted_line(static_cast<int>(kind), count));
}

void SessionRecorder::append(Kind kind, long count, const std::string& line) {
    before_last_ = last_;
    last_ = Line{kind, count, body_.size()};
    body_ += line;
}

void SessionRecorder::rewrite_last(Kind kind, long count) {
    body_.resize(last_.at);
    body_ += counted_line(static_cast<int>(kind), count);
    last_.kind = kind;
    last_.count = count;
}

void SessionRecorder::write() {
    std::string error;
    if (!write_file_atomically(path_, body_, error) && write_error_.empty()) write_error_ = error;
    dirty_ = false;
    written_at_ = std::chrono::steady_clock::now();
}
