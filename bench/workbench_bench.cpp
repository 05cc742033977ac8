// The workbench: reading and writing a settings file, and the inverse lookup
// of `value` for each kind of channel (a sweep of numbers over the channel's
// whole range, one lookup per iteration).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "firmware/firmware.h"
#include "runtime/instrument.h"
#include "workbench/sensors/sensor_value.h"
#include "workbench/settings/settings_file.h"

namespace {

void factory() {
    reset_all_state();
    load_factory_defaults();
    settings.cal_reading_4ma = 600;
    settings.cal_reading_20ma = 3200;
}

void BM_SettingsToText(benchmark::State& state) {
    factory();
    for (auto _ : state)
        benchmark::DoNotOptimize(settings_to_toml(settings));
}

void BM_SettingsFromText(benchmark::State& state) {
    factory();
    const std::string text = settings_to_toml(settings);
    InstrumentSettings out;
    std::string error;
    for (auto _ : state)
        benchmark::DoNotOptimize(settings_from_toml(text, "b.toml", out, error));
}

// The whole file: written through a temporary file that is flushed to disk
// and renamed, then read back.
void BM_SettingsFileSaveLoad(benchmark::State& state) {
    factory();
    const std::string path = "/tmp/dg2_bench_settings.toml";
    InstrumentSettings out;
    std::string error;
    for (auto _ : state) {
        if (!save_settings_file(path, settings, error) || !load_settings_file(path, out, error))
            state.SkipWithError(error.c_str());
    }
    std::remove(path.c_str());
}

void sweep(benchmark::State& state, u8 channel) {
    ValueRange range;
    std::string error;
    if (!channel_value_range(channel, range, error)) return state.SkipWithError(error.c_str());
    const double unit = range.tenths ? 0.1 : 1.0;
    s32 v = range.low;
    u32 count = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(count_for_value(channel, v * unit, count, error));
        v = v >= range.high ? range.low : v + 1;
    }
}

void BM_ValueVdoPressure(benchmark::State& state) {
    factory();
    settings.pressure[0].unit = PressureUnit::Psi;
    sweep(state, 0);
}

void BM_ValueTransducerT1EU70A(benchmark::State& state) {
    factory();
    settings.pressure[0].input_type = PressureInput::Voltage;
    settings.pressure[0].sender = PressureSender::Standard;
    settings.pressure[0].transducer_model = 3;
    sweep(state, 0);
}

void BM_ValueFourToTwenty(benchmark::State& state) {
    factory();
    settings.pressure[0].input_type = PressureInput::Current;
    settings.pressure[0].sender = PressureSender::Standard;
    sweep(state, 0);
}

void BM_ValueUserPressureCurve(benchmark::State& state) {
    factory();
    settings.pressure[0].sender = PressureSender::User;
    sweep(state, 0);
}

void BM_ValueVdoTemperature(benchmark::State& state) {
    factory();
    settings.temperature[1].unit = TemperatureUnit::Fahrenheit;
    sweep(state, 1);
}

void BM_ValueLm335(benchmark::State& state) {
    factory();
    settings.temperature[1].sender = TemperatureSender::Lm335;
    sweep(state, 1);
}

void BM_ValueUserTemperatureCurve(benchmark::State& state) {
    factory();
    settings.temperature[1].sender = TemperatureSender::User;
    sweep(state, 1);
}

}  // namespace

BENCHMARK(BM_SettingsToText);
BENCHMARK(BM_SettingsFromText);
BENCHMARK(BM_SettingsFileSaveLoad);
BENCHMARK(BM_ValueVdoPressure);
BENCHMARK(BM_ValueTransducerT1EU70A);
BENCHMARK(BM_ValueFourToTwenty);
BENCHMARK(BM_ValueUserPressureCurve);
BENCHMARK(BM_ValueVdoTemperature);
BENCHMARK(BM_ValueLm335);
BENCHMARK(BM_ValueUserTemperatureCurve);
