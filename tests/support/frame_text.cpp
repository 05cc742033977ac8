#include "tests/support/frame_text.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "firmware/lcd/lcd.h"

std::string frame_region(int x0, int y0, int x1, int y1) {
    std::string out;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x)
            out += lcd_get_pixel(static_cast<u8>(x), static_cast<u8>(y)) ? '#' : '.';
        out += '\n';
    }
    return out;
}

std::string frame_to_text() { return frame_region(0, 0, LCD_WIDTH - 1, LCD_HEIGHT - 1); }

::testing::AssertionResult matches_golden(const std::string& name) {
    const std::string path = std::string(DG2_GOLDEN_DIR) + "/" + name + ".txt";
    const std::string actual = frame_to_text();
    const char* update = std::getenv("DG2_UPDATE_GOLDENS");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream(path) << actual;
        return ::testing::AssertionSuccess() << "rewrote " << path;
    }
    std::ifstream in(path);
    if (!in) return ::testing::AssertionFailure() << "missing golden " << path;
    std::stringstream expected;
    expected << in.rdbuf();
    if (expected.str() == actual) return ::testing::AssertionSuccess();
    // Show both screens line by line with the differing rows marked.
    std::stringstream diff;
    std::istringstream a(actual), e(expected.str());
    std::string la, le;
    int row = 0;
    while (std::getline(e, le) && std::getline(a, la)) {
        diff << (la == le ? "   " : "!! ") << le << "  |  " << la << "   " << row++ << "\n";
    }
    return ::testing::AssertionFailure()
           << "frame differs from " << path << " (expected | actual):\n"
           << diff.str();
}
