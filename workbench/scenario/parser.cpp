#include "workbench/scenario/parser.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "firmware/firmware.h"
#include "workbench/scenario/expectations.h"
#include "workbench/sensors/sensor_value.h"

namespace {

bool parse_number(const std::string& text, long low, long high, long& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    // The whole word: a NUL byte inside it ends no number.
    if (errno != 0 || end != text.c_str() + text.size() || v < low || v > high) return false;
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

// The keys by their names in scripts, as the recorder writes them too.
struct KeyName {
    const char* name;
    KeyCode code;
};
constexpr KeyName KEY_NAMES[] = {{"centre", KeyCentre},
                                 {"cw", KeyClockwise},
                                 {"acw", KeyAnticlockwise},
                                 {"left", KeyLeft},
                                 {"right", KeyRight}};

bool parse_key(const std::string& text, long& code) {
    for (const auto& k : KEY_NAMES) {
        if (text == k.name) {
            code = k.code;
            return true;
        }
    }
    return parse_number(text, 1, 255, code);
}

// A number in a channel's unit, as `value` and `ramp` take it.
bool parse_value(const std::string& text) {
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(number);
}

// Seconds with at most one decimal, 0.1 .. 1000000, as a count of tenths.
bool parse_tenths(const std::string& text, long& tenths) {
    const size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    long w = 0;
    long d = 0;
    if (whole.empty() || whole.find_first_not_of("0123456789") != std::string::npos ||
        !parse_number(whole, 0, 1000000, w))
        return false;
    if (point != std::string::npos) {
        const std::string decimal = text.substr(point + 1);
        if (decimal.size() != 1 || !parse_number(decimal, 0, 9, d)) return false;
    }
    tenths = w * 10 + d;
    return tenths > 0 && tenths <= 10000000;
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
        if (!parse_value(w[2])) return bad("'" + w[2] + "' is not a number");
        c.word = w[2];
    } else if (name == "ramp") {
        if (!arity(4, 4)) return false;
        c.op = Op::Ramp;
        if (!parse_number(w[1], 1, 2, c.a)) return bad("channel 1 or 2, not '" + w[1] + "'");
        c.a -= 1;
        // Plain decimals: the ends are a log's first and last values.
        for (const std::string* end : {&w[2], &w[3]})
            if (!parse_value(*end) ||
                end->find_first_not_of("0123456789+-.eE") != std::string::npos)
                return bad("'" + *end + "' is not a number");
        c.word = w[2];
        c.value = w[3];
        if (!parse_tenths(w[4], c.b))
            return bad("'ramp' takes 0.1 to 1000000 seconds with at most one decimal, not '" +
                       w[4] + "'");
    } else if (name == "play-log") {
        if (!arity(1, 1)) return false;
        c.op = Op::PlayLog;
        return file_name_word(w[1], c.word, error);
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

const char* scenario_key_name(KeyCode key) {
    for (const auto& k : KEY_NAMES)
        if (k.code == key) return k.name;
    return nullptr;
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
