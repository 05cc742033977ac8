// The page's GIF encoder, written through the workbench's recorder and read
// back by giflib: noise (the most codes an image can need, so the LZW table
// fills and is cleared many times over), a blank picture and one that changes
// in a corner only, each frame pixel for pixel as recorded.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "workbench/pictures/gif_recorder.h"

namespace {

constexpr int W = 114;
constexpr int H = 64;

using Picture = std::vector<u8>;

// The recording's frames drawn one over the other, each as the screen shows
// it then, at one sample per recorded pixel.
std::vector<Picture> decoded(const std::string& path, int scale) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (gif == nullptr || DGifSlurp(gif) != GIF_OK) {
        ADD_FAILURE() << "giflib cannot read " << path;
        return {};
    }
    std::vector<u8> screen(static_cast<size_t>(gif->SWidth) * gif->SHeight, 0);
    std::vector<Picture> frames;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const GifImageDesc& d = image.ImageDesc;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x)
                screen[static_cast<size_t>(d.Top + y) * gif->SWidth + d.Left + x] =
                    image.RasterBits[y * d.Width + x];
        Picture picture(W * H);
        for (int y = 0; y < H * scale; ++y)
            for (int x = 0; x < W * scale; ++x) {
                const u8 shown = screen[static_cast<size_t>(y) * gif->SWidth + x];
                if (x % scale == 0 && y % scale == 0)
                    picture[(y / scale) * W + x / scale] = shown;
                else if (shown != picture[(y / scale) * W + x / scale])
                    ADD_FAILURE() << "a block not whole";
            }
        frames.push_back(picture);
    }
    DGifCloseFile(gif, &error);
    return frames;
}

TEST(WebGifEncoder, GiflibReadsEveryFrameAsRecorded) {
    const std::string path = testing::TempDir() + "dg2_web_gif_check.gif";
    std::mt19937 random(7);
    std::vector<Picture> recorded;
    recorded.emplace_back(W * H, 0);
    for (int f = 0; f < 4; ++f) {
        Picture noise(W * H);
        for (u8& pixel : noise)
            pixel = static_cast<u8>(random() % (f % 2 == 0 ? 2 : 9) == 0);
        recorded.push_back(noise);
    }
    Picture corner = recorded.back();
    corner[0] ^= 1;
    recorded.push_back(corner);
    for (const int scale : {1, 7}) {
        SCOPED_TRACE(scale);
        GifRecorder recorder;
        ASSERT_TRUE(recorder.start(path, W, H, scale, 0xD4D0C8, 0)) << recorder.error();
        for (size_t i = 0; i < recorded.size(); ++i)
            ASSERT_TRUE(recorder.picture(recorded[i].data(), static_cast<long long>(i) * 100));
        ASSERT_TRUE(recorder.stop(100 * static_cast<long long>(recorded.size())))
            << recorder.error();
        const std::vector<Picture> frames = decoded(path, scale);
        ASSERT_EQ(frames.size(), recorded.size());
        for (size_t i = 0; i < frames.size(); ++i)
            EXPECT_EQ(frames[i], recorded[i]) << "frame " << i;
    }
    std::remove(path.c_str());
}

}  // namespace
