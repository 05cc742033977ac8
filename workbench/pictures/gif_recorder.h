// An animated GIF of the LCD, written as it is recorded: one frame at each
// change of the picture, shown for as long as the picture stood. The file
// goes to a temporary name and is renamed over the target when the recording
// stops, so an interrupted recording never leaves half a file behind.
//
// GIF delays count hundredths of a second; the recorder keeps the total of
// the delays written on the recording's own clock, so rounding never adds up
// over a long recording. A picture that stood for less than two hundredths
// (which viewers would stretch to a tenth) is replaced by the next one.
// Each frame after the first holds only the rectangle that changed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "workbench/pictures/two_colour_image.h"

class AtomicFile;
struct GifFileType;

class GifRecorder {
public:
    GifRecorder();
    GifRecorder(const GifRecorder&) = delete;
    GifRecorder& operator=(const GifRecorder&) = delete;
    // An unfinished recording is discarded.
    ~GifRecorder();

    // Starts a recording of pictures `width` x `height`, each pixel written
    // as a `scale` x `scale` block (1..16), in the colours 0xRRGGBB. False
    // (with the reason in error()) when the file cannot be created.
    bool start(const std::string& path, int width, int height, int scale, u32 unlit, u32 lit);
    // The picture (width * height entries, nonzero = lit) as it is from
    // `at_ms` milliseconds after the start on. Times never go back; a picture
    // equal to the last one is no change. False once writing has failed.
    bool picture(const u8* lit, long long at_ms);
    // Ends the recording at `at_ms`: the last picture stands until then. The
    // file is complete and in place when this returns true.
    bool stop(long long at_ms);
    // Ends the recording and removes the temporary file.
    void discard();

    bool recording() const { return gif_ != nullptr; }
    const std::string& error() const { return error_; }
    int frames_written() const { return frames_; }
    // Sum of the delays written, in hundredths of a second.
    long long centiseconds_written() const { return written_cs_; }

private:
    static int write_bytes(GifFileType* gif, const unsigned char* bytes, int size);
    bool flush();
    bool write_pending(long long delay_cs);
    bool write_frame(int left, int top, int width, int height, int delay_cs);
    bool fail(const char* what);

    std::unique_ptr<AtomicFile> file_;
    GifFileType* gif_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int scale_ = 1;
    std::vector<u8> pending_;  // the picture waiting for its delay
    std::vector<u8> shown_;    // what the frames written so far show
    bool has_pending_ = false;
    bool first_frame_ = true;
    long long written_cs_ = 0;
    long long start_cs_ = 0;  // the clock's reading when the first picture came
    int frames_ = 0;
    std::vector<u8> row_;
    std::vector<u8> buffer_;  // written, not yet in the file
    std::string path_;
    std::string error_;
};
