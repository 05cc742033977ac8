// One main-loop pass (measure, lamp, draw the page, lcd_show) for every page,
// and lcd_show alone, on the scripted host.
#include <benchmark/benchmark.h>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"

namespace {

// Power on headless and stop right after the first pass, leaving the
// instrument in its factory state on the run screen, inputs mid-scale.
void factory_state(FakeHost& host) {
    reset_all_state();
    host.after_pass(1, [](FakeHost& h) { h.off(); });
    host.power_on();
    lcd_attach_canvas(host.lcd_canvas());
    input_a = 200;
    input_b = 700;
    blink_phase = 1;
}

void open_channel(u8 channel) {
    edit_channel = channel;
    edit_pressure = &settings.pressure[channel];
    edit_temperature = &settings.temperature[channel];
}

struct PageCase {
    const char* name;
    void (*setup)();
};

const PageCase PAGES[] = {
    {"run_dual_vertical", [] {}},
    {"run_dual_horizontal", [] { settings.bar_orientation = BarOrientation::Horizontal; }},
    {"run_single_pressure_vertical", [] { settings.display_layout = DisplayLayout::Single; }},
    {"run_single_temperature_horizontal",
     [] {
         settings.display_layout = DisplayLayout::Single;
         settings.bar_orientation = BarOrientation::Horizontal;
         shown_channel = 1;
     }},
    {"max_values", [] { current_page = page_max_values; }},
    {"main_menu", [] { current_page = page_main_menu; }},
    {"message",
     [] {
         return_page = page_calibrate;
         current_page = page_message;
     }},
    {"display_setup",
     [] {
         settings.display_layout = DisplayLayout::Single;
         settings.cycle_mode = CycleMode::Auto;
         current_page = page_display_setup;
     }},
    {"contrast", [] { current_page = page_contrast; }},
    {"adc_values", [] { current_page = page_adc_values; }},
    {"channel_setup_pressure",
     [] {
         open_channel(0);
         current_page = page_channel_setup;
     }},
    {"channel_setup_temperature",
     [] {
         open_channel(1);
         menu_cursor = 9;
         current_page = page_channel_setup;
     }},
    {"calibrate", [] { current_page = page_calibrate; }},
    {"sender_curve",
     [] {
         open_channel(1);
         curve_is_temperature = 1;
         curve_work = settings.temperature[1].user_curve;
         menu_cursor = 15;
         current_page = page_sender_curve;
     }},
};

void BM_Pass(benchmark::State& state) {
    const PageCase& page = PAGES[state.range(0)];
    state.SetLabel(page.name);
    FakeHost host;
    factory_state(host);
    page.setup();
    const PageHandler handler = current_page;
    const u8 cursor = menu_cursor;
    for (auto _ : state) {
        // Pages may hand over on a key; none is pending, but keep the page fixed.
        current_page = handler;
        menu_cursor = cursor;
        run_pass(host);
        benchmark::DoNotOptimize(frame_buffer[0]);
        host.lamp_history.clear();
    }
}
BENCHMARK(BM_Pass)->DenseRange(0, sizeof PAGES / sizeof PAGES[0] - 1);

void BM_LcdShow(benchmark::State& state) {
    FakeHost host;
    lcd_attach_canvas(host.lcd_canvas());
    for (int i = 0; i < FRAME_BUFFER_SIZE; i += 3)
        frame_buffer[i] = 0x5A;
    // Each call paints a new picture: every pixel is inverted.
    for (auto _ : state) {
        for (u8& byte : frame_buffer)
            byte = static_cast<u8>(~byte);
        lcd_show();
        benchmark::DoNotOptimize(host.pixels[0]);
    }
}
BENCHMARK(BM_LcdShow);

// The same picture again, as on most passes: compared, not painted.
void BM_LcdShowUnchanged(benchmark::State& state) {
    FakeHost host;
    lcd_attach_canvas(host.lcd_canvas());
    for (int i = 0; i < FRAME_BUFFER_SIZE; i += 3)
        frame_buffer[i] = 0x5A;
    for (auto _ : state) {
        lcd_show();
        benchmark::DoNotOptimize(host.pixels[0]);
    }
}
BENCHMARK(BM_LcdShowUnchanged);

}  // namespace
