#include "synth/Synth.h"

#include "platform/UserFolders.h"
#include "synth/Configuration.h"

namespace synth {

Synth::Synth(const host::PluginSetup& setup, int paramCount, int presetCount,
             const char* ioConfiguration)
    : PluginBase(setup, paramCount, presetCount, ioConfiguration) {
    if (OutputCount() > 0) Output(0).label = "Vorna Left ";
    if (OutputCount() > 1) Output(1).label = "Vorna Right ";
    // Last, so that the library is bound (once per process) and this instance registers only
    // after everything else of the base is in place.
    tuning_ = std::make_unique<MtsClient>();
    // The settings come before the parameters exist; nothing in them depends on those.
    OpenConfiguration(settings_, platform::LocalAppDataFolder(), platform::DocumentsFolder());
}

Synth::~Synth() = default;

// One call of the audio thread's: the outermost one lets go of the instance mutex if it took it.
class AudioCall {
public:
    explicit AudioCall(Synth& synth) : synth_(synth), render_(synth.RenderMutex()) {
        ++synth_.audioCallDepth_;
    }
    ~AudioCall() { synth_.LeaveAudioCall(); }
    AudioCall(const AudioCall&) = delete;
    AudioCall& operator=(const AudioCall&) = delete;

private:
    Synth& synth_;
    platform::ScopedLock render_;
};

void Synth::ResetProcessing() {
    platform::ScopedLock lock(Mutex());
    platform::ScopedLock render(RenderMutex());
    // What waited for the mutex is handed on first: a program change before a reset stays.
    HandOnDeferred();
    midiEvents_.ResizeForBlock(BlockSize());
    ClearHeldNotes();
    tickClock_.samplesToNextTick = 0;
    learn_.active = false; // the editor's switch and the map stay as they are
    tickClock_.tickInterval = static_cast<int>(SampleRate()) / 1000;
}

void Synth::ParamNoticed(int index) {
    platform::ScopedLock lock(Mutex());
    if (learn_.active && index >= 0 && index <= 90) LearnParameter(index);
}

bool Synth::NeedsInstanceMutex(const host::MidiMessage& message) const {
    switch (message.status >> 4) {
    case 0xB:
        return (message.data1 & 0x7F) < 120 && LearnActive();
    case 0xC:
        return !Settings().ignoreProgramChange;
    default:
        return false;
    }
}

bool Synth::TakeMutexForAudio() {
    if (audioHoldsMutex_) return true;
    if (!Mutex().TryLock()) return false;
    audioHoldsMutex_ = true;
    return true;
}

void Synth::HandleMidiMessage(const host::MidiMessage& message) {
    AudioCall call(*this);
    if (Settings().midiThru) SendMidiMessage(message);
    if (!deferred_.Empty() || (NeedsInstanceMutex(message) && !TakeMutexForAudio())) {
        deferred_.AddMidi(message, processCalls_);
        return;
    }
    HandleMidiNow(message, audioHoldsMutex_ || Mutex().HeldByThisThread());
}

void Synth::HandleSysEx(const host::SysExMessage& message) {
    AudioCall call(*this);
    if (!deferred_.Empty() || !TakeMutexForAudio()) {
        deferred_.AddSysEx(message, processCalls_);
        return;
    }
    HandleSysExNow(message);
}

void Synth::HandleSysExOffAudio(const host::SysExMessage& message) {
    // Events the audio thread put aside came first: they are handed on before this one.
    platform::ScopedLock lock(Mutex());
    {
        platform::ScopedLock render(RenderMutex());
        HandOnDeferred();
    }
    HandleSysExNow(message);
}

void Synth::ApplyMappedController(int controller, int value) {
    AudioCall call(*this);
    if (!deferred_.Empty() || !TakeMutexForAudio()) {
        deferred_.AddController(controller, value, processCalls_);
        return;
    }
    ApplyController(controller, value);
}

void Synth::HandOnDeferred() {
    deferred_.Drain(processCalls_,
                    [this](DeferredEvent::Kind kind, const host::MidiMessage& message,
                           const host::SysExMessage& sysEx) {
                        switch (kind) {
                        case DeferredEvent::Kind::Midi:
                            HandleMidiNow(message, true);
                            break;
                        case DeferredEvent::Kind::SysEx:
                            HandleSysExNow(sysEx);
                            break;
                        case DeferredEvent::Kind::Controller:
                            ApplyController(message.data1, message.data2);
                            break;
                        }
                    });
}

void Synth::AudioCallStarting(int frames) {
    ++audioCallDepth_;
    if (!deferred_.Empty() && TakeMutexForAudio()) {
        ShowParamsChangedWhileBusy();
        HandOnDeferred();
    }
    // A message dated beyond the call (or before it) acts at the call's last (or first) frame:
    // one that waited for a later call would come after that call's messages, a note after the
    // All Notes Off of a stop.
    if (frames > 0) midiEvents_.ClampOffsets(frames - 1);
}

void Synth::AudioCallEnded(bool rendered) {
    if (rendered) {
        ++processCalls_;
        midiEvents_.CloseCall();
    }
    LeaveAudioCall();
}

void Synth::LeaveAudioCall() {
    if (--audioCallDepth_ == 0 && audioHoldsMutex_) {
        audioHoldsMutex_ = false;
        Mutex().Unlock();
    }
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

bool Synth::ReadConfiguration() {
    return synth::ReadConfiguration(settings_);
}

bool Synth::WriteConfiguration(int which) {
    return synth::WriteConfiguration(settings_, which);
}

bool Synth::SetStartupBank(const std::string& path) {
    return synth::SetStartupBank(settings_, path);
}

bool Synth::ClearStartupBank() {
    return synth::ClearStartupBank(settings_);
}

bool Synth::WriteProgramFolder(const std::string& folder) {
    return synth::WriteProgramFolder(settings_, folder);
}

bool Synth::WriteSysExFolder(const std::string& folder) {
    return synth::WriteSysExFolder(settings_, folder);
}

void Synth::StartLearn(bool unlearn, bool on) {
    platform::ScopedLock lock(Mutex());
    synth::StartLearn(learn_, unlearn, on);
}

void Synth::LearnParameter(int index) {
    platform::ScopedLock lock(Mutex());
    if (!learn_.active) return;
    learn_.parameter = index;
    CompleteLearn();
}

void Synth::LearnController(int controller) {
    platform::ScopedLock lock(Mutex());
    if (!learn_.active || controller < 0 || controller >= kControllerCount) return;
    learn_.controller = controller;
    CompleteLearn();
}

void Synth::CompleteLearn() {
    platform::ScopedLock lock(Mutex());
    if (synth::CompleteLearn(learn_, settings_.controllerMap)) LearnSwitchedOff();
}

void Synth::ApplyController(int controller, int value) {
    platform::ScopedLock lock(Mutex());
    int index = MappedParameter(settings_.controllerMap, controller);
    if (index < 0 || index >= ParamCount() || value < 0 || value > 127) return;
    double x = ControllerNormalized(index, value);
    if (x == GetParam(index).ToNormalized()) return;
    SetParamFromEditor(index, x);
    if (Editor()) Editor()->ShowParamValue(index, x, true);
}

} // namespace synth
