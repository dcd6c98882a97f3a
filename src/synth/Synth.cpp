#include "synth/Synth.h"

namespace synth {

Synth::Synth(vst2::HostCallback hostCallback, int paramCount, int presetCount,
             const char* ioConfiguration)
    : VstPlugin(hostCallback, paramCount, presetCount, ioConfiguration) {
    if (OutputCount() > 0) Output(0).label = "Vorna Left ";
    if (OutputCount() > 1) Output(1).label = "Vorna Right ";
}

Synth::~Synth() = default;

void Synth::ResetProcessing() {
    platform::ScopedLock lock(Mutex());
    learnActive_ = false;
    samplesPerMillisecond_ = static_cast<int>(SampleRate()) / 1000;
}

void Synth::LearnParameter(int index) {
    if (learnActive_ && index >= 0 && index <= 90) learnedParameter_ = index;
}

void Synth::ParamChanged(int index) {
    platform::ScopedLock lock(Mutex());
    LearnParameter(index);
}

void Synth::ActivationChanged(bool active) {
    platform::ScopedLock lock(Mutex());
    if (active) AllParamsChanged();
}

void Synth::SelectProgram(int index) {
    platform::ScopedLock lock(Mutex());
    ModifyCurrentPreset();
    RecallPreset(index);
    NotifyProgramChange();
    ReportAllParamsToHost();
}

} // namespace synth
