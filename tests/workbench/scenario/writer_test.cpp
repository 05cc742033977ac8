// The writer and the parser speak one language: every command, written back,
// is the line it was read from.
#include <gtest/gtest.h>

#include <sstream>

#include "workbench/scenario/scenario.h"

TEST(ScenarioWriter, WritesEveryCommandAsTheParserReadsIt) {
    const std::string script =
        "on\non splash\noff\nkey centre\nkey cw\nkey 200\nslider 2 4096\n"
        "calibrate on\nkeyfast off\nticks 3\npasses 7\nwait 10\nexpect page run\n"
        "expect-golden golden/a.txt\nexpect-text 3 4\n| #.#\n| .#.\nshot a#b.png 2\n"
        "record anim.gif 1\nstop-record\ndump\nsave-settings s.toml\nload-settings s.toml\n"
        "power-on-settings s.toml\nvalue 1 4.5\nsender 2 open\nsender 1 short\n"
        "ramp 1 0 4.5 2.5\nramp 2 90 -20 60.0\nplay-log logs/warm_up.csv\n";
    std::istringstream in(script);
    ScenarioReader reader(in, "all.scn");
    std::string written;
    for (ScenarioCommand c; reader.next(c);)
        written += scenario_text(c);
    EXPECT_EQ(reader.error(), "");
    EXPECT_EQ(written, script);
}
