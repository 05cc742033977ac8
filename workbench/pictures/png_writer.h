// PNG pictures through libpng: the LCD as a 1-bit palette image, and full
// colour pictures (the window, the bezel, the icons) for the tools.
#pragma once

#include <string>
#include <vector>

#include "workbench/pictures/two_colour_image.h"

// The PNG file's bytes; empty when the image is empty or inconsistent.
std::vector<u8> encode_png(const TwoColourImage& image);

// Writes the file whole or not at all. On failure returns false with
// "<path>: <reason>" in `error`.
bool write_png(const std::string& path, const TwoColourImage& image, std::string& error);

// A full-colour picture: `argb` holds width * height pixels, row-major, as
// 0xAARRGGBB. Written whole or not at all, as write_png.
bool write_png_argb(const std::string& path, int width, int height, const std::vector<u32>& argb,
                    std::string& error);
