#include "workbench/scenario/scenario.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

#include "app/headless/headless_host.h"
#include "firmware/firmware.h"
#include "workbench/files/atomic_file.h"
#include "workbench/files/input_file.h"
#include "workbench/pictures/gif_recorder.h"
#include "workbench/pictures/png_writer.h"
#include "workbench/scenario/invariants.h"
#include "workbench/sensors/sensor_value.h"
#include "workbench/settings/settings_file.h"

const char SCENARIO_HELP[] = R"(Usage: dg2_scenario [--no-invariants] [--quiet] SCENARIO

Runs a scenario against the instrument without a window and exits with 0 when
every expectation held, 1 when one failed (the run stops there), 2 when the
script has a bad line (named with its line; the lines before it have run),
when SCENARIO is no script (a directory, a device, a pipe, or a file without a
single command) or when a file cannot be read or written.

A scenario has one command per line, of at most 4096 bytes; it is read as it
runs, so its length costs no memory. '#' at the start of a line or after a
blank (space or tab) starts a comment, so "shot a#b.png" writes a#b.png.
Blank lines are ignored; a UTF-8 byte-order mark at the start is skipped.
Files are named relative to the scenario's own folder, and their names hold no
control characters. A file is written to a temporary file beside it and
renamed over it when complete, so a failed write leaves the old file as it was.

  on                 press "ON" (also while on: a nested power-on). The script
                     goes on once the splash is over and the first pass of the
                     main loop has been drawn.
  on splash          the same, but the script goes on after the first splash
                     frame (80 frames make the splash).
  off                press "OFF". The instrument stops at the end of the pass;
                     the script goes on at the next splash frame or pass, or
                     once the instrument has stopped.
  key NAME           click a key: centre, cw (knob clockwise), acw (knob
                     anticlockwise), left ("F1"), right ("F2"), or a raw code
                     1..255. Dropped while another key is pending.
  slider 1|2 VALUE   move the channel's slider to VALUE (0..4096).
  calibrate on|off   tick or clear "Calibrate".
  keyfast on|off     tick or clear "KeyFast".
  ticks N            N ticks of the 100 ms timer at once, with no pass between.
  passes N           let N passes run (splash frames count as passes).
                     While the instrument is off nothing happens.
  wait N             N ticks, each followed by 5 passes: the window's own pace
                     of one tick per 100 ms and one pass per 20 ms.
  expect NAME VALUE  a variable of the instrument has that value. NAME is one
                     of: page (run, max, main, display, contrast, channel,
                     curve, adc, calibrate, message), lamp (red, maroon),
                     depth (nesting of "ON", 0 when off), pending_key,
                     key_step, menu_cursor, menu_edit, shown_channel,
                     blink_phase, auto_cycle_count, alarm_active,
                     alarm_acknowledged, input_a, input_b, raw_reading1/2,
                     pressure1/2, pressure_max1/2, temperature1/2,
                     temperature_max1/2, channel_kind1/2, contrast, backlight,
                     display_layout, bar_orientation, cycle_mode,
                     display_time_index, edit_channel, calibrate_enabled,
                     cal_reading_4ma, cal_reading_20ma.
  expect-golden FILE the frame buffer equals FILE: 64 lines of 114 characters,
                     '#' lit, '.' unlit. With DG2_UPDATE_GOLDENS=1 in the
                     environment the file is written instead (look at it
                     before committing it).
  expect-text X Y    the pixels from column X, row Y on equal the picture rows
  | ..##..#.         that follow, one row per line starting with '|' ('#' lit,
  | .#..#.#.         '.' unlit); all rows have the same width.
  shot FILE [SCALE]  write the LCD picture as the window shows it (228 x 128,
                     each LCD pixel a 2 x 2 block) to a PNG file, enlarged
                     SCALE times (1..8, default 1).
  record FILE [SCALE]
                     start an animated GIF of the LCD picture as `shot`
                     shows it: a frame at each change, delayed by the time
                     the picture stood on the script's clock (100 ms a tick;
                     the passes after a tick 20 ms each, as the window paces
                     them, up to the next tick). A running recording is
                     ended first. The file appears when the recording ends.
  stop-record        end the recording; the end of the script ends one too.
  dump               print the frame buffer as text.
  save-settings FILE write the instrument's settings to FILE (a TOML
                     settings file, as the window's "Save settings...").
  load-settings FILE put the settings of FILE into the instrument; the next
                     pass uses them. A file that does not load (unknown,
                     missing or out-of-range key, bad TOML) is a bad line
                     naming the file's line and key. While the instrument
                     is off, the next "on" replaces them with the factory
                     settings.
  power-on-settings FILE
                     every later power-on ends with the settings of FILE
                     instead of the factory ones, applied after the splash
                     just before the first pass (as dg2 --settings FILE).
  value 1|2 NUMBER   move the channel's slider to the count at which the
                     channel shows NUMBER in its unit (4.5 for 4.5 bar), as
                     it is set up now. A number it cannot show, or an OFF
                     channel, is a bad line giving the range it shows.
  sender 1|2 open|short
                     move the slider to an end of the input: open (4096,
                     "CHECK SENDER" for the senders that report it) or
                     short (0).

Unless --no-invariants is given, the instrument's globals are checked after
every pass (pending key consumed, cursor on one of the page's lines, settings
in range, picture equal to the frame buffer); a broken rule fails the run.
)";

namespace {

bool parse_number(const std::string& text, long low, long high, long& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high) return false;
    value = v;
    return true;
}

// Expected values of `expect`: any u32 or s32 the instrument holds, also where
// long is 32 bits wide (WebAssembly).
bool parse_value(const std::string& text, std::int64_t& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const std::int64_t v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < -2147483648LL || v > 4294967295LL) return false;
    value = v;
    return true;
}

bool parse_switch(const std::string& text, long& value) {
    if (text == "on")
        value = 1;
    else if (text == "off")
        value = 0;
    else
        return false;
    return true;
}

bool parse_key(const std::string& text, long& code) {
    static const struct {
        const char* name;
        KeyCode code;
    } KEYS[] = {{"centre", KeyCentre},
                {"cw", KeyClockwise},
                {"acw", KeyAnticlockwise},
                {"left", KeyLeft},
                {"right", KeyRight}};
    for (const auto& k : KEYS) {
        if (text == k.name) {
            code = k.code;
            return true;
        }
    }
    return parse_number(text, 1, 255, code);
}

// Variables that `expect` can read, as numbers.
struct Variable {
    const char* name;
    std::int64_t (*read)();
};

const Variable VARIABLES[] = {
    {"depth", [] { return std::int64_t{instrument_running_depth()}; }},
    {"pending_key", [] { return std::int64_t{pending_key}; }},
    {"key_step", [] { return std::int64_t{key_step}; }},
    {"menu_cursor", [] { return std::int64_t{menu_cursor}; }},
    {"menu_edit", [] { return std::int64_t{menu_edit}; }},
    {"shown_channel", [] { return std::int64_t{shown_channel}; }},
    {"blink_phase", [] { return std::int64_t{blink_phase}; }},
    {"auto_cycle_count", [] { return std::int64_t{auto_cycle_count}; }},
    {"alarm_active", [] { return std::int64_t{alarm_active}; }},
    {"alarm_acknowledged", [] { return std::int64_t{alarm_acknowledged}; }},
    {"input_a", [] { return std::int64_t{input_a}; }},
    {"input_b", [] { return std::int64_t{input_b}; }},
    {"raw_reading1", [] { return std::int64_t{raw_reading[0]}; }},
    {"raw_reading2", [] { return std::int64_t{raw_reading[1]}; }},
    {"pressure1", [] { return std::int64_t{pressure_value[0]}; }},
    {"pressure2", [] { return std::int64_t{pressure_value[1]}; }},
    {"pressure_max1", [] { return std::int64_t{pressure_max[0]}; }},
    {"pressure_max2", [] { return std::int64_t{pressure_max[1]}; }},
    {"temperature1", [] { return std::int64_t{temperature_value[0]}; }},
    {"temperature2", [] { return std::int64_t{temperature_value[1]}; }},
    {"temperature_max1", [] { return std::int64_t{temperature_max[0]}; }},
    {"temperature_max2", [] { return std::int64_t{temperature_max[1]}; }},
    {"channel_kind1", [] { return std::int64_t{static_cast<u8>(settings.channel_kind[0])}; }},
    {"channel_kind2", [] { return std::int64_t{static_cast<u8>(settings.channel_kind[1])}; }},
    {"contrast", [] { return std::int64_t{settings.contrast}; }},
    {"backlight", [] { return std::int64_t{settings.backlight}; }},
    {"display_layout", [] { return std::int64_t{static_cast<u8>(settings.display_layout)}; }},
    {"bar_orientation", [] { return std::int64_t{static_cast<u8>(settings.bar_orientation)}; }},
    {"cycle_mode", [] { return std::int64_t{static_cast<u8>(settings.cycle_mode)}; }},
    {"display_time_index", [] { return std::int64_t{settings.display_time_index}; }},
    {"edit_channel", [] { return std::int64_t{edit_channel}; }},
    {"calibrate_enabled", [] { return std::int64_t{calibrate_enabled}; }},
    {"cal_reading_4ma", [] { return std::int64_t{settings.cal_reading_4ma}; }},
    {"cal_reading_20ma", [] { return std::int64_t{settings.cal_reading_20ma}; }},
};

const Variable* find_variable(const std::string& name) {
    for (const Variable& v : VARIABLES)
        if (name == v.name) return &v;
    return nullptr;
}

// Checks the arguments of `expect` at parse time so a typo is a bad line,
// not a failed expectation.
bool valid_expectation(const std::string& name, const std::string& value, std::string& why) {
    if (name == "page") {
        if (page_by_name(value.c_str()) != nullptr) return true;
        why = "unknown page '" + value + "'";
        return false;
    }
    if (name == "lamp") {
        if (value == "red" || value == "maroon") return true;
        why = "the lamp is red or maroon, not '" + value + "'";
        return false;
    }
    if (find_variable(name) == nullptr) {
        why = "unknown variable '" + name + "'";
        return false;
    }
    std::int64_t number;
    if (parse_value(value, number)) return true;
    why = "'" + value + "' is not a number";
    return false;
}

std::string directory_of(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    const size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// Words are separated by blanks (spaces and tabs). A word that begins with
// '#' starts a comment, so '#' inside a word (a file name "a#b.png") is kept.
std::vector<std::string> split_words(const std::string& text) {
    std::vector<std::string> words;
    size_t at = 0;
    while (true) {
        at = text.find_first_not_of(" \t", at);
        if (at == std::string::npos || text[at] == '#') break;
        const size_t end = text.find_first_of(" \t", at);
        words.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end;
    }
    return words;
}

// A file name from the script: no control characters, which a terminal or a
// folder listing would show garbled or act upon.
bool file_name_word(const std::string& word, std::string& name, std::string& why) {
    for (const char ch : word) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x20 || byte == 0x7F) {
            why = "a file name holds no control characters";
            return false;
        }
    }
    name = word;
    return true;
}

// The words of one command line into `c`; false with what is wrong in
// `error`. Every command's arguments are checked here, so a typo is a bad
// line rather than a failure halfway through a run.
bool parse_command(const std::vector<std::string>& w, ScenarioCommand& c, std::string& error) {
    const std::string& name = w[0];
    const size_t args = w.size() - 1;
    auto bad = [&](const std::string& why) {
        error = why;
        return false;
    };
    auto arity = [&](size_t low, size_t high) {
        if (args < low) return bad("'" + name + "' needs more arguments");
        if (args > high) return bad("too many arguments for '" + name + "'");
        return true;
    };
    using Op = ScenarioCommand::Op;
    if (name == "on") {
        if (!arity(0, 1)) return false;
        c.op = Op::On;
        if (args == 1) {
            if (w[1] != "splash") return bad("'on' takes no argument but 'splash'");
            c.a = 1;
        }
    } else if (name == "off") {
        if (!arity(0, 0)) return false;
        c.op = Op::Off;
    } else if (name == "key") {
        if (!arity(1, 1)) return false;
        c.op = Op::Key;
        if (!parse_key(w[1], c.a))
            return bad("unknown key '" + w[1] + "' (centre, cw, acw, left, right or 1..255)");
    } else if (name == "slider") {
        if (!arity(2, 2)) return false;
        c.op = Op::Slider;
        if (!parse_number(w[1], 1, 2, c.a)) return bad("slider 1 or 2, not '" + w[1] + "'");
        c.a -= 1;
        if (!parse_number(w[2], 0, INPUT_FULL_SCALE, c.b))
            return bad("slider position 0..4096, not '" + w[2] + "'");
    } else if (name == "calibrate" || name == "keyfast") {
        if (!arity(1, 1)) return false;
        c.op = name == "calibrate" ? Op::Calibrate : Op::KeyFast;
        if (!parse_switch(w[1], c.a)) return bad("'" + name + "' on or off, not '" + w[1] + "'");
    } else if (name == "ticks" || name == "passes" || name == "wait") {
        if (!arity(1, 1)) return false;
        c.op = name == "ticks" ? Op::Ticks : name == "passes" ? Op::Passes : Op::Wait;
        if (!parse_number(w[1], 1, 10000000, c.a))
            return bad("'" + name + "' needs a count 1..10000000, not '" + w[1] + "'");
    } else if (name == "expect") {
        if (!arity(2, 2)) return false;
        c.op = Op::Expect;
        c.word = w[1];
        c.value = w[2];
        return valid_expectation(c.word, c.value, error);
    } else if (name == "expect-golden") {
        if (!arity(1, 1)) return false;
        c.op = Op::ExpectGolden;
        return file_name_word(w[1], c.word, error);
    } else if (name == "expect-text") {
        if (!arity(2, 2)) return false;
        c.op = Op::ExpectText;
        if (!parse_number(w[1], 0, LCD_WIDTH - 1, c.a) ||
            !parse_number(w[2], 0, LCD_HEIGHT - 1, c.b))
            return bad("expect-text needs a column 0..113 and a row 0..63");
    } else if (name == "shot") {
        if (!arity(1, 2)) return false;
        c.op = Op::Shot;
        c.a = 1;
        if (!file_name_word(w[1], c.word, error)) return false;
        if (args == 2 && !parse_number(w[2], 1, 8, c.a))
            return bad("shot scale 1..8, not '" + w[2] + "'");
    } else if (name == "record") {
        if (!arity(1, 2)) return false;
        c.op = Op::Record;
        c.a = 1;
        if (!file_name_word(w[1], c.word, error)) return false;
        if (args == 2 && !parse_number(w[2], 1, 8, c.a))
            return bad("record scale 1..8, not '" + w[2] + "'");
    } else if (name == "stop-record") {
        if (!arity(0, 0)) return false;
        c.op = Op::StopRecord;
    } else if (name == "dump") {
        if (!arity(0, 0)) return false;
        c.op = Op::Dump;
    } else if (name == "save-settings" || name == "load-settings" || name == "power-on-settings") {
        if (!arity(1, 1)) return false;
        c.op = name == "save-settings"   ? Op::SaveSettings
               : name == "load-settings" ? Op::LoadSettings
                                         : Op::PowerOnSettings;
        return file_name_word(w[1], c.word, error);
    } else if (name == "value") {
        if (!arity(2, 2)) return false;
        c.op = Op::Value;
        if (!parse_number(w[1], 1, 2, c.a)) return bad("channel 1 or 2, not '" + w[1] + "'");
        c.a -= 1;
        char* end = nullptr;
        const double number = std::strtod(w[2].c_str(), &end);
        if (*end != '\0' || !std::isfinite(number)) return bad("'" + w[2] + "' is not a number");
        c.word = w[2];
    } else if (name == "sender") {
        if (!arity(2, 2)) return false;
        c.op = Op::Sender;
        if (!parse_number(w[1], 1, 2, c.a)) return bad("channel 1 or 2, not '" + w[1] + "'");
        c.a -= 1;
        if (w[2] != "open" && w[2] != "short")
            return bad("'sender' open or short, not '" + w[2] + "'");
        c.b = sender_fault_count(w[2] == "open" ? SenderFault::Open : SenderFault::Short);
    } else {
        return bad("unknown command '" + name + "' (see --help)");
    }
    return true;
}

}  // namespace

std::string frame_as_text() {
    std::string text;
    text.reserve((LCD_WIDTH + 1) * LCD_HEIGHT);
    for (int y = 0; y < LCD_HEIGHT; ++y) {
        for (int x = 0; x < LCD_WIDTH; ++x)
            text += lcd_get_pixel(static_cast<u8>(x), static_cast<u8>(y)) ? '#' : '.';
        text += '\n';
    }
    return text;
}

ScenarioLine parse_scenario_line(const std::string& line, ScenarioCommand& command,
                                 std::string& row, std::string& error) {
    const std::string text = trim(line);
    if (!text.empty() && text[0] == '|') {
        row = trim(text.substr(1));
        if (row.empty() || row.find_first_not_of("#.") != std::string::npos) {
            error = "a picture row holds only '#' (lit) and '.' (unlit)";
            return ScenarioLine::Bad;
        }
        return ScenarioLine::Row;
    }
    const std::vector<std::string> words = split_words(text);
    if (words.empty()) return ScenarioLine::Blank;
    command = ScenarioCommand{};
    return parse_command(words, command, error) ? ScenarioLine::Command : ScenarioLine::Bad;
}

ScenarioReader::ScenarioReader(std::istream& in, std::string path)
    : in_(in), path_(std::move(path)), directory_(directory_of(path_)) {}

bool ScenarioReader::bad(int line, const std::string& why) {
    error_ = path_ + ":" + std::to_string(line) + ": " + why;
    ended_ = true;
    return false;
}

bool ScenarioReader::read_line(ScenarioLine& kind, ScenarioCommand& command, std::string& row,
                               std::string& why) {
    // A byte at a time from the stream's buffer, so a line never grows past
    // MAX_LINE_LENGTH however long the file's line is.
    text_.clear();
    std::streambuf* buffer = in_.rdbuf();
    using Traits = std::char_traits<char>;
    bool any = false;
    bool too_long = false;
    while (true) {
        const Traits::int_type ch = buffer->sbumpc();
        if (Traits::eq_int_type(ch, Traits::eof())) break;
        any = true;
        if (ch == '\n') break;
        if (text_.size() == MAX_LINE_LENGTH) {
            too_long = true;
            break;
        }
        text_ += Traits::to_char_type(ch);
    }
    if (!any) return false;
    ++line_;
    if (too_long) {
        why = "a line longer than " + std::to_string(MAX_LINE_LENGTH) + " bytes";
        kind = ScenarioLine::Bad;
        return true;
    }
    // A UTF-8 byte-order mark, as some editors write, is no part of the script.
    if (line_ == 1 && text_.rfind("\xEF\xBB\xBF", 0) == 0) text_.erase(0, 3);
    kind = parse_scenario_line(text_, command, row, why);
    return true;
}

bool ScenarioReader::next(ScenarioCommand& command) {
    using Op = ScenarioCommand::Op;
    while (!ended_) {
        ScenarioLine kind = ScenarioLine::Blank;
        int line = line_;
        std::string why;
        if (have_ahead_) {
            have_ahead_ = false;
            kind = ScenarioLine::Command;
            line = ahead_line_;
            command = std::move(ahead_command_);
        } else if (read_line(kind, command, row_, why)) {
            line = line_;
        } else {
            ended_ = true;
            if (commands_ > 0) return false;
            error_ = path_ + ": an empty script (no commands)";
            return false;
        }
        if (kind == ScenarioLine::Blank) continue;
        if (kind == ScenarioLine::Bad) return bad(line, why);
        if (kind == ScenarioLine::Row) return bad(line, "picture row outside expect-text");
        command.line = line;
        ++commands_;
        if (command.op != Op::ExpectText) return true;

        // Its picture rows follow; the first other line ends them and is
        // kept for the next call if it is a command.
        while (read_line(kind, ahead_command_, row_, why)) {
            if (kind == ScenarioLine::Bad) return bad(line_, why);
            if (kind != ScenarioLine::Row) {
                have_ahead_ = kind == ScenarioLine::Command;
                ahead_line_ = line_;
                break;
            }
            if (!command.rows.empty() && row_.size() != command.rows[0].size())
                return bad(line_, "picture rows differ in width");
            if (command.a + static_cast<long>(row_.size()) > LCD_WIDTH ||
                command.b + static_cast<long>(command.rows.size()) >= LCD_HEIGHT)
                return bad(line_, "picture runs off the LCD");
            command.rows.push_back(row_);
        }
        if (command.rows.empty())
            return bad(command.line,
                       "expect-text needs picture rows ('| ..##..') on the lines after it");
        return true;
    }
    return false;
}

bool parse_scenario(std::istream& in, const std::string& path, Scenario& scenario,
                    std::string& error) {
    scenario.path = path;
    scenario.directory = directory_of(path);
    scenario.commands.clear();
    ScenarioReader reader(in, path);
    for (ScenarioCommand c; reader.next(c);)
        scenario.commands.push_back(c);
    error = reader.error();
    return error.empty();
}

namespace {

// A golden file, read only when it is a regular file and only as far as one
// byte past the frame's size: anything longer differs anyway.
bool read_golden(const std::string& path, size_t frame_size, std::string& text) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(frame_size + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return !in.bad();
}

// One expectation line against the instrument as it stands, for the runner
// and for the window's player alike.
struct ExpectationCheck {
    const std::string& path;
    const std::string& directory;
    u32 lamp;
    bool update_goldens;
    std::ostream& err;
    int status = SCENARIO_OK;

    bool expect(const ScenarioCommand& c);
    bool expect_golden(const ScenarioCommand& c);
    bool expect_text(const ScenarioCommand& c);
    std::string where(const ScenarioCommand& c) const {
        return path + ":" + std::to_string(c.line) + ": ";
    }
    std::string file(const std::string& name) const {
        return !name.empty() && name[0] == '/' ? name : directory + "/" + name;
    }
};

bool ExpectationCheck::expect(const ScenarioCommand& c) {
    std::string actual;
    if (c.word == "page") {
        actual = page_name(current_page);
    } else if (c.word == "lamp") {
        actual = lamp == LAMP_RED ? "red" : lamp == LAMP_MAROON ? "maroon" : "unset";
    } else {
        const Variable* v = find_variable(c.word);
        const std::int64_t want = std::strtoll(c.value.c_str(), nullptr, 10);
        const std::int64_t got = v->read();
        if (got == want) return true;
        actual = std::to_string(got);
    }
    if (actual == c.value) return true;
    err << where(c) << "expected " << c.word << " " << c.value << ", found " << actual << "\n";
    status = SCENARIO_FAILED;
    return false;
}

bool ExpectationCheck::expect_golden(const ScenarioCommand& c) {
    const std::string path = file(c.word);
    const std::string actual = frame_as_text();
    if (update_goldens) {
        std::string error;
        if (!write_file_atomically(path, actual, error)) {
            err << where(c) << "cannot write " << error << "\n";
            status = SCENARIO_BAD;
            return false;
        }
        err << where(c) << "rewrote " << path << "\n";
        return true;
    }
    std::string expected;
    if (!read_golden(path, actual.size(), expected)) {
        err << where(c) << "cannot read golden " << path << "\n";
        status = SCENARIO_BAD;
        return false;
    }
    if (expected == actual) return true;
    err << where(c) << "frame differs from " << path << " (expected | actual, '!!' marks rows):\n";
    std::istringstream e(expected), a(actual);
    std::string le, la;
    for (int row = 0; std::getline(a, la); ++row) {
        if (!std::getline(e, le)) le.clear();
        err << (le == la ? "   " : "!! ") << le << "  |  " << la << "  " << row << "\n";
    }
    status = SCENARIO_FAILED;
    return false;
}

bool ExpectationCheck::expect_text(const ScenarioCommand& c) {
    bool same = true;
    std::string actual;
    for (size_t r = 0; r < c.rows.size(); ++r) {
        std::string row;
        for (size_t i = 0; i < c.rows[r].size(); ++i)
            row += lcd_get_pixel(static_cast<u8>(c.a + static_cast<long>(i)),
                                 static_cast<u8>(c.b + static_cast<long>(r)))
                       ? '#'
                       : '.';
        same = same && row == c.rows[r];
        actual += "  | " + row + (row == c.rows[r] ? "\n" : "   <- differs\n");
    }
    if (same) return true;
    err << where(c) << "pixels from " << c.a << "," << c.b << " differ; the frame has:\n" << actual;
    status = SCENARIO_FAILED;
    return false;
}

// The script runs in two places: at the top, while the instrument is off
// (where "ON" blocks until the instrument stops again), and inside
// process_messages, where the main loop and the splash hand over once per pass
// or frame. Commands that let time pass return from process_messages and
// leave a count of message points to let go by.
class ScenarioHost : public HeadlessHost {
public:
    ScenarioHost(ScenarioReader& reader, const ScenarioOptions& options)
        : reader_(reader), options_(options) {}

    int run() {
        resume();
        if (recorder_.recording()) end_recording(nullptr);
        if (status_ == SCENARIO_OK && options_.out != nullptr)
            *options_.out << reader_.path() << ": ok (" << passes_ << " passes)\n";
        return status_;
    }

    void process_messages() override;
    void before_first_pass() override {
        if (power_on_settings_) settings = *power_on_settings_;
    }

private:
    void resume();
    bool execute(const ScenarioCommand& c);  // true: let the instrument run on
    bool check(const ScenarioCommand& c) {
        const int status = check_expectation(reader_.path(), reader_.directory(), c, lamp,
                                             options_.update_goldens, err());
        if (status != SCENARIO_OK) stop(status);
        return status == SCENARIO_OK;
    }
    bool shot(const ScenarioCommand& c);
    bool record(const ScenarioCommand& c);
    bool end_recording(const ScenarioCommand* c);
    void advance_tick() {
        tick();
        ++ticks_;
        points_since_tick_ = 0;
    }
    // The script's clock: 100 ms a tick, and the message points after a tick
    // at the window's pace of a pass per 20 ms (the first at the tick's
    // time), never reaching the next tick.
    long long clock_ms() const {
        return 100LL * ticks_ + 20LL * std::clamp(points_since_tick_ - 1, 0L, PASSES_PER_TICK - 1L);
    }
    std::vector<u8> lcd_pixels() const;
    bool workbench(const ScenarioCommand& c);
    void stop(int status) {
        if (status_ == SCENARIO_OK) status_ = status;
        stopping_ = true;
        if (instrument_running_depth() > 0) request_power_off();
    }
    std::ostream& err() { return options_.err != nullptr ? *options_.err : std::cerr; }
    std::string where(const ScenarioCommand& c) const {
        return reader_.path() + ":" + std::to_string(c.line) + ": ";
    }
    std::string file(const std::string& name) const {
        return !name.empty() && name[0] == '/' ? name : reader_.directory() + "/" + name;
    }

    ScenarioReader& reader_;
    const ScenarioOptions& options_;
    InvariantChecker checker_;
    int line_ = 0;             // line of the command that last ran
    int inside_messages_ = 0;  // nesting of process_messages running the script
    long skip_points_ = 0;     // message points to let go by
    long wait_ticks_ = 0;      // ticks of a `wait` still to come
    bool await_pass_ = false;  // `on`: go on only after the first pass
    long shows_at_on_ = 0;
    long shows_checked_ = 0;
    long passes_ = 0;
    int status_ = SCENARIO_OK;
    bool stopping_ = false;
    long ticks_ = 0;              // ticks given so far
    long points_since_tick_ = 0;  // passes and splash frames since the last tick
    GifRecorder recorder_;
    std::string recording_path_;
    std::optional<InstrumentSettings> power_on_settings_;  // power-on-settings
};

void ScenarioHost::process_messages() {
    if (options_.at_message_point) options_.at_message_point();
    ++points_since_tick_;
    if (recorder_.recording() && !recorder_.picture(lcd_pixels().data(), clock_ms())) {
        err() << reader_.path() << ":" << line_ << ": " << recorder_.error() << "\n";
        stop(SCENARIO_BAD);
    }
    if (passes_shown != shows_checked_) {
        shows_checked_ = passes_shown;
        ++passes_;
        if (options_.check_invariants && !stopping_) {
            if (const char* broken = checker_.after_pass(*this)) {
                err() << reader_.path() << ":" << line_ << ": after pass " << passes_ << ", on the "
                      << page_name(current_page) << " page: " << broken << "\n";
                stop(SCENARIO_FAILED);
            }
        }
    }
    if (stopping_) {
        request_power_off();
        return;
    }
    if (await_pass_) {
        if (passes_shown == shows_at_on_) return;
        await_pass_ = false;
    } else if (skip_points_ > 0) {
        if (--skip_points_ > 0) return;
        if (wait_ticks_ > 0) {
            --wait_ticks_;
            advance_tick();
            skip_points_ = PASSES_PER_TICK;
            return;
        }
    }
    ++inside_messages_;
    resume();
    --inside_messages_;
}

void ScenarioHost::resume() {
    // Each nesting of "ON" runs the script from here with its own command:
    // the one that powered on is still being executed further out.
    ScenarioCommand c;
    while (!stopping_) {
        if (!reader_.next(c)) {
            if (!reader_.error().empty()) {
                err() << reader_.error() << "\n";
                stop(SCENARIO_BAD);
                return;
            }
            // The end of the script closes the window.
            if (instrument_running_depth() > 0) request_power_off();
            return;
        }
        line_ = c.line;
        if (execute(c)) return;
    }
}

bool ScenarioHost::execute(const ScenarioCommand& c) {
    using Op = ScenarioCommand::Op;
    const bool running = inside_messages_ > 0;
    switch (c.op) {
        case Op::On:
            if (instrument_running_depth() >= MAX_POWER_ON_DEPTH) {
                err() << where(c) << "'on' nested deeper than " << MAX_POWER_ON_DEPTH << "\n";
                stop(SCENARIO_BAD);
                return running;
            }
            checker_.restart();
            await_pass_ = c.a == 0;
            shows_at_on_ = passes_shown;
            skip_points_ = 0;
            wait_ticks_ = 0;
            power_on_and_run(*this);
            // Back here once the instrument (this "ON" and every one around
            // it) has stopped: whatever was being waited for is over.
            skip_points_ = 0;
            wait_ticks_ = 0;
            await_pass_ = false;
            return false;
        case Op::Off: request_power_off(); return running;
        case Op::Key:
            // The window's handlers send the five known codes; others are
            // written the same way, under the same one-pending rule.
            if (pending_key == KeyNone) pending_key = static_cast<KeyCode>(c.a);
            return false;
        case Op::Slider: set_input(static_cast<u8>(c.a), static_cast<u32>(c.b)); return false;
        case Op::Calibrate: calibrate = c.a == 1; return false;
        case Op::KeyFast: keyfast = c.a == 1; return false;
        case Op::Ticks:
            for (long i = 0; i < c.a; ++i)
                advance_tick();
            return false;
        case Op::Passes:
            if (!running) return false;
            skip_points_ = c.a;
            return true;
        case Op::Wait:
            if (!running) {
                for (long i = 0; i < c.a; ++i)
                    advance_tick();
                return false;
            }
            advance_tick();
            skip_points_ = PASSES_PER_TICK;
            wait_ticks_ = c.a - 1;
            return true;
        case Op::Expect:
        case Op::ExpectGolden:
        case Op::ExpectText: return !check(c) && running;
        case Op::Shot: return !shot(c) && running;
        case Op::Record: return !record(c) && running;
        case Op::StopRecord: return !end_recording(&c) && running;
        case Op::Dump:
            if (options_.out != nullptr) *options_.out << frame_as_text();
            return false;
        case Op::SaveSettings:
        case Op::LoadSettings:
        case Op::PowerOnSettings:
        case Op::Value: return !workbench(c) && running;
        case Op::Sender: set_input(static_cast<u8>(c.a), static_cast<u32>(c.b)); return false;
    }
    return false;
}

std::vector<u8> ScenarioHost::lcd_pixels() const {
    std::vector<u8> lit(static_cast<size_t>(LCD_WIDTH) * LCD_HEIGHT);
    for (int y = 0; y < LCD_HEIGHT; ++y)
        for (int x = 0; x < LCD_WIDTH; ++x)
            lit[static_cast<size_t>(y) * LCD_WIDTH + x] = picture_lit(2 * x, 2 * y) ? 1 : 0;
    return lit;
}

bool ScenarioHost::shot(const ScenarioCommand& c) {
    TwoColourImage image;
    image.width = LCD_PICTURE_WIDTH;
    image.height = LCD_PICTURE_HEIGHT;
    image.background = UNLIT & 0xFFFFFFu;
    image.foreground = LCD_BLACK & 0xFFFFFFu;
    image.lit.resize(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.lit[static_cast<size_t>(y) * image.width + x] = picture_lit(x, y) ? 1 : 0;
    const std::string path = file(c.word);
    std::string error;
    if (write_png(path, enlarged(image, static_cast<int>(c.a)), error)) return true;
    err() << where(c) << "cannot write " << error << "\n";
    stop(SCENARIO_BAD);
    return false;
}

bool ScenarioHost::record(const ScenarioCommand& c) {
    if (recorder_.recording() && !end_recording(&c)) return false;
    recording_path_ = file(c.word);
    // The picture's 2 x 2 blocks are each one LCD pixel.
    if (!recorder_.start(recording_path_, LCD_WIDTH, LCD_HEIGHT, 2 * static_cast<int>(c.a),
                         UNLIT & 0xFFFFFFu, LCD_BLACK & 0xFFFFFFu)) {
        err() << where(c) << "cannot write " << recorder_.error() << "\n";
        stop(SCENARIO_BAD);
        return false;
    }
    recorder_.picture(lcd_pixels().data(), clock_ms());
    return true;
}

// `c` is the stop-record command, or null at the end of the script.
bool ScenarioHost::end_recording(const ScenarioCommand* c) {
    const std::string at = c != nullptr ? where(*c) : reader_.path() + ": ";
    if (!recorder_.recording()) {
        err() << at << "stop-record without a recording\n";
        stop(SCENARIO_BAD);
        return false;
    }
    if (recorder_.stop(clock_ms())) return true;
    err() << at << "cannot write " << recorder_.error() << "\n";
    stop(SCENARIO_BAD);
    return false;
}

// Settings files and setting a sensor by value. What goes wrong here is the
// script's fault (a file that does not load, a number the channel cannot
// show), so it ends the run as a bad line.
bool ScenarioHost::workbench(const ScenarioCommand& c) {
    using Op = ScenarioCommand::Op;
    std::string error;
    bool done = false;
    if (c.op == Op::SaveSettings) {
        done = save_settings_file(file(c.word), settings, error);
    } else if (c.op == Op::LoadSettings || c.op == Op::PowerOnSettings) {
        InstrumentSettings loaded;
        done = load_settings_file(file(c.word), loaded, error);
        if (done && c.op == Op::LoadSettings) apply_settings(loaded);
        if (done && c.op == Op::PowerOnSettings) power_on_settings_ = loaded;
    } else {
        u32 count = 0;
        const u8 channel = static_cast<u8>(c.a);
        done = count_for_value(channel, std::strtod(c.word.c_str(), nullptr), count, error);
        if (done) set_input(channel, count);
    }
    if (done) return true;
    err() << where(c) << error << "\n";
    stop(SCENARIO_BAD);
    return false;
}

}  // namespace

int check_expectation(const std::string& path, const std::string& directory,
                      const ScenarioCommand& c, u32 lamp, bool update_goldens, std::ostream& err) {
    ExpectationCheck check{path, directory, lamp, update_goldens, err};
    switch (c.op) {
        case ScenarioCommand::Op::Expect: check.expect(c); break;
        case ScenarioCommand::Op::ExpectGolden: check.expect_golden(c); break;
        case ScenarioCommand::Op::ExpectText: check.expect_text(c); break;
        default: break;
    }
    return check.status;
}

int run_scenario(std::istream& in, const std::string& path, const ScenarioOptions& options) {
    ScenarioReader reader(in, path);
    ScenarioHost host(reader, options);
    const int status = host.run();
    // The host's picture goes away with it.
    lcd_attach_canvas(nullptr);
    return status;
}

int run_scenario_file(const std::string& path, const ScenarioOptions& options) {
    std::ostream& err = options.err != nullptr ? *options.err : std::cerr;
    const InputFile file = look_at_input(path);
    if (file.error) {
        err << "dg2_scenario: cannot read " << path << ": " << file.error.message() << "\n";
        return SCENARIO_BAD;
    }
    if (!file.regular) {
        err << "dg2_scenario: " << path << " is " << file.what << ", not a scenario\n";
        return SCENARIO_BAD;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        err << "dg2_scenario: cannot read " << path << "\n";
        return SCENARIO_BAD;
    }
    return run_scenario(in, path, options);
}
