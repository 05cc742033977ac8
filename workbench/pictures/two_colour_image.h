// A picture of the LCD in two colours: which pixels are lit, and the colours
// of lit and unlit pixels. PNG pictures and GIF animations are made from it,
// by the window and by the scenario runner alike.
#pragma once

#include <cstddef>
#include <vector>

#include "firmware/core/types.h"

struct TwoColourImage {
    int width = 0;
    int height = 0;
    std::vector<u8> lit;  // width * height entries, row-major, 1 = foreground
    u32 background = 0;   // 0xRRGGBB
    u32 foreground = 0;
};

// Each pixel as a `scale` x `scale` block (scale 1..16); an empty image when
// the scale is out of range.
TwoColourImage enlarged(const TwoColourImage& image, int scale);
