// libFuzzer target: an input is a sequence of window events, played through
// the headless host from inside process_messages exactly as the window
// delivers them between passes. Every pass is followed by the invariant
// checks; a broken rule aborts, so the fuzzer reports it like a crash.
//
// Input bytes, read one event at a time (high nibble = event, low nibble = n):
//   0x0n..0x3n  click key 1 + n % 5 (centre, cw, acw, left, right)
//   0x4n C      key code C (0..255) written under the one-pending rule
//   0x5n H L    slider (n & 1) + 1 to (H * 256 + L) % 4097
//   0x6n        "Calibrate" ticked when n is odd
//   0x7n        "KeyFast" ticked when n is odd
//   0x8n        n + 1 ticks
//   0x9n        (n + 1) * 20 ticks
//   0xAn..0xCn  let (n & 3) + 1 passes (or splash frames) run
//   0xDn        "ON" (nested while on); odd n: the events go on after the
//               splash and the first pass, even n: after the first frame
//   0xEn        "OFF"
//   0xFn        draw the next pass into the LCD picture and check the picture
// The end of the input closes the window. Each input is bounded (message
// points, power-ons, nesting) so that every run stays short.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "firmware/firmware.h"
#include "tests/support/fake_host.h"
#include "tools/scenario/headless_host.h"
#include "tools/scenario/invariants.h"

namespace {

constexpr int MAX_MESSAGE_POINTS = 1000;
constexpr int MAX_POWER_ONS = 6;
constexpr int MAX_DEPTH = 3;
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

    const u8* data_;
    size_t size_;
    size_t at_ = 0;
    int inside_messages_ = 0;
    int points_ = 0;
    int power_ons_ = 0;
    int skip_ = 0;
    bool await_pass_ = false;
    long shows_at_on_ = 0;
    long seen_ = 0;
    bool picture_pass_ = false;
    InvariantChecker checker_;
};

void FuzzHost::check_pass() {
    const char* broken = checker_.after_pass_sampled(*this, picture_pass_, PICTURE_SENTINEL);
    if (broken != nullptr) {
        std::fprintf(stderr, "invariant broken after a pass on the %s page: %s\n",
                     page_name(current_page), broken);
        std::abort();
    }
}

void FuzzHost::process_messages() {
    ++points_;
    if (passes_shown != seen_) {
        seen_ = passes_shown;
        check_pass();
    }
    if (points_ >= MAX_MESSAGE_POINTS) {
        request_power_off();
        return;
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

void FuzzHost::act() {
    const bool running = inside_messages_ > 0;
    for (u8 b; next(b);) {
        const u8 n = b & 15;
        switch (b >> 4) {
            case 0x0:
            case 0x1:
            case 0x2:
            case 0x3: press_key(static_cast<KeyCode>(1 + n % 5)); break;
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
            case 0x6: calibrate = (n & 1) != 0; break;
            case 0x7: keyfast = (n & 1) != 0; break;
            case 0x8:
                for (int i = 0; i <= n; ++i)
                    tick();
                break;
            case 0x9:
                for (int i = 0; i < (n + 1) * 20; ++i)
                    tick();
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
                if (instrument_running_depth() >= MAX_DEPTH || power_ons_ >= MAX_POWER_ONS) break;
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
