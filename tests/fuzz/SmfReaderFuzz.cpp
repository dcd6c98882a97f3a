// The Standard MIDI File reader of the render tool: any bytes are read without a read past the
// end, and what comes back is fit to play: channel messages only, in time order, at finite times
// within the song's length, scheduled to sample positions that never go back.

#include "FuzzSupport.h"

#include "DemoPhrase.h"
#include "SmfReader.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    vorna_tool::MidiSong song = vorna_tool::ReadMidiSong(bytes);

    if (!song.usable) fuzz::Require(song.events.empty(), "a file without a header plays nothing");
    if (song.problem.empty()) fuzz::Require(song.usable, "a file read completely has a header");
    fuzz::Require(std::isfinite(song.lengthSeconds) && song.lengthSeconds >= 0.0,
                  "the length is a time");
    double previous = 0.0;
    for (const vorna_tool::TimedMidiEvent& event : song.events) {
        fuzz::Require(std::isfinite(event.seconds) && event.seconds >= previous,
                      "events come in time order");
        fuzz::Require(event.seconds <= song.lengthSeconds, "no event after the song's end");
        fuzz::Require(event.status >= 0x80 && event.status < 0xF0, "channel messages only");
        fuzz::Require(event.data1 < 0x80 && event.data2 < 0x80, "data bytes stay below 0x80");
        previous = event.seconds;
    }

    const std::vector<vorna_tool::ScheduledMidi> scheduled =
        vorna_tool::Schedule(song.events, 44100.0);
    fuzz::Require(scheduled.size() == song.events.size(), "every event is scheduled");
    std::int64_t sample = 0;
    for (const vorna_tool::ScheduledMidi& event : scheduled) {
        fuzz::Require(event.sample >= sample, "scheduled samples never go back");
        sample = event.sample;
    }
    return 0;
}
