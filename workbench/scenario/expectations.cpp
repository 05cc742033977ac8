#include "workbench/scenario/expectations.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <sstream>

#include "firmware/core/page_names.h"
#include "firmware/firmware.h"
#include "runtime/host.h"
#include "runtime/instrument.h"
#include "workbench/files/atomic_file.h"
#include "workbench/scenario/reader.h"

namespace {

// Expected values of `expect`: any u32 or s32 the instrument holds, also where
// long is 32 bits wide (WebAssembly).
bool parse_value(const std::string& text, std::int64_t& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const std::int64_t v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size() || v < -2147483648LL || v > 4294967295LL)
        return false;
    value = v;
    return true;
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
    std::string file(const std::string& name) const { return scenario_file(directory, name); }
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

}  // namespace

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
