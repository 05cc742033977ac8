#include "tools/scenario/png.h"

#include "app/files/atomic_file.h"

namespace {

void put_u32(std::vector<u8>& out, u32 v) {
    out.push_back(static_cast<u8>(v >> 24));
    out.push_back(static_cast<u8>(v >> 16));
    out.push_back(static_cast<u8>(v >> 8));
    out.push_back(static_cast<u8>(v));
}

// Chunk: length, type, data, CRC over type and data.
void put_chunk(std::vector<u8>& out, const char* type, const std::vector<u8>& data) {
    put_u32(out, static_cast<u32>(data.size()));
    const size_t type_at = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put_u32(out, png_crc32(out.data() + type_at, 4 + data.size()));
}

// zlib stream of stored deflate blocks (at most 65535 bytes each).
std::vector<u8> zlib_stored(const std::vector<u8>& raw) {
    std::vector<u8> z = {0x78, 0x01};
    size_t at = 0;
    do {
        const size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        const bool last = at + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<u8>(n));
        z.push_back(static_cast<u8>(n >> 8));
        z.push_back(static_cast<u8>(~n));
        z.push_back(static_cast<u8>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<long>(at),
                 raw.begin() + static_cast<long>(at + n));
        at += n;
    } while (at < raw.size());
    put_u32(z, adler32(raw.data(), raw.size()));
    return z;
}

}  // namespace

u32 png_crc32(const u8* data, size_t size, u32 crc) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

u32 adler32(const u8* data, size_t size) {
    u32 a = 1, b = 0;
    for (size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::vector<u8> encode_png(const TwoColourImage& image) {
    std::vector<u8> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

    std::vector<u8> header;
    put_u32(header, static_cast<u32>(image.width));
    put_u32(header, static_cast<u32>(image.height));
    header.insert(header.end(),
                  {1, 3, 0, 0, 0});  // 1 bit, palette, deflate, no filter, no interlace
    put_chunk(out, "IHDR", header);

    std::vector<u8> palette;
    for (u32 c : {image.background, image.foreground}) {
        palette.push_back(static_cast<u8>(c >> 16));
        palette.push_back(static_cast<u8>(c >> 8));
        palette.push_back(static_cast<u8>(c));
    }
    put_chunk(out, "PLTE", palette);

    // Each row: filter type 0, then the pixels packed 8 per byte, leftmost
    // pixel in the most significant bit.
    const int row_bytes = (image.width + 7) / 8;
    std::vector<u8> raw;
    raw.reserve(static_cast<size_t>(image.height) * (row_bytes + 1));
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);
        for (int xb = 0; xb < row_bytes; ++xb) {
            u8 byte = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int x = xb * 8 + bit;
                if (x < image.width && image.lit[static_cast<size_t>(y) * image.width + x] != 0)
                    byte = static_cast<u8>(byte | (0x80 >> bit));
            }
            raw.push_back(byte);
        }
    }
    put_chunk(out, "IDAT", zlib_stored(raw));
    put_chunk(out, "IEND", {});
    return out;
}

bool write_png(const std::string& path, const TwoColourImage& image, std::string* error) {
    const std::vector<u8> bytes = encode_png(image);
    std::string why;
    const bool written = write_file_atomically(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), why);
    if (!written && error != nullptr) *error = why;
    return written;
}
