// Two-colour PNG pictures: a 1-bit palette image, compressed by libpng.
#pragma once

#include <string>
#include <vector>

#include "workbench/pictures/two_colour_image.h"

// The PNG file's bytes; empty when the image is empty or inconsistent.
std::vector<u8> encode_png(const TwoColourImage& image);

// Writes the file whole or not at all. On failure returns false with
// "<path>: <reason>" in `error`.
bool write_png(const std::string& path, const TwoColourImage& image, std::string& error);
