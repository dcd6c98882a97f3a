#pragma once
// The names that hosts and saved sessions hold on to: the plug-in's URI, its UI's, the bundle's
// binaries and the port layout. None of them may change once released.

#include <cstdint>

namespace lv2 {

constexpr const char* kPluginUri = "urn:vorna:vorn";
constexpr const char* kUiUri = "urn:vorna:vorn#ui";
// The private interface through which the UI binary reaches the editor in the plug-in binary.
constexpr const char* kEditorLinkUri = "urn:vorna:vorn#editor-link";
// State properties: the bank chunk (the VST2 bank chunk's bytes) and the current program.
constexpr const char* kStateBankUri = "urn:vorna:vorn#bank";
constexpr const char* kStateProgramUri = "urn:vorna:vorn#program";

constexpr const char* kDspBinary = "Vorn_dsp.so";
constexpr const char* kUiBinary = "Vorn_ui.so";

// Ports, in index order: MIDI in and out (atom sequences), the two audio outputs, then the 91
// parameters in the parameter table's order.
enum Port : std::uint32_t {
    kMidiInPort = 0,
    kMidiOutPort = 1,
    kLeftOutPort = 2,
    kRightOutPort = 3,
    kFirstParamPort = 4,
};

} // namespace lv2
