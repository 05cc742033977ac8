#include "workbench/pictures/two_colour_image.h"

TwoColourImage enlarged(const TwoColourImage& image, int scale) {
    TwoColourImage out;
    if (scale < 1 || scale > 16 ||
        image.lit.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
        return out;
    out.width = image.width * scale;
    out.height = image.height * scale;
    out.background = image.background;
    out.foreground = image.foreground;
    out.lit.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.lit[static_cast<size_t>(y) * static_cast<size_t>(out.width) +
                    static_cast<size_t>(x)] =
                image.lit[static_cast<size_t>(y / scale) * static_cast<size_t>(image.width) +
                          static_cast<size_t>(x / scale)];
    return out;
}
