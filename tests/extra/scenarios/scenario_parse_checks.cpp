// The scenario language as the parser reads it: every way a line is bad
// names its line and the fault, and every command is taken.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "workbench/scenario/reader.h"

namespace {

std::string parse_error(const std::string& text) {
    Scenario scenario;
    std::string error;
    std::istringstream in(text);
    if (parse_scenario(in, "s.scn", scenario, error)) return "(parsed)";
    return error;
}

TEST(ScenarioParse, BadLinesNameTheirLineAndTheFault) {
    const struct {
        std::string text;
        const char* error;
    } cases[] = {
        {"on\nkee centre\n", "s.scn:2: unknown command 'kee'"},
        {"# comment\n\nkey up\n", "s.scn:3: unknown key 'up'"},
        {"key 0\n", "s.scn:1: unknown key '0'"},
        {"key 256\n", "s.scn:1: unknown key '256'"},
        {"slider 3 10\n", "s.scn:1: slider 1 or 2, not '3'"},
        {"slider 1 4097\n", "s.scn:1: slider position 0..4096, not '4097'"},
        {"slider 1 -1\n", "s.scn:1: slider position 0..4096, not '-1'"},
        {"slider 1\n", "s.scn:1: 'slider' needs more arguments"},
        {"passes 0\n", "s.scn:1: 'passes' needs a count 1..10000000, not '0'"},
        {"ticks 5x\n", "s.scn:1: 'ticks' needs a count 1..10000000, not '5x'"},
        {"calibrate yes\n", "s.scn:1: 'calibrate' on or off, not 'yes'"},
        {"on now\n", "s.scn:1: 'on' takes no argument but 'splash'"},
        {"off 1\n", "s.scn:1: too many arguments for 'off'"},
        {"expect page nowhere\n", "s.scn:1: unknown page 'nowhere'"},
        {"expect lamp green\n", "s.scn:1: the lamp is red or maroon, not 'green'"},
        {"expect cursor 1\n", "s.scn:1: unknown variable 'cursor'"},
        {"expect menu_cursor one\n", "s.scn:1: 'one' is not a number"},
        {"expect menu_cursor -2147483649\n", "s.scn:1: '-2147483649' is not a number"},
        {"expect menu_cursor 99999999999999999999\n",
         "s.scn:1: '99999999999999999999' is not a number"},
        {"shot a.png 9\n", "s.scn:1: shot scale 1..8, not '9'"},
        {"| ##\n", "s.scn:1: picture row outside expect-text"},
        {"expect-text 0 0\nkey centre\n", "s.scn:1: expect-text needs picture rows"},
        {"on\nexpect-text 0 0\n", "s.scn:2: expect-text needs picture rows"},
        {"expect-text 0 0\n| #.\n| #\n", "s.scn:3: picture rows differ in width"},
        {"expect-text 0 0\n| #x\n", "s.scn:2: a picture row holds only '#' (lit) and '.' (unlit)"},
        {"expect-text 110 0\n| #####\n", "s.scn:2: picture runs off the LCD"},
        {"expect-text 0 62\n| #\n| #\n| #\n", "s.scn:4: picture runs off the LCD"},
        {"expect-text 114 0\n| #\n", "s.scn:1: expect-text needs a column 0..113 and a row 0..63"},
        {"expect-text 0 0\n| #\nkee\n", "s.scn:3: unknown command 'kee'"},
        {"shot a\x01.png\n", "s.scn:1: a file name holds no control characters"},
        {"expect-golden g\x7f.txt\n", "s.scn:1: a file name holds no control characters"},
        {"shot a\rb.png\n", "s.scn:1: a file name holds no control characters"},
        {"dump\n\xEF\xBB\xBF"
         "dump\n",
         "s.scn:2: unknown command"},  // a mark only at the start
        {"", "s.scn: an empty script (no commands)"},
        {"\xEF\xBB\xBF# only a comment\n\n  \n", "s.scn: an empty script (no commands)"},
        {"dump\n" + std::string(5000, ' ') + "\n", "s.scn:2: a line longer than 4096 bytes"},
        {"ramp 3 0 1 1\n", "s.scn:1: channel 1 or 2, not '3'"},
        {"ramp 1 0 x 1\n", "s.scn:1: 'x' is not a number"},
        {"ramp 1 0x10 1 1\n", "s.scn:1: '0x10' is not a number"},
        {"ramp 1 0 1\n", "s.scn:1: 'ramp' needs more arguments"},
        {"ramp 1 0 1 0\n", "s.scn:1: 'ramp' takes 0.1 to 1000000 seconds with at most one"},
        {"ramp 1 0 1 1.25\n", "s.scn:1: 'ramp' takes 0.1 to 1000000 seconds with at most one"},
        {"ramp 1 0 1 -1\n", "s.scn:1: 'ramp' takes 0.1 to 1000000 seconds with at most one"},
        {"ramp 1 0 1 1000000.1\n", "s.scn:1: 'ramp' takes 0.1 to 1000000 seconds"},
        {"ramp 1 0 1 1000001\n", "s.scn:1: 'ramp' takes 0.1 to 1000000 seconds"},
        {"ramp 1 0 1 1.x\n", "s.scn:1: 'ramp' takes 0.1 to 1000000 seconds"},
        {"play-log\n", "s.scn:1: 'play-log' needs more arguments"},
        {"play-log a\x01.csv\n", "s.scn:1: a file name holds no control characters"},
        {"key\n", "s.scn:1: 'key' needs more arguments"},
        {"keyfast on off\n", "s.scn:1: too many arguments for 'keyfast'"},
        {"wait\n", "s.scn:1: 'wait' needs more arguments"},
        {"expect page\n", "s.scn:1: 'expect' needs more arguments"},
        {"expect-golden a b\n", "s.scn:1: too many arguments for 'expect-golden'"},
        {"expect-text 0\n", "s.scn:1: 'expect-text' needs more arguments"},
        {"expect-text 0 64\n", "s.scn:1: expect-text needs a column 0..113 and a row 0..63"},
        {"expect-text 0 0\n|\n", "s.scn:2: a picture row holds only '#' (lit) and '.' (unlit)"},
        {"shot\n", "s.scn:1: 'shot' needs more arguments"},
        {"record\n", "s.scn:1: 'record' needs more arguments"},
        {"record a.gif 9\n", "s.scn:1: record scale 1..8, not '9'"},
        {"record a\x02.gif\n", "s.scn:1: a file name holds no control characters"},
        {"stop-record now\n", "s.scn:1: too many arguments for 'stop-record'"},
        {"dump all\n", "s.scn:1: too many arguments for 'dump'"},
        {"load-settings\n", "s.scn:1: 'load-settings' needs more arguments"},
        {"value 1\n", "s.scn:1: 'value' needs more arguments"},
        {"value 0 1\n", "s.scn:1: channel 1 or 2, not '0'"},
        {"ramp 1 0 1e999 1\n", "s.scn:1: '1e999' is not a number"},
        {"sender 1\n", "s.scn:1: 'sender' needs more arguments"},
        {"sender 3 open\n", "s.scn:1: channel 1 or 2, not '3'"},
        {"sender 1 closed\n", "s.scn:1: 'sender' open or short, not 'closed'"},
    };
    for (const auto& c : cases) {
        const std::string error = parse_error(c.text);
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.text << " gave: " << error;
    }
}

TEST(ScenarioParse, CommentsBlanksAndEveryCommandAreAccepted) {
    EXPECT_EQ(parse_error("# a scenario\n"
                          "\n"
                          "  slider 2 4096   # full scale\n"
                          "calibrate on\nkeyfast off\non\non splash\nkey centre\nkey cw\nkey acw\n"
                          "key left\nkey right\nkey 200\nticks 3\npasses 2\nwait 1\n"
                          "expect page run\nexpect lamp maroon\nexpect contrast 37\n"
                          "expect-golden g.txt\nexpect-text 3 4\n  | #..#\n  | ....\n"
                          "shot a.png\nshot b.png 2\ndump\nramp 2 20 90.5 0.1\n"
                          "ramp 1 -1 1e1 1000000.0\nplay-log a.csv\noff\n"),
              "(parsed)");
}

}  // namespace
