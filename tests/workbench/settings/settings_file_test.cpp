#include "workbench/settings/settings_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"
#include "workbench/files/atomic_file.h"

namespace {

InstrumentSettings factory() {
    reset_all_state();
    load_factory_defaults();
    settings.cal_reading_4ma = 600;
    settings.cal_reading_20ma = 3200;
    return settings;
}

// Every field away from its default, with the corners the menus can reach:
// a 4 mA pressure above the unit's limit, stale slots beyond a lowered point
// count, a reading stepped below zero, a value overshooting by a key step.
InstrumentSettings busy() {
    InstrumentSettings s = factory();
    s.cal_reading_4ma = 0;
    s.cal_reading_20ma = 4096;
    s.contrast = 57;
    s.backlight = 0;
    s.display_layout = DisplayLayout::Single;
    s.bar_orientation = BarOrientation::Horizontal;
    s.cycle_mode = CycleMode::Auto;
    s.display_time_index = 6;
    s.channel_kind[0] = ChannelKind::Off;
    s.channel_kind[1] = ChannelKind::Pressure;
    PressureChannelSettings& p = s.pressure[1];
    p.input_type = PressureInput::Current;
    p.sender = PressureSender::Standard;
    p.unit = PressureUnit::InHg;
    p.pressure_at_4ma = 999;
    p.pressure_at_20ma = 300;
    p.label = PressureLabel::Map;
    p.span = 1;
    p.top_scale = 1;
    p.low_alarm_on = 0;
    p.high_alarm = 300;
    p.transducer_model = 5;
    p.vdo_range = 0;
    p.user_curve.point_count = 2;
    p.user_curve.points[9] = {1008, static_cast<u32>(-9)};
    s.pressure[0].input_type = PressureInput::Voltage;
    s.pressure[0].sender = PressureSender::User;
    TemperatureChannelSettings& t = s.temperature[0];
    t.label = TemperatureLabel::Aux;
    t.span = 570;
    t.low_alarm = -40;
    t.unit = TemperatureUnit::Fahrenheit;
    t.sender = TemperatureSender::Westach;
    t.lm335_offset = -30;
    t.user_curve.point_count = 13;
    t.user_curve.points[12] = {-9, 4105};
    s.temperature[1].user_curve.points[11] = {0, 7};  // a stale slot of value 0
    s.temperature[1].sender = TemperatureSender::Lm335;
    s.temperature[1].lm335_offset = 30;
    return s;
}

TEST(SettingsFile, SavedRecordsLoadBackWholeAndSaveToTheSameBytes) {
    for (const InstrumentSettings& s : {factory(), busy()}) {
        const std::string text = settings_to_toml(s);
        ASSERT_EQ(text.rfind("format = 1\n", 0), 0u);
        InstrumentSettings back{};
        std::string error;
        ASSERT_TRUE(settings_from_toml(text, "a.toml", back, error)) << error << "\n" << text;
        EXPECT_TRUE(s == back);
        EXPECT_EQ(settings_to_toml(back), text);
    }
    const std::string text = settings_to_toml(busy());
    EXPECT_NE(text.find("sender = \"ROTAX\""), std::string::npos);
    EXPECT_NE(text.find("unit = \"\\\"Hg\""), std::string::npos);
    EXPECT_NE(text.find("unit = \"F\""), std::string::npos);
}

// Each case changes one line of the factory file; the error names the file,
// the line and the key, and the record handed in is left alone.
TEST(SettingsFile, EveryRejectionNamesFileLineAndKeyAndChangesNothing) {
    const std::string good = settings_to_toml(factory());
    struct Case {
        const char* from;   // a line of the factory file (first match)
        const char* to;     // its replacement ("" drops it)
        const char* error;  // expected start after "f.toml:"
    };
    const Case cases[] = {
        {"contrast = 37", "contrast = 37\nbrightness = 3", "9: key 'brightness': unknown key"},
        {"contrast = 37", "", "1: key 'contrast': missing"},
        {"contrast = 37", "contrast = \"37\"",
         "8: key 'contrast': must be an integer, not a string"},
        {"contrast = 37", "contrast = 58", "8: key 'contrast': 58 is outside 0..57"},
        {"span = 100", "span = 101",
         "25: key 'channel1.pressure.span': 101 is outside 1..100 (the range of a \"BAR\" "
         "channel)"},
        {"display_layout = \"DUAL\"", "display_layout = \"dual\"",
         "10: key 'display_layout': \"dual\" is not one of \"DUAL\" or \"SINGLE\""},
        {"sender = \"VDO\"", "sender = \"UMA\"",
         "20: key 'channel1.pressure.sender': \"UMA\" is not a sender of a \"RESISTIVE\""},
        {"point_count = 6", "point_count = 14",
         "35: key 'channel1.pressure.user_curve.point_count': 14 is outside 2..13"},
        {"[channel2.temperature]", "[channel2.temperature]\nlm335_offset = 0",
         "113: Error while parsing key-value pair: cannot redefine"},
        {"contrast = 37", "contrast = 37 # f\xC3\xBCr \xC3\x96l\n\"\xC3\x96l\" = 1",
         "9: only plain ASCII text is read outside comments"},
        {"format = 1", "format = 2", "1: key 'format': 2 is outside 1..1"},
        {"  { value = 0, reading = 21 },", "  { value = 0, reading = 21, unit = 1 },",
         "37: key 'channel1.pressure.user_curve.points[0].unit': unknown key"},
    };
    for (const Case& c : cases) {
        std::string text = good;
        const size_t at = text.find(std::string(c.from) + "\n");
        ASSERT_NE(at, std::string::npos) << c.from;
        text.replace(at, std::string(c.from).size() + 1, c.to[0] ? std::string(c.to) + "\n" : "");
        InstrumentSettings out = busy();
        std::string error;
        EXPECT_FALSE(settings_from_toml(text, "f.toml", out, error)) << c.to;
        EXPECT_EQ(error.rfind(std::string("f.toml:") + c.error, 0), 0u) << error;
        EXPECT_TRUE(out == busy()) << c.to;
    }

    // Fourteen points: one more than any curve holds.
    std::string text = good;
    const std::string last = "  { value = 100, reading = 440 },\n";
    const size_t at = text.find(last);
    for (int i = 0; i < 8; ++i)
        text.insert(at, "  { value = 0, reading = 0 },\n");
    InstrumentSettings out = busy();
    std::string error;
    EXPECT_FALSE(settings_from_toml(text, "f.toml", out, error));
    EXPECT_EQ(error,
              "f.toml:36: key 'channel1.pressure.user_curve.points': 14 points; a curve "
              "holds at most 13");
    EXPECT_TRUE(out == busy());
}

// A file of another kind, or an empty one, is called what it is before the
// parser has its say; a settings file with a slip in it is not.
TEST(SettingsFile, OtherFilesAreSaidNotToBeSettingsFiles) {
    const struct {
        const char* text;
        const char* error;  // "" : none of the plain sentence
    } cases[] = {
        {"", "f.toml:1: not a settings file: it holds no settings (one starts with format = 1)"},
        {"# only a comment\n\n", "f.toml:1: not a settings file: it holds no settings"},
        {"Dear all,\nthe gauge works.\n", "f.toml:1: not a settings file: "},
        {"\x89PNG\r\n\x1a\n", "f.toml:1: not a settings file: only plain ASCII"},
        {"[package]\nname = \"x\"\n", ""},  // TOML: the unknown key is named
        {"# mine\nformat = 1\ncontrast = = 3\n", ""},
        {"\r\n  \t# indented, CRLF\r\n\tformat = 1\r\ncontrast = = 3\r\n", ""},
        {"format = 1\nname = \"a\\", ""},  // ends in an escape: nothing is read past it
    };
    for (const auto& c : cases) {
        InstrumentSettings out = busy();
        std::string error;
        EXPECT_FALSE(settings_from_toml(c.text, "f.toml", out, error)) << c.text;
        if (*c.error)
            EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
        else
            EXPECT_EQ(error.find("not a settings file"), std::string::npos) << error;
        EXPECT_TRUE(out == busy());
    }
}

TEST(SettingsFile, FilesAreWrittenWholeAndUnloadableRecordsNotAtAll) {
    const std::string path = ::testing::TempDir() + "settings_file_test.toml";
    std::remove(path.c_str());
    std::string error;
    InstrumentSettings never_on{};
    EXPECT_FALSE(save_settings_file(path, never_on, error));
    EXPECT_NE(error.find("cannot be saved"), std::string::npos) << error;
    EXPECT_FALSE(std::ifstream(path).good());

    ASSERT_TRUE(save_settings_file(path, busy(), error)) << error;
    InstrumentSettings back = factory();
    ASSERT_TRUE(load_settings_file(path, back, error)) << error;
    EXPECT_TRUE(back == busy());
    std::remove(path.c_str());
    EXPECT_FALSE(load_settings_file(path, back, error));
    EXPECT_EQ(error, path + ": cannot be read");
    EXPECT_FALSE(load_settings_file(::testing::TempDir(), back, error));
    EXPECT_EQ(error, ::testing::TempDir() + ": cannot be read");
}

// Files of the kernel's that read otherwise than they look: one that says
// it is empty and holds more, one whose reading fails, and one that cannot
// be opened (write-only, for root too). Each refusal names the file and
// changes nothing.
TEST(SettingsFile, FilesThatCannotBeReadAsTheyLookAreRefused) {
    const struct {
        const char* path;
        const char* error;
    } cases[] = {
        {"/proc/self/status", ": changed while it was read"},
        {"/proc/self/mem", ": read error"},
        {"/proc/sys/vm/compact_memory", ": cannot be read"},
    };
    for (const auto& c : cases) {
        InstrumentSettings out = busy();
        std::string error;
        EXPECT_FALSE(load_settings_file(c.path, out, error));
        EXPECT_EQ(error, std::string(c.path) + c.error);
        EXPECT_TRUE(out == busy());
    }
}

// At most 1 MB, whether the text comes from a file or from the page: a file
// of exactly the limit (a comment fills it up) loads, one byte more does not,
// and the refusal is one line naming the limit.
TEST(SettingsFile, TextsAndFilesOfMoreThanOneMegabyteAreRefused) {
    std::string text = settings_to_toml(factory()) + "#";
    text.resize(SETTINGS_FILE_MAX_BYTES - 1, '.');
    text += '\n';
    const std::string path = ::testing::TempDir() + "settings_file_1mb.toml";
    std::string error;
    InstrumentSettings out{};
    ASSERT_TRUE(write_file_atomically(path, text, error)) << error;
    EXPECT_TRUE(load_settings_file(path, out, error)) << error;
    EXPECT_TRUE(out == factory());

    text += '\n';
    const std::string refusal =
        "f.toml: 1048577 bytes; a settings file has at most 1 MB (1048576 bytes)";
    EXPECT_FALSE(settings_from_toml(text, "f.toml", out, error));
    EXPECT_EQ(error, refusal);
    ASSERT_TRUE(write_file_atomically(path, text, error)) << error;
    EXPECT_FALSE(load_settings_file(path, out, error));
    EXPECT_EQ(error, path + refusal.substr(6));
    std::remove(path.c_str());
    EXPECT_FALSE(load_settings_file("/dev/null", out, error));
    EXPECT_EQ(error, "/dev/null is a device, not a settings file");
}

// The cases of settings_edits.txt; its head says how they are written.
TEST(SettingsFile, EditsOfTheFactoryFileLoadOrFailAsListed) {
    const InstrumentSettings start = factory();
    const InstrumentSettings untouched = busy();
    const std::string good = settings_to_toml(start);
    std::ifstream data(DG2_TESTS_DIR "/workbench/settings/settings_edits.txt");
    ASSERT_TRUE(data.good());
    std::string from = "\n", to;
    bool to_end = false;
    int cases = 0;
    for (std::string line; std::getline(data, line);) {
        const std::string rest = line.size() > 2 ? line.substr(2) : "";
        if (line == "- ...") {
            to_end = true;
        } else if (line.rfind("-", 0) == 0) {
            from += rest + "\n";
        } else if (line.rfind("+", 0) == 0) {
            to += rest + "\n";
        } else if (line.rfind("=", 0) == 0) {
            SCOPED_TRACE(from + "becomes\n" + to);
            std::string text = good;
            const size_t at = text.find(from);
            ASSERT_NE(at, std::string::npos);
            text.replace(at + 1, to_end ? std::string::npos : from.size() - 1, to);
            InstrumentSettings out = untouched;
            std::string error;
            const bool loaded = settings_from_toml(text, "f.toml", out, error);
            if (rest == "loads") {
                EXPECT_TRUE(loaded) << error;
                EXPECT_FALSE(out == start);
                EXPECT_EQ(settings_to_toml(out), text);
            } else {
                EXPECT_FALSE(loaded);
                EXPECT_EQ(error, rest);
                EXPECT_TRUE(out == untouched);
            }
            ++cases;
            from = "\n";
            to.clear();
            to_end = false;
        }
    }
    EXPECT_EQ(cases, 104);
}

// What the file reads besides its own spelling: a byte-order mark, and the
// temperature unit as the LCD spells it.
TEST(SettingsFile, ByteOrderMarkAndTheLcdsDegreeSign) {
    const InstrumentSettings start = factory();
    std::string text = "\xEF\xBB\xBF" + settings_to_toml(start);
    text.replace(text.find("unit = \"C\""), 10, "unit = \"|F\"");
    text.replace(text.find("unit = \"C\""), 10, "unit = \"|C\"");
    InstrumentSettings out{};
    std::string error;
    ASSERT_TRUE(settings_from_toml(text, "f.toml", out, error)) << error;
    EXPECT_EQ(out.temperature[0].unit, TemperatureUnit::Fahrenheit);
    EXPECT_EQ(out.temperature[1].unit, TemperatureUnit::Celsius);
}

// Codes no menu produces are written as numbers, which the loader refuses, so
// such a record is not saved.
TEST(SettingsFile, RecordsWithCodesNoMenuSetAreNotSaved) {
    const std::string path = ::testing::TempDir() + "settings_file_codes.toml";
    InstrumentSettings s = factory();
    s.pressure[0].label = static_cast<PressureLabel>(5);
    std::string error;
    EXPECT_FALSE(save_settings_file(path, s, error));
    EXPECT_EQ(error, "these settings cannot be saved: " + path +
                         ":24: key 'channel1.pressure.label': must be a string, not an integer");
    // A resistive input has no standard sender.
    for (PressureSender sender : {PressureSender::Standard, static_cast<PressureSender>(3)}) {
        s = factory();
        s.pressure[1].sender = sender;
        EXPECT_FALSE(save_settings_file(path, s, error));
        EXPECT_EQ(error,
                  "these settings cannot be saved: " + path +
                      ":77: key 'channel2.pressure.sender': must be a string, not an integer");
    }
    EXPECT_FALSE(std::ifstream(path).good());
}

}  // namespace
