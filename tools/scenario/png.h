// A two-colour PNG writer: enough for pictures of the LCD, with no library.
// The image is stored as a 1-bit palette image whose zlib stream uses
// uncompressed blocks, so the encoder is a few loops and two checksums.
#pragma once

#include <string>
#include <vector>

#include "firmware/core/types.h"

struct TwoColourImage {
    int width = 0;
    int height = 0;
    std::vector<u8> lit;  // width * height entries, row-major, 1 = foreground
    u32 background = 0;   // 0xRRGGBB
    u32 foreground = 0;
};

// The PNG file's bytes.
std::vector<u8> encode_png(const TwoColourImage& image);

// Writes the file whole or not at all (a temporary file renamed over it); false
// when it cannot be written, with "<path>: <reason>" in `error` if given.
bool write_png(const std::string& path, const TwoColourImage& image, std::string* error = nullptr);

// CRC-32 as PNG chunks use it (the zlib polynomial), and zlib's Adler-32.
u32 png_crc32(const u8* data, size_t size, u32 crc = 0);
u32 adler32(const u8* data, size_t size);
