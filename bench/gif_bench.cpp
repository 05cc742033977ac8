// Encoding one frame of an LCD animation: the changed rectangle of a small
// change (a line of text moving, as in a menu walk), and the whole picture
// changing (the worst case), each at the window's 2x.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "firmware/firmware.h"
#include "workbench/pictures/gif_recorder.h"

namespace {

std::vector<u8> frame(int step, bool whole) {
    lcd_clear();
    text_normal_const(static_cast<u8>(step % 60), 5, "MAIN MENU", 1, DrawMode::Set, 0);
    text_small_const(4, 30, "DISPLAY SETUP", 100);
    if (whole)
        for (int y = 0; y < LCD_HEIGHT; y += 2)
            for (int x = step % 2; x < LCD_WIDTH; x += 2)
                lcd_pixel(static_cast<u8>(x), static_cast<u8>(y), DrawMode::Set);
    std::vector<u8> lit(static_cast<size_t>(LCD_WIDTH) * LCD_HEIGHT);
    for (int y = 0; y < LCD_HEIGHT; ++y)
        for (int x = 0; x < LCD_WIDTH; ++x)
            lit[static_cast<size_t>(y) * LCD_WIDTH + x] =
                lcd_get_pixel(static_cast<u8>(x), static_cast<u8>(y)) ? 1 : 0;
    return lit;
}

void encode(benchmark::State& state, bool whole) {
    std::vector<std::vector<u8>> frames;
    for (int i = 0; i < 64; ++i)
        frames.push_back(frame(i, whole));
    const std::string path = "/tmp/dg2_gif_bench." + std::to_string(getpid()) + ".gif";
    GifRecorder recorder;
    if (!recorder.start(path, LCD_WIDTH, LCD_HEIGHT, 2, 0xD4D0C8, 0)) {
        state.SkipWithError(recorder.error().c_str());
        return;
    }
    long long at = 0;
    size_t i = 0;
    for (auto _ : state) {
        // 200 ms apart: every picture becomes a frame of its own.
        recorder.picture(frames[i++ % frames.size()].data(), at += 200);
    }
    recorder.stop(at + 200);
    state.counters["frames"] = recorder.frames_written();
    unlink(path.c_str());
}

void BM_GifFrameSmallChange(benchmark::State& state) { encode(state, false); }
void BM_GifFrameWholePicture(benchmark::State& state) { encode(state, true); }

}  // namespace

BENCHMARK(BM_GifFrameSmallChange)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GifFrameWholePicture)->Unit(benchmark::kMicrosecond);
