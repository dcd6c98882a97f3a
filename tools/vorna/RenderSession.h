#pragma once
// Renders MIDI through a loaded plug-in exactly as a host does: effOpen, rate, block size and
// activation, an optional program and parameter overrides, then per block the due events through
// effProcessEvents and the audio through processReplacing. Used by `vorna render` and by the
// golden render tests.

#include "PluginHost.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vorna_tool {

// A short MIDI message at an absolute sample position of the render.
struct ScheduledMidi {
    std::int64_t sample = 0;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
};

// "OP1: Level=10": a parameter named exactly so, set to a value in the parameter's own units (or
// one of its display texts).
struct ParamOverride {
    std::string name;
    std::string value;
};

// Splits "name=value" at the last '=' and trims both sides; false when either side is empty.
bool ParseParamOverride(const std::string& text, ParamOverride& result);

struct RenderRequest {
    double sampleRate = 44100.0;
    // Block sizes used in turn, from the first again after the last; the largest is announced to
    // the plug-in as its block size.
    std::vector<int> blockSizes{512};
    // A bank chunk given to the plug-in (effSetChunk) before the program is chosen; empty: none.
    std::vector<std::uint8_t> bankChunk;
    int program = -1; // -1: keep the start-up program
    // SysEx messages delivered (effProcessEvents) once the program is chosen, before the
    // parameters: a single-voice dump lands in the chosen program.
    std::vector<std::vector<std::uint8_t>> sysEx;
    // Parameters set through setParameter (index, normalized value) after the program, before
    // the overrides.
    std::vector<std::pair<int, float>> normalizedParams;
    std::vector<ParamOverride> overrides;
    std::vector<ScheduledMidi> events; // sorted by sample
    std::int64_t frames = 0;
};

struct RenderResult {
    std::vector<float> left;
    std::vector<float> right;
    std::string error; // empty on success
};

// Applies program and overrides, then renders. The host must hold a freshly loaded instance.
RenderResult Render(hostkit::PluginHost& host, const RenderRequest& request);

// Peak and RMS of both channels together (linear, 1.0 = full scale).
struct Levels {
    double peak = 0.0;
    double rms = 0.0;
};
Levels MeasureLevels(const RenderResult& result);

} // namespace vorna_tool
