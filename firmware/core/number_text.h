#pragma once

#include <cstddef>

#include "firmware/core/types.h"

// Decimal text of whole numbers and of tenths, as the screens show readings
// and scale labels: the same characters as printf's "%*d" and "%*.1f" (of the
// number of tenths divided by ten), padded with blanks on the left to the
// width given. A pass writes a dozen numbers, and the C library's formatter
// cost more than drawing the whole screen.
// Like snprintf, at most size - 1 characters are written, then a NUL.
void format_integer(char* out, std::size_t size, s32 value, int width);
void format_tenths(char* out, std::size_t size, s32 tenths, int width);
