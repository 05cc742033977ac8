#include <algorithm>
#include <cstdint>
#include <string>

#include "firmware/core/setting_limits.h"
#include "workbench/settings/ascii_guard.h"
#include "workbench/settings/settings_file.h"
#include "workbench/settings/toml_table.h"

// The schema of a settings file: which keys each table has, and the range or
// names each value may take, the ranges being those the setup pages keep the
// record in (firmware/core/setting_limits.h).
namespace {

bool read_switch(Table& t, std::string_view key, u8& out) { return t.name(key, OFF_ON, out); }

bool read_curve(Table& parent, SenderCurve& c) {
    const toml::table* table = nullptr;
    if (!parent.sub("user_curve", table)) return false;
    Table t(parent.reader(), *table, parent.full("user_curve"));
    if (!t.only({"point_count", "points"})) return false;
    std::int64_t count = 0;
    if (!t.integer("point_count", CURVE_EDIT_MIN_POINTS, CURVE_MAX_POINTS, count)) return false;

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
    if (!t.integer("span", LOWEST_TEMPERATURE, STORED_TEMPERATURE_MAX, v)) return false;
    s.span = static_cast<s32>(v);
    if (!read_switch(t, "top_scale", s.top_scale)) return false;
    if (!t.integer("low_alarm", LOWEST_TEMPERATURE, STORED_TEMPERATURE_MAX, v)) return false;
    s.low_alarm = static_cast<s32>(v);
    if (!read_switch(t, "low_alarm_on", s.low_alarm_on)) return false;
    if (!t.integer("high_alarm", LOWEST_TEMPERATURE, STORED_TEMPERATURE_MAX, v)) return false;
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
    if (!root.integer("cal_reading_4ma", 0, INPUT_FULL_SCALE, v)) return false;
    s.cal_reading_4ma = static_cast<u32>(v);
    if (!root.integer("cal_reading_20ma", 0, INPUT_FULL_SCALE, v)) return false;
    s.cal_reading_20ma = static_cast<u32>(v);
    if (!root.integer("contrast", 0, CONTRAST_MAX, v)) return false;
    s.contrast = static_cast<u8>(v);
    if (!read_switch(root, "backlight", s.backlight)) return false;
    if (!root.name("display_layout", LAYOUTS, s.display_layout) ||
        !root.name("bar_orientation", ORIENTATIONS, s.bar_orientation) ||
        !root.name("cycle_mode", CYCLE_MODES, s.cycle_mode))
        return false;
    if (!root.integer("display_time_index", 0, DISPLAY_TIME_LAST, v,
                      "an index into the display times 1, 3, 5, 10, 15, 30, 60 s"))
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

// Whether the text begins as a settings file does, with its `format` line
// (blank lines and comments before it aside). A file that does not and is
// not TOML either is most likely some other file chosen by mistake.
bool starts_with_format(std::string_view text) {
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

}  // namespace

bool settings_from_toml(std::string_view text, const std::string& file_name,
                        InstrumentSettings& out, std::string& error) {
    if (!settings_file_size_fits(text.size(), file_name, error)) return false;
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
