// libFuzzer target: an input is a sequence of window events, played through
// the headless host from inside process_messages exactly as the window
// delivers them between passes. Every pass is followed by the invariant
// checks; a broken rule aborts, so the fuzzer reports it like a crash.
//
// Input bytes, read one event at a time (high nibble = event, low nibble = n):
//   0x0n..0x2n  click key 1 + n % 5 (centre, cw, acw, left, right)
//   0x3n R...   (n < 8) start a sensor log of n + 1 rows, three bytes each:
//               the time step in tenths (0 repeats the time: a bad line),
//               then channel 1's and channel 2's cell: 0 empty, 1 open,
//               2 short, 3 "x" (not a number), B >= 4 the number
//               (B - 100) / 4 in the channel's unit. The log is read as it
//               plays, as the window plays one: a step before every tick;
//               a bad line or a value the channel cannot show stops it.
//               (n >= 8) stop the log playing.
//   0x4n C      key code C (0..255) written under the one-pending rule
//   0x5n H L    slider (n & 1) + 1 to (H * 256 + L) % 4097
//   0x6n        n & 2 clear: "Calibrate", set: "KeyFast"; ticked when n is odd
//   0x7n O L B  (n < 8) L + 1 bytes B copied into the settings record at
//               offset (n * 256 + O) % sizeof record
//   0x7n B      (n >= 8) the whole record from the next bytes
//               Both are cut at the end of the record and of the input. The
//               record may hold any byte; the instrument has to cope. Display
//               codes sit at offsets 10 (layout), 11 (orientation), 12 (cycle
//               mode), 13 (time index), the channel kinds at 14 and 15.
//   0x8n        n + 1 ticks
//   0x9n        (n + 1) * 20 ticks
//   0xAn..0xCn  let (n & 3) + 1 passes (or splash frames) run
//   0xDn        "ON" (nested while on); odd n: the events go on after the
//               splash and the first pass, even n: after the first frame
//   0xEn        "OFF"
//   0xFn        draw the next pass into the LCD picture and check the picture
// The end of the input closes the window. An input plays to its end: each
// byte costs at most four passes, and only the number of power-ons is
// bounded (well above the instrument's MAX_POWER_ON_DEPTH), because each one
// runs the whole splash. How deep "ON" nests is the instrument's to limit: an
// "ON" at its limit is ignored, and a pass at a deeper nesting aborts.
//
// The configuration seeds in fuzz/corpus/events are written by
// fuzz/make_seeds.sh, the others by hand.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include "app/headless/headless_host.h"
#include "app/headless/invariants.h"
#include "firmware/firmware.h"
#include "runtime/instrument.h"
#include "workbench/sensors/sensor_log.h"

namespace {

constexpr int MAX_POWER_ONS = 32;
static_assert(MAX_POWER_ONS > MAX_POWER_ON_DEPTH, "the instrument's limit must be reachable");
constexpr u32 PICTURE_SENTINEL = 0x0BADF00Du;

class FuzzHost : public HeadlessHost {
public:
    FuzzHost(const u8* data, size_t size) : data_(data), size_(size) { with_picture = false; }

    void run() { act(); }
    void process_messages() override;

private:
    bool next(u8& byte) {
        if (at_ == size_) return false;
        byte = data_[at_++];
        return true;
    }
    void act();
    void check_pass();
    void overwrite_settings(u8 n);
    void start_log(u8 n);
    void tick_with_log();

    const u8* data_;
    size_t size_;
    size_t at_ = 0;
    int inside_messages_ = 0;
    int power_ons_ = 0;
    int skip_ = 0;
    bool await_pass_ = false;
    long shows_at_on_ = 0;
    long seen_ = 0;
    bool picture_pass_ = false;
    InvariantChecker checker_;
    std::unique_ptr<SensorLogPlayer> log_;
};

void FuzzHost::start_log(u8 n) {
    if (n >= 8) {
        log_.reset();
        return;
    }
    std::string text = "time,channel1,channel2\n";
    int tenths = 0;
    for (int row = 0; row <= n; ++row) {
        u8 bytes[3] = {0, 0, 0};
        for (u8& b : bytes)
            next(b);
        tenths += bytes[0];
        text += std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
        for (int c = 1; c <= 2; ++c) {
            const u8 b = bytes[c];
            text += ",";
            if (b == 1) text += "open";
            if (b == 2) text += "short";
            if (b == 3) text += "x";
            if (b >= 4) text += std::to_string((b - 100) / 4.0);
        }
        text += "\n";
    }
    log_ = std::make_unique<SensorLogPlayer>();
    std::string error;
    if (!log_->start(std::make_unique<std::istringstream>(text), "fuzz.csv", -1.0, error))
        log_.reset();
}

// A step of the log playing, then the tick, as the window gives them.
void FuzzHost::tick_with_log() {
    if (log_) {
        SensorCounts counts;
        std::string error;
        if (log_->step(counts, error)) {
            for (u8 c = 0; c < 2; ++c)
                if (counts.set[c]) set_input(c, counts.count[c]);
        } else if (error.rfind("fuzz.csv:", 0) != 0) {
            std::fprintf(stderr, "a log's bad line without its name: %s\n", error.c_str());
            std::abort();
        }
        if (log_->ended()) log_.reset();
    }
    tick();
}

void FuzzHost::check_pass() {
    if (instrument_running_depth() > MAX_POWER_ON_DEPTH) {
        std::fprintf(stderr, "\"ON\" nested %d deep\n", instrument_running_depth());
        std::abort();
    }
    const char* broken = checker_.after_pass_sampled(*this, picture_pass_, PICTURE_SENTINEL);
    if (broken != nullptr) {
        std::fprintf(stderr, "invariant broken after a pass on the %s page: %s\n",
                     page_name(current_page), broken);
        std::abort();
    }
}

void FuzzHost::process_messages() {
    if (passes_shown != seen_) {
        seen_ = passes_shown;
        check_pass();
    }
    if (await_pass_) {
        if (passes_shown == shows_at_on_) return;
        await_pass_ = false;
    } else if (skip_ > 0 && --skip_ > 0) {
        return;
    }
    ++inside_messages_;
    act();
    --inside_messages_;
}

void FuzzHost::overwrite_settings(u8 n) {
    constexpr size_t RECORD = sizeof settings;
    size_t offset = 0;
    size_t count = RECORD;
    if (n < 8) {
        u8 low = 0, length = 0;
        next(low);
        next(length);
        offset = (static_cast<size_t>(n) << 8 | low) % RECORD;
        count = static_cast<size_t>(length) + 1;
    }
    if (count > RECORD - offset) count = RECORD - offset;
    if (count > size_ - at_) count = size_ - at_;
    std::memcpy(reinterpret_cast<u8*>(&settings) + offset, data_ + at_, count);
    at_ += count;
    checker_.accept_any_settings();
}

void FuzzHost::act() {
    const bool running = inside_messages_ > 0;
    for (u8 b; next(b);) {
        const u8 n = b & 15;
        switch (b >> 4) {
            case 0x0:
            case 0x1:
            case 0x2: press_key(static_cast<KeyCode>(1 + n % 5)); break;
            case 0x3: start_log(n); break;
            case 0x4: {
                u8 code;
                if (next(code) && pending_key == KeyNone) pending_key = static_cast<KeyCode>(code);
                break;
            }
            case 0x5: {
                u8 hi = 0, lo = 0;
                next(hi);
                next(lo);
                set_input(n & 1, static_cast<u32>(hi << 8 | lo) % 4097);
                break;
            }
            case 0x6: ((n & 2) != 0 ? keyfast : calibrate) = (n & 1) != 0; break;
            case 0x7: overwrite_settings(n); break;
            case 0x8:
                for (int i = 0; i <= n; ++i)
                    tick_with_log();
                break;
            case 0x9:
                for (int i = 0; i < (n + 1) * 20; ++i)
                    tick_with_log();
                break;
            case 0xA:
            case 0xB:
            case 0xC:
                // Short waits: a key needs one pass to act and one to show,
                // and long stretches of identical passes only cost time.
                if (!running) break;
                skip_ = (n & 3) + 1;
                return;
            case 0xD:
                if (power_ons_ >= MAX_POWER_ONS) break;
                ++power_ons_;
                checker_.restart();
                picture_pass_ = false;
                await_pass_ = (n & 1) != 0;
                shows_at_on_ = passes_shown;
                skip_ = 0;
                power_on_and_run(*this);
                await_pass_ = false;
                skip_ = 0;
                break;
            case 0xE:
                request_power_off();
                if (running) return;
                break;
            case 0xF:
                if (!running) break;
                fill_picture(PICTURE_SENTINEL);
                lcd_attach_canvas(&canvas);
                picture_pass_ = true;
                break;
        }
    }
    // The end of the input closes the window.
    if (instrument_running_depth() > 0) request_power_off();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    reset_all_state();
    FuzzHost host(data, size);
    host.run();
    lcd_attach_canvas(nullptr);
    if (instrument_running_depth() != 0) std::abort();
    return 0;
}
