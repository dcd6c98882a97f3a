#pragma once
// How a MIDI controller drives the parameter mapped to it: which controllers are never looked up,
// which parameters take the controller inverted, and the normalised value a controller gives.

#include "synth/SynthSettings.h"

namespace synth {

using ControllerMap = decltype(SynthSettings::controllerMap);

// Modulation wheel, breath, foot and sustain feed the engine and are never mapped.
bool IsFixedController(int controller);

// The operator parameters whose knob runs against the controller (Level, Level Adjust and the
// envelope times and sustain level): a controller at its maximum gives their minimum.
bool IsInvertedOperatorParam(int index);

// The parameter 0..90 that controller drives, or -1 (unmapped, fixed, out of range, or an entry
// outside 0..90 such as an editor button's id or a value read from the file).
int MappedParameter(const ControllerMap& map, int controller);

// The normalised value controller value 0..127 gives parameter index.
double ControllerNormalized(int index, int value);

} // namespace synth
