#include "ProgramChecks.h"

#include "common/NumberText.h"

#include <algorithm>
#include <cmath>

namespace banktest {

const std::vector<int> kChordNotes = {48, 52, 55, 60, 64, 67};
const std::vector<int> kFullChordNotes = {48, 52, 55, 60, 64, 67, 72, 76};

namespace {

constexpr std::int64_t kHeldFrames = 44100; // exactly one second at the render rate
constexpr double kLoudnessWindowSeconds = 0.3;
constexpr double kLoudnessStepSeconds = 0.01;
constexpr double kPitchBeginSeconds = 0.1;
constexpr double kPitchEndSeconds = 0.9;
// Frames more than 50 dB below the render's peak are too quiet to measure a period in.
constexpr double kPitchQuietFraction = 0.00316;

std::int64_t FramesOf(double ms) {
    return static_cast<std::int64_t>(std::ceil(ms * kRenderRate / 1000.0));
}

std::string Fixed(double value, int decimals) {
    return common::FormatFixed(value, decimals);
}

// The highest peak of notes struck at velocity at each of strikes, each held for one second and
// followed for frames after its strike. strike receives the strike that gave it.
double HighestStrikePeak(ProgramPlayer& player, int program, const std::vector<int>& strikes,
                         const std::vector<int>& notes, int velocity, std::int64_t frames,
                         int& strike, std::string& error) {
    double highest = 0.0;
    for (int k : strikes) {
        if (!player.Start(program, error)) return highest;
        const std::int64_t on = StrikeFrame(k);
        StereoRender render =
            player.Render(HeldNotes(notes, velocity, on + kHeldFrames, on), on + frames);
        double peak = Peak(render, static_cast<std::size_t>(on), render.Frames());
        if (peak > highest) {
            highest = peak;
            strike = k;
        }
    }
    return highest;
}

// Where in the silence of a fresh instance the loudest strike fell, to play it again.
std::string StruckAt(int strike) {
    return " when struck " + Fixed(static_cast<double>(StrikeFrame(strike)) / kRenderRate, 4) +
           " s after the start";
}

std::vector<float> Mono(const StereoRender& render) {
    std::vector<float> mono(render.Frames());
    for (std::size_t i = 0; i < mono.size(); ++i)
        mono[i] = 0.5f * (render.left[i] + render.right[i]);
    return mono;
}

} // namespace

std::int64_t StrikeFrame(int strike) {
    return static_cast<std::int64_t>(strike) * (400 * kControlTickFrames + 5);
}

std::vector<int> StrikesOf(int nth, int count) {
    std::vector<int> strikes;
    count = std::clamp(count, 1, kStrikeCount);
    for (int k = 0; k < count; ++k) strikes.push_back((nth + k) % kStrikeCount);
    return strikes;
}

PitchEstimate MeasurePitch(const StereoRender& render, double expectedRatio) {
    PitchSearch search;
    search.sampleRate = render.sampleRate;
    search.expectedHz = expectedRatio * kNote60Hz;
    double quiet = std::max(1e-5, kPitchQuietFraction * Peak(render, 0, render.Frames()));
    return EstimatePitch(
        Mono(render), static_cast<std::size_t>(kPitchBeginSeconds * render.sampleRate),
        static_cast<std::size_t>(kPitchEndSeconds * render.sampleRate), search, quiet);
}

ProgramFigures MeasureProgram(ProgramPlayer& player, const ManifestLine& line,
                              const std::vector<int>& strikes) {
    ProgramFigures figures;
    if (!player.Start(line.program, figures.error)) return figures;
    figures.renderedReleaseMs = line.releaseMs + kReleaseMarginMs;
    StereoRender note = player.Render(HeldNotes({60}, 100, kHeldFrames),
                                      kHeldFrames + FramesOf(figures.renderedReleaseMs));
    figures.loudnessRms = LoudestWindowRms(note, 1.0, kLoudnessWindowSeconds, kLoudnessStepSeconds);
    figures.dcRatio = DcRatio(note, 0, static_cast<std::size_t>(kHeldFrames));
    figures.onsetMs = OnsetMs(note, kOnsetFraction);
    figures.fadeMs = FadeOutMs(note, static_cast<std::size_t>(kHeldFrames), kSilenceLevel);
    if (line.pitched) figures.pitch = MeasurePitch(note, line.pitch);

    const std::int64_t chordFrames =
        kHeldFrames + FramesOf(std::min(line.releaseMs, kChordReleaseMs));
    figures.chordPeak =
        HighestStrikePeak(player, line.program, strikes, kChordNotes, kChordVelocity, chordFrames,
                          figures.chordStrike, figures.error);
    if (!figures.error.empty()) return figures;
    figures.fullChordPeak =
        HighestStrikePeak(player, line.program, strikes, kFullChordNotes, kFullChordVelocity,
                          chordFrames, figures.fullChordStrike, figures.error);
    return figures;
}

std::string LoudnessFault(const ProgramFigures& figures) {
    double db = ToDecibels(figures.loudnessRms / kTargetRms);
    if (std::fabs(db) <= kLoudnessToleranceDb) return "";
    return "loudness " + Fixed(ToDecibels(figures.loudnessRms), 1) + " dBFS (" +
           (db > 0 ? "+" : "") + Fixed(db, 1) + " dB from the target " +
           Fixed(ToDecibels(kTargetRms), 0) + " dBFS, allowed +-" + Fixed(kLoudnessToleranceDb, 0) +
           ")";
}

std::string ClippingFault(const ProgramFigures& figures) {
    std::string fault;
    if (figures.chordPeak >= kChordLimit)
        fault = "the six-note chord at velocity 100 peaks at " + Fixed(figures.chordPeak, 3) +
                " (" + Fixed(ToDecibels(figures.chordPeak), 1) + " dBFS, limit below -1 dBFS)" +
                StruckAt(figures.chordStrike);
    if (figures.fullChordPeak >= kFullChordLimit)
        fault += (fault.empty() ? "" : "; ") +
                 std::string("the eight-note chord at velocity 127 ") + "peaks at " +
                 Fixed(figures.fullChordPeak, 3) + " (limit below 1.0)" +
                 StruckAt(figures.fullChordStrike);
    return fault;
}

std::string DcFault(const ProgramFigures& figures) {
    if (figures.dcRatio <= kDcFraction) return "";
    return "DC offset: |mean| is " + Fixed(100.0 * figures.dcRatio, 1) +
           " % of the RMS (allowed 2 %)";
}

std::string OnsetFault(const ProgramFigures& figures, const ManifestLine& line) {
    if (figures.onsetMs < 0.0) return "silent: no onset at all";
    if (figures.onsetMs <= line.onsetMs) return "";
    return "onset after " + Fixed(figures.onsetMs, 1) + " ms (manifest " + Fixed(line.onsetMs, 0) +
           " ms)";
}

std::string ReleaseFault(const ProgramFigures& figures, const ManifestLine& line) {
    if (figures.fadeMs < 0.0)
        return "still above -60 dBFS " + Fixed(figures.renderedReleaseMs, 0) +
               " ms after the note-off (manifest " + Fixed(line.releaseMs, 0) + " ms)";
    if (figures.fadeMs <= line.releaseMs) return "";
    return "below -60 dBFS only " + Fixed(figures.fadeMs, 1) + " ms after the note-off (manifest " +
           Fixed(line.releaseMs, 0) + " ms)";
}

std::string PitchFault(const PitchEstimate& pitch, double expectedRatio) {
    const double expectedHz = expectedRatio * kNote60Hz;
    if (!pitch.found)
        return "no clear pitch between 100 and 900 ms (" + std::to_string(pitch.frames) +
               " frames loud enough, none periodic; expected " + Fixed(expectedHz, 1) + " Hz)";
    double ratio = pitch.frequency / expectedHz;
    if (std::fabs(ratio - 1.0) <= kPitchTolerance) return "";
    return "pitch " + Fixed(pitch.frequency, 1) + " Hz = " + Fixed(pitch.frequency / kNote60Hz, 3) +
           " x note 60, expected " + Fixed(expectedHz, 1) + " Hz = " + Fixed(expectedRatio, 3) +
           " x (" + (ratio > 1 ? "+" : "") + Fixed(1200.0 * std::log2(ratio), 0) + " cents)";
}

} // namespace banktest
