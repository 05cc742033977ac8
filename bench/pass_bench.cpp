// One main-loop pass (measure, lamp, draw the current page, lcd_show) and
// lcd_show alone, on the scripted host.
#include <benchmark/benchmark.h>

#include "firmware/firmware.h"
#include "tests/support/fake_host.h"

namespace {

// Power on headless and stop right after the first pass, leaving the
// instrument in its factory state on the run screen.
void factory_state(FakeHost& host) {
    reset_all_state();
    host.after_pass(1, [](FakeHost& h) { h.off(); });
    host.power_on();
    lcd_attach_canvas(host.lcd_canvas());
}

void BM_PassRunScreen(benchmark::State& state) {
    FakeHost host;
    factory_state(host);
    input_a = 1000;
    input_b = 700;
    for (auto _ : state) {
        run_pass(host);
        benchmark::DoNotOptimize(frame_buffer[0]);
        host.lamp_history.clear();
    }
}
BENCHMARK(BM_PassRunScreen);

void BM_LcdShow(benchmark::State& state) {
    FakeHost host;
    lcd_attach_canvas(host.lcd_canvas());
    for (int i = 0; i < FRAME_BUFFER_SIZE; i += 3)
        frame_buffer[i] = 0x5A;
    for (auto _ : state) {
        lcd_show();
        benchmark::DoNotOptimize(host.pixels[0]);
    }
}
BENCHMARK(BM_LcdShow);

}  // namespace
