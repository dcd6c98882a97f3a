// Speed of the whole plug-in as a host drives it: created through its entry function, opened at
// 44 100 Hz with 512-frame blocks, notes sent as MIDI events, audio from processReplacing. One
// benchmark iteration renders one second of audio.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "PluginHost.h"
#include "vst2/VstEntry.h"

namespace {

constexpr int kBlock = 512;
constexpr int kBlocksPerSecond = 44100 / kBlock + 1;

// Algorithm 8 with every operator on, instant attack, held sustain; release 0 or 15.
void ApplyProgram(hostkit::PluginHost& host, double releaseNormalized) {
    host.SetParameter(6, 1.0f);  // Algorithm "8"
    host.SetParameter(11, 0.0f); // Mode Poly
    for (int op = 0; op < 4; ++op) {
        const int base = 23 + 17 * op;
        host.SetParameter(base + 0, 1.0f);                // Enable
        host.SetParameter(base + 1, 0.0f);                // Level 0 (loudest)
        host.SetParameter(base + 4, (1.0f + op) / 15.0f); // Frequency 1..4
        host.SetParameter(base + 11, 1.0f);               // Attack 31
        host.SetParameter(base + 13, 0.0f);               // Decay 1
        host.SetParameter(base + 14, 0.0f);               // Decay 2: held
        host.SetParameter(base + 16, static_cast<float>(releaseNormalized));
    }
}

// notes held (release false) or released after one block (release true, with the slowest
// release so that they keep sounding); with silentSeconds, released quickly after a second and
// followed by that much silence before the measurement.
void RunVorn(benchmark::State& state, int notes, bool release, int silentSeconds = 0) {
    hostkit::PluginHost host;
    if (!host.UseEntry(&VSTPluginMain)) {
        state.SkipWithError("the plug-in did not start");
        return;
    }
    host.Open(44100.0, kBlock);
    ApplyProgram(host, release && silentSeconds == 0 ? 0.0 : 1.0);
    std::vector<float> left(kBlock), right(kBlock), input(kBlock);
    float* outputs[2] = {left.data(), right.data()};
    float* inputs[1] = {input.data()};
    vst2::AEffect* effect = host.Effect();
    for (int n = 0; n < notes; ++n) host.SendMidi(0, 0x90, static_cast<uint8_t>(36 + n), 100);
    effect->processReplacing(effect, inputs, outputs, kBlock);
    if (silentSeconds > 0)
        for (int b = 0; b < kBlocksPerSecond; ++b)
            effect->processReplacing(effect, inputs, outputs, kBlock);
    if (release) {
        for (int n = 0; n < notes; ++n) host.SendMidi(0, 0x80, static_cast<uint8_t>(36 + n), 0);
        effect->processReplacing(effect, inputs, outputs, kBlock);
    }
    // An instance that played and then stayed silent: the filters have settled to zero.
    for (int b = 0; b < silentSeconds * kBlocksPerSecond; ++b)
        effect->processReplacing(effect, inputs, outputs, kBlock);
    for (auto _ : state) {
        for (int b = 0; b < kBlocksPerSecond; ++b)
            effect->processReplacing(effect, inputs, outputs, kBlock);
        benchmark::DoNotOptimize(left.data());
    }
    // What was measured is what was meant: sound while notes sound, exact silence when idle.
    float peak = 0.0f;
    for (float v : left) peak = std::max(peak, std::abs(v));
    const bool sounding = notes > 0 && silentSeconds == 0;
    if (sounding != (peak > 0.0f)) state.SkipWithError(sounding ? "no sound" : "not silent");
    state.counters["realtime_x"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    host.CloseInstance();
}

void BM_Vorn64Sounding(benchmark::State& s) {
    RunVorn(s, 64, false);
}
void BM_Vorn8Sounding(benchmark::State& s) {
    RunVorn(s, 8, false);
}
void BM_Vorn1Sounding(benchmark::State& s) {
    RunVorn(s, 1, false);
}
void BM_Vorn64Releasing(benchmark::State& s) {
    RunVorn(s, 64, true);
}
void BM_VornIdle(benchmark::State& s) {
    RunVorn(s, 0, false);
}
// Eight notes played for a second and released quickly, then 10 s of silence before measuring:
// an idle instance in a project.
void BM_VornIdleAfterSilence(benchmark::State& s) {
    RunVorn(s, 8, true, 10);
}

} // namespace

BENCHMARK(BM_Vorn64Sounding)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Vorn8Sounding)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Vorn1Sounding)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Vorn64Releasing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VornIdle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VornIdleAfterSilence)->Unit(benchmark::kMillisecond);
