// The soak: a long run of random use (keys, raw key codes, sliders, check
// boxes, ticks, "OFF" and nested "ON") with every invariant checked after
// every pass. DG2_SOAK_PASSES sets the length (50 000 by default; `make soak`
// runs a million under the sanitizers), DG2_SOAK_SEED the random sequence.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "firmware/firmware.h"
#include "tests/support/fake_host.h"
#include "tools/scenario/headless_host.h"
#include "tools/scenario/invariants.h"

namespace {

long env_number(const char* name, long fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') return fallback;
    return std::strtol(text, nullptr, 10);
}

// splitmix64: small, fast and the same on every platform.
class Random {
public:
    explicit Random(unsigned long long seed) : state_(seed) {}
    unsigned long long next() {
        unsigned long long z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1
    u32 below(u32 n) { return static_cast<u32>(next() % n); }
    // true with probability per_10000 / 10000
    bool chance(u32 per_10000) { return below(10000) < per_10000; }

private:
    unsigned long long state_;
};

constexpr u32 PICTURE_SENTINEL = 0x12345678u;
constexpr int PAGE_COUNT = 10;
const char* const PAGE_NAMES[PAGE_COUNT] = {"run",     "max",   "main", "display",   "contrast",
                                            "channel", "curve", "adc",  "calibrate", "message"};

class SoakHost : public HeadlessHost {
public:
    SoakHost(long target, unsigned long long seed) : target_(target), random_(seed) {
        with_picture = false;
    }

    // Power cycles until the target number of passes has run or a rule broke.
    void run() {
        while (passes_ < target_ && failure_.empty()) {
            checker_.restart();
            power_on_and_run(*this);
            ++power_cycles_;
        }
    }

    void process_messages() override;

    long passes_ = 0;
    long power_cycles_ = 0;
    long nested_ons_ = 0;
    long page_visits_[PAGE_COUNT] = {};
    std::string failure_;

private:
    void after_pass();
    void user_acts();

    long target_;
    Random random_;
    InvariantChecker checker_;
    long seen_ = 0;
    bool picture_pass_ = false;
};

void SoakHost::process_messages() {
    if (passes_shown != seen_) {
        seen_ = passes_shown;
        after_pass();
        if (!failure_.empty() || passes_ >= target_) {
            request_power_off();
            return;
        }
        user_acts();
    } else if (random_.chance(100)) {
        // A click during the splash waits for the first pass.
        press_key(static_cast<KeyCode>(1 + random_.below(5)));
    }
}

void SoakHost::after_pass() {
    ++passes_;
    for (int p = 0; p < PAGE_COUNT; ++p)
        if (current_page == page_by_name(PAGE_NAMES[p])) ++page_visits_[p];
    const char* broken = checker_.after_pass_sampled(*this, picture_pass_, PICTURE_SENTINEL);
    if (broken != nullptr)
        failure_ =
            "pass " + std::to_string(passes_) + ", page " + page_name(current_page) + ": " + broken;
}

void SoakHost::user_acts() {
    if (random_.chance(4000)) press_key(static_cast<KeyCode>(1 + random_.below(5)));
    // Codes the window never sends, under the same one-pending rule.
    if (random_.chance(50) && pending_key == KeyNone)
        pending_key = static_cast<KeyCode>(6 + random_.below(250));
    if (random_.chance(1000)) {
        static constexpr u32 EDGES[] = {0, 1, 21, 440, 600, 3200, 3899, 3900, 4095, 4096};
        const u32 value = random_.chance(3000) ? EDGES[random_.below(10)] : random_.below(4097);
        set_input(static_cast<u8>(random_.below(2)), value);
    }
    if (random_.chance(50)) calibrate = !calibrate;
    if (random_.chance(100)) keyfast = !keyfast;
    if (random_.chance(2000)) tick();
    if (random_.chance(30)) {
        const u32 burst = 20 + random_.below(200);
        for (u32 i = 0; i < burst; ++i)
            tick();
    }
    if (random_.chance(2)) {
        request_power_off();
        return;
    }
    if (random_.chance(1) && instrument_running_depth() < 3) {
        ++nested_ons_;
        checker_.restart();
        power_on_and_run(*this);
        return;
    }
    // Now and then the next pass is drawn into a picture, to see that the
    // picture shows the frame buffer and nothing else is painted.
    if (random_.chance(10)) {
        fill_picture(PICTURE_SENTINEL);
        lcd_attach_canvas(&canvas);
        picture_pass_ = true;
    }
}

TEST(Soak, RandomUseKeepsEveryGlobalInRange) {
    const long target = env_number("DG2_SOAK_PASSES", 50000);
    const long seed = env_number("DG2_SOAK_SEED", 20240611);
    reset_all_state();

    SoakHost host(target, static_cast<unsigned long long>(seed));
    const auto start = std::chrono::steady_clock::now();
    host.run();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    lcd_attach_canvas(nullptr);

    EXPECT_EQ(host.failure_, "") << "seed " << seed;
    EXPECT_EQ(host.passes_, target);
    std::printf("soak: %ld passes, %ld power cycles, %ld nested ON, %.1f s (%.0f passes/s)\n",
                host.passes_, host.power_cycles_, host.nested_ons_, seconds,
                static_cast<double>(host.passes_) / seconds);
    std::printf("passes per page:");
    for (int p = 0; p < PAGE_COUNT; ++p)
        std::printf(" %s %ld", PAGE_NAMES[p], host.page_visits_[p]);
    std::printf("\n");
    // Random use reaches every page, the service pages included, within the
    // default length; shorter runs only report where they went.
    if (target >= 50000) {
        for (int p = 0; p < PAGE_COUNT; ++p)
            EXPECT_GT(host.page_visits_[p], 0) << PAGE_NAMES[p] << " page never reached";
    }
    EXPECT_GT(host.power_cycles_, 1);
    EXPECT_GT(host.nested_ons_, 0);
}

}  // namespace
