// The fault of toml++ that the ASCII guard works around (ascii_guard.h); what
// the guard refuses is in settings_edits.txt, "text outside ASCII".
#include <gtest/gtest.h>

#include "workbench/settings/toml.h"

namespace {

// Whether toml++'s whitespace test gives an answer for `c` at all: where it
// reaches the branch it marks unreachable, the call is no constant
// expression, and so no template argument.
template <char32_t C>
concept whitespace_answered = requires {
    typename std::bool_constant<toml::impl::is_non_ascii_horizontal_whitespace(C)>;
};

// Fails once the toml++ in use answers for every character: the ASCII guard
// is then no longer needed and can go (it was written for toml++ 3.3.0).
TEST(AsciiGuard, TheTomlFaultItWorksAroundIsStillThere) {
    static_assert(whitespace_answered<U'\u00A0'> && whitespace_answered<U'\u3000'> &&
                  whitespace_answered<U'A'>);
    const bool faulty = !whitespace_answered<U'\u00A1'> || !whitespace_answered<U'\u0499'> ||
                        !whitespace_answered<U'\uFB26'> || !whitespace_answered<U'\uFEFE'>;
    EXPECT_TRUE(faulty) << "toml++ " << TOML_LIB_MAJOR << "." << TOML_LIB_MINOR << "."
                        << TOML_LIB_PATCH
                        << " no longer reaches its unreachable branch for U+00A1..U+0499 "
                           "and U+FB26..U+FEFE: the ASCII guard "
                           "(workbench/settings/ascii_guard.h) can go";
}

}  // namespace
