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
