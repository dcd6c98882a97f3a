#include "DemoPhrase.h"

#include <algorithm>
#include <cmath>

namespace vorna_tool {

namespace {

void Note(MidiSong& song, double start, double length, int note, int velocity) {
    song.events.push_back(
        {start, 0x90, static_cast<std::uint8_t>(note), static_cast<std::uint8_t>(velocity)});
    song.events.push_back({start + length, 0x80, static_cast<std::uint8_t>(note), 64});
}

} // namespace

MidiSong DemoPhrase() {
    MidiSong song;
    song.usable = true;
    const double beat = 0.375; // 160 bpm
    // Chords: C minor, A flat major, E flat major, B flat major, one bar (four beats) each.
    const int chords[4][3] = {{48, 55, 63}, {44, 51, 60}, {51, 55, 58}, {46, 53, 62}};
    for (int bar = 0; bar < 4; ++bar)
        for (int note : chords[bar]) Note(song, bar * 4 * beat, 4 * beat - 0.02, note, 70);
    const int melody[16] = {72, 75, 79, 77, 75, 72, 75, 80, 79, 75, 70, 74, 77, 74, 70, 67};
    for (int i = 0; i < 16; ++i)
        Note(song, i * beat, beat * 0.8, melody[i], 96 + (i % 4 == 0) * 20);
    // A bend up a whole tone and back on the last melody note.
    double bendStart = 15 * beat;
    for (int step = 0; step <= 8; ++step) {
        int value = 8192 + static_cast<int>(std::lround(4095.0 * std::sin(step * 3.14159265 / 8)));
        song.events.push_back({bendStart + step * 0.04, 0xE0,
                               static_cast<std::uint8_t>(value & 0x7F),
                               static_cast<std::uint8_t>(value >> 7)});
    }
    // Final chord with the sustain pedal: the keys are let go, the pedal holds the sound.
    double end = 16 * beat;
    song.events.push_back({end - 0.01, 0xB0, 64, 127});
    for (int note : {48, 55, 60, 63, 67, 72}) Note(song, end, 0.3, note, 90);
    song.events.push_back({end + 2.0, 0xB0, 64, 0});
    std::stable_sort(
        song.events.begin(), song.events.end(),
        [](const TimedMidiEvent& a, const TimedMidiEvent& b) { return a.seconds < b.seconds; });
    song.lengthSeconds = end + 2.0;
    return song;
}

std::vector<ScheduledMidi> Schedule(const std::vector<TimedMidiEvent>& events, double sampleRate) {
    std::vector<ScheduledMidi> scheduled;
    scheduled.reserve(events.size());
    for (const TimedMidiEvent& event : events) {
        ScheduledMidi m;
        m.sample = static_cast<std::int64_t>(std::llround(event.seconds * sampleRate));
        m.status = event.status;
        m.data1 = event.data1;
        m.data2 = event.data2;
        scheduled.push_back(m);
    }
    std::stable_sort(
        scheduled.begin(), scheduled.end(),
        [](const ScheduledMidi& a, const ScheduledMidi& b) { return a.sample < b.sample; });
    return scheduled;
}

} // namespace vorna_tool
