// PNG pictures and GIF animations of the LCD, read back with the libraries
// that viewers use.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/file_faults.h"
#include "workbench/pictures/gif_recorder.h"
#include "workbench/pictures/png_writer.h"

namespace {

std::string temp_path(const char* name) { return ::testing::TempDir() + name; }

// A 12 x 5 picture with a few lit pixels, one of them moved by `shift`.
std::vector<u8> picture(int shift) {
    std::vector<u8> lit(12 * 5, 0);
    lit[0] = 1;
    lit[11 + 4 * 12] = 1;
    lit[static_cast<size_t>(3 + shift + 2 * 12)] = 1;
    return lit;
}

TEST(PngWriter, DecodesToTheImageAndIsCompressed) {
    TwoColourImage image;
    image.width = 1001;  // rows not a multiple of 8
    image.height = 600;
    image.background = 0xD4D0C8;
    image.foreground = 0x000000;
    image.lit.assign(static_cast<size_t>(image.width) * image.height, 0);
    const int lit[][2] = {{0, 0}, {1000, 0}, {7, 1}, {8, 1}, {500, 599}, {1000, 599}};
    for (const auto& p : lit)
        image.lit[static_cast<size_t>(p[1]) * image.width + p[0]] = 1;
    const std::vector<u8> bytes = encode_png(image);
    EXPECT_LT(bytes.size(), 2000u);  // 75 KB of pixels, nearly all alike

    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&png, bytes.data(), bytes.size()));
    png.format = PNG_FORMAT_RGB;
    std::vector<u8> rgb(PNG_IMAGE_SIZE(png));
    ASSERT_TRUE(png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr));
    ASSERT_EQ(png.width, 1001u);
    ASSERT_EQ(png.height, 600u);
    int black = 0, mismatches = 0;
    for (size_t i = 0; i < image.lit.size(); ++i) {
        const bool is_black = rgb[3 * i] == 0 && rgb[3 * i + 1] == 0 && rgb[3 * i + 2] == 0;
        const bool is_grey = rgb[3 * i] == 0xD4 && rgb[3 * i + 1] == 0xD0 && rgb[3 * i + 2] == 0xC8;
        black += is_black;
        mismatches += image.lit[i] ? !is_black : !is_grey;
    }
    EXPECT_EQ(black, 6);
    EXPECT_EQ(mismatches, 0);

    std::string error;
    EXPECT_TRUE(write_png(temp_path("two.png"), enlarged(image, 2), error)) << error;
    EXPECT_FALSE(write_png(temp_path("no/such/folder/two.png"), image, error));
    EXPECT_NE(error.find("no/such/folder/two.png"), std::string::npos) << error;
}

// Frames, delays and the changed rectangles; the delays add up to the
// recording's length although each is rounded, a picture that stood for
// less than 20 ms is replaced by the next, and a delay longer than a GIF
// frame holds goes on in a frame that changes nothing.
TEST(GifRecorder, FramesAndDelays) {
    const std::string path = temp_path("walk.gif");
    GifRecorder recorder;
    ASSERT_TRUE(recorder.start(path, 12, 5, 3, 0xD4D0C8, 0x000000)) << recorder.error();
    EXPECT_TRUE(recorder.picture(picture(0).data(), 0));
    EXPECT_TRUE(recorder.picture(picture(1).data(), 15));   // replaced by the next
    EXPECT_TRUE(recorder.picture(picture(1).data(), 50));   // no change
    EXPECT_TRUE(recorder.picture(picture(2).data(), 100));  // 2 stood 10 cs (from 0)
    EXPECT_TRUE(recorder.picture(picture(3).data(), 333));  // 2 stood 23 cs
    EXPECT_TRUE(recorder.picture(picture(4).data(), 1000000));
    ASSERT_TRUE(recorder.stop(1000505)) << recorder.error();

    int status = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &status);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    EXPECT_EQ(gif->SWidth, 36);
    EXPECT_EQ(gif->SHeight, 15);
    const int expected_delays[] = {10, 23, 65535, 34432, 50};
    ASSERT_EQ(gif->ImageCount, 5);
    long total = 0;
    std::vector<u8> canvas(36 * 15, 9);
    for (int i = 0; i < gif->ImageCount; ++i) {
        GraphicsControlBlock control{};
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
        EXPECT_EQ(control.DelayTime, expected_delays[i]) << "frame " << i;
        total += control.DelayTime;
        const SavedImage& frame = gif->SavedImages[i];
        const GifImageDesc& d = frame.ImageDesc;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x)
                canvas[static_cast<size_t>((d.Top + y) * 36 + d.Left + x)] =
                    frame.RasterBits[y * d.Width + x];
        if (i == 0) {
            EXPECT_EQ(d.Width * d.Height, 36 * 15);
        } else if (i == 1) {  // only pixels 4 and 5 of row 2 changed
            EXPECT_EQ(d.Left, 3 * 4);
            EXPECT_EQ(d.Top, 3 * 2);
            EXPECT_EQ(d.Width, 3 * 2);
            EXPECT_EQ(d.Height, 3);
        }
    }
    EXPECT_EQ(total, 100050);
    const std::vector<u8> last = picture(4);
    int mismatches = 0;
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 36; ++x)
            mismatches += canvas[static_cast<size_t>(y * 36 + x)] != last[(y / 3) * 12 + x / 3];
    EXPECT_EQ(mismatches, 0);
    DGifCloseFile(gif, &status);
}

// Until it stops, the recording is only a temporary file; a recording never
// stopped leaves nothing behind.
TEST(GifRecorder, NothingAppearsBeforeTheStop) {
    const std::string path = temp_path("unfinished.gif");
    std::remove(path.c_str());
    {
        GifRecorder recorder;
        ASSERT_TRUE(recorder.start(path, 12, 5, 1, 0xFFFFFF, 0));
        recorder.picture(picture(0).data(), 0);
        recorder.picture(picture(1).data(), 500);
        EXPECT_FALSE(std::ifstream(path).good());
    }
    EXPECT_FALSE(std::ifstream(path).good());
    GifRecorder recorder;
    EXPECT_FALSE(recorder.start(temp_path("no/such/folder/a.gif"), 12, 5, 1, 0xFFFFFF, 0));
    EXPECT_FALSE(recorder.error().empty());
}

// Runs `body` with files limited to `bytes` (a full disk, for root too).
void with_file_limit(rlim_t bytes, const std::function<void()>& body) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old_limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    rlimit small = old_limit;
    small.rlim_cur = bytes;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    body();
    setrlimit(RLIMIT_FSIZE, &old_limit);
}

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Images that are no picture give no file and no enlargement; one wider than
// libpng takes (a million pixels) gives no file either.
TEST(PngWriter, ImagesWithoutPixelsAreRefused) {
    TwoColourImage good;
    good.width = 2;
    good.height = 1;
    good.lit = {1, 0};
    TwoColourImage narrow = good, flat = good, lopsided = good, too_wide = good;
    narrow.width = 0;
    flat.height = 0;
    lopsided.lit.push_back(1);
    too_wide.width = 1000001;
    too_wide.lit.assign(1000001, 1);
    std::string error;
    for (const TwoColourImage& image : {narrow, flat, lopsided, too_wide}) {
        EXPECT_TRUE(encode_png(image).empty());
        EXPECT_FALSE(write_png("never.png", image, error));
        EXPECT_EQ(error, "never.png: the picture cannot be encoded");
    }
    EXPECT_EQ(enlarged(lopsided, 2).width, 0);
    EXPECT_EQ(enlarged(good, 0).width, 0);
    EXPECT_EQ(enlarged(good, 17).width, 0);
    EXPECT_EQ(enlarged(good, 16).lit.size(), 2u * 16 * 16);
}

// A colour picture (the window's, the tools') keeps its colours and alpha;
// one whose pixels do not fill it is refused, and a folder that is not there
// names the file.
TEST(PngWriter, ColourPicturesKeepTheirPixels) {
    const std::vector<u32> argb = {0xFF102030u, 0x80FFFFFFu, 0x00000000u, 0xFFD4D0C8u};
    const std::string path = temp_path("colour.png");
    std::string error;
    ASSERT_TRUE(write_png_argb(path, 2, 2, argb, error)) << error;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&png, path.c_str()));
    png.format = PNG_FORMAT_BGRA;
    std::vector<u32> read(4);
    ASSERT_TRUE(png_image_finish_read(&png, nullptr, read.data(), 0, nullptr));
    EXPECT_EQ(read, argb);

    for (int width : {0, 3}) {
        EXPECT_FALSE(write_png_argb("never.png", width, 2, argb, error));
        EXPECT_EQ(error, "never.png: the picture cannot be encoded");
        EXPECT_FALSE(write_png_argb("never.png", 2, width - 3, argb, error));  // no height
        EXPECT_EQ(error, "never.png: the picture cannot be encoded");
    }
    error.clear();
    EXPECT_FALSE(write_png_argb("never.png", 1000001, 1, std::vector<u32>(1000001), error));
    EXPECT_EQ(error, "never.png: the picture cannot be encoded");
    EXPECT_FALSE(write_png_argb(temp_path("no/such/folder/c.png"), 2, 2, argb, error));
    EXPECT_NE(error.find("no/such/folder/c.png"), std::string::npos) << error;
}

// A recording with no picture is a GIF without frames; a picture that comes
// back to what the last frame shows before its own frame was written gives a
// frame that changes nothing; sizes a GIF cannot hold are refused.
TEST(GifRecorder, EmptyRecordingsUnchangedFramesAndImpossibleSizes) {
    const std::string path = temp_path("odd.gif");
    GifRecorder recorder;
    const int sizes[][3] = {{0, 5, 1},   {12, 0, 1},    {12, 5, 0},
                            {12, 5, 17}, {4096, 5, 16}, {12, 4096, 16}};
    for (const auto& size : sizes) {
        EXPECT_FALSE(recorder.start(path, size[0], size[1], size[2], 0xFFFFFF, 0));
        EXPECT_EQ(recorder.error(), path + ": no such picture size");
    }
    EXPECT_FALSE(recorder.picture(picture(0).data(), 0));
    EXPECT_FALSE(recorder.stop(0));

    ASSERT_TRUE(recorder.start(path, 12, 5, 1, 0xFFFFFF, 0)) << recorder.error();
    ASSERT_TRUE(recorder.stop(1000)) << recorder.error();
    EXPECT_EQ(recorder.frames_written(), 0);

    ASSERT_TRUE(recorder.start(path, 12, 5, 1, 0xFFFFFF, 0));
    EXPECT_TRUE(recorder.picture(picture(0).data(), 0));
    EXPECT_TRUE(recorder.picture(picture(1).data(), 100));  // 0 stood 10 cs
    EXPECT_TRUE(recorder.picture(picture(0).data(), 110));  // 1 stood 1 cs: replaced
    EXPECT_TRUE(recorder.picture(picture(2).data(), 300));  // 0 again, 20 cs
    ASSERT_TRUE(recorder.stop(500)) << recorder.error();
    EXPECT_EQ(recorder.frames_written(), 3);
    EXPECT_EQ(recorder.centiseconds_written(), 50);

    int status = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &status);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    ASSERT_EQ(gif->ImageCount, 3);
    const GifImageDesc& unchanged = gif->SavedImages[1].ImageDesc;
    EXPECT_EQ(unchanged.Width * unchanged.Height, 1);
    EXPECT_EQ(gif->SavedImages[1].RasterBits[0], 1);  // the top left pixel, lit
    DGifCloseFile(gif, &status);
}

// A disk that fills during the recording or at its end, and a target that
// became a folder: the recording fails with the reason and leaves the old
// file as it was, and no temporary file.
TEST(GifRecorder, FailedWritesKeepTheOldFile) {
    const std::string folder = temp_path("gif_failures");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    const std::string path = folder + "/lcd.gif";
    std::ofstream(path) << "the old one";
    // Noise compresses badly: a frame of it is some 60 KB, so the second
    // frame fills the disk.
    std::vector<u8> noise(114 * 64);
    unsigned seed = 1;
    GifRecorder recorder;
    auto noisy_recording = [&](int frames) {
        bool written = recorder.start(path, 114, 64, 16, 0xFFFFFF, 0);
        for (int frame = 0; frame < frames && written; ++frame) {
            for (u8& p : noise)
                p = (seed = seed * 1103515245u + 12345u) >> 30 & 1;
            written = recorder.picture(noise.data(), frame * 1000);
        }
        return written && recorder.stop(frames * 1000);
    };
    with_file_limit(4096, [&] {
        EXPECT_FALSE(noisy_recording(2));   // in the stop
        EXPECT_FALSE(noisy_recording(20));  // in a picture
    });
    EXPECT_EQ(recorder.error(), path + ": the GIF file cannot be written: File too large");
    EXPECT_FALSE(recorder.recording());
    EXPECT_FALSE(recorder.stop(2000));

    {
        // Written as it goes, in whatever pieces the disk takes; a recording
        // whose flush to the disk fails leaves the one before in place.
        FileFaults faults;
        faults.piece = 4000;
        faults.interrupted = 3;
        EXPECT_TRUE(noisy_recording(3)) << recorder.error();
        EXPECT_GT(faults.writes, 40);
        faults.fsync_errno = EIO;
        EXPECT_FALSE(noisy_recording(1));
        EXPECT_EQ(recorder.error(), path + ": cannot flush: Input/output error");
    }
    int status = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &status);
    ASSERT_NE(gif, nullptr);
    EXPECT_EQ(DGifSlurp(gif), GIF_OK);
    EXPECT_EQ(gif->ImageCount, 3);
    DGifCloseFile(gif, &status);
    std::ofstream(path) << "the old one";

    with_file_limit(10, [&] {
        ASSERT_TRUE(recorder.start(path, 12, 5, 1, 0xFFFFFF, 0));
        EXPECT_TRUE(recorder.picture(picture(0).data(), 0));
        EXPECT_FALSE(recorder.stop(1000));  // everything is written here
    });
    EXPECT_EQ(recorder.error(), path + ": the GIF file cannot be written: File too large");
    EXPECT_EQ(read_all(path), "the old one");

    ASSERT_TRUE(recorder.start(path, 12, 5, 1, 0xFFFFFF, 0));
    EXPECT_TRUE(recorder.picture(picture(0).data(), 0));
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_FALSE(recorder.stop(1000));
    EXPECT_EQ(recorder.error().rfind(path + ": cannot rename: ", 0), 0u) << recorder.error();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    std::filesystem::remove_all(folder);
}

}  // namespace
