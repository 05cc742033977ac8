// The part of giflib's encoding interface that the workbench's GifRecorder
// uses, for the page's workbench module, which is built without giflib: the
// header is giflib's own (gif_lib.h), so the recorder compiles unchanged and
// writes the same kind of file as the window's. Only what the recorder calls
// is here: the screen with its global colour map, extensions, images without
// a colour map of their own, whole lines, and the LZW compression they need.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

constexpr int LZW_MAX_BITS = 12;
constexpr int LZW_CODES = 1 << LZW_MAX_BITS;
// A code's data is cut into sub-blocks of at most this many bytes.
constexpr size_t SUB_BLOCK = 255;

// LZW as GIF has it: codes written low bits first, growing from one bit more
// than the pixels' size up to 12 bits, a clear code when the table is full.
class Lzw {
public:
    explicit Lzw(int pixel_bits)
        : clear_(1 << pixel_bits), end_(clear_ + 1), first_bits_(pixel_bits + 1) {
        reset();
        write_code(clear_);
    }

    void pixel(int value) {
        if (prefix_ < 0) {
            prefix_ = value;
            return;
        }
        const size_t at =
            static_cast<size_t>(prefix_) * static_cast<size_t>(clear_) + static_cast<size_t>(value);
        const int known = next_[at];
        if (known != 0) {
            prefix_ = known;
            return;
        }
        write_code(prefix_);
        if (free_ < LZW_CODES) {
            next_[at] = static_cast<unsigned short>(free_++);
        } else {
            // The table is full: the clear code, still at 12 bits, starts a
            // new one.
            reset();
            clearing_ = true;
            write_code(clear_);
        }
        prefix_ = value;
    }

    // The last code and the end code; the bytes that hold them, in
    // sub-blocks, ending with the empty one.
    std::vector<GifByteType> finish() {
        if (prefix_ >= 0) write_code(prefix_);
        write_code(end_);
        if (bit_count_ > 0) bytes_.push_back(static_cast<GifByteType>(bits_));
        std::vector<GifByteType> blocks;
        for (size_t at = 0; at < bytes_.size(); at += SUB_BLOCK) {
            const size_t length = std::min(SUB_BLOCK, bytes_.size() - at);
            blocks.push_back(static_cast<GifByteType>(length));
            blocks.insert(blocks.end(), bytes_.begin() + static_cast<long>(at),
                          bytes_.begin() + static_cast<long>(at + length));
        }
        blocks.push_back(0);
        return blocks;
    }

private:
    void reset() {
        next_.assign(static_cast<size_t>(LZW_CODES) * static_cast<size_t>(clear_), 0);
        free_ = end_ + 1;
    }

    // A decoder adds a code for every one it reads after the first, so it
    // widens its codes one step after the encoder fills a width: the width
    // grows once the next free code no longer fits in it.
    void write_code(int code) {
        bits_ |= static_cast<unsigned long>(code) << bit_count_;
        bit_count_ += bits_now_;
        while (bit_count_ >= 8) {
            bytes_.push_back(static_cast<GifByteType>(bits_ & 0xFF));
            bits_ >>= 8;
            bit_count_ -= 8;
        }
        if (clearing_) {
            clearing_ = false;
            bits_now_ = first_bits_;
        } else if (free_ > (1 << bits_now_) - 1 && bits_now_ < LZW_MAX_BITS) {
            ++bits_now_;
        }
    }

    const int clear_;
    const int end_;
    const int first_bits_;
    int bits_now_ = first_bits_;
    int free_ = 0;
    int prefix_ = -1;
    bool clearing_ = false;
    // The code for a known string followed by a pixel value (codes times
    // values, as many values as the clear code's number), 0 for none: no
    // string's code is below end_.
    std::vector<unsigned short> next_;
    unsigned long bits_ = 0;
    int bit_count_ = 0;
    std::vector<GifByteType> bytes_;
};

struct Encoder {
    OutputFunc write = nullptr;
    bool gif89 = false;
    bool screen_written = false;
    int pixel_bits = 1;  // of the global colour map
    long long pixels_left = 0;
    Lzw* lzw = nullptr;
};

Encoder& encoder(GifFileType* gif) { return *static_cast<Encoder*>(gif->Private); }

int put(GifFileType* gif, const std::vector<GifByteType>& bytes) {
    const int size = static_cast<int>(bytes.size());
    if (encoder(gif).write(gif, bytes.data(), size) != size) {
        gif->Error = E_GIF_ERR_WRITE_FAILED;
        return GIF_ERROR;
    }
    return GIF_OK;
}

void word(std::vector<GifByteType>& bytes, int value) {
    bytes.push_back(static_cast<GifByteType>(value & 0xFF));
    bytes.push_back(static_cast<GifByteType>((value >> 8) & 0xFF));
}

int bits_for(int colours) {
    int bits = 1;
    while ((1 << bits) < colours && bits < 8)
        ++bits;
    return bits;
}

}  // namespace

extern "C" {

GifFileType* EGifOpen(void* user, OutputFunc write, int* error) {
    auto* gif = new GifFileType{};
    gif->UserData = user;
    gif->Private = new Encoder{};
    encoder(gif).write = write;
    if (error != nullptr) *error = 0;
    return gif;
}

void EGifSetGifVersion(GifFileType* gif, const bool gif89) { encoder(gif).gif89 = gif89; }

ColorMapObject* GifMakeMapObject(int count, const GifColorType* colours) {
    if (count <= 0 || count > 256 || (count & (count - 1)) != 0) return nullptr;
    auto* map = new ColorMapObject{};
    map->ColorCount = count;
    map->BitsPerPixel = bits_for(count);
    map->Colors = new GifColorType[static_cast<size_t>(count)]{};
    if (colours != nullptr) std::memcpy(map->Colors, colours, sizeof(GifColorType) * count);
    return map;
}

void GifFreeMapObject(ColorMapObject* map) {
    if (map == nullptr) return;
    delete[] map->Colors;
    delete map;
}

int EGifPutScreenDesc(GifFileType* gif, const int width, const int height, const int resolution,
                      const int background, const ColorMapObject* map) {
    Encoder& e = encoder(gif);
    if (e.screen_written) {
        gif->Error = E_GIF_ERR_HAS_SCRN_DSCR;
        return GIF_ERROR;
    }
    if (map == nullptr) {
        gif->Error = E_GIF_ERR_NO_COLOR_MAP;
        return GIF_ERROR;
    }
    std::vector<GifByteType> bytes;
    for (const char ch : std::string_view(e.gif89 ? "GIF89a" : "GIF87a"))
        bytes.push_back(static_cast<GifByteType>(ch));
    word(bytes, width);
    word(bytes, height);
    e.pixel_bits = map->BitsPerPixel;
    bytes.push_back(
        static_cast<GifByteType>(0x80 | (((resolution - 1) & 7) << 4) | ((e.pixel_bits - 1) & 7)));
    bytes.push_back(static_cast<GifByteType>(background));
    bytes.push_back(0);
    for (int i = 0; i < (1 << e.pixel_bits); ++i) {
        const GifColorType c = i < map->ColorCount ? map->Colors[i] : GifColorType{};
        bytes.insert(bytes.end(), {c.Red, c.Green, c.Blue});
    }
    e.screen_written = true;
    gif->SWidth = width;
    gif->SHeight = height;
    return put(gif, bytes);
}

int EGifPutExtensionLeader(GifFileType* gif, const int code) {
    return put(gif, {0x21, static_cast<GifByteType>(code)});
}

int EGifPutExtensionBlock(GifFileType* gif, const int length, const void* data) {
    std::vector<GifByteType> bytes{static_cast<GifByteType>(length)};
    const auto* from = static_cast<const GifByteType*>(data);
    bytes.insert(bytes.end(), from, from + length);
    return put(gif, bytes);
}

int EGifPutExtensionTrailer(GifFileType* gif) { return put(gif, {0}); }

int EGifPutExtension(GifFileType* gif, const int code, const int length, const void* data) {
    if (EGifPutExtensionLeader(gif, code) == GIF_ERROR ||
        EGifPutExtensionBlock(gif, length, data) == GIF_ERROR)
        return GIF_ERROR;
    return EGifPutExtensionTrailer(gif);
}

size_t EGifGCBToExtension(const GraphicsControlBlock* control, GifByteType* extension) {
    extension[0] = static_cast<GifByteType>(((control->DisposalMode & 7) << 2) |
                                            (control->UserInputFlag ? 0x02 : 0) |
                                            (control->TransparentColor != -1 ? 0x01 : 0));
    extension[1] = static_cast<GifByteType>(control->DelayTime & 0xFF);
    extension[2] = static_cast<GifByteType>((control->DelayTime >> 8) & 0xFF);
    extension[3] = static_cast<GifByteType>(control->TransparentColor);
    return 4;
}

// Images use the global colour map; the recorder never gives one of their own.
int EGifPutImageDesc(GifFileType* gif, const int left, const int top, const int width,
                     const int height, const bool interlace, const ColorMapObject* map) {
    Encoder& e = encoder(gif);
    if (e.lzw != nullptr) {
        gif->Error = E_GIF_ERR_HAS_IMAG_DSCR;
        return GIF_ERROR;
    }
    if (map != nullptr || interlace || width <= 0 || height <= 0) {
        gif->Error = E_GIF_ERR_DATA_TOO_BIG;
        return GIF_ERROR;
    }
    std::vector<GifByteType> bytes{0x2C};
    word(bytes, left);
    word(bytes, top);
    word(bytes, width);
    word(bytes, height);
    bytes.push_back(0);
    // The smallest code size GIF allows is 2.
    const int code_bits = e.pixel_bits < 2 ? 2 : e.pixel_bits;
    bytes.push_back(static_cast<GifByteType>(code_bits));
    e.pixels_left = static_cast<long long>(width) * height;
    e.lzw = new Lzw(code_bits);
    gif->ImageCount++;
    return put(gif, bytes);
}

int EGifPutLine(GifFileType* gif, GifPixelType* line, int length) {
    Encoder& e = encoder(gif);
    if (e.lzw == nullptr || length <= 0 || length > e.pixels_left) {
        gif->Error = E_GIF_ERR_DATA_TOO_BIG;
        return GIF_ERROR;
    }
    const int mask = (1 << e.pixel_bits) - 1;
    for (int i = 0; i < length; ++i)
        e.lzw->pixel(line[i] & mask);
    e.pixels_left -= length;
    if (e.pixels_left > 0) return GIF_OK;
    const std::vector<GifByteType> data = e.lzw->finish();
    delete e.lzw;
    e.lzw = nullptr;
    return put(gif, data);
}

int EGifCloseFile(GifFileType* gif, int* error) {
    if (gif == nullptr) return GIF_ERROR;
    Encoder* e = &encoder(gif);
    int status = GIF_OK;
    if (e->screen_written) status = put(gif, {0x3B});
    if (error != nullptr) *error = status == GIF_OK ? 0 : gif->Error;
    delete e->lzw;
    delete e;
    delete gif;
    return status;
}
}
