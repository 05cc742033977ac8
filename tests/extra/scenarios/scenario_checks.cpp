// The scenario runner: its timing, a broken invariant stopping a run, and
// the pictures and animations it writes.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/headless/fake_host.h"
#include "app/headless/headless_host.h"
#include "app/headless/invariants.h"
#include "app/headless/scenario_runner.h"
#include "firmware/firmware.h"

namespace {

std::string temp_dir() {
    std::string dir = ::testing::TempDir();
    if (!dir.empty() && dir.back() == '/') dir.pop_back();
    return dir;
}

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class ScenarioRun : public ::testing::Test {
protected:
    void SetUp() override { reset_all_state(); }
    void TearDown() override { reset_all_state(); }

    Outcome run(const std::string& text, bool invariants = true) {
        std::ostringstream out, err;
        RunnerOptions options;
        options.out = &out;
        options.err = &err;
        options.check_invariants = invariants;
        options.update_goldens = update_goldens;
        options.at_message_point = at_message_point;
        std::istringstream script(text);
        const int status = run_scenario(script, temp_dir() + "/t.scn", options);
        return {status, out.str(), err.str()};
    }

    bool update_goldens = false;
    std::function<void()> at_message_point;
};

TEST_F(ScenarioRun, ByteOrderMarkAndHashInsideAWord) {
    const std::string shot = temp_dir() + "/a#b.png";
    std::remove(shot.c_str());
    const Outcome o =
        run("\xEF\xBB\xBFon\t# powered on\nshot a#b.png  # the picture\n#shot c.png\n");
    EXPECT_EQ(o.status, SCENARIO_OK) << o.err;
    EXPECT_TRUE(std::ifstream(shot)) << "a#b.png not written";
}

TEST_F(ScenarioRun, ABadLineStopsTheRunWhereItIs) {
    const Outcome o = run("on\nexpect depth 1\nslider 1 5000\nexpect depth 0\n");
    EXPECT_EQ(o.status, SCENARIO_BAD);
    EXPECT_EQ(o.err, temp_dir() + "/t.scn:3: slider position 0..4096, not '5000'\n");
    EXPECT_EQ(instrument_running_depth(), 0);
}

// A script is read as it runs: a million commands leave the peak memory of
// the process where it was (holding them would take over 100 MB).
TEST_F(ScenarioRun, ALongScriptRunsInBoundedMemory) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer holds freed memory back, so peak memory says nothing here";
#endif
    struct Lines : std::streambuf {
        long left = 1000000;
        char line[6] = {'d', 'u', 'm', 'p', '\n', 0};
        int_type underflow() override {
            if (left-- == 0) return traits_type::eof();
            setg(line, line, line + 5);
            return traits_type::to_int_type(line[0]);
        }
    } lines;
    std::istream in(&lines);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    RunnerOptions options;  // dump prints nowhere
    std::ostringstream err;
    options.err = &err;
    EXPECT_EQ(run_scenario(in, "long.scn", options), SCENARIO_OK) << err.str();
    getrusage(RUSAGE_SELF, &after);
    EXPECT_EQ(lines.left, -1) << "not read to its end";
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 16 * 1024) << "kilobytes";
}

// Writes that fail (a full disk, simulated by a file-size limit that holds
// for root too, or a missing folder) leave the old file as it was, with no
// temporary file beside it.
TEST_F(ScenarioRun, AFailedWriteKeepsTheOldFile) {
    const std::string dir = temp_dir() + "/full";
    mkdir(dir.c_str(), 0777);
    for (const char* name : {"/pic.png", "/golden.txt"})
        std::ofstream(dir + name) << "old";
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old_limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    rlimit small = old_limit;
    small.rlim_cur = 200;  // a blank picture at scale 8 is about 300 bytes, a golden 7 KB
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const Outcome shot = run("shot " + dir + "/pic.png 8\n");
    update_goldens = true;
    const Outcome golden = run("expect-golden " + dir + "/golden.txt\n");
    update_goldens = false;
    // A recording fails where its bytes first reach the file: midway through
    // a long one (the splash at scale 8 passes the 64 KB kept in memory), at
    // stop-record, or at the end of the script that left it open.
    const Outcome midway = run("on splash\nrecord " + dir + "/mid.gif 8\nwait 40\n");
    const Outcome stopped = run("record " + dir + "/stop.gif\nticks 1\nstop-record\n");
    const Outcome ended = run("record " + dir + "/end.gif\nticks 1\n");
    setrlimit(RLIMIT_FSIZE, &old_limit);
    EXPECT_EQ(midway.status, SCENARIO_BAD);
    EXPECT_NE(midway.err.find("t.scn:3: " + dir + "/mid.gif: the GIF file cannot be written"),
              std::string::npos)
        << midway.err;
    EXPECT_EQ(instrument_running_depth(), 0);
    EXPECT_EQ(stopped.status, SCENARIO_BAD);
    EXPECT_NE(stopped.err.find("t.scn:3: cannot write " + dir + "/stop.gif"), std::string::npos)
        << stopped.err;
    EXPECT_EQ(ended.status, SCENARIO_BAD);
    EXPECT_NE(ended.err.find("t.scn: cannot write " + dir + "/end.gif"), std::string::npos)
        << ended.err;
    EXPECT_EQ(shot.status, SCENARIO_BAD);
    EXPECT_NE(shot.err.find("t.scn:1: cannot write " + dir + "/pic.png"), std::string::npos)
        << shot.err;
    EXPECT_EQ(golden.status, SCENARIO_BAD);
    EXPECT_NE(golden.err.find("cannot write " + dir + "/golden.txt"), std::string::npos)
        << golden.err;
    for (const char* name : {"/pic.png", "/golden.txt"}) {
        std::ifstream in(dir + name);
        std::string text;
        std::getline(in, text);
        EXPECT_EQ(text, "old") << name;
    }
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        entries += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(entries, 2) << "a temporary file was left behind";

    const Outcome missing = run("shot " + dir + "/missing/pic.png\n");
    EXPECT_EQ(missing.status, SCENARIO_BAD);
    EXPECT_NE(missing.err.find("cannot write " + dir + "/missing/pic.png"), std::string::npos)
        << missing.err;
}

TEST_F(ScenarioRun, OnGoesOnAfterTheSplashAndTheFirstPass) {
    // The slider's position reaches the instrument after power-on's steps.
    Outcome o = run("slider 1 2000\non\nexpect depth 1\nexpect page run\nexpect input_a 2000\n");
    EXPECT_EQ(o.status, SCENARIO_OK) << o.err;
    EXPECT_NE(o.out.find("ok (1 passes)"), std::string::npos) << o.out;
    // The end of the script switched the instrument off.
    EXPECT_EQ(instrument_running_depth(), 0);

    o = run("on\npasses 5\n");
    EXPECT_NE(o.out.find("ok (6 passes)"), std::string::npos) << o.out;
}

TEST_F(ScenarioRun, SplashFramesCountAsPassesAndAClickWaitsForTheFirstPass) {
    const Outcome o =
        run("on splash\n"
            "key centre\n"
            "passes 79\n"  // frames 2..80: no pass has run yet
            "expect pending_key 1\n"
            "passes 1\n"  // the first pass consumes it
            "expect pending_key 0\n");
    EXPECT_EQ(o.status, SCENARIO_OK) << o.err;
    EXPECT_NE(o.out.find("ok (1 passes)"), std::string::npos) << o.out;
}

TEST_F(ScenarioRun, OffDuringTheSplashKeepsTheInstrumentDown) {
    const Outcome o = run("on splash\noff\npasses 100\nexpect depth 0\n");
    EXPECT_EQ(o.status, SCENARIO_OK) << o.err;
    EXPECT_NE(o.out.find("ok (0 passes)"), std::string::npos) << o.out;
}

TEST_F(ScenarioRun, NestedOnRunsInsideAndOneOffEndsBoth) {
    const Outcome o =
        run("on\n"
            "on\n"
            "expect depth 2\n"
            "off\n"
            "expect depth 0\n"  // the script goes on once both have ended
            "passes 3\n"        // nothing runs while off
            "expect depth 0\n");
    EXPECT_EQ(o.status, SCENARIO_OK) << o.err;
    EXPECT_NE(o.out.find("ok (2 passes)"), std::string::npos) << o.out;
}

TEST_F(ScenarioRun, TicksAreCountedWithAndWithoutPasses) {
    // The blink phase changes on the 11th tick.
    Outcome o = run("ticks 10\nexpect blink_phase 0\nticks 1\nexpect blink_phase 1\n");
    EXPECT_EQ(o.status, SCENARIO_OK) << o.err;

    reset_all_state();
    o = run("on\nwait 11\nexpect blink_phase 1\n");
    EXPECT_EQ(o.status, SCENARIO_OK) << o.err;
    EXPECT_NE(o.out.find("ok (56 passes)"), std::string::npos) << o.out;

    reset_all_state();
    o = run("wait 11\nexpect blink_phase 1\n");  // off: ticks only
    EXPECT_EQ(o.status, SCENARIO_OK) << o.err;
    EXPECT_NE(o.out.find("ok (0 passes)"), std::string::npos) << o.out;
}

TEST_F(ScenarioRun, ControlsReachTheInstrument) {
    const Outcome o = run(
        "key 9\nexpect pending_key 9\nkey centre\nexpect pending_key 9\n"  // one pending at a time
        "on\nslider 2 4096\nexpect input_b 4096\n"
        "keyfast on\ncalibrate on\npasses 1\nexpect key_step 10\nexpect calibrate_enabled 1\n"
        "keyfast off\npasses 1\nexpect key_step 1\nexpect lamp maroon\n");
    EXPECT_EQ(o.status, SCENARIO_OK) << o.err;
}

TEST_F(ScenarioRun, AFailedExpectationStopsTheRunWithItsLine) {
    const std::string shot = temp_dir() + "/never.png";
    std::remove(shot.c_str());
    const Outcome o = run("on\npasses 2\nexpect menu_cursor 4\nshot never.png\npasses 50\n");
    EXPECT_EQ(o.status, SCENARIO_FAILED);
    EXPECT_NE(o.err.find("t.scn:3: expected menu_cursor 4, found 0"), std::string::npos) << o.err;
    EXPECT_EQ(o.out, "");
    EXPECT_FALSE(std::ifstream(shot)) << "commands after the failure ran";
    EXPECT_EQ(instrument_running_depth(), 0);
    // Before the first "ON" the lamp has never been set.
    EXPECT_NE(run("expect lamp maroon\n").err.find("t.scn:1: expected lamp maroon, found unset"),
              std::string::npos);
}

// A rule of the instrument broken between two passes stops the script at
// the line it had reached, naming the pass and the page.
TEST_F(ScenarioRun, ABrokenInvariantStopsTheRunWithItsLine) {
    int points = 0;
    at_message_point = [&points] {
        if (++points == 100) alarm_active = 4;
    };
    const Outcome o = run("on\nexpect page run\nwait 100\nexpect depth 0\n");
    EXPECT_EQ(o.status, SCENARIO_FAILED);
    EXPECT_NE(o.err.find("t.scn:3: after pass "), std::string::npos) << o.err;
    EXPECT_NE(o.err.find(", on the run page: alarm masks 0x4 / 0"), std::string::npos) << o.err;
    EXPECT_EQ(instrument_running_depth(), 0);
}

TEST_F(ScenarioRun, GoldensAreWrittenOnRequestAndThenCompared) {
    const std::string golden = temp_dir() + "/frame.txt";
    std::remove(golden.c_str());
    EXPECT_EQ(run("expect-golden frame.txt\n").status, SCENARIO_BAD);  // missing
    EXPECT_EQ(run("expect-golden /dev/zero\n").status, SCENARIO_BAD);  // endless, not read

    lcd_clear();
    lcd_pixel(5, 6, DrawMode::Set);
    update_goldens = true;
    EXPECT_EQ(run("expect-golden frame.txt\n").status, SCENARIO_OK);
    update_goldens = false;
    std::ifstream in(golden);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), frame_as_text());
    EXPECT_EQ(text.str().size(), 115u * 64u);
    EXPECT_EQ(text.str()[6 * 115 + 5], '#');

    EXPECT_EQ(run("expect-golden frame.txt\n").status, SCENARIO_OK);
    lcd_pixel(113, 63, DrawMode::Set);
    const Outcome o = run("expect-golden frame.txt\n");
    EXPECT_EQ(o.status, SCENARIO_FAILED);
    EXPECT_NE(o.err.find("!! "), std::string::npos);
    EXPECT_NE(o.err.find("  63\n"), std::string::npos) << "the differing row is marked";
    // A golden cut short: the rows it lacks differ.
    std::ofstream(golden, std::ios::binary) << frame_as_text().substr(0, 10 * 115);
    const Outcome cut = run("expect-golden frame.txt\n");
    EXPECT_EQ(cut.status, SCENARIO_FAILED);
    EXPECT_NE(cut.err.find("!!   |  " + std::string(114, '.') + "  10\n"), std::string::npos)
        << cut.err;
}

TEST_F(ScenarioRun, ExpectTextComparesARegion) {
    lcd_clear();
    lcd_pixel(3, 2, DrawMode::Set);
    lcd_pixel(4, 3, DrawMode::Set);
    EXPECT_EQ(run("expect-text 2 1\n| ...\n| .#.\n| ..#\n").status, SCENARIO_OK);
    const Outcome o = run("expect-text 2 1\n| ...\n| ..#\n| ..#\n");
    EXPECT_EQ(o.status, SCENARIO_FAILED);
    EXPECT_NE(o.err.find("t.scn:1: pixels from 2,1 differ"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("| .#.   <- differs"), std::string::npos) << o.err;
}

// A PNG file's pixels, read back with libpng: 1 where black.
struct DecodedPng {
    int width = 0, height = 0;
    std::vector<u8> black;
};

DecodedPng decode_png(const std::vector<u8>& file) {
    DecodedPng png;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return png;
    image.format = PNG_FORMAT_GRAY;
    std::vector<u8> grey(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, grey.data(), 0, nullptr)) return png;
    png.width = static_cast<int>(image.width);
    png.height = static_cast<int>(image.height);
    for (const u8 level : grey)
        png.black.push_back(level == 0 ? 1 : 0);
    return png;
}

std::vector<u8> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<u8>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST_F(ScenarioRun, ShotShowsThePictureAsTheWindowDoes) {
    const Outcome o = run("on\npasses 3\nshot pic.png 2\n");
    ASSERT_EQ(o.status, SCENARIO_OK) << o.err;
    const std::vector<u8> bytes = file_bytes(temp_dir() + "/pic.png");
    EXPECT_LT(bytes.size(), 3000u);  // compressed: the run screen is mostly blank
    const DecodedPng png = decode_png(bytes);
    ASSERT_EQ(png.width, 456);
    ASSERT_EQ(png.height, 256);
    // After "OFF" the picture keeps the last frame, which the frame buffer
    // still holds: each LCD pixel is a 4 x 4 block at scale 2.
    int mismatches = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 456; ++x)
            mismatches += png.black[static_cast<size_t>(y) * 456 + x] !=
                          lcd_get_pixel(static_cast<u8>(x / 4), static_cast<u8>(y / 4));
    EXPECT_EQ(mismatches, 0);
}

// The splash recorded over three ticks: a frame for each pass's picture on
// the script's clock. The picture at the start stands for the tick given
// before the recording (100 ms), then each pass's 20 ms, the last one until
// the stop.
TEST_F(ScenarioRun, RecordTakesAFrameAtEachChangeOnTheScriptsClock) {
    const Outcome o =
        run("on splash\npasses 30\nticks 1\nrecord splash.gif 2\nwait 3\nstop-record\n");
    ASSERT_EQ(o.status, SCENARIO_OK) << o.err;
    int status = 0;
    GifFileType* gif = DGifOpenFileName((temp_dir() + "/splash.gif").c_str(), &status);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    EXPECT_EQ(gif->SWidth, 456);
    EXPECT_EQ(gif->SHeight, 256);
    std::vector<int> delays;
    for (int i = 0; i < gif->ImageCount; ++i) {
        GraphicsControlBlock control{};
        DGifSavedExtensionToGCB(gif, i, &control);
        delays.push_back(control.DelayTime);
    }
    DGifCloseFile(gif, &status);
    std::vector<int> expected(16, 2);
    expected[0] = 10;
    EXPECT_EQ(delays, expected);

    // Ten seconds through the main menu: a knob step every half second.
    std::string walk = "on\nrecord walk.gif\nkey centre\nwait 5\n";
    for (int step = 1; step < 20; ++step)
        walk += step % 8 < 4 ? "key cw\nwait 5\n" : "key acw\nwait 5\n";
    ASSERT_EQ(run(walk).status, SCENARIO_OK);
    EXPECT_LT(file_bytes(temp_dir() + "/walk.gif").size(), 200u * 1024);

    // A second `record` ends the first recording, which is then complete;
    // the second ends with the script.
    std::remove((temp_dir() + "/first.gif").c_str());
    std::remove((temp_dir() + "/second.gif").c_str());
    ASSERT_EQ(
        run("on\nrecord first.gif 2\nwait 2\nrecord second.gif 1\nkey centre\nwait 2\n").status,
        SCENARIO_OK);
    for (const char* name : {"/first.gif", "/second.gif"}) {
        GifFileType* recorded = DGifOpenFileName((temp_dir() + name).c_str(), &status);
        ASSERT_NE(recorded, nullptr) << name;
        EXPECT_EQ(DGifSlurp(recorded), GIF_OK) << name;
        EXPECT_EQ(recorded->SWidth, name[1] == 'f' ? 456 : 228) << name;
        DGifCloseFile(recorded, &status);
    }

    const Outcome stray = run("stop-record\n");
    EXPECT_EQ(stray.status, SCENARIO_BAD);
    EXPECT_NE(stray.err.find("t.scn:1: stop-record without a recording"), std::string::npos);
}

}  // namespace
