// Speed of the voice engine as the render loop drives it at 44 100 Hz in 512-frame blocks (the
// chip kernels alone, without the render loop's filters and the host side): one
// benchmark iteration renders one second of audio, so the reported CPU time is the cost of one
// second (below 100 ms is ten times faster than real time).

#include <benchmark/benchmark.h>

#include "engine/VoiceEngine.h"

namespace {

constexpr double kHostRate = 44100.0;
constexpr int kBlock = 512;
constexpr int kTick = 44;

void ApplyProgram(engine::VoiceEngine& e, double release) {
    for (int op = 0; op < 4; ++op) {
        const double values[17] = {1, 0, 0, 0, 1.0 + op, 0, 0, 0, 0, 0, 0, 31, 0, 0, 0, 0, release};
        for (int m = 0; m < 17; ++m) e.SetVoiceParam(23 + m, op, values[m]);
    }
    e.SetVoiceParam(6, -1, 7); // algorithm 8: four carriers
    e.SetVoiceParam(10, -1, 3);
    e.SetLfoSpeed(200);
    e.Reset();
}

// The chip stepping of the render loop without its filters: chip samples at 62 500 Hz and a
// control update every 44 host samples.
void RenderSecond(engine::VoiceEngine& e, int voiceCount, double& chipPhase, int& tickCounter) {
    const double ratio = engine::kChipRate / kHostRate;
    long sum = 0;
    const int blocks = static_cast<int>(kHostRate) / kBlock + 1;
    for (int b = 0; b < blocks; ++b) {
        for (int i = 0; i < kBlock; ++i) {
            if (--tickCounter <= 0) {
                tickCounter = kTick;
                e.ControlUpdate(voiceCount, 0.0);
            }
            while (chipPhase >= 1.0) {
                chipPhase -= 1.0;
                sum += e.ChipSample(voiceCount, true);
            }
            chipPhase += ratio;
        }
    }
    benchmark::DoNotOptimize(sum);
}

void Run(benchmark::State& state, int notes, bool release, engine::ChipKernel kernel,
         bool lfoPm = false) {
    engine::VoiceEngine e;
    if (!e.SetChipKernel(kernel)) {
        state.SkipWithError("this processor cannot run the kernel");
        return;
    }
    ApplyProgram(e, release ? 0 : 15);
    if (lfoPm) {
        e.SetLfoPmDepth(100);
        e.SetLfoPmSensitivity(5);
    }
    for (int n = 0; n < notes; ++n) e.NoteOn(36 + n % 64, 100);
    if (release)
        for (int n = 0; n < notes; ++n) e.NoteOff(36 + n % 64);
    double chipPhase = 0;
    int tickCounter = 0;
    for (auto _ : state) RenderSecond(e, 64, chipPhase, tickCounter);
    state.counters["realtime_x"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Voices64Sounding(benchmark::State& s) {
    Run(s, 64, false, engine::ChipKernel::Fast);
}
void BM_Voices64SoundingReference(benchmark::State& s) {
    Run(s, 64, false, engine::ChipKernel::Reference);
}
// The kernels alone, each forced: 64 voices, without and with LFO pitch modulation.
void BM_KernelSse2(benchmark::State& s) {
    Run(s, 64, false, engine::ChipKernel::Sse2);
}
void BM_KernelAvx2(benchmark::State& s) {
    Run(s, 64, false, engine::ChipKernel::Avx2);
}
void BM_KernelReferencePm(benchmark::State& s) {
    Run(s, 64, false, engine::ChipKernel::Reference, true);
}
void BM_KernelSse2Pm(benchmark::State& s) {
    Run(s, 64, false, engine::ChipKernel::Sse2, true);
}
void BM_KernelAvx2Pm(benchmark::State& s) {
    Run(s, 64, false, engine::ChipKernel::Avx2, true);
}
void BM_Voices8Sounding(benchmark::State& s) {
    Run(s, 8, false, engine::ChipKernel::Fast);
}
void BM_Voice1Sounding(benchmark::State& s) {
    Run(s, 1, false, engine::ChipKernel::Fast);
}
void BM_Voices64Releasing(benchmark::State& s) {
    Run(s, 64, true, engine::ChipKernel::Fast);
}
void BM_NoVoiceSounding(benchmark::State& s) {
    Run(s, 0, false, engine::ChipKernel::Fast);
}

} // namespace

BENCHMARK(BM_Voices64Sounding)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Voices64SoundingReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KernelSse2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KernelAvx2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KernelReferencePm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KernelSse2Pm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KernelAvx2Pm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Voices8Sounding)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Voice1Sounding)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Voices64Releasing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoVoiceSounding)->Unit(benchmark::kMillisecond);
