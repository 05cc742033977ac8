#include "workbench/settings/settings_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <span>
#include <sstream>

#include "firmware/core/keys.h"
#include "firmware/core/setting_names.h"
#include "firmware/menus/pages.h"
#include "workbench/files/atomic_file.h"

// toml++ reports parse errors through its result type instead of throwing, so
// nothing thrown by it can escape into the window or the runner.
#define TOML_EXCEPTIONS 0
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow"
#include <toml++/toml.h>
#pragma GCC diagnostic pop

namespace {

using Names = std::span<const std::string_view>;

template <int N, int W>
constexpr std::array<std::string_view, N> names(const char (&table)[N][W]) {
    std::array<std::string_view, N> list{};
    for (int i = 0; i < N; ++i)
        list[i] = table[i];
    return list;
}

constexpr auto OFF_ON = names(OFF_ON_NAMES);
constexpr auto CHANNEL_KINDS = names(CHANNEL_KIND_NAMES);
constexpr auto INPUT_TYPES = names(PRESSURE_INPUT_NAMES);
constexpr auto PRESSURE_UNITS = names(PRESSURE_UNIT_NAMES);
constexpr auto PRESSURE_LABELS = names(PRESSURE_LABEL_NAMES);
constexpr auto TRANSDUCER_MODELS = names(TRANSDUCER_MODEL_NAMES);
constexpr auto VDO_RANGES = names(VDO_RANGE_NAMES);
constexpr auto TEMPERATURE_LABELS = names(TEMPERATURE_LABEL_NAMES);
constexpr auto TEMPERATURE_SENDERS = names(TEMPERATURE_SENDER_NAMES);
// The display setup page spells these out in its own lines.
constexpr std::string_view LAYOUTS[] = {"DUAL", "SINGLE"};
constexpr std::string_view ORIENTATIONS[] = {"VERTICAL", "HORIZONTAL"};
constexpr std::string_view CYCLE_MODES[] = {"MANUAL", "AUTO"};
// The menus print the degree sign with the LCD font's '|' ("|C"); a file says
// "C" or "F" and reads the LCD spelling too (plain ASCII: see non_ascii_line).
constexpr std::string_view TEMPERATURE_UNITS[] = {"C", "F"};

// The pressure sender is named as the SENDER line shows it, which depends on
// the input type: a resistive input has VDO or USER, a 0-5V input UMA (the
// standard transducer) or USER, a 4-20mA input ROTAX or USER.
std::string_view standard_sender_name(PressureInput input) {
    switch (input) {
        case PressureInput::Voltage: return "UMA";
        case PressureInput::Current: return "ROTAX";
        default: return "";
    }
}

// The 4 mA pressure keeps its value over a unit change, so it may hold
// anything up to the largest unit limit.
constexpr s32 PRESSURE_AT_4MA_MAX = 999;
// Temperatures are not clamped on a unit change either: the Fahrenheit range
// holds under both units.
constexpr s32 TEMPERATURE_MIN = -40;
constexpr s32 TEMPERATURE_MAX = 570;
constexpr s32 LM335_OFFSET_LIMIT = 30;
constexpr s32 CONTRAST_MAX = 57;
constexpr s32 READING_MAX = 4096;
// The curve editor tests its limits before a step, so values and readings can
// end up to 10 beyond 0..999 and 0..4096; readings below 0 are stored as
// their 32-bit pattern and read back as the negative number.
constexpr s32 CURVE_VALUE_MIN = -9;
constexpr s32 CURVE_VALUE_MAX = 1008;
constexpr s32 CURVE_READING_MIN = -9;
constexpr s32 CURVE_READING_MAX = 4105;
constexpr u32 CURVE_MIN_POINTS = 2;

// ---------------------------------------------------------------- writing

class Writer {
public:
    void line(std::string_view text) {
        out_ += text;
        out_ += '\n';
    }
    void integer(std::string_view key, std::int64_t v) {
        out_ += key;
        out_ += " = ";
        out_ += std::to_string(v);
        out_ += '\n';
    }
    void name(std::string_view key, Names list, u32 code) {
        // A code no menu produces has no name: it is written as its number,
        // which the reader refuses (save checks that before writing).
        if (code >= list.size()) return integer(key, code);
        out_ += key;
        out_ += " = ";
        std::ostringstream quoted;
        quoted << toml::toml_formatter{toml::value<std::string>(std::string(list[code])),
                                       toml::format_flags::allow_unicode_strings};
        out_ += quoted.str();
        out_ += '\n';
    }
    void name(std::string_view key, std::string_view text) {
        const std::string_view one[] = {text};
        name(key, one, 0);
    }
    void curve(const std::string& table, const SenderCurve& c) {
        line("");
        line("[" + table + "]");
        integer("point_count", c.point_count);
        // Slots beyond the count are kept too when they hold anything (the
        // curve editor leaves them when the count is lowered), so a saved
        // record loads back whole.
        u32 slots = c.point_count < CURVE_MAX_POINTS ? c.point_count : CURVE_MAX_POINTS;
        for (u32 i = slots; i < CURVE_MAX_POINTS; ++i)
            if (c.points[i].value != 0 || c.points[i].reading != 0) slots = i + 1;
        line("points = [");
        for (u32 i = 0; i < slots; ++i) {
            const CurvePoint& p = c.points[i];
            out_ += "  { value = " + std::to_string(p.value) +
                    ", reading = " + std::to_string(static_cast<s32>(p.reading)) + " },\n";
        }
        line("]");
    }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

void write_pressure(Writer& w, const std::string& table, const PressureChannelSettings& p) {
    w.line("");
    w.line("[" + table + "]");
    w.name("input_type", INPUT_TYPES, static_cast<u32>(p.input_type));
    if (p.sender == PressureSender::Vdo)
        w.name("sender", "VDO");
    else if (p.sender == PressureSender::User)
        w.name("sender", "USER");
    else if (p.sender == PressureSender::Standard && p.input_type != PressureInput::Resistive)
        w.name("sender", standard_sender_name(p.input_type));
    else
        w.integer("sender", static_cast<u32>(p.sender));
    w.name("unit", PRESSURE_UNITS, static_cast<u32>(p.unit));
    w.integer("pressure_at_4ma", p.pressure_at_4ma);
    w.integer("pressure_at_20ma", p.pressure_at_20ma);
    w.name("label", PRESSURE_LABELS, static_cast<u32>(p.label));
    w.integer("span", p.span);
    w.name("top_scale", OFF_ON, p.top_scale);
    w.name("low_alarm_on", OFF_ON, p.low_alarm_on);
    w.integer("low_alarm", p.low_alarm);
    w.name("high_alarm_on", OFF_ON, p.high_alarm_on);
    w.integer("high_alarm", p.high_alarm);
    w.name("transducer_model", TRANSDUCER_MODELS, p.transducer_model);
    w.name("vdo_range", VDO_RANGES, p.vdo_range);
    w.curve(table + ".user_curve", p.user_curve);
}

void write_temperature(Writer& w, const std::string& table, const TemperatureChannelSettings& t) {
    w.line("");
    w.line("[" + table + "]");
    w.name("label", TEMPERATURE_LABELS, static_cast<u32>(t.label));
    w.integer("span", t.span);
    w.name("top_scale", OFF_ON, t.top_scale);
    w.integer("low_alarm", t.low_alarm);
    w.name("low_alarm_on", OFF_ON, t.low_alarm_on);
    w.integer("high_alarm", t.high_alarm);
    w.name("high_alarm_on", OFF_ON, t.high_alarm_on);
    w.name("unit", TEMPERATURE_UNITS, static_cast<u32>(t.unit));
    w.name("sender", TEMPERATURE_SENDERS, static_cast<u32>(t.sender));
    w.integer("lm335_offset", t.lm335_offset);
    w.curve(table + ".user_curve", t.user_curve);
}

// ---------------------------------------------------------------- reading

const char* type_name(const toml::node& n) {
    switch (n.type()) {
        case toml::node_type::table: return "a table";
        case toml::node_type::array: return "an array";
        case toml::node_type::string: return "a string";
        case toml::node_type::integer: return "an integer";
        case toml::node_type::floating_point: return "a floating-point number";
        case toml::node_type::boolean: return "a boolean";
        default: return "a date or time";
    }
}

// A text as a TOML string says it, so an error names a value the way it is
// written in the file ("\"Hg") and stays on one line whatever the value holds.
// Built piece by piece: the one-expression form trips a false -Wrestrict of
// GCC 12 in optimised builds.
std::string quoted(std::string_view text) {
    std::string q;
    q.reserve(text.size() + 2);
    q += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            q += '\\';
            q += c;
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
            q += escape;
        } else {
            q += c;
        }
    }
    q += '"';
    return q;
}

std::string joined(Names list) {
    std::string all;
    for (size_t i = 0; i < list.size(); ++i) {
        if (i > 0) all += i + 1 == list.size() ? " or " : ", ";
        all += quoted(list[i]);
    }
    return all;
}

class Reader {
public:
    explicit Reader(const std::string& file) : file_(file) {}

    bool fail(const toml::source_region& at, const std::string& key, const std::string& what) {
        if (error_.empty()) {
            const unsigned line = at.begin.line > 0 ? at.begin.line : 1;
            error_ = file_ + ":" + std::to_string(line) + ": key '" + key + "': " + what;
        }
        return false;
    }
    const std::string& error() const { return error_; }

private:
    const std::string& file_;
    std::string error_;
};

// One table of the file. Every key it holds must be one the record has, and
// every key the record has must be there.
class Table {
public:
    Table(Reader& reader, const toml::table& table, std::string path)
        : reader_(reader), table_(table), path_(std::move(path)) {}

    bool only(std::initializer_list<std::string_view> known) {
        for (auto&& [key, node] : table_) {
            bool found = false;
            for (std::string_view k : known)
                found = found || key.str() == k;
            if (!found) return reader_.fail(key.source(), full(key.str()), "unknown key");
        }
        return true;
    }

    const toml::node* find(std::string_view key) {
        const toml::node* node = table_.get(key);
        if (node == nullptr) {
            // A missing key has no line of its own: name the table's.
            reader_.fail(table_.source(), full(key), "missing");
        }
        return node;
    }

    bool integer(std::string_view key, std::int64_t low, std::int64_t high, std::int64_t& out,
                 const std::string& why = "") {
        const toml::node* node = find(key);
        if (node == nullptr) return false;
        if (!node->is_integer()) return wrong_type(key, *node, "an integer");
        const std::int64_t v = node->as_integer()->get();
        if (v < low || v > high) {
            std::string what = std::to_string(v) + " is outside " + std::to_string(low) + ".." +
                               std::to_string(high);
            if (!why.empty()) what += " (" + why + ")";
            return reader_.fail(node->source(), full(key), what);
        }
        out = v;
        return true;
    }

    bool text(std::string_view key, std::string_view& out) {
        const toml::node* node = find(key);
        if (node == nullptr) return false;
        if (!node->is_string()) return wrong_type(key, *node, "a string");
        out = node->as_string()->get();
        at_ = node->source();
        return true;
    }

    template <typename T>
    bool name(std::string_view key, Names list, T& out) {
        std::string_view t;
        if (!text(key, t)) return false;
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i] == t) {
                out = static_cast<T>(i);
                return true;
            }
        }
        return bad_value(key, quoted(t) + " is not one of " + joined(list));
    }

    bool sub(std::string_view key, const toml::table*& out) {
        const toml::node* node = find(key);
        if (node == nullptr) return false;
        if (!node->is_table()) return wrong_type(key, *node, "a table");
        out = node->as_table();
        return true;
    }

    const toml::node* node(std::string_view key) { return table_.get(key); }

    // A bad value of the key text() or name() last read.
    bool bad_value(std::string_view key, const std::string& what) {
        return reader_.fail(at_, full(key), what);
    }

    std::string full(std::string_view key) const {
        return path_.empty() ? std::string(key) : path_ + "." + std::string(key);
    }
    Reader& reader() { return reader_; }

private:
    bool wrong_type(std::string_view key, const toml::node& node, const char* wanted) {
        return reader_.fail(node.source(), full(key),
                            std::string("must be ") + wanted + ", not " + type_name(node));
    }

    Reader& reader_;
    const toml::table& table_;
    std::string path_;
    toml::source_region at_{};
};

bool read_switch(Table& t, std::string_view key, u8& out) { return t.name(key, OFF_ON, out); }

bool read_curve(Table& parent, SenderCurve& c) {
    const toml::table* table = nullptr;
    if (!parent.sub("user_curve", table)) return false;
    Table t(parent.reader(), *table, parent.full("user_curve"));
    if (!t.only({"point_count", "points"})) return false;
    std::int64_t count = 0;
    if (!t.integer("point_count", CURVE_MIN_POINTS, CURVE_MAX_POINTS, count)) return false;

    const toml::node* node = t.find("points");
    if (node == nullptr) return false;
    const std::string key = t.full("points");
    if (!node->is_array())
        return t.reader().fail(node->source(), key,
                               std::string("must be an array, not ") + type_name(*node));
    const toml::array& points = *node->as_array();
    if (points.size() > CURVE_MAX_POINTS)
        return t.reader().fail(node->source(), key,
                               std::to_string(points.size()) + " points; a curve holds at most " +
                                   std::to_string(CURVE_MAX_POINTS));
    if (points.size() < static_cast<size_t>(count))
        return t.reader().fail(
            node->source(), key,
            std::to_string(points.size()) + " points, but point_count is " + std::to_string(count));

    SenderCurve curve{};
    curve.point_count = static_cast<u32>(count);
    for (size_t i = 0; i < points.size(); ++i) {
        const toml::node& p = points[i];
        const std::string name = key + "[" + std::to_string(i) + "]";
        if (!p.is_table())
            return t.reader().fail(
                p.source(), name,
                std::string("must be { value = V, reading = R }, not ") + type_name(p));
        Table point(t.reader(), *p.as_table(), name);
        std::int64_t value = 0;
        std::int64_t reading = 0;
        if (!point.only({"value", "reading"}) ||
            !point.integer("value", CURVE_VALUE_MIN, CURVE_VALUE_MAX, value) ||
            !point.integer("reading", CURVE_READING_MIN, CURVE_READING_MAX, reading))
            return false;
        curve.points[i].value = static_cast<s32>(value);
        curve.points[i].reading = static_cast<u32>(static_cast<s32>(reading));
    }
    c = curve;
    return true;
}

bool read_pressure(Table& channel, PressureChannelSettings& p) {
    const toml::table* table = nullptr;
    if (!channel.sub("pressure", table)) return false;
    Table t(channel.reader(), *table, channel.full("pressure"));
    if (!t.only({"input_type", "sender", "unit", "pressure_at_4ma", "pressure_at_20ma", "label",
                 "span", "top_scale", "low_alarm_on", "low_alarm", "high_alarm_on", "high_alarm",
                 "transducer_model", "vdo_range", "user_curve"}))
        return false;
    if (!t.name("input_type", INPUT_TYPES, p.input_type)) return false;

    std::string_view sender;
    if (!t.text("sender", sender)) return false;
    const std::string_view standard = standard_sender_name(p.input_type);
    if (sender == "USER")
        p.sender = PressureSender::User;
    else if (standard.empty() && sender == "VDO")
        p.sender = PressureSender::Vdo;
    else if (!standard.empty() && sender == standard)
        p.sender = PressureSender::Standard;
    else
        return t.bad_value("sender", quoted(sender) + " is not a sender of a " +
                                         quoted(INPUT_TYPES[static_cast<u8>(p.input_type)]) +
                                         " input (" + quoted(standard.empty() ? "VDO" : standard) +
                                         " or \"USER\")");

    if (!t.name("unit", PRESSURE_UNITS, p.unit)) return false;
    const s32 limit = pressure_unit_limit(p.unit);
    const std::string why =
        "the range of a " + quoted(PRESSURE_UNITS[static_cast<u8>(p.unit)]) + " channel";
    std::int64_t v = 0;
    if (!t.integer("pressure_at_4ma", 0, PRESSURE_AT_4MA_MAX, v)) return false;
    p.pressure_at_4ma = static_cast<s32>(v);
    if (!t.integer("pressure_at_20ma", 1, limit, v, why)) return false;
    p.pressure_at_20ma = static_cast<u32>(v);
    if (!t.name("label", PRESSURE_LABELS, p.label)) return false;
    if (!t.integer("span", 1, limit, v, why)) return false;
    p.span = static_cast<s32>(v);
    if (!read_switch(t, "top_scale", p.top_scale) ||
        !read_switch(t, "low_alarm_on", p.low_alarm_on))
        return false;
    if (!t.integer("low_alarm", 1, limit, v, why)) return false;
    p.low_alarm = static_cast<s32>(v);
    if (!read_switch(t, "high_alarm_on", p.high_alarm_on)) return false;
    if (!t.integer("high_alarm", 1, limit, v, why)) return false;
    p.high_alarm = static_cast<s32>(v);
    if (!t.name("transducer_model", TRANSDUCER_MODELS, p.transducer_model)) return false;
    if (!t.name("vdo_range", VDO_RANGES, p.vdo_range)) return false;
    return read_curve(t, p.user_curve);
}

bool read_temperature(Table& channel, TemperatureChannelSettings& s) {
    const toml::table* table = nullptr;
    if (!channel.sub("temperature", table)) return false;
    Table t(channel.reader(), *table, channel.full("temperature"));
    if (!t.only({"label", "span", "top_scale", "low_alarm", "low_alarm_on", "high_alarm",
                 "high_alarm_on", "unit", "sender", "lm335_offset", "user_curve"}))
        return false;
    std::int64_t v = 0;
    if (!t.name("label", TEMPERATURE_LABELS, s.label)) return false;
    if (!t.integer("span", TEMPERATURE_MIN, TEMPERATURE_MAX, v)) return false;
    s.span = static_cast<s32>(v);
    if (!read_switch(t, "top_scale", s.top_scale)) return false;
    if (!t.integer("low_alarm", TEMPERATURE_MIN, TEMPERATURE_MAX, v)) return false;
    s.low_alarm = static_cast<s32>(v);
    if (!read_switch(t, "low_alarm_on", s.low_alarm_on)) return false;
    if (!t.integer("high_alarm", TEMPERATURE_MIN, TEMPERATURE_MAX, v)) return false;
    s.high_alarm = static_cast<s32>(v);
    if (!read_switch(t, "high_alarm_on", s.high_alarm_on)) return false;

    std::string_view unit;
    if (!t.text("unit", unit)) return false;
    if (unit == "C" || unit == "|C")
        s.unit = TemperatureUnit::Celsius;
    else if (unit == "F" || unit == "|F")
        s.unit = TemperatureUnit::Fahrenheit;
    else
        return t.bad_value("unit", quoted(unit) + " is not one of " + joined(TEMPERATURE_UNITS));

    if (!t.name("sender", TEMPERATURE_SENDERS, s.sender)) return false;
    if (!t.integer("lm335_offset", -LM335_OFFSET_LIMIT, LM335_OFFSET_LIMIT, v)) return false;
    s.lm335_offset = static_cast<s8>(v);
    return read_curve(t, s.user_curve);
}

bool read_settings(Table& root, InstrumentSettings& s) {
    if (!root.only({"format", "cal_reading_4ma", "cal_reading_20ma", "contrast", "backlight",
                    "display_layout", "bar_orientation", "cycle_mode", "display_time_index",
                    "channel1", "channel2"}))
        return false;
    std::int64_t v = 0;
    if (!root.integer("format", SETTINGS_FILE_FORMAT, SETTINGS_FILE_FORMAT, v,
                      "this program reads format " + std::to_string(SETTINGS_FILE_FORMAT)))
        return false;
    if (!root.integer("cal_reading_4ma", 0, READING_MAX, v)) return false;
    s.cal_reading_4ma = static_cast<u32>(v);
    if (!root.integer("cal_reading_20ma", 0, READING_MAX, v)) return false;
    s.cal_reading_20ma = static_cast<u32>(v);
    if (!root.integer("contrast", 0, CONTRAST_MAX, v)) return false;
    s.contrast = static_cast<u8>(v);
    if (!read_switch(root, "backlight", s.backlight)) return false;
    if (!root.name("display_layout", LAYOUTS, s.display_layout) ||
        !root.name("bar_orientation", ORIENTATIONS, s.bar_orientation) ||
        !root.name("cycle_mode", CYCLE_MODES, s.cycle_mode))
        return false;
    if (!root.integer("display_time_index", 0, static_cast<std::int64_t>(sizeof DISPLAY_TIMES) - 1,
                      v, "an index into the display times 1, 3, 5, 10, 15, 30, 60 s"))
        return false;
    s.display_time_index = static_cast<u8>(v);

    for (int c = 0; c < 2; ++c) {
        const std::string key = "channel" + std::to_string(c + 1);
        const toml::table* table = nullptr;
        if (!root.sub(key, table)) return false;
        Table channel(root.reader(), *table, key);
        if (!channel.only({"channel_kind", "pressure", "temperature"}) ||
            !channel.name("channel_kind", CHANNEL_KINDS, s.channel_kind[c]) ||
            !read_pressure(channel, s.pressure[c]) || !read_temperature(channel, s.temperature[c]))
            return false;
    }
    return true;
}

// The TOML reader of this toml++ release marks a branch of its Unicode
// whitespace test as unreachable, yet reaches it for many non-ASCII
// characters (U+00A1 to U+0499 among them) wherever it looks for whitespace:
// between tokens, inside quoted keys, after a line-ending backslash. Nothing
// in a settings file needs such characters outside comments, so they are
// refused before the text reaches the parser. Returns the line of the first
// one, or 0.
unsigned non_ascii_line(std::string_view text) {
    enum class In { Code, Comment, Basic, Literal, MultiBasic, MultiLiteral } in = In::Code;
    unsigned line = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool triple = i + 2 < text.size() && text[i + 1] == c && text[i + 2] == c;
        if (c == '\n') ++line;
        if (static_cast<unsigned char>(c) >= 0x80 && in != In::Comment) return line;
        switch (in) {
            case In::Code:
                if (c == '#') in = In::Comment;
                if (c == '"' || c == '\'') {
                    const bool basic = c == '"';
                    in = triple ? (basic ? In::MultiBasic : In::MultiLiteral)
                                : (basic ? In::Basic : In::Literal);
                    if (triple) i += 2;
                }
                break;
            case In::Comment:
                if (c == '\n') in = In::Code;
                break;
            case In::Basic:
            case In::MultiBasic:
                if (c == '\\') {
                    // The escaped character is still checked on the next round
                    // if it is not plain.
                    if (i + 1 < text.size() && text[i + 1] == '\n') ++line;
                    if (i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80)
                        return line;
                    ++i;
                } else if (c == '"' && (in == In::Basic || triple)) {
                    if (in == In::MultiBasic) i += 2;
                    in = In::Code;
                } else if (c == '\n' && in == In::Basic) {
                    in = In::Code;  // unterminated: the parser says so
                }
                break;
            case In::Literal:
            case In::MultiLiteral:
                if (c == '\'' && (in == In::Literal || triple)) {
                    if (in == In::MultiLiteral) i += 2;
                    in = In::Code;
                } else if (c == '\n' && in == In::Literal) {
                    in = In::Code;
                }
                break;
        }
    }
    return 0;
}

}  // namespace

std::string settings_to_toml(const InstrumentSettings& s) {
    Writer w;
    w.integer("format", SETTINGS_FILE_FORMAT);
    w.line("# Corvanta Meridial DG-2 settings. Numbers are in the record's own units:");
    w.line(
        "# pressures in tenths for BAR and PSI(0.1), whole PSI and \"Hg otherwise; temperatures");
    w.line("# in whole degrees (unit \"C\" or \"F\"); readings are raw input counts (0..4096).");
    w.line("");
    w.integer("cal_reading_4ma", s.cal_reading_4ma);
    w.integer("cal_reading_20ma", s.cal_reading_20ma);
    w.integer("contrast", s.contrast);
    w.name("backlight", OFF_ON, s.backlight);
    w.name("display_layout", LAYOUTS, static_cast<u32>(s.display_layout));
    w.name("bar_orientation", ORIENTATIONS, static_cast<u32>(s.bar_orientation));
    w.name("cycle_mode", CYCLE_MODES, static_cast<u32>(s.cycle_mode));
    w.integer("display_time_index", s.display_time_index);
    for (int c = 0; c < 2; ++c) {
        const std::string table = "channel" + std::to_string(c + 1);
        w.line("");
        w.line("[" + table + "]");
        w.name("channel_kind", CHANNEL_KINDS, static_cast<u32>(s.channel_kind[c]));
        write_pressure(w, table + ".pressure", s.pressure[c]);
        write_temperature(w, table + ".temperature", s.temperature[c]);
    }
    return w.take();
}

// Whether the text begins as a settings file does, with its `format` line
// (blank lines and comments before it aside). A file that does not and is
// not TOML either is most likely some other file chosen by mistake.
static bool starts_with_format(std::string_view text) {
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        if (line.empty() || line.front() == '#' || line.front() == '\r') continue;
        return line.substr(0, 6) == "format";
    }
    return false;
}

bool settings_from_toml(std::string_view text, const std::string& file_name,
                        InstrumentSettings& out, std::string& error) {
    // A byte-order mark some editors write is not text.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    // Said first, in plain words, when the file is none of ours: the
    // parser's words follow.
    const std::string not_ours = starts_with_format(text) ? "" : "not a settings file: ";
    if (const unsigned line = non_ascii_line(text)) {
        error = file_name + ":" + std::to_string(line) + ": " + not_ours +
                "only plain ASCII text is read outside comments";
        return false;
    }
    toml::parse_result parsed = toml::parse(text, std::string_view(file_name));
    if (!parsed) {
        const toml::parse_error& e = parsed.error();
        const unsigned line = e.source().begin.line > 0 ? e.source().begin.line : 1;
        error =
            file_name + ":" + std::to_string(line) + ": " + not_ours + std::string(e.description());
        return false;
    }
    if (parsed.table().empty()) {
        error = file_name +
                ":1: not a settings file: it holds no settings (one starts with "
                "format = " +
                std::to_string(SETTINGS_FILE_FORMAT) + ")";
        return false;
    }
    Reader reader(file_name);
    Table root(reader, parsed.table(), "");
    InstrumentSettings s{};
    if (!read_settings(root, s)) {
        error = reader.error();
        return false;
    }
    out = s;
    return true;
}

void apply_settings(const InstrumentSettings& s) {
    settings = s;
    if (current_page == page_channel_setup || current_page == page_display_setup) {
        menu_cursor = 0;
        menu_edit = 0;
    }
}

static bool curves_equal(const SenderCurve& a, const SenderCurve& b) {
    if (a.point_count != b.point_count) return false;
    for (int i = 0; i < CURVE_MAX_POINTS; ++i)
        if (a.points[i].value != b.points[i].value || a.points[i].reading != b.points[i].reading)
            return false;
    return true;
}

bool settings_equal(const InstrumentSettings& a, const InstrumentSettings& b) {
    if (a.cal_reading_4ma != b.cal_reading_4ma || a.cal_reading_20ma != b.cal_reading_20ma ||
        a.contrast != b.contrast || a.backlight != b.backlight ||
        a.display_layout != b.display_layout || a.bar_orientation != b.bar_orientation ||
        a.cycle_mode != b.cycle_mode || a.display_time_index != b.display_time_index)
        return false;
    for (int c = 0; c < 2; ++c) {
        const PressureChannelSettings& p = a.pressure[c];
        const PressureChannelSettings& q = b.pressure[c];
        const TemperatureChannelSettings& t = a.temperature[c];
        const TemperatureChannelSettings& u = b.temperature[c];
        if (a.channel_kind[c] != b.channel_kind[c] || p.input_type != q.input_type ||
            p.sender != q.sender || p.unit != q.unit || p.pressure_at_4ma != q.pressure_at_4ma ||
            p.pressure_at_20ma != q.pressure_at_20ma || p.label != q.label || p.span != q.span ||
            p.top_scale != q.top_scale || p.low_alarm_on != q.low_alarm_on ||
            p.low_alarm != q.low_alarm || p.high_alarm_on != q.high_alarm_on ||
            p.high_alarm != q.high_alarm || p.transducer_model != q.transducer_model ||
            p.vdo_range != q.vdo_range || !curves_equal(p.user_curve, q.user_curve))
            return false;
        if (t.label != u.label || t.span != u.span || t.top_scale != u.top_scale ||
            t.low_alarm != u.low_alarm || t.low_alarm_on != u.low_alarm_on ||
            t.high_alarm != u.high_alarm || t.high_alarm_on != u.high_alarm_on ||
            t.unit != u.unit || t.sender != u.sender || t.lm335_offset != u.lm335_offset ||
            !curves_equal(t.user_curve, u.user_curve))
            return false;
    }
    return true;
}

bool save_settings_file(const std::string& path, const InstrumentSettings& s, std::string& error) {
    const std::string text = settings_to_toml(s);
    InstrumentSettings check;
    std::string why;
    if (!settings_from_toml(text, path, check, why)) {
        error = "these settings cannot be saved: " + why;
        return false;
    }
    return write_file_atomically(path, text, error);
}

bool load_settings_file(const std::string& path, InstrumentSettings& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    // A folder opens like a file and reads as empty: without this it would
    // be reported as a settings file without its first key.
    std::error_code ec;
    if (!in || std::filesystem::is_directory(path, ec)) {
        error = path + ": cannot be read";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        error = path + ": read error";
        return false;
    }
    return settings_from_toml(text.str(), path, out, error);
}
