#include "app/headless/headless_host.h"

#include <algorithm>

#include "workbench/controls/controls.h"

static u32 unlit_colour() { return HeadlessHost::UNLIT; }

HeadlessHost::HeadlessHost() : pixels(PICTURE_WIDTH * PICTURE_HEIGHT, UNLIT) {
    canvas = LcdCanvas{pixels.data(), PICTURE_WIDTH, PICTURE_WIDTH, PICTURE_HEIGHT, unlit_colour};
    // The sliders stand where the window's stand when it opens.
    for (u8 channel = 0; channel < 2; ++channel)
        place_slider(channel, channel_slider(channel).initial);
}

void HeadlessHost::fill_picture(u32 colour) { std::fill(pixels.begin(), pixels.end(), colour); }
