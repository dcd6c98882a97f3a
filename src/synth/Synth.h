#pragma once
// The instrument base between the host adapter and the product: instance settings, the MIDI learn
// state and the program selection that every instrument of this kind shares.

#include "engine/MidiEventQueue.h"
#include "engine/RenderState.h"
#include "host/PluginBase.h"
#include "platform/UiServices.h"
#include "synth/DeferredEvents.h"
#include "synth/MidiLearn.h"
#include "synth/MtsClient.h"
#include "synth/SynthSettings.h"

#include <memory>

namespace synth {

class Synth : public host::PluginBase {
public:
    Synth(const host::PluginSetup& setup, int paramCount, int presetCount,
          const char* ioConfiguration);
    ~Synth() override;

    void ResetProcessing() override;
    void ParamNoticed(int index) override;
    void ActivationChanged(bool active) override;

    // MIDI and SysEx from the host's event list, on the audio thread. What needs the instance
    // mutex (program changes, learn, SysEx) is handled at once when the mutex is free, and
    // otherwise put aside, with everything after it, until a later call finds it free.
    void HandleMidiMessage(const host::MidiMessage& message) final;
    void HandleSysEx(const host::SysExMessage& message) final;
    void HandleSysExOffAudio(const host::SysExMessage& message) final;
    void AudioCallStarting(int frames) override;
    void AudioCallEnded(bool rendered) override;
    // Events waiting for the instance mutex (for tests).
    std::size_t DeferredEventCount() const { return deferred_.Size(); }

    // Operations added by this class.
    virtual void AllNotesOff() {}
    virtual void SelectProgram(int index);
    virtual void InitializeProgram() {}
    virtual void PasteProgram() {}

    // The user interface the commands talk to: the open editor window, a test's scripted answers,
    // or, by default, none (dialogs give no name, questions are not confirmed).
    void SetUiServices(platform::UiServices* ui) { ui_ = ui ? ui : &noUi_; }
    platform::UiServices& Ui() { return *ui_; }

    // The instance's microtuning client, registered with the master when one is installed.
    MtsClient& TuningClient() { return *tuning_; }

    SynthSettings& Settings() { return settings_; }
    const SynthSettings& Settings() const { return settings_; }
    // The control tick, in host samples (about one millisecond).
    int SamplesPerMillisecond() const { return tickClock_.tickInterval; }
    bool LearnActive() const { return learn_.active; }
    bool UnlearnMode() const { return learn_.unlearn; }
    int LearnedParameter() const { return learn_.parameter; }
    int LearnedController() const { return learn_.controller; }

    // The configuration file: read again (false when it does not exist), written (-1: every
    // setting; 19..22: that option alone), and the start-up bank and default folders in it.
    bool ReadConfiguration();
    bool WriteConfiguration(int which);
    bool SetStartupBank(const std::string& path);
    bool ClearStartupBank();
    bool WriteProgramFolder(const std::string& folder);
    bool WriteSysExFolder(const std::string& folder);

    // MIDI learn. The editor's learn switch arms it; a touched control (its parameter index or a
    // button's negative id) and a received controller 0..119 complete it in either order.
    void StartLearn(bool unlearn, bool on);
    void LearnParameter(int index);
    void LearnController(int controller);
    void CompleteLearn();
    // A queued control change for the map (never 1, 2, 4 or 64): sets the mapped parameter as the
    // editor would, unless it already has that value.
    void ApplyController(int controller, int value);

protected:
    // A message handled now; controlHeld tells whether this thread holds the instance mutex (else
    // nothing may be done that needs it).
    virtual void HandleMidiNow(const host::MidiMessage&, bool) {}
    // A complete or partial SysEx message, handled with the instance mutex held.
    virtual void HandleSysExNow(const host::SysExMessage&) {}
    // A controller the render loop hands to the controller map (all but 1, 2, 4 and 64): applied
    // now, or put aside when the instance mutex is busy.
    void ApplyMappedController(int controller, int value);
    // Called when a completed learn switched learn off: the editor turns its learn switch off.
    virtual void LearnSwitchedOff() {}
    // The held-note list lives with the note handling of the product; the base reset clears it.
    virtual void ClearHeldNotes() {}

    // The MIDI messages waiting for their control tick, and the tick clock.
    engine::MidiEventQueue midiEvents_;
    engine::TickClock tickClock_;

    SynthSettings settings_;
    platform::NoUiServices noUi_;
    platform::UiServices* ui_ = &noUi_;
    std::unique_ptr<MtsClient> tuning_;
    LearnState learn_;

private:
    friend class AudioCall;
    bool NeedsInstanceMutex(const host::MidiMessage& message) const;
    // The audio thread takes the instance mutex only when no one else holds it, and keeps it
    // until its call ends.
    bool TakeMutexForAudio();
    // The end of an audio call: the outermost one lets go of the mutex if it took it.
    void LeaveAudioCall();
    void HandOnDeferred();

    // Guarded by the render mutex.
    DeferredEvents deferred_;
    std::uint64_t processCalls_ = 0;
    int audioCallDepth_ = 0;
    bool audioHoldsMutex_ = false;
};

} // namespace synth
