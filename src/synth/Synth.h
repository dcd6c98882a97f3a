#pragma once
// The instrument base between the host adapter and the product: instance settings, the MIDI learn
// state and the program selection that every instrument of this kind shares.

#include "host/VstPlugin.h"
#include "platform/UiServices.h"
#include "synth/SynthSettings.h"

namespace synth {

class Synth : public host::VstPlugin {
public:
    Synth(vst2::HostCallback hostCallback, int paramCount, int presetCount,
          const char* ioConfiguration);
    ~Synth() override;

    void ResetProcessing() override;
    void ParamChanged(int index) override;
    void ActivationChanged(bool active) override;

    // Operations added by this class.
    virtual void AllNotesOff() {}
    virtual void SelectProgram(int index);
    virtual void InitializeProgram() {}
    virtual void PasteProgram() {}

    // The user interface the commands talk to: the open editor window, a test's scripted answers,
    // or, by default, none (dialogs give no name, questions are not confirmed).
    void SetUiServices(platform::UiServices* ui) { ui_ = ui ? ui : &noUi_; }
    platform::UiServices& Ui() { return *ui_; }

    SynthSettings& Settings() { return settings_; }
    const SynthSettings& Settings() const { return settings_; }
    int SamplesPerMillisecond() const { return samplesPerMillisecond_; }
    bool LearnActive() const { return learnActive_; }
    int LearnedParameter() const { return learnedParameter_; }

protected:
    // Records the learned parameter while learn is armed. The controller half and completion of
    // learn come with the controller map.
    void LearnParameter(int index);

    SynthSettings settings_;
    platform::NoUiServices noUi_;
    platform::UiServices* ui_ = &noUi_;
    int samplesPerMillisecond_ = 0;
    bool learnActive_ = false;
    int learnedParameter_ = -1;
};

} // namespace synth
