#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <initializer_list>

#include "firmware/core/number_text.h"

namespace {

// The screens' texts must be exactly what printf gave: every value near zero,
// both ends of the s32 range and a spread between, at the widths the screens
// use, and buffers too short for the text, which are cut as snprintf cuts.
TEST(NumberText, MatchesPrintfForEveryWidthAndBufferSize) {
    auto check = [](s32 v) {
        for (const int width : {0, 3, 4}) {
            for (const std::size_t size : {std::size_t{32}, std::size_t{4}, std::size_t{1}}) {
                char want[32];
                char got[32];
                std::snprintf(want, size, "%*d", width, static_cast<int>(v));
                format_integer(got, size, v, width);
                ASSERT_STREQ(got, want) << v << " width " << width << " size " << size;
                std::snprintf(want, size, "%*.1f", width, v / 10.0);
                format_tenths(got, size, v, width);
                ASSERT_STREQ(got, want) << v << " tenths, width " << width << " size " << size;
            }
        }
    };
    for (s32 v = -2000; v <= 2000; ++v)
        check(v);
    for (const s32 v : {INT_MIN, INT_MIN + 1, INT_MAX, INT_MAX - 1, 99999, -99999})
        check(v);
    for (int64_t v = INT_MIN; v <= INT_MAX; v += 9'876'543)
        check(static_cast<s32>(v));
}

}  // namespace
