// The level rules of the factory sounds: the volume chosen from the figures at Master Volume 1,
// the faults named, and the figures kept in the levels files so the volumes can be chosen again
// without rendering.

#include "Levels.h"
#include "engine/InstrumentParams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace bankgen;

namespace {

LevelFigures Figures(double loudness, double chordPeak, double fullChordPeak) {
    LevelFigures f;
    f.present = true;
    f.loudness = loudness;
    f.chordPeak = chordPeak;
    f.fullChordPeak = fullChordPeak;
    return f;
}

double TargetRms() {
    return std::pow(10.0, kTargetLoudnessDb / 20.0);
}

} // namespace

TEST(BankgenLevelRules, TargetLeavesRoomForChords) {
    // The common loudness is below the old -20 dBFS.
    EXPECT_LT(kTargetLoudnessDb, -20.0);
    EXPECT_LT(kChordCeiling, 0.891);
    EXPECT_LT(kFullChordCeiling, 1.0);
}

// A chord's peak depends on the LFO's phase when it is struck and on where the strike falls within
// the control tick: the volume is chosen against the highest of strikes that cover seconds and as
// many places of the tick as there are strikes.
TEST(BankgenLevelRules, ChordsAreStruckAtMomentsSpreadOverSecondsAndTheTick) {
    ASSERT_GE(kStrikeCount, 8);
    std::set<std::int64_t> frames, inTick;
    for (int k = 0; k < kStrikeCount; ++k) {
        frames.insert(StrikeFrame(k));
        inTick.insert(StrikeFrame(k) % kControlTickFrames);
    }
    EXPECT_EQ(*frames.begin(), 0);
    EXPECT_GE(*frames.rbegin(), 2 * 44100);
    EXPECT_EQ(inTick.size(), static_cast<std::size_t>(kStrikeCount));
}

TEST(BankgenLevelRules, QuietChordsGetTheVolumeOfTheTarget) {
    LevelFigures f = Figures(TargetRms() / 1.5, 0.1, 0.2);
    EXPECT_DOUBLE_EQ(ChooseVolume(f), 1.5);
    EXPECT_TRUE(LevelFailures(f, 1.5).empty());
    // Never above the parameter's range.
    EXPECT_DOUBLE_EQ(ChooseVolume(Figures(TargetRms() / 3.0, 0.01, 0.01)), 2.0);
}

TEST(BankgenLevelRules, LoudChordsLowerTheVolumeBelowBothCeilings) {
    // The six-note chord decides: 0.85 / 1.7 = 0.5, the volume the target asks for, exactly
    // touches the ceiling, so one step less.
    LevelFigures six = Figures(2.0 * TargetRms(), 1.7, 0.5);
    double v = ChooseVolume(six);
    EXPECT_DOUBLE_EQ(v, 0.49);
    EXPECT_LT(six.chordPeak * v, kChordCeiling);
    // The eight-note chord decides.
    LevelFigures eight = Figures(TargetRms(), 0.5, 1.9);
    v = ChooseVolume(eight);
    EXPECT_LT(eight.fullChordPeak * v, kFullChordCeiling);
    EXPECT_GE(eight.fullChordPeak * (v + 0.01), kFullChordCeiling);
    // Lowered by less than the tolerance: still within the loudness window.
    EXPECT_TRUE(LevelFailures(six, ChooseVolume(six)).empty());
}

TEST(BankgenLevelRules, ProgramsThatCannotFitAreNamed) {
    // Its chord is so much louder than its single note that the volume needed for the chord
    // leaves the single note far below the common loudness.
    LevelFigures peaky = Figures(TargetRms(), 20.0, 1.0);
    auto failures = LevelFailures(peaky, ChooseVolume(peaky));
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("is not within"), std::string::npos) << failures[0];
    // A volume chosen elsewhere that lets a chord clip is named for it.
    failures = LevelFailures(Figures(TargetRms(), 0.9, 1.2), 1.0);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_NE(failures[0].find("six-note chord"), std::string::npos) << failures[0];
    EXPECT_NE(failures[1].find("eight-note chord"), std::string::npos) << failures[1];
    // Silence has no volume.
    EXPECT_EQ(ChooseVolume(Figures(0.0, 0.0, 0.0)), 0.0);
    EXPECT_EQ(LevelFailures(Figures(0.0, 0.0, 0.0), 0.0).at(0), "is silent");
}

TEST(BankgenLevelRules, LevelsFileKeepsTheFiguresAndProgramsWithoutALevel) {
    std::vector<Program> programs(3);
    for (std::size_t i = 0; i < programs.size(); ++i) {
        programs[i].name = "Prog " + std::to_string(i) + " ";
        programs[i].values = DefaultValues();
        Put(programs[i].values, engine::kMasterVolume, 0.25 * static_cast<double>(i + 1));
    }
    std::vector<LevelFigures> figures = {Figures(0.0123456, 0.5, 0.75), LevelFigures{},
                                         Figures(0.02, 2.5, 3.25)};
    std::string text = FormatLevels("Bank", programs, {true, true, false}, figures);
    Problems problems;
    std::vector<LevelEntry> entries;
    ParseLevels("levels/x.txt", text, entries, problems);
    ASSERT_FALSE(problems.Any()) << problems.Joined() << text;
    EXPECT_TRUE(entries[0].present);
    EXPECT_DOUBLE_EQ(entries[0].volume, 0.25);
    ASSERT_TRUE(entries[0].figures.present);
    EXPECT_DOUBLE_EQ(entries[0].figures.loudness, 0.012346);
    EXPECT_DOUBLE_EQ(entries[0].figures.fullChordPeak, 0.75);
    // A level without figures (older rules).
    EXPECT_TRUE(entries[1].present);
    EXPECT_FALSE(entries[1].figures.present);
    // Measured, failed: figures without a level.
    EXPECT_FALSE(entries[2].present);
    ASSERT_TRUE(entries[2].figures.present);
    EXPECT_DOUBLE_EQ(entries[2].figures.chordPeak, 2.5);
    EXPECT_EQ(entries[2].fingerprint, VoiceFingerprint(programs[2].values));

    // "-" needs figures, and figures must be three numbers.
    ParseLevels("levels/x.txt",
                "0\t-\t0000abcd\tName\n1\t1\t0000abcd\tName\t0.1\tx\t0.3\n"
                "2\t1\t0000abcd\tName\t0.1\t0.2\n",
                entries, problems);
    ASSERT_EQ(problems.messages.size(), 3u) << problems.Joined();
    EXPECT_NE(problems.messages[0].find("levels/x.txt:1:"), std::string::npos);
    EXPECT_NE(problems.messages[1].find("levels/x.txt:2:"), std::string::npos);
    EXPECT_NE(problems.messages[2].find("levels/x.txt:3:"), std::string::npos);
}
