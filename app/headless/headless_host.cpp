#include "app/headless/headless_host.h"

#include <algorithm>

static u32 unlit_colour() { return HeadlessHost::UNLIT; }

HeadlessHost::HeadlessHost() : pixels(PICTURE_WIDTH * PICTURE_HEIGHT, UNLIT) {
    canvas = LcdCanvas{pixels.data(), PICTURE_WIDTH, PICTURE_WIDTH, PICTURE_HEIGHT, unlit_colour};
}

void HeadlessHost::fill_picture(u32 colour) { std::fill(pixels.begin(), pixels.end(), colour); }
