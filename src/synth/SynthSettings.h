#pragma once
// The per-instance user settings that the configuration file holds.

#include "common/Relaxed.h"

#include <array>
#include <string>

namespace synth {

constexpr int kControllerCount = 120; // controllers 0..119 can be mapped

struct SynthSettings {
    // The switches of the option menu. The MIDI ones are read by the audio thread as MIDI arrives,
    // without the instance's lock.
    common::Relaxed<bool> showAllKnobValues{false};
    common::Relaxed<bool> midiThru{false};
    common::Relaxed<bool> ignoreProgramChange{false};
    common::Relaxed<bool> sendParamChangeSysEx{true};
    // The editor's size in percent (100, 125, 150, 175 or 200), or 0: the system's scale.
    int editorSize = 0;
    std::string startupBankPath;
    std::string programFolder; // default folder for program and bank files
    std::string sysExFolder;   // default folder for SysEx files
    std::string configurationPath;
    std::string documentsFolder;
    // Parameter index per controller, or -1 when the controller is not mapped.
    std::array<int, kControllerCount> controllerMap;

    SynthSettings() { controllerMap.fill(-1); }
};

} // namespace synth
