#include "firmware/core/number_text.h"

namespace {

// Builds the text right to left in a buffer long enough for any s32 in
// tenths ("-214748364.8") and the widest padding asked for, then copies as
// much as fits.
constexpr int LONGEST = 32;

void finish(char* out, std::size_t size, const char* begin, const char* end, int width) {
    if (size == 0) return;
    const std::ptrdiff_t length = end - begin;
    std::size_t n = 0;
    for (std::ptrdiff_t pad = width - length; pad > 0 && n + 1 < size; --pad)
        out[n++] = ' ';
    for (const char* c = begin; c < end && n + 1 < size; ++c)
        out[n++] = *c;
    out[n] = '\0';
}

// The digits of a magnitude, written backwards ending at end; returns the
// first character. At least one digit.
char* digits(char* end, u32 magnitude) {
    do {
        *--end = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    return end;
}

u32 magnitude_of(s32 value) {
    // In unsigned arithmetic, so the most negative s32 has its magnitude too.
    return value < 0 ? 0u - static_cast<u32>(value) : static_cast<u32>(value);
}

}  // namespace

void format_integer(char* out, std::size_t size, s32 value, int width) {
    char text[LONGEST];
    char* const end = text + LONGEST;
    char* begin = digits(end, magnitude_of(value));
    if (value < 0) *--begin = '-';
    finish(out, size, begin, end, width);
}

void format_tenths(char* out, std::size_t size, s32 tenths, int width) {
    char text[LONGEST];
    char* const end = text + LONGEST;
    const u32 magnitude = magnitude_of(tenths);
    char* begin = end;
    *--begin = static_cast<char>('0' + magnitude % 10);
    *--begin = '.';
    begin = digits(begin, magnitude / 10);
    if (tenths < 0) *--begin = '-';
    finish(out, size, begin, end, width);
}
