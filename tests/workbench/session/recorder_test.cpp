// The recording of a scripted session, line by line: where passes are
// counted from after "ON" and "OFF", how ticks and passes merge, and that
// the file holds every user event as soon as it happens.
#include "workbench/session/recorder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"
#include "tests/support/file_faults.h"
#include "workbench/settings/settings_file.h"

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A recording started in a folder of its own.
class Recording : public ::testing::Test {
protected:
    void SetUp() override {
        reset_all_state();
        ASSERT_NE(mkdtemp(folder), nullptr);
    }
    void start(const char* name) {
        path = std::string(folder) + "/" + name;
        ASSERT_TRUE(recorder.start(path, error)) << error;
    }

    char folder[25] = "/tmp/dg2_recorder_XXXXXX";
    std::string path;
    std::string error;
    SessionRecorder recorder;
};

}  // namespace

TEST_F(Recording, PlacesEventsByMessagePointsAndMergesTime) {
    ASSERT_NO_FATAL_FAILURE(start("session.scn"));

    FakeHost host;
    auto tick_now = [&](FakeHost&) {
        recorder.tick();
        tick();
    };
    std::string after_key;
    host.at(1, tick_now);  // the first splash frame
    host.after_pass(1, tick_now);
    host.after_pass(6, tick_now);  // five passes after a tick: a `wait`
    host.after_pass(11, tick_now);
    host.after_pass(13, [&](FakeHost& h) {
        recorder.key(KeyCentre);
        h.click(KeyCentre);
        after_key = read_file(path);
    });
    host.after_pass(18, [&](FakeHost& h) {  // five passes after a key stay passes
        recorder.power_off();
        h.off();
        recorder.slider(0, 2000);  // the same point: the instrument stops after it
    });
    recorder.power_on();
    host.power_on();
    // Off: no passes, nothing counted.
    tick_now(host);
    tick_now(host);
    ASSERT_TRUE(recorder.finish(error)) << error;

    const std::string text = read_file(path);
    const std::string events =
        text.substr(text.find("on splash"), text.find("# The last") - text.find("on splash"));
    EXPECT_EQ(events,
              "on splash\nticks 1\npasses 80\nwait 2\nticks 1\npasses 2\nkey centre\npasses 5\n"
              "off\nslider 1 2000\nticks 2\n");
    EXPECT_NE(after_key.find("key centre\n"), std::string::npos);
    // The closing check: the frame as it is, 64 rows of 114.
    const size_t rows = text.find("expect-text 0 0\n") + 16;
    EXPECT_EQ(text.size() - rows, 64u * (2 + LCD_WIDTH + 1));
    EXPECT_EQ(text.substr(rows, 2), "| ");
    std::remove(path.c_str());
    rmdir(folder);
}

// Two ticks before five passes stay apart (a `wait` is one tick); keys by
// number, the check boxes and settings files beside the recording, named
// without blanks. The first failed write is the one reported, and the
// recording goes on in memory.
TEST_F(Recording, CheckBoxesSettingsFilesAndFailedWrites) {
    ASSERT_NO_FATAL_FAILURE(start("my session.scn"));
    FakeHost host;
    host.after_pass(1, [&](FakeHost&) {
        recorder.tick();
        recorder.tick();
    });
    host.after_pass(6, [&](FakeHost& h) {
        recorder.power_off();
        h.off();
    });
    recorder.power_on();
    host.power_on();
    recorder.key(static_cast<KeyCode>(9));
    recorder.calibrate(true);
    recorder.keyfast(true);
    recorder.keyfast(false);
    const InstrumentSettings loaded = settings;
    recorder.settings_loaded(loaded);
    recorder.power_on_settings(InstrumentSettings{});  // never switched on: refused
    EXPECT_EQ(read_file(path), recorder.text());
    InstrumentSettings back{};
    ASSERT_TRUE(
        load_settings_file(std::string(folder) + "/my_session-settings-1.toml", back, error))
        << error;
    EXPECT_TRUE(back == loaded);

    std::filesystem::remove_all(folder);
    recorder.calibrate(false);
    EXPECT_FALSE(recorder.finish(error));
    EXPECT_EQ(error.rfind(path + ": cannot create a file in " + folder + ": ", 0), 0u) << error;
    EXPECT_EQ(recorder.write_error().rfind("these settings cannot be saved: " +
                                               std::string(folder) + "/my_session-settings-2.toml:",
                                           0),
              0u)
        << recorder.write_error();
    const std::string text = recorder.text();
    EXPECT_EQ(text.substr(text.find("on splash"), text.find("# The last") - text.find("on splash")),
              "on splash\npasses 80\nticks 2\npasses 5\noff\nkey 9\ncalibrate on\nkeyfast on\n"
              "keyfast off\nload-settings my_session-settings-1.toml\n"
              "power-on-settings my_session-settings-2.toml\ncalibrate off\n");
}

// A sensor log is kept as a copy beside the recording, named in a comment;
// its values arrive as the slider lines the window's ticks made.
TEST_F(Recording, SensorLogsAreCopiedBesideIt) {
    ASSERT_NO_FATAL_FAILURE(start("logged.scn"));
    const std::string log = std::string(folder) + "/source.csv";
    std::ofstream(log) << "time,channel1\n0,1.0\n";
    recorder.sensor_log(log);
    recorder.slider(0, 61);
    recorder.sensor_log(std::string(folder) + "/missing.csv");
    EXPECT_EQ(read_file(std::string(folder) + "/logged-log-1.csv"), "time,channel1\n0,1.0\n");
    const std::string text = recorder.text();
    EXPECT_NE(text.find("# play-log logged-log-1.csv: its values follow as slider lines, at the "
                        "window's ticks\nslider 1 61\n# play-log logged-log-2.csv"),
              std::string::npos)
        << text;
    EXPECT_EQ(recorder.write_error(), "cannot read " + std::string(folder) + "/missing.csv");

    // The first failure is the one reported: a copy the disk has no room
    // for, not the recording's own write that follows (a tab in the name
    // becomes "_" too), or the recording's own.
    SessionRecorder full;
    ASSERT_TRUE(full.start(std::string(folder) + "/full\tdisk.scn", error)) << error;
    {
        FileFaults faults;
        faults.room = 0;
        full.sensor_log(log);
    }
    EXPECT_EQ(full.write_error(),
              std::string(folder) + "/full_disk-log-1.csv: cannot write: No space left on device");
    SessionRecorder first;  // the recording's own write fails first
    ASSERT_TRUE(first.start(std::string(folder) + "/first.scn", error)) << error;
    {
        FileFaults faults;
        faults.room = 0;
        first.key(KeyCentre);
    }
    EXPECT_EQ(first.write_error(),
              std::string(folder) + "/first.scn: cannot write: No space left on device");
    std::filesystem::remove_all(folder);
}
