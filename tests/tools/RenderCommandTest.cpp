// `vorna render` as a user runs it: the built tool, the built plug-in, files on disk. Each render
// is read back as a WAV file and checked for its header, its length and that it sounds.

#include "ToolRunner.h"
#include "WavFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using namespace tooltest;

namespace {

using Bytes = std::vector<unsigned char>;

// Standard MIDI File pieces.
void Put32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}
void PutVarLength(Bytes& out, std::uint32_t v) {
    Bytes groups{static_cast<unsigned char>(v & 0x7F)};
    while (v >>= 7) groups.insert(groups.begin(), static_cast<unsigned char>(0x80 | (v & 0x7F)));
    out.insert(out.end(), groups.begin(), groups.end());
}
struct TrackEvent {
    std::uint32_t tick;
    Bytes bytes;
};
Bytes Track(const std::vector<TrackEvent>& events) {
    Bytes body;
    std::uint32_t now = 0;
    for (const TrackEvent& e : events) {
        PutVarLength(body, e.tick - now);
        now = e.tick;
        body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
    Bytes track{'M', 'T', 'r', 'k'};
    Put32(track, static_cast<std::uint32_t>(body.size()));
    track.insert(track.end(), body.begin(), body.end());
    return track;
}
Bytes Header(int format, int tracks) {
    Bytes header{'M', 'T',
                 'h', 'd',
                 0,   0,
                 0,   6,
                 0,   static_cast<unsigned char>(format),
                 0,   static_cast<unsigned char>(tracks),
                 0,   96}; // 96 ticks per quarter note
    return header;
}
Bytes Tempo(std::uint32_t microseconds) {
    return {0xFF,
            0x51,
            0x03,
            static_cast<unsigned char>(microseconds >> 16),
            static_cast<unsigned char>(microseconds >> 8),
            static_cast<unsigned char>(microseconds)};
}
const Bytes kEnd{0xFF, 0x2F, 0x00};

// At 120 bpm to tick 96 (0.5 s), then at 240 bpm: tick 192 falls at 0.75 s, tick 288 at 1.0 s.
// Without the tempo change tick 192 would fall at 1.0 s.
std::vector<TrackEvent> TempoMap() {
    return {{0, Tempo(500000)}, {96, Tempo(250000)}};
}
std::vector<TrackEvent> Notes(bool secondNote) {
    std::vector<TrackEvent> notes = {{0, {0x90, 60, 100}}, {48, {0x80, 60, 64}}};
    if (secondNote) notes.push_back({192, {0x90, 67, 100}});
    notes.push_back({288, {0x80, 67, 64}});
    notes.push_back({288, kEnd});
    return notes;
}
Bytes FormatZero(bool secondNote) {
    std::vector<TrackEvent> all = TempoMap();
    std::vector<TrackEvent> notes = Notes(secondNote);
    // Merged in tick order; the tempo change at 96 goes between the note-off at 48 and tick 192.
    all.insert(all.begin() + 1, notes[0]);
    all.insert(all.begin() + 2, notes[1]);
    all.insert(all.end(), notes.begin() + 2, notes.end());
    Bytes file = Header(0, 1);
    Bytes track = Track(all);
    file.insert(file.end(), track.begin(), track.end());
    return file;
}
Bytes FormatOne(bool secondNote) {
    Bytes file = Header(1, 2);
    std::vector<TrackEvent> tempo = TempoMap();
    tempo.push_back({96, kEnd});
    for (const Bytes& track : {Track(tempo), Track(Notes(secondNote))})
        file.insert(file.end(), track.begin(), track.end());
    return file;
}

class RenderCommand : public ::testing::Test {
protected:
    ToolRun Render(const std::vector<std::string>& arguments) {
        std::vector<std::string> all = {"render", VORNA_RENDER_PLUGIN};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return RunTool(folder, VORNA_TOOL, all);
    }
    // Reads the WAV file back; a failed check ends the test.
    void Load(const std::string& name, WavContent& wav) {
        std::string error;
        ASSERT_TRUE(ParseWav(ReadBytes(folder / name), wav, error)) << name << ": " << error;
        ASSERT_EQ(wav.sampleRate, 44100);
        ASSERT_GT(PeakOf(wav), 0.01) << name << " is silent";
    }
    void Write(const std::string& name, const Bytes& bytes) { WriteBytes(folder / name, bytes); }

    WorkFolder folder{"vorna-render"};
};

// The first frame at which two renders differ, or -1.
long FirstDifference(const WavContent& a, const WavContent& b) {
    for (std::size_t i = 0; i < std::min(a.Frames(), b.Frames()); ++i)
        if (a.left[i] != b.left[i] || a.right[i] != b.right[i]) return static_cast<long>(i);
    return a.Frames() == b.Frames() ? -1 : static_cast<long>(std::min(a.Frames(), b.Frames()));
}

} // namespace

TEST_F(RenderCommand, DemoPhraseIsWrittenAndItsLevelsReported) {
    ToolRun run = Render({"--out", "demo.wav"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    WavContent wav;
    ASSERT_NO_FATAL_FAILURE(Load("demo.wav", wav));
    EXPECT_EQ(wav.format, 1);
    EXPECT_EQ(wav.bitsPerSample, 16);
    // The phrase: 16 beats at 160 bpm (6 s), a final chord held 2 s by the pedal, the tail 1.5 s.
    EXPECT_EQ(wav.Frames(), static_cast<std::size_t>(std::ceil(9.5 * 44100)));
    EXPECT_NE(run.out.find("Wrote demo.wav"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("(demo phrase)"), std::string::npos) << run.out;
    // The peak it prints is the file's own (to the 16-bit step).
    std::size_t at = run.out.find("dBFS (");
    ASSERT_NE(at, std::string::npos) << run.out;
    EXPECT_NEAR(std::atof(run.out.c_str() + at + 6), PeakOf(wav), 1e-3);
    EXPECT_GT(RmsOf(wav, 0, wav.Frames()), 0.001);
}

TEST_F(RenderCommand, MidiFilesOfBothFormatsFollowTheirTempoChanges) {
    Write("zero.mid", FormatZero(true));
    Write("zero-one-note.mid", FormatZero(false));
    Write("one.mid", FormatOne(true));
    for (const char* name : {"zero", "zero-one-note", "one"}) {
        ToolRun run = Render({std::string(name) + ".mid", "--out", std::string(name) + ".wav",
                              "--tail", "0.5", "--float"});
        ASSERT_EQ(run.exitCode, 0) << name << ": " << run.err;
        EXPECT_EQ(run.err, "") << name;
    }
    WavContent zero, single, one;
    ASSERT_NO_FATAL_FAILURE(Load("zero.wav", zero));
    ASSERT_NO_FATAL_FAILURE(Load("zero-one-note.wav", single));
    ASSERT_NO_FATAL_FAILURE(Load("one.wav", one));
    EXPECT_EQ(zero.format, 3);
    EXPECT_EQ(zero.bitsPerSample, 32);
    // The song ends at 1.0 s (tick 288 through the tempo change), then the 0.5 s tail.
    EXPECT_EQ(zero.Frames(), 66150u);
    // The same song in either format plays the same.
    EXPECT_EQ(FirstDifference(zero, one), -1);
    // The second note starts at 0.75 s, where the renders with and without it part.
    long parting = FirstDifference(zero, single);
    EXPECT_NEAR(parting / 44100.0, 0.75, 0.003);
}

TEST_F(RenderCommand, ProgramAndParameterOptionsChangeTheSound) {
    for (const auto& [name, options] :
         std::vector<std::pair<std::string, std::vector<std::string>>>{
             {"plain", {}},
             {"program0", {"--program", "0"}},
             {"program3", {"--program", "3"}},
             {"set", {"--set", "OP1: Level=10", "--set", "Mode=Poly"}}}) {
        std::vector<std::string> arguments = {"--out", name + ".wav", "--tail", "0.2"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        ToolRun run = Render(arguments);
        ASSERT_EQ(run.exitCode, 0) << name << ": " << run.err;
    }
    WavContent plain, program0, program3, set;
    ASSERT_NO_FATAL_FAILURE(Load("plain.wav", plain));
    ASSERT_NO_FATAL_FAILURE(Load("program0.wav", program0));
    ASSERT_NO_FATAL_FAILURE(Load("program3.wav", program3));
    ASSERT_NO_FATAL_FAILURE(Load("set.wav", set));
    EXPECT_EQ(FirstDifference(plain, program0), -1) << "a fresh instance starts on program 0";
    EXPECT_NE(FirstDifference(plain, program3), -1);
    EXPECT_NE(FirstDifference(plain, set), -1);

    // Names and programs that do not exist are refused with a message and nothing is written.
    ToolRun unknown = Render({"--out", "unknown.wav", "--set", "No Such Knob=1"});
    EXPECT_NE(unknown.exitCode, 0);
    EXPECT_NE(unknown.err.find("No Such Knob"), std::string::npos) << unknown.err;
    ToolRun beyond = Render({"--out", "beyond.wav", "--program", "336"});
    EXPECT_NE(beyond.exitCode, 0);
    EXPECT_NE(beyond.err.find("program 336 does not exist"), std::string::npos) << beyond.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "unknown.wav"));
    EXPECT_FALSE(std::filesystem::exists(folder / "beyond.wav"));
}

TEST_F(RenderCommand, DamagedMidiFilePlaysWhatCouldBeReadAndWarns) {
    Bytes whole = FormatZero(true);
    // Cut inside the track after the first note's on and off: the track length now lies.
    Bytes cut(whole.begin(), whole.begin() + 14 + 8 + 15);
    Write("cut.mid", cut);
    ToolRun run = Render({"cut.mid", "--out", "cut.wav", "--tail", "0.5"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("warning"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("cut.mid"), std::string::npos) << run.err;
    WavContent wav;
    ASSERT_NO_FATAL_FAILURE(Load("cut.wav", wav));
    EXPECT_GT(RmsOf(wav, 0, 11025), 0.001) << "the first note, read before the damage, sounds";

    // Not a MIDI file at all: refused.
    Write("text.mid", Bytes{'h', 'e', 'l', 'l', 'o'});
    ToolRun text = Render({"text.mid", "--out", "text.wav"});
    EXPECT_NE(text.exitCode, 0);
    EXPECT_NE(text.err, "");
}

TEST_F(RenderCommand, UnwritableOutputIsAClearErrorWithANonZeroExit) {
    ToolRun run = Render({"--out", "no-such-folder/deeper/out.wav", "--tail", "0"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("vorna render:"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("Wrote"), std::string::npos) << run.out;
    EXPECT_FALSE(std::filesystem::exists(folder / "no-such-folder"));
}
