#include "workbench/pictures/gif_recorder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

#include "workbench/files/atomic_file.h"

namespace {

// Viewers show shorter delays as a tenth of a second.
constexpr long long SHORTEST_DELAY_CS = 2;
constexpr long long LONGEST_DELAY_CS = 65535;

// giflib hands over a few hundred bytes at a time; they are collected and
// written in large pieces.
constexpr size_t FLUSH_BYTES = 64 * 1024;

}  // namespace

int GifRecorder::write_bytes(GifFileType* gif, const GifByteType* bytes, int size) {
    auto* recorder = static_cast<GifRecorder*>(gif->UserData);
    if (size <= 0) return 0;
    recorder->buffer_.insert(recorder->buffer_.end(), bytes, bytes + size);
    if (recorder->buffer_.size() >= FLUSH_BYTES && !recorder->flush()) return 0;
    return size;
}

bool GifRecorder::flush() {
    const bool written = file_->write(buffer_.data(), buffer_.size());
    buffer_.clear();
    return written;
}

GifRecorder::GifRecorder() = default;

GifRecorder::~GifRecorder() { discard(); }

// A write that failed on the disk says why (a full disk, say).
bool GifRecorder::fail(const char* what) {
    if (error_.empty()) {
        error_ = path_ + ": " + what;
        if (file_ && file_->system_error() != 0)
            error_ += std::string(": ") + std::strerror(file_->system_error());
    }
    discard();
    return false;
}

void GifRecorder::discard() {
    if (gif_ != nullptr) {
        int ignored = 0;
        EGifCloseFile(gif_, &ignored);
        gif_ = nullptr;
    }
    if (file_) file_->discard();
    file_.reset();
    has_pending_ = false;
}

bool GifRecorder::start(const std::string& path, int width, int height, int scale, u32 unlit,
                        u32 lit) {
    discard();
    error_.clear();
    path_ = path;
    if (width <= 0 || height <= 0 || scale < 1 || scale > 16 || width * scale > 65535 ||
        height * scale > 65535) {
        error_ = path + ": no such picture size";
        return false;
    }
    width_ = width;
    height_ = height;
    scale_ = scale;
    pending_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    shown_ = pending_;
    row_.resize(static_cast<size_t>(width * scale));
    has_pending_ = false;
    first_frame_ = true;
    written_cs_ = 0;
    start_cs_ = 0;
    frames_ = 0;

    file_ = std::make_unique<AtomicFile>();
    if (!file_->open(path)) {
        error_ = file_->error();
        file_.reset();
        return false;
    }
    int status = 0;
    buffer_.clear();
    gif_ = EGifOpen(this, write_bytes, &status);
    if (gif_ == nullptr) return fail("the GIF writer cannot start");
    EGifSetGifVersion(gif_, true);
    GifColorType colours[2] = {
        {static_cast<GifByteType>(unlit >> 16), static_cast<GifByteType>(unlit >> 8),
         static_cast<GifByteType>(unlit)},
        {static_cast<GifByteType>(lit >> 16), static_cast<GifByteType>(lit >> 8),
         static_cast<GifByteType>(lit)}};
    ColorMapObject* map = GifMakeMapObject(2, colours);
    if (map == nullptr) return fail("out of memory");
    const int put = EGifPutScreenDesc(gif_, width * scale, height * scale, 1, 0, map);
    GifFreeMapObject(map);
    if (put == GIF_ERROR) return fail("the GIF file cannot be written");
    // Loop for ever, as animations on a page are expected to.
    static const GifByteType NETSCAPE[] = "NETSCAPE2.0";
    static const GifByteType LOOP[] = {1, 0, 0};
    if (EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif_, 11, NETSCAPE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif_, 3, LOOP) == GIF_ERROR ||
        EGifPutExtensionTrailer(gif_) == GIF_ERROR)
        return fail("the GIF file cannot be written");
    return true;
}

bool GifRecorder::picture(const u8* lit, long long at_ms) {
    if (gif_ == nullptr) return false;
    const long long now_cs = std::max(at_ms, 0LL) / 10;
    if (!has_pending_) {
        start_cs_ = now_cs;
    } else {
        if (std::equal(pending_.begin(), pending_.end(), lit,
                       [](u8 a, u8 b) { return a == (b != 0 ? 1 : 0); }))
            return true;
        const long long due = now_cs - start_cs_ - written_cs_;
        if (due >= SHORTEST_DELAY_CS && !write_pending(due)) return false;
    }
    for (size_t i = 0; i < pending_.size(); ++i)
        pending_[i] = lit[i] != 0 ? 1 : 0;
    has_pending_ = true;
    return true;
}

bool GifRecorder::stop(long long at_ms) {
    if (gif_ == nullptr) return false;
    if (has_pending_) {
        const long long due = std::max(at_ms, 0LL) / 10 - start_cs_ - written_cs_;
        if (!write_pending(std::max(due, SHORTEST_DELAY_CS))) return false;
    }
    int status = 0;
    const int closed = EGifCloseFile(gif_, &status);
    gif_ = nullptr;
    if (closed == GIF_ERROR || !flush()) return fail("the GIF file cannot be written");
    if (!file_->commit()) {
        error_ = file_->error();
        file_.reset();
        return false;
    }
    file_.reset();
    has_pending_ = false;
    return true;
}

// The pending picture as one or more frames (a delay longer than a GIF frame
// can hold continues in frames that change nothing).
bool GifRecorder::write_pending(long long delay_cs) {
    int left = width_, top = height_, right = -1, bottom = -1;
    for (int y = 0; y < height_; ++y) {
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(width_);
        for (int x = 0; x < width_; ++x) {
            if (!first_frame_ &&
                pending_[row + static_cast<size_t>(x)] == shown_[row + static_cast<size_t>(x)])
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    first_frame_ = false;
    if (right < 0) left = right = top = bottom = 0;
    shown_ = pending_;
    do {
        const long long part = std::min(delay_cs, LONGEST_DELAY_CS);
        if (!write_frame(left, top, right - left + 1, bottom - top + 1, static_cast<int>(part)))
            return false;
        written_cs_ += part;
        delay_cs -= part;
        left = right = top = bottom = 0;
    } while (delay_cs > 0);
    return true;
}

bool GifRecorder::write_frame(int left, int top, int width, int height, int delay_cs) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = delay_cs;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
            GIF_ERROR ||
        EGifPutImageDesc(gif_, left * scale_, top * scale_, width * scale_, height * scale_, false,
                         nullptr) == GIF_ERROR)
        return fail("the GIF file cannot be written");
    for (int y = top; y < top + height; ++y) {
        const u8* source = &shown_[static_cast<size_t>(y) * static_cast<size_t>(width_)];
        for (int x = 0; x < width * scale_; ++x)
            row_[static_cast<size_t>(x)] = source[left + x / scale_];
        for (int repeat = 0; repeat < scale_; ++repeat)
            if (EGifPutLine(gif_, row_.data(), width * scale_) == GIF_ERROR)
                return fail("the GIF file cannot be written");
    }
    ++frames_;
    return true;
}
