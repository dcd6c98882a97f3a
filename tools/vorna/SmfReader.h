#pragma once
// A reader of Standard MIDI Files (format 0 and 1): the channel messages of every track, merged
// in time order and timed in seconds through the file's tempo map. It reads only inside the
// given bytes: a truncated or damaged file yields the events read up to the damage and a note
// saying what was wrong, never a read past the end.

#include <cstdint>
#include <string>
#include <vector>

namespace vorna_tool {

struct TimedMidiEvent {
    double seconds = 0.0;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
};

struct MidiSong {
    std::vector<TimedMidiEvent> events; // in time order; equal times keep file order
    int format = 0;
    int trackCount = 0;
    double lengthSeconds = 0.0; // time of the last event of any kind, end-of-track included
    // Empty when the file was read completely; otherwise what was wrong (the events read before
    // the damage are kept). A file that is not a MIDI file at all has no events.
    std::string problem;
    bool usable = false; // a valid header was found
};

MidiSong ReadMidiSong(const std::vector<std::uint8_t>& bytes);
bool ReadMidiFile(const std::string& path, MidiSong& song, std::string& error);

} // namespace vorna_tool
