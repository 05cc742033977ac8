// The soak: a long run of random use (keys, raw key codes, sliders, check
// boxes, ticks, "OFF" and nested "ON") with every invariant checked after
// every pass. DG2_SOAK_PASSES sets the length (50 000 by default; `make soak`
// runs a million under the sanitizers), DG2_SOAK_SEED the random sequence.
//
// Random clicks keep the instrument in its menus most of the time, and every
// power-on brings back the factory setup. The second mode therefore keeps
// one instrument on throughout: the user sets it up (any layout, bars and
// channel kinds, units, senders and limits), watches the run screen while
// the sliders move, fiddles with the menus now and then and finds the way
// back, so that the run screens get their share of the passes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/headless/fake_host.h"
#include "app/headless/headless_host.h"
#include "firmware/firmware.h"
#include "app/headless/invariants.h"

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
// What the run screen shows: the select message with both channels off, or
// one of the four layouts (one channel off shows the other alone).
constexpr int SCREEN_COUNT = 5;
const char* const SCREEN_NAMES[SCREEN_COUNT] = {"select", "dual vertical", "dual horizontal",
                                                "single vertical", "single horizontal"};

int run_screen_shown() {
    const bool off1 = settings.channel_kind[0] == ChannelKind::Off;
    const bool off2 = settings.channel_kind[1] == ChannelKind::Off;
    if (off1 && off2) return 0;
    const bool dual = settings.display_layout == DisplayLayout::Dual && !off1 && !off2;
    const bool horizontal = settings.bar_orientation == BarOrientation::Horizontal;
    return (dual ? 1 : 3) + (horizontal ? 1 : 0);
}
constexpr int PAGE_COUNT = 10;
const char* const PAGE_NAMES[PAGE_COUNT] = {"run",     "max",   "main", "display",   "contrast",
                                            "channel", "curve", "adc",  "calibrate", "message"};

enum class SoakMode { PowerCycles, StaysOn };

class SoakHost : public HeadlessHost {
public:
    SoakHost(long target, long seed, SoakMode mode)
        : target_(target),
          seed_(seed),
          random_(static_cast<unsigned long long>(seed)),
          mode_(mode) {
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

    long target() const { return target_; }
    long seed() const { return seed_; }
    double share(int page) const { return static_cast<double>(page_visits_[page]) / passes_; }

    void process_messages() override;

    long passes_ = 0;
    long power_cycles_ = 0;
    long nested_ons_ = 0;
    long page_visits_[PAGE_COUNT] = {};
    long screen_visits_[SCREEN_COUNT] = {};
    long configurations_ = 0;
    std::string failure_;

private:
    void after_pass();
    void user_acts();
    void user_stays_on();
    void configure();
    void head_for_run_screen();
    void touch_inputs();
    void maybe_picture();

    long target_;
    long seed_;
    Random random_;
    SoakMode mode_;
    // StaysOn: passes left watching the run screen (then fiddling starts),
    // or fiddling with the menus (then the way back).
    long watch_ = 0;
    long fiddle_ = 0;
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
        if (mode_ == SoakMode::StaysOn)
            user_stays_on();
        else
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
    if (current_page == page_run_screen) ++screen_visits_[run_screen_shown()];
    const char* broken = checker_.after_pass_sampled(*this, picture_pass_, PICTURE_SENTINEL);
    if (broken != nullptr)
        failure_ =
            "pass " + std::to_string(passes_) + ", page " + page_name(current_page) + ": " + broken;
}

void SoakHost::touch_inputs() {
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
}

// Now and then the next pass is drawn into a picture, to see that the
// picture shows the frame buffer and nothing else is painted.
void SoakHost::maybe_picture() {
    if (random_.chance(10)) {
        fill_picture(PICTURE_SENTINEL);
        lcd_attach_canvas(&canvas);
        picture_pass_ = true;
    }
}

void SoakHost::user_acts() {
    if (random_.chance(4000)) press_key(static_cast<KeyCode>(1 + random_.below(5)));
    // Codes the window never sends, under the same one-pending rule.
    if (random_.chance(50) && pending_key == KeyNone)
        pending_key = static_cast<KeyCode>(6 + random_.below(250));
    touch_inputs();
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
    maybe_picture();
}

// A setup the menus could have made, written into the record at once: every
// field inside the range its menu line keeps it in.
void SoakHost::configure() {
    // The run screen's five forms take turns; the rest is left to chance.
    const int screen = static_cast<int>(configurations_++ % SCREEN_COUNT);
    const bool single = screen >= 3;
    settings.display_layout =
        single && random_.chance(5000) ? DisplayLayout::Single : DisplayLayout::Dual;
    settings.bar_orientation =
        screen == 2 || screen == 4 ? BarOrientation::Horizontal : BarOrientation::Vertical;
    settings.cycle_mode = static_cast<CycleMode>(random_.below(2));
    settings.display_time_index = static_cast<u8>(random_.below(7));
    settings.backlight = static_cast<u8>(random_.below(2));
    for (int c = 0; c < 2; ++c) {
        settings.channel_kind[c] = static_cast<ChannelKind>(1 + random_.below(2));
        PressureChannelSettings& p = settings.pressure[c];
        p.input_type = static_cast<PressureInput>(random_.below(3));
        p.sender = static_cast<PressureSender>(random_.below(3));
        p.unit = static_cast<PressureUnit>(random_.below(4));
        p.label = static_cast<PressureLabel>(random_.below(5));
        p.transducer_model = random_.below(6);
        p.vdo_range = static_cast<u8>(random_.below(3));
        const u32 limit = p.unit == PressureUnit::Bar         ? 100
                          : p.unit == PressureUnit::Psi       ? 500
                          : p.unit == PressureUnit::PsiTenths ? 999
                                                              : 300;
        p.span = static_cast<s32>(1 + random_.below(limit));
        p.low_alarm = static_cast<s32>(1 + random_.below(limit));
        p.high_alarm = static_cast<s32>(1 + random_.below(limit));
        p.pressure_at_4ma = static_cast<s32>(random_.below(limit));
        p.pressure_at_20ma = 1 + random_.below(limit);
        p.top_scale = static_cast<u8>(random_.below(2));
        p.low_alarm_on = static_cast<u8>(random_.below(2));
        p.high_alarm_on = static_cast<u8>(random_.below(2));

        TemperatureChannelSettings& t = settings.temperature[c];
        t.label = static_cast<TemperatureLabel>(random_.below(4));
        t.unit = static_cast<TemperatureUnit>(random_.below(2));
        t.sender = static_cast<TemperatureSender>(random_.below(5));
        const u32 range = t.unit == TemperatureUnit::Celsius ? 341 : 611;  // from -40
        t.span = static_cast<s32>(random_.below(range)) - 40;
        t.low_alarm = static_cast<s32>(random_.below(range)) - 40;
        t.high_alarm = static_cast<s32>(random_.below(range)) - 40;
        t.lm335_offset = static_cast<s8>(static_cast<int>(random_.below(61)) - 30);
        t.top_scale = static_cast<u8>(random_.below(2));
        t.low_alarm_on = static_cast<u8>(random_.below(2));
        t.high_alarm_on = static_cast<u8>(random_.below(2));
    }
    if (screen == 0) {
        settings.channel_kind[0] = settings.channel_kind[1] = ChannelKind::Off;
    } else if (single && settings.display_layout == DisplayLayout::Dual) {
        // A dual layout with one channel off shows the other alone.
        settings.channel_kind[random_.below(2)] = ChannelKind::Off;
    }
}

// One key a pass towards the run screen: out of an edit, up to the first
// line, then "*** DONE ***" (EXIT on the main menu). The contrast, maximum
// and message pages leave on the centre key.
void SoakHost::head_for_run_screen() {
    const bool list = current_page != page_contrast && current_page != page_max_values &&
                      current_page != page_message;
    if (list && menu_edit == 0 && menu_cursor > 0)
        press_key(KeyAnticlockwise);
    else
        press_key(KeyCentre);
}

void SoakHost::user_stays_on() {
    touch_inputs();
    maybe_picture();
    // Raw codes the window never sends, in every phase.
    if (random_.chance(20) && pending_key == KeyNone)
        pending_key = static_cast<KeyCode>(6 + random_.below(250));

    if (current_page == page_run_screen && fiddle_ == 0) {
        if (watch_ == 0) {
            // Back on the run screen: a new setup, then a while of watching.
            configure();
            watch_ = 200 + random_.below(1000);
        }
        if (--watch_ == 0) {
            fiddle_ = 20 + random_.below(1000);
            return;
        }
        // The knob switches the single layout's channel and every key
        // acknowledges an alarm first; the other keys leave the run screen.
        if (random_.chance(50)) press_key(random_.chance(5000) ? KeyClockwise : KeyAnticlockwise);
        if (random_.chance(5)) press_key(static_cast<KeyCode>(1 + random_.below(5)));
        // Sliders move more often while the screen is watched.
        if (random_.chance(500)) set_input(static_cast<u8>(random_.below(2)), random_.below(4097));
        return;
    }
    if (fiddle_ > 0) {
        --fiddle_;
        if (random_.chance(4000)) press_key(static_cast<KeyCode>(1 + random_.below(5)));
        return;
    }
    head_for_run_screen();
}

// A soak of DG2_SOAK_PASSES passes, with a print of where they went.
std::unique_ptr<SoakHost> run_soak(SoakMode mode) {
    reset_all_state();
    auto host = std::make_unique<SoakHost>(env_number("DG2_SOAK_PASSES", 50000),
                                           env_number("DG2_SOAK_SEED", 20240611), mode);
    const auto start = std::chrono::steady_clock::now();
    host->run();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    lcd_attach_canvas(nullptr);

    std::printf(
        "soak: %ld passes, %ld power cycles, %ld nested ON, %ld setups, %.1f s "
        "(%.0f passes/s)\n",
        host->passes_, host->power_cycles_, host->nested_ons_, host->configurations_, seconds,
        static_cast<double>(host->passes_) / seconds);
    std::printf("passes per page:");
    for (int p = 0; p < PAGE_COUNT; ++p)
        std::printf(" %s %ld (%.1f %%)", PAGE_NAMES[p], host->page_visits_[p],
                    100.0 * host->share(p));
    std::printf("\nrun screen passes by layout:");
    for (int v = 0; v < SCREEN_COUNT; ++v)
        std::printf(" %s %ld", SCREEN_NAMES[v], host->screen_visits_[v]);
    std::printf("\n");
    return host;
}

TEST(Soak, RandomUseKeepsEveryGlobalInRange) {
    const auto host = run_soak(SoakMode::PowerCycles);

    EXPECT_EQ(host->failure_, "") << "seed " << host->seed();
    EXPECT_EQ(host->passes_, host->target());
    // Random use reaches every page, the service pages included, within the
    // default length; shorter runs only report where they went.
    if (host->target() >= 50000) {
        for (int p = 0; p < PAGE_COUNT; ++p)
            EXPECT_GT(host->page_visits_[p], 0) << PAGE_NAMES[p] << " page never reached";
    }
    EXPECT_GT(host->power_cycles_, 1);
    EXPECT_GT(host->nested_ons_, 0);
}

TEST(Soak, ConfiguredInstrumentStaysOnAndShowsItsRunScreen) {
    const auto host = run_soak(SoakMode::StaysOn);

    EXPECT_EQ(host->failure_, "") << "seed " << host->seed();
    EXPECT_EQ(host->passes_, host->target());
    EXPECT_EQ(host->power_cycles_, 1);
    EXPECT_EQ(host->nested_ons_, 0);
    EXPECT_GE(host->share(0), 1.0 / 3) << "run screen share";
    if (host->target() >= 50000) {
        EXPECT_GT(host->configurations_, 1);
        for (int v = 0; v < SCREEN_COUNT; ++v)
            EXPECT_GT(host->screen_visits_[v], 0) << SCREEN_NAMES[v] << " never shown";
        for (int p = 0; p < PAGE_COUNT; ++p)
            EXPECT_GT(host->page_visits_[p], 0) << PAGE_NAMES[p] << " page never reached";
    }
}

}  // namespace
