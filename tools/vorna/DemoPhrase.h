#pragma once
// The built-in phrase `vorna render` plays when no MIDI file is given: a few bars of melody over
// held chords, with a pitch bend and a sustained ending, about six seconds long.

#include "RenderSession.h"
#include "SmfReader.h"

#include <vector>

namespace vorna_tool {

MidiSong DemoPhrase();

// Message times in seconds to sample positions at the given rate (rounded to the nearest sample).
std::vector<ScheduledMidi> Schedule(const std::vector<TimedMidiEvent>& events, double sampleRate);

} // namespace vorna_tool
