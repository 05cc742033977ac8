// LCD animations for the web page: the workbench's GifRecorder, as the window
// records them, writing into the module's own memory file system. The page
// hands it each changed picture and, when the recording stops, takes the
// finished file's bytes to download. Part of the page's workbench module,
// loaded on first use.
#include <emscripten.h>

#include <cstdio>
#include <string>
#include <vector>

#include "firmware/lcd/lcd.h"
#include "workbench/pictures/gif_recorder.h"

namespace {

constexpr char PATH[] = "/dg2-lcd.gif";
constexpr long long NEVER_BEFORE = 0;

GifRecorder recorder;
std::vector<u8> lit(static_cast<size_t>(LCD_WIDTH) * LCD_HEIGHT);
std::vector<u8> finished;
std::string error;

long long milliseconds(double ms) {
    return ms > 0 ? static_cast<long long>(ms < 1e15 ? ms : 1e15) : NEVER_BEFORE;
}

// The finished file, read whole and removed.
bool take_file() {
    finished.clear();
    std::FILE* file = std::fopen(PATH, "rb");
    if (file == nullptr) return false;
    u8 block[4096];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        finished.insert(finished.end(), block, block + got);
    const bool read = std::ferror(file) == 0;
    std::fclose(file);
    std::remove(PATH);
    return read;
}

}  // namespace

extern "C" {

// Where the page puts the LCD's pixels (LCD_WIDTH * LCD_HEIGHT, 1 = lit)
// before dg2_gif_start and dg2_gif_picture.
EMSCRIPTEN_KEEPALIVE u8* dg2_gif_pixels() { return lit.data(); }

// Starts a recording at `zoom` screen pixels per LCD pixel in the colours
// 0xRRGGBB, with the picture in dg2_gif_pixels as its first; 0 with the
// reason in dg2_gif_error.
EMSCRIPTEN_KEEPALIVE int dg2_gif_start(int zoom, double unlit, double lit_colour) {
    if (!recorder.start(PATH, LCD_WIDTH, LCD_HEIGHT, zoom, static_cast<u32>(unlit),
                        static_cast<u32>(lit_colour))) {
        error = recorder.error();
        return 0;
    }
    recorder.picture(lit.data(), 0);
    return 1;
}

// The picture in dg2_gif_pixels as it is from `at_ms` after the start on.
EMSCRIPTEN_KEEPALIVE int dg2_gif_picture(double at_ms) {
    if (recorder.picture(lit.data(), milliseconds(at_ms))) return 1;
    error = recorder.error();
    return 0;
}

// Ends the recording at `at_ms`; the file's bytes are then in dg2_gif_bytes.
EMSCRIPTEN_KEEPALIVE int dg2_gif_stop(double at_ms) {
    if (!recorder.stop(milliseconds(at_ms))) {
        error = recorder.error();
        return 0;
    }
    if (!take_file()) {
        error = std::string(PATH + 1) + ": the finished animation cannot be read";
        return 0;
    }
    return 1;
}

EMSCRIPTEN_KEEPALIVE int dg2_gif_recording() { return recorder.recording() ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE int dg2_gif_frames() { return recorder.frames_written(); }
EMSCRIPTEN_KEEPALIVE const u8* dg2_gif_bytes() { return finished.data(); }
EMSCRIPTEN_KEEPALIVE int dg2_gif_size() { return static_cast<int>(finished.size()); }
EMSCRIPTEN_KEEPALIVE const char* dg2_gif_error() { return error.c_str(); }
}
