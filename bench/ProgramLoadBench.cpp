// Cost of a program change as a host makes it: effSetProgram on an instance opened at 44 100 Hz,
// stepping through the factory programs a fresh instance holds. One iteration is one change.

#include <benchmark/benchmark.h>

#include <vector>

#include "PluginHost.h"
#include "vst2/VstEntry.h"

namespace {

constexpr int kBlock = 512;

// heldNotes notes held while the programs change, so that sounding voices take every change.
void RunProgramChanges(benchmark::State& state, int heldNotes) {
    hostkit::PluginHost host;
    if (!host.UseEntry(&VSTPluginMain)) {
        state.SkipWithError("the plug-in did not start");
        return;
    }
    host.Open(44100.0, kBlock);
    vst2::AEffect* effect = host.Effect();
    const int programs = effect->numPrograms;
    if (programs < 2) {
        state.SkipWithError("fewer than two programs");
        return;
    }
    std::vector<float> left(kBlock), right(kBlock), input(kBlock);
    float* outputs[2] = {left.data(), right.data()};
    float* inputs[1] = {input.data()};
    for (int n = 0; n < heldNotes; ++n) host.SendMidi(0, 0x90, static_cast<uint8_t>(48 + n), 100);
    effect->processReplacing(effect, inputs, outputs, kBlock);
    int program = 0;
    for (auto _ : state) {
        program = (program + 1) % programs;
        host.Dispatch(vst2::effSetProgram, 0, program);
    }
    if (host.Dispatch(vst2::effGetProgram) != program) state.SkipWithError("program not selected");
    host.CloseInstance();
}

void BM_ProgramChangeSilent(benchmark::State& s) {
    RunProgramChanges(s, 0);
}
void BM_ProgramChange8Sounding(benchmark::State& s) {
    RunProgramChanges(s, 8);
}

} // namespace

BENCHMARK(BM_ProgramChangeSilent)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ProgramChange8Sounding)->Unit(benchmark::kMicrosecond);
