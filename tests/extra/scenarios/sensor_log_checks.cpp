// Sensor logs and ramps: played, they give frame for frame what the same
// values set with `value` at the same ticks give; a bad log changes nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/headless/fake_host.h"
#include "app/headless/scenario_runner.h"
#include "firmware/firmware.h"
#include "runtime/instrument.h"
#include "workbench/sensors/sensor_log.h"

namespace {

std::string root() { return DG2_SOURCE_ROOT; }

std::string temp_dir() {
    std::string dir = ::testing::TempDir();
    if (!dir.empty() && dir.back() == '/') dir.pop_back();
    return dir;
}

struct LogRun {
    int status = SCENARIO_OK;
    std::string err;
    std::vector<size_t> frames;  // a hash of the frame and the inputs at every message point
};

LogRun run(const std::string& text) {
    reset_all_state();
    LogRun r;
    std::ostringstream err;
    RunnerOptions options;
    options.err = &err;
    options.at_message_point = [&] {
        r.frames.push_back(std::hash<std::string>()(frame_as_text() + std::to_string(input_a) +
                                                    "," + std::to_string(input_b)));
    };
    std::istringstream script(text);
    r.status = run_scenario(script, root() + "/tests/scenarios/t.scn", options);
    r.err = err.str();
    reset_all_state();
    return r;
}

// The log as `value` and `sender` lines with a `wait 1` between steps,
// worked out here from the whole file: a step at every tenth of a second
// from the first row, the last at the last row; a channel moves linearly
// between two rows that both give it a number, and is set once at a row that
// gives it something else.
std::string as_value_lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> header;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> cells;
        std::stringstream split(line);
        for (std::string cell; std::getline(split, cell, ',');)
            cells.push_back(cell);
        if (cells.size() < 3) cells.resize(3);
        (header.empty() ? header : rows.emplace_back()) = cells;
    }
    EXPECT_EQ(header[1], "channel1");
    const double first = std::stod(rows.front()[0]);
    const double last = std::stod(rows.back()[0]);
    std::string script;
    size_t applied[2] = {SIZE_MAX, SIZE_MAX};
    for (long k = 0;; ++k) {
        double t = first + static_cast<double>(k) / 10.0;
        const bool end = t >= last - 1e-6;
        if (end) t = last;
        size_t i = 0;
        while (i + 1 < rows.size() && std::stod(rows[i + 1][0]) <= t + 1e-6)
            ++i;
        for (size_t c = 1; c <= 2; ++c) {
            const std::string& a = rows[i][c];
            const bool number = !a.empty() && a != "open" && a != "short";
            const double ta = std::stod(rows[i][0]);
            std::string line;
            if (number && i + 1 < rows.size() && !rows[i + 1][c].empty() &&
                rows[i + 1][c] != "open" && rows[i + 1][c] != "short" && t > ta + 1e-6) {
                const double b = std::stod(rows[i + 1][c]);
                const double va = std::stod(a);
                const double share = (t - ta) / (std::stod(rows[i + 1][0]) - ta);
                char text[40];
                std::snprintf(text, sizeof text, "%.17g", va + (b - va) * share);
                line = "value " + std::to_string(c) + " " + text;
                applied[c - 1] = i;
            } else if (!a.empty() && applied[c - 1] != i) {
                line = (number ? "value " : "sender ") + std::to_string(c) + " " + a;
                applied[c - 1] = i;
            }
            if (!line.empty()) script += line + "\n";
        }
        if (end) break;
        script += "wait 1\n";
    }
    return script;
}

TEST(SensorLogPlay, GivesTheFramesOfTheSameValuesSetTick_by_tick) {
    const std::string settings = root() + "/examples/settings/engine_oil_coolant.toml";
    for (const char* log : {"examples/logs/warm_up.csv", "examples/logs/overheat.csv",
                            "examples/logs/oil_loss.csv", "tests/scenarios/logs/sender_open.csv"}) {
        const std::string path = root() + "/" + log;
        const std::string start = "on\nload-settings " + settings + "\nwait 3\n";
        const LogRun played = run(start + "play-log " + path + "\nwait 3\n");
        const LogRun set = run(start + as_value_lines(path) + "wait 3\n");
        ASSERT_EQ(played.status, SCENARIO_OK) << played.err;
        ASSERT_EQ(set.status, SCENARIO_OK) << set.err;
        EXPECT_GT(played.frames.size(), 50u);
        EXPECT_TRUE(played.frames == set.frames) << log << ": " << played.frames.size() << " and "
                                                 << set.frames.size() << " message points";
    }
    // A ramp is a log of two rows.
    const std::string ramp = temp_dir() + "/ramp.csv";
    std::ofstream(ramp) << "time,channel1,channel2\n0,,20\n1.5,,90.5\n";
    EXPECT_TRUE(run("on\nramp 2 20 90.5 1.5\nwait 1\n").frames ==
                run("on\n" + as_value_lines(ramp) + "wait 1\n").frames);
}

TEST(SensorLogPlay, ABadLogIsRefusedBeforeAnyValueIsSet) {
    const LogRun r = run("on\nslider 1 100\nplay-log bad/logs/warm_up.csv\n");
    EXPECT_EQ(r.status, SCENARIO_BAD);
    EXPECT_NE(r.err.find("t.scn:3: bad/logs/warm_up.csv:17: time 12.0 is not after 12.0"),
              std::string::npos)
        << r.err;
    // Nothing moved: the run stopped at the message point after the slider.
    const LogRun before = run("on\nslider 1 100\n");
    EXPECT_TRUE(r.frames == before.frames);
}

// What the player does with input that is only found bad as it plays (a
// stream, or a file changed under it), and with rows closer than a tick.
TEST(SensorLogPlayer, StreamedRowsBetweenTicksAndABadLineLater) {
    reset_all_state();
    load_factory_defaults();
    SensorLogPlayer player;
    std::string error;
    ASSERT_TRUE(player.start(std::make_unique<std::istringstream>(
                                 "time,channel1\n0,1.0\n0.12,open\n0.15,\n0.3,2.0\n0.4,x\n"),
                             "s.csv", -1.0, error))
        << error;
    SensorCounts counts;
    std::vector<std::string> steps;
    while (player.step(counts, error))
        steps.push_back(counts.set[0] ? std::to_string(counts.count[0]) : "-");
    // 0.0: 1.0 bar; 0.1: on the way to the fault, left alone; 0.2: the open
    // wire passed over at 0.12 is still set.
    u32 one = 0;
    ASSERT_TRUE(count_for_value(0, 1.0, one, error));
    // The row after 0.3 is read before 0.3 plays: its bad line stops the log.
    EXPECT_EQ(steps, (std::vector<std::string>{std::to_string(one), "-", "4096"}));
    EXPECT_EQ(error, "s.csv:6: 'x' is not a number (nor open or short)");
    EXPECT_TRUE(player.ended());
}

// A log changed since it was checked may be bad from its first rows on:
// the player does not start, and says why.
TEST(SensorLogPlayer, ALogBadFromItsStartDoesNotStart) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"", "s.csv: no header (time,channel1,channel2)"},
        {"time,channel1\n0,1.0\nx,2.0\n", "s.csv:3: 'x' is not a number"},
    };
    for (const auto& c : cases) {
        SensorLogPlayer player;
        std::string error;
        EXPECT_FALSE(
            player.start(std::make_unique<std::istringstream>(c.text), "s.csv", -1.0, error));
        EXPECT_EQ(error, c.error);
    }
}

// A log of one row sets its values at the first step and ends there.
TEST(SensorLogPlayer, OneRowPlaysOnce) {
    reset_all_state();
    load_factory_defaults();
    SensorLogPlayer player;
    std::string error;
    ASSERT_TRUE(player.start(std::make_unique<std::istringstream>("time,channel1\n5,1.0\n"),
                             "s.csv", -1.0, error))
        << error;
    SensorCounts counts;
    EXPECT_TRUE(player.step(counts, error)) << error;
    EXPECT_TRUE(counts.set[0]);
    EXPECT_TRUE(player.ended());
}

// A channel switched off while a log moves it (the window's settings may
// change under a playing log): the log stops there, naming its row.
TEST(SensorLogPlayer, AChannelSwitchedOffMidwayStopsTheLog) {
    reset_all_state();
    load_factory_defaults();
    SensorLogPlayer player;
    std::string error;
    ASSERT_TRUE(player.start(std::make_unique<std::istringstream>("time,channel1\n0,1.0\n1,2.0\n"),
                             "s.csv", -1.0, error))
        << error;
    SensorCounts counts;
    ASSERT_TRUE(player.step(counts, error)) << error;
    settings.channel_kind[0] = ChannelKind::Off;
    EXPECT_FALSE(player.step(counts, error));
    EXPECT_EQ(error, "s.csv:3: channel 1 is OFF: it shows no value");
    EXPECT_TRUE(player.ended());
    reset_all_state();
}

// Every way a log's text is refused names the log and its line; a log
// written on another system (byte-order mark, CRLF, blanks) is read as it is.
TEST(SensorLogReader, BadLogsNameTheirLineAndForeignLineEndsAreRead) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"", "s.csv: no header (time,channel1,channel2)"},
        {"# comment only\n\n", "s.csv: no header (time,channel1,channel2)"},
        {"time,channel1\n", "s.csv: a header but no rows"},
        {"when,channel1\n0,1\n",
         "s.csv:1: the header starts with the column 'time', not 'when' (time,channel1,channel2)"},
        {"time,channel2,channel2\n", "s.csv:1: the column 'channel2' twice"},
        {"time\n0\n", "s.csv:1: missing column: channel1, channel2 or both after 'time'"},
        {"time,channel1\n0,1,2\n",
         "s.csv:2: too many cells: 3 cells where the header has 2 columns"},
        {"time,channel1\n,1\n", "s.csv:2: a row needs its time"},
        {"time,channel1\n0x10,1\n", "s.csv:2: '0x10' is not a number"},
        {"time,channel1\n1.2.3,1\n", "s.csv:2: '1.2.3' is not a number"},
        {"time,channel1\n1e999,1\n", "s.csv:2: '1e999' is not a number"},
        {"time,channel1\n0,1\n1,nan\n", "s.csv:3: 'nan' is not a number (nor open or short)"},
        {"time,channel1\n-5,1\n999995.5,2\n",
         "s.csv:3: time 999995.5 is more than 1000000 s after the first row"},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        SensorLogReader reader(in, "s.csv");
        SensorLogRow row;
        while (reader.next(row)) {
        }
        EXPECT_EQ(reader.error(), c.error) << c.text;
    }

    std::istringstream in(
        "\xEF\xBB\xBFtime , channel2\r\n# note\r\n5, open\r\n6,short\r\n1e2,-4.5\r\n");
    SensorLogReader reader(in, "s.csv");
    EXPECT_FALSE(reader.has_channel(0));
    SensorLogRow row;
    std::vector<std::string> rows;
    while (reader.next(row))
        rows.push_back(row.time_text + ":" + std::to_string(static_cast<int>(row.cell[1].kind)) +
                       ":" + std::to_string(row.cell[1].value) + "@" + std::to_string(row.line));
    EXPECT_EQ(reader.error(), "");
    EXPECT_TRUE(reader.has_channel(1));
    EXPECT_EQ(rows,
              (std::vector<std::string>{"5:2:0.000000@3", "6:3:0.000000@4", "1e2:1:-4.500000@5"}));

    std::unique_ptr<std::istream> file;
    std::string error;
    EXPECT_FALSE(open_sensor_log(temp_dir() + "/no_such.csv", file, error));
    EXPECT_EQ(error, "cannot read " + temp_dir() + "/no_such.csv: No such file or directory");
}

}  // namespace
