// Animations for a build without giflib (the browser edition's scenario
// runner): every one asked for is refused with a message. Native builds never
// compile this file; the page's workbench module links its own encoder
// (web/gif_encoder.cpp) under the same recorder instead.
#include "workbench/files/atomic_file.h"
#include "workbench/pictures/gif_recorder.h"

GifRecorder::GifRecorder() = default;
GifRecorder::~GifRecorder() = default;

bool GifRecorder::start(const std::string& path, int, int, int, u32, u32) {
    error_ = path + ": GIF animations are not written by this build";
    return false;
}

bool GifRecorder::picture(const u8*, long long) { return false; }
bool GifRecorder::stop(long long) { return false; }
void GifRecorder::discard() {}
