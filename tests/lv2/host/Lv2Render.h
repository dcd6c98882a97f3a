#pragma once
// Plays a render request of the VST2 render tool through the LV2 plug-in, so that both formats can
// be held to the same bits: every setting becomes a control port value, the MIDI becomes atom
// events at their frame offsets within each run, and the block sizes are used in the same turns.

#include "Lv2TestHost.h"
#include "RenderSession.h"

#include <string>

namespace lv2_test {

// The port value of a parameter given normalized (shape 1: min + n·(max − min)).
float PortValueOfNormalized(const PortInfo& port, double normalized);
// The port value of a text as the VST2 build reads it: the scale point whose label is the text,
// else the number it spells. False when it is neither.
bool PortValueOfText(const PortInfo& port, const std::string& text, float& value);

// Sets the request's program, bank, parameters and overrides on a fresh instance, before its
// first run. Program 0 is the fresh instance's own; another program is applied as its preset.
bool ApplyRequestSettings(Lv2TestHost& host, const vorna_tool::RenderRequest& request,
                          std::string& error);

// Plays the request's MIDI for its frames in the request's block sizes, on the host as it is.
vorna_tool::RenderResult PlayRequest(Lv2TestHost& host, const vorna_tool::RenderRequest& request);

// A fresh instance at the request's rate and largest block, its settings, then the MIDI.
vorna_tool::RenderResult RenderRequestOnLv2(Lv2Bundle& bundle,
                                            const vorna_tool::RenderRequest& request);

// The first frame where two renders differ, and how many samples (of both channels) differ.
struct RenderDifference {
    std::int64_t firstFrame = -1; // -1: the same
    int channel = 0;              // 0 left, 1 right
    float expected = 0.0f;
    float actual = 0.0f;
    std::int64_t count = 0;
    bool lengthsDiffer = false;
};
RenderDifference CompareRenders(const vorna_tool::RenderResult& expected,
                                const vorna_tool::RenderResult& actual);
// "equal", or where and how much they differ, for a test's message and the report table.
std::string Describe(const RenderDifference& difference);

} // namespace lv2_test
