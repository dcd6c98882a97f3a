#include "SmfReader.h"

#include <gtest/gtest.h>

using vorna_tool::MidiSong;
using vorna_tool::ReadMidiSong;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Header(int format, int tracks, int division) {
    return {'M',
            'T',
            'h',
            'd',
            0,
            0,
            0,
            6,
            0,
            static_cast<std::uint8_t>(format),
            0,
            static_cast<std::uint8_t>(tracks),
            static_cast<std::uint8_t>(division >> 8),
            static_cast<std::uint8_t>(division & 0xFF)};
}

Bytes Track(const Bytes& body) {
    Bytes t = {'M', 'T', 'r', 'k'};
    std::uint32_t n = static_cast<std::uint32_t>(body.size());
    for (int shift = 24; shift >= 0; shift -= 8) t.push_back(static_cast<std::uint8_t>(n >> shift));
    t.insert(t.end(), body.begin(), body.end());
    return t;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

const Bytes kEnd = {0x00, 0xFF, 0x2F, 0x00};

// 96 ticks per quarter; tempo 1 000 000 us per quarter (60 bpm): a quarter is one second.
Bytes FormatZeroSong() {
    Bytes body = {0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, // tempo 1 000 000
                  0x00, 0x90, 60,   100,                    // note on at 0
                  0x60, 64,   90,                           // running status: note on at 1 s
                  0x81, 0x40, 60,   0,                      // delta 192 (two bytes): at 3 s
                  0x00, 0xC1, 5,                            // program change: one data byte
                  0x00, 0xE0, 0x00, 0x40};                  // pitch bend
    body.insert(body.end(), kEnd.begin(), kEnd.end());
    return Join({Header(0, 1, 96), Track(body)});
}

} // namespace

TEST(SmfReader, FormatZeroWithRunningStatusAndTempo) {
    MidiSong song = ReadMidiSong(FormatZeroSong());
    ASSERT_TRUE(song.usable);
    EXPECT_TRUE(song.problem.empty()) << song.problem;
    ASSERT_EQ(song.events.size(), 5u);
    EXPECT_EQ(song.events[0].seconds, 0.0);
    EXPECT_EQ(song.events[1].status, 0x90);
    EXPECT_EQ(song.events[1].data1, 64);
    EXPECT_DOUBLE_EQ(song.events[1].seconds, 1.0);
    EXPECT_DOUBLE_EQ(song.events[2].seconds, 3.0);
    EXPECT_EQ(song.events[2].data2, 0);
    EXPECT_EQ(song.events[3].status, 0xC1);
    EXPECT_EQ(song.events[3].data1, 5);
    EXPECT_EQ(song.events[4].status, 0xE0);
    EXPECT_EQ(song.events[4].data2, 0x40);
    EXPECT_DOUBLE_EQ(song.lengthSeconds, 3.0);
}

TEST(SmfReader, FormatOneMergesTracksThroughTheTempoMap) {
    // Track 1: tempo 120 bpm, after one quarter 60 bpm. Track 2: notes at quarters 0, 1, 2.
    Bytes tempo = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, // 500 000
                   0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, // 1 000 000 at quarter 1
                   0x00, 0xFF, 0x2F, 0x00};
    Bytes notes = {0x00, 0x91, 60, 100, 0x60, 0x91, 62, 100, 0x60, 0x81, 62, 0};
    notes.insert(notes.end(), kEnd.begin(), kEnd.end());
    MidiSong song = ReadMidiSong(Join({Header(1, 2, 96), Track(tempo), Track(notes)}));
    ASSERT_TRUE(song.problem.empty()) << song.problem;
    EXPECT_EQ(song.format, 1);
    EXPECT_EQ(song.trackCount, 2);
    ASSERT_EQ(song.events.size(), 3u);
    EXPECT_DOUBLE_EQ(song.events[1].seconds, 0.5);
    EXPECT_DOUBLE_EQ(song.events[2].seconds, 1.5);
}

TEST(SmfReader, MetaAndSysExCancelRunningStatusAndStrayDataIsSkipped) {
    Bytes body = {0x00, 0x90, 60,   100,  0x00,
                  0xF0, 0x03, 0x43, 0x10, 0xF7, // SysEx: skipped, cancels running status
                  0x00, 61,   100,              // data with no status: skipped byte by byte
                  0x00, 0xB0, 64,   127};
    body.insert(body.end(), kEnd.begin(), kEnd.end());
    MidiSong song = ReadMidiSong(Join({Header(0, 1, 96), Track(body)}));
    ASSERT_EQ(song.events.size(), 2u);
    EXPECT_EQ(song.events[0].status, 0x90);
    EXPECT_EQ(song.events[1].status, 0xB0);
    EXPECT_EQ(song.events[1].data1, 64);
}

TEST(SmfReader, SmpteDivisionTimesInFrames) {
    // 25 frames per second, 40 ticks per frame: 1000 ticks per second.
    Bytes body = {0x87, 0x68, 0x90, 60, 100}; // delta 1000
    body.insert(body.end(), kEnd.begin(), kEnd.end());
    MidiSong song = ReadMidiSong(Join({Header(0, 1, (0xE7 << 8) | 40), Track(body)}));
    ASSERT_EQ(song.events.size(), 1u);
    EXPECT_DOUBLE_EQ(song.events[0].seconds, 1.0);
}

TEST(SmfReader, RefusesWhatIsNotAPlayableFile) {
    EXPECT_FALSE(ReadMidiSong({}).usable);
    EXPECT_FALSE(ReadMidiSong(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96}).usable);
    MidiSong format2 = ReadMidiSong(Join({Header(2, 1, 96), Track(kEnd)}));
    EXPECT_FALSE(format2.usable);
    EXPECT_NE(format2.problem.find("format 2"), std::string::npos);
    EXPECT_FALSE(ReadMidiSong(Join({Header(0, 1, 0), Track(kEnd)})).usable);
    Bytes badHeader = Header(0, 1, 96);
    badHeader[7] = 200; // header length beyond the file
    EXPECT_FALSE(ReadMidiSong(badHeader).usable);
}

TEST(SmfReader, EveryTruncationKeepsWhatCameBeforeIt) {
    Bytes whole = FormatZeroSong();
    MidiSong complete = ReadMidiSong(whole);
    for (std::size_t size = 0; size < whole.size(); ++size) {
        Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        MidiSong song = ReadMidiSong(cut);
        EXPECT_FALSE(song.problem.empty()) << size;
        ASSERT_LE(song.events.size(), complete.events.size()) << size;
        for (std::size_t i = 0; i < song.events.size(); ++i) {
            EXPECT_EQ(song.events[i].status, complete.events[i].status) << size;
            EXPECT_EQ(song.events[i].seconds, complete.events[i].seconds) << size;
        }
    }
}

TEST(SmfReader, OverlongQuantitiesAndMissingTracksAreReported) {
    Bytes body = {0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x90, 60, 100}; // a five-byte delta
    MidiSong song = ReadMidiSong(Join({Header(0, 1, 96), Track(body)}));
    EXPECT_TRUE(song.events.empty());
    EXPECT_FALSE(song.problem.empty());
    MidiSong missing = ReadMidiSong(Join({Header(1, 3, 96), Track(kEnd)}));
    EXPECT_TRUE(missing.usable);
    EXPECT_NE(missing.problem.find("1 of 3"), std::string::npos) << missing.problem;
}
