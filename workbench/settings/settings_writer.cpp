#include <cstdint>
#include <sstream>
#include <string>

#include "workbench/settings/setting_spellings.h"
#include "workbench/settings/settings_file.h"
#include "workbench/settings/toml.h"

// The writer lays the file out itself, in the record's order with a comment
// at the top, so the same record always gives the same bytes; only strings
// go through toml++'s formatter, which quotes and escapes them.
namespace {

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
