// Fixed-width integer names used throughout the firmware.
#pragma once

#include <cstdint>

using u8 = std::uint8_t;
using s8 = std::int8_t;
using u32 = std::uint32_t;
using s32 = std::int32_t;
