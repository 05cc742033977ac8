#include "workbench/pictures/png_writer.h"

#include <png.h>

#include "workbench/files/atomic_file.h"

namespace {

// libpng's simplified interface reports errors by its return value rather
// than by a long jump. The first pass measures the file, the second writes
// it. Empty when libpng refuses the picture (it takes none wider or higher
// than a million pixels, for one).
std::vector<u8> write_to_memory(png_image& png, const void* pixels, png_int_32 row_stride,
                                const void* colour_map) {
    png_alloc_size_t size = 0;
    std::vector<u8> bytes;
    const bool encoded =
        png_image_write_to_memory(&png, nullptr, &size, 0, pixels, row_stride, colour_map) &&
        (bytes.resize(size),
         png_image_write_to_memory(&png, bytes.data(), &size, 0, pixels, row_stride, colour_map));
    png_image_free(&png);
    if (!encoded) return {};
    bytes.resize(size);
    return bytes;
}

bool write_bytes(const std::string& path, const std::vector<u8>& bytes, std::string& error) {
    if (bytes.empty()) {
        error = path + ": the picture cannot be encoded";
        return false;
    }
    return write_file_atomically(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
}

}  // namespace

// A two-entry colour map is written as a 1-bit palette.
std::vector<u8> encode_png(const TwoColourImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.lit.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
        return {};
    std::vector<u8> indexes(image.lit.size());
    for (size_t i = 0; i < indexes.size(); ++i)
        indexes[i] = image.lit[i] != 0 ? 1 : 0;
    const u8 colour_map[6] = {
        static_cast<u8>(image.background >> 16), static_cast<u8>(image.background >> 8),
        static_cast<u8>(image.background),       static_cast<u8>(image.foreground >> 16),
        static_cast<u8>(image.foreground >> 8),  static_cast<u8>(image.foreground)};

    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB_COLORMAP;
    png.colormap_entries = 2;
    return write_to_memory(png, indexes.data(), image.width, colour_map);
}

bool write_png(const std::string& path, const TwoColourImage& image, std::string& error) {
    return write_bytes(path, encode_png(image), error);
}

bool write_png_argb(const std::string& path, int width, int height, const std::vector<u32>& argb,
                    std::string& error) {
    if (width <= 0 || height <= 0 ||
        argb.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return write_bytes(path, {}, error);
    std::vector<u8> rgba(argb.size() * 4);
    for (size_t i = 0; i < argb.size(); ++i) {
        rgba[4 * i] = static_cast<u8>(argb[i] >> 16);
        rgba[4 * i + 1] = static_cast<u8>(argb[i] >> 8);
        rgba[4 * i + 2] = static_cast<u8>(argb[i]);
        rgba[4 * i + 3] = static_cast<u8>(argb[i] >> 24);
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(width);
    png.height = static_cast<png_uint_32>(height);
    png.format = PNG_FORMAT_RGBA;
    return write_bytes(path, write_to_memory(png, rgba.data(), 0, nullptr), error);
}
