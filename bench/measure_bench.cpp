// One main-loop pass worth of measurement: both channels processed once, the
// way the main loop does it, for each family of sender. The sliders sweep the
// whole input range so every segment of the curves is visited.
#include <benchmark/benchmark.h>

#include "firmware/firmware.h"
#include "runtime/instrument.h"

namespace {

void measure_both_channels() {
    for (u8 c = 0; c < 2; ++c) {
        if (settings.channel_kind[c] == ChannelKind::Pressure) {
            current_pressure_settings = &settings.pressure[c];
            process_pressure_channel(c);
        } else {
            current_temperature_settings = &settings.temperature[c];
            process_temperature_channel(c);
        }
    }
}

void run(benchmark::State& state) {
    settings.cal_reading_4ma = 600;
    settings.cal_reading_20ma = 3200;
    u32 r = 0;
    for (auto _ : state) {
        input_a = r;
        input_b = 4096 - r;
        measure_both_channels();
        benchmark::DoNotOptimize(pressure_value);
        benchmark::DoNotOptimize(temperature_value);
        r = (r + 37) % 4097;
    }
}

void fresh_defaults() {
    reset_all_state();
    load_factory_defaults();
}

// Factory channels: VDO 10 bar pressure shown in psi, VDO temperature in F.
void BM_MeasureVdo(benchmark::State& state) {
    fresh_defaults();
    settings.pressure[0].unit = PressureUnit::Psi;
    settings.temperature[1].unit = TemperatureUnit::Fahrenheit;
    run(state);
}

// Two 0-5 V transducers: the 13-point T1EU70A (the longest scan) in bar and
// a T1EU150 in tenths of a psi.
void BM_MeasureTransducer(benchmark::State& state) {
    fresh_defaults();
    settings.channel_kind[1] = ChannelKind::Pressure;
    for (PressureChannelSettings& p : settings.pressure) {
        p.input_type = PressureInput::Voltage;
        p.sender = PressureSender::Standard;
    }
    settings.pressure[0].transducer_model = 3;
    settings.pressure[1].transducer_model = 5;
    settings.pressure[1].unit = PressureUnit::PsiTenths;
    run(state);
}

void BM_MeasureFourToTwenty(benchmark::State& state) {
    fresh_defaults();
    settings.channel_kind[1] = ChannelKind::Pressure;
    for (PressureChannelSettings& p : settings.pressure) {
        p.input_type = PressureInput::Current;
        p.sender = PressureSender::Standard;
    }
    run(state);
}

// User curves on both channels: the factory copies of the VDO curves.
void BM_MeasureUserCurve(benchmark::State& state) {
    fresh_defaults();
    settings.pressure[0].sender = PressureSender::User;
    settings.temperature[1].sender = TemperatureSender::User;
    run(state);
}

}  // namespace

BENCHMARK(BM_MeasureVdo);
BENCHMARK(BM_MeasureTransducer);
BENCHMARK(BM_MeasureFourToTwenty);
BENCHMARK(BM_MeasureUserCurve);
