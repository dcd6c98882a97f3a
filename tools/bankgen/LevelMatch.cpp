#include "LevelMatch.h"

#include "Measure.h"
#include "ProgramRender.h"
#include "common/NumberText.h"
#include "engine/InstrumentParams.h"

#include <algorithm>
#include <cmath>

namespace bankgen {

namespace {

constexpr std::int64_t kSecond = 44100;
constexpr double kNote60Hz = 261.6255653005986;

std::size_t Ms(double ms) {
    return static_cast<std::size_t>(ms * 44.1 + 0.5);
}
double ToMs(std::size_t samples) {
    return static_cast<double>(samples) / 44.1;
}

std::string Fixed(double value, int decimals) {
    return common::FormatFixed(value, decimals);
}

Program AtUnity(const Program& program) {
    Program unity = program;
    Put(unity.values, engine::kMasterVolume, 1.0);
    return unity;
}

Samples Louder(const Rendered& r) {
    // The two outputs carry the same signal; the louder sample of the two counts.
    Samples x(r.left.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = std::fabs(r.left[i]) >= std::fabs(r.right[i]) ? r.left[i] : r.right[i];
    return x;
}

// The highest peak of the chord of count keys at velocity, struck at every strike (LevelRules.h),
// held for a second and followed for tail frames after its note-off. False when an instance
// cannot be made.
bool HighestStrikePeak(const Program& unity, const int* keys, std::size_t count, int velocity,
                       std::int64_t tail, double& highest) {
    highest = 0.0;
    for (int k = 0; k < kStrikeCount; ++k) {
        const std::int64_t on = StrikeFrame(k);
        std::vector<Note> notes;
        for (std::size_t i = 0; i < count; ++i)
            notes.push_back({keys[i], velocity, on, on + kSecond});
        Rendered chord;
        if (!RenderNotes(unity, notes, on + kSecond + tail, chord)) return false;
        Window struck{static_cast<std::size_t>(on), chord.left.size()};
        highest = std::max({highest, Peak(chord.left, struck), Peak(chord.right, struck)});
    }
    return true;
}

} // namespace

ProgramCheck CheckProgram(const Program& program) {
    ProgramCheck check;
    Program unity = AtUnity(program);
    std::int64_t tail = static_cast<std::int64_t>(Ms(program.facts.releaseMs + 300.0));
    // A chord's peak comes while it is held or soon after; its release is followed for at most
    // a second.
    std::int64_t chordTail = std::min<std::int64_t>(tail, kSecond);
    Rendered single;
    if (!RenderNotes(unity, {{60, 100, 0, kSecond}}, kSecond + tail, single) ||
        !HighestStrikePeak(unity, kChordNotes, 6, kChordVelocity, chordTail,
                           check.unity.chordPeak) ||
        !HighestStrikePeak(unity, kFullChordNotes, 8, kFullChordVelocity, chordTail,
                           check.unity.fullChordPeak)) {
        check.failures.push_back("the plug-in instance could not be made");
        return check;
    }
    Samples x = Louder(single);
    check.unity.present = true;
    check.unity.loudness = LoudestWindowRms(x, kSecond, Ms(300), Ms(10));
    double volume = ChooseVolume(check.unity);
    check.volume = volume;
    check.failures = LevelFailures(check.unity, volume);
    if (check.unity.loudness <= 0.0 || volume <= 0.0) return check;
    check.loudnessDb = Decibels(check.unity.loudness * volume);
    const std::size_t levelFailures = check.failures.size();

    Window first{0, static_cast<std::size_t>(kSecond)};
    double rms = Rms(x, first);
    check.dcRatio = rms > 0.0 ? std::fabs(Mean(single.left, first)) / rms : 0.0;
    if (check.dcRatio > kMaxDcRatio)
        check.failures.push_back("DC: mean is " + Fixed(check.dcRatio, 3) + " of the RMS");

    check.onsetMs = ToMs(FirstReaching(x, 0.01));
    if (check.onsetMs > kAllowanceShare * program.facts.onsetMs)
        check.failures.push_back("onset " + Fixed(check.onsetMs, 0) + " ms exceeds 90 % of " +
                                 common::FormatInt(program.facts.onsetMs) + " ms");

    double threshold = volume > 0.0 ? kSilence / volume : 1.0;
    std::size_t ring = TimeUntilBelow(x, static_cast<std::size_t>(kSecond), threshold);
    check.releaseMs = ToMs(ring);
    if (check.releaseMs > kAllowanceShare * program.facts.releaseMs)
        check.failures.push_back("release " + Fixed(check.releaseMs, 0) + " ms exceeds 90 % of " +
                                 common::FormatInt(program.facts.releaseMs) + " ms");

    if (program.facts.pitch > 0.0) {
        // Over 0.1 .. 0.9 s of the held note, both outputs mixed, frames more than 50 dB below
        // the render's peak left out.
        check.expectedHz = kNote60Hz * program.facts.pitch;
        Samples mono(single.left.size());
        for (std::size_t i = 0; i < mono.size(); ++i)
            mono[i] = 0.5f * (single.left[i] + single.right[i]);
        double quiet = std::max(1e-5, 0.00316 * Peak(mono, {0, mono.size()}));
        check.measuredHz =
            MedianFramePitch(mono, {Ms(100), Ms(800)}, kRenderRate, check.expectedHz, quiet);
        if (check.measuredHz <= 0.0 ||
            std::fabs(check.measuredHz / check.expectedHz - 1.0) > kPitchTolerance)
            check.failures.push_back("pitch: expected " + Fixed(check.expectedHz, 1) +
                                     " Hz, measured " + Fixed(check.measuredHz, 1) + " Hz");
    }
    check.levelOnly = levelFailures == check.failures.size();
    return check;
}

std::string DescribeProgram(const Program& program, const ProgramCheck& check) {
    std::string text;
    text += "\"" + program.name + "\" (" + program.recipe + ", " + program.where + ")\n";
    text += "  volume " + Fixed(check.volume, 2) + "  loudness " + Fixed(check.loudnessDb, 1) +
            " dBFS (at unity " + Fixed(Decibels(check.unity.loudness), 1) + ")  chord peaks " +
            Fixed(check.unity.chordPeak * check.volume, 3) + " (6 notes, velocity 100), " +
            Fixed(check.unity.fullChordPeak * check.volume, 3) +
            " (8 notes, velocity 127), the highest of " + common::FormatInt(kStrikeCount) +
            " strikes\n";
    text += "  onset " + Fixed(check.onsetMs, 1) + " ms (allowed " +
            common::FormatInt(program.facts.onsetMs) + ")  release " + Fixed(check.releaseMs, 0) +
            " ms (allowed " + common::FormatInt(program.facts.releaseMs) + ")  dc " +
            Fixed(check.dcRatio, 4) + "\n";
    if (check.expectedHz > 0.0)
        text += "  pitch " + Fixed(check.measuredHz, 1) + " Hz, expected " +
                Fixed(check.expectedHz, 1) + "\n";

    Program unity = AtUnity(program);
    unity.values[engine::kMasterVolume] = check.volume;
    Rendered r;
    if (!RenderNotes(unity, {{60, 100, 0, kSecond}}, kSecond + kSecond, r)) return text;
    const Samples& x = r.left;
    text += "  level per 100 ms (dBFS):";
    for (int t = 0; t < 20; ++t) {
        if (t == 10) text += " | off:";
        text += " " + Fixed(Decibels(Rms(x, {Ms(100.0 * t), Ms(100)})), 0);
    }
    text += "\n";
    double f = program.facts.pitch > 0.0 ? kNote60Hz * program.facts.pitch : kNote60Hz;
    const double starts[3] = {15.0, 300.0, 850.0};
    for (double s : starts) {
        Window w{Ms(s), 4096};
        text += "  harmonics of " + Fixed(f, 0) + " Hz at " + Fixed(s, 0) + " ms (dBFS):";
        for (int h = 1; h <= 16; ++h)
            text += " " + Fixed(Decibels(ComponentLevel(x, w, kRenderRate, f * h)), 0);
        text += "\n";
    }
    if (program.facts.pitch <= 0.0) {
        text += "  octave bands from 62 Hz at 15 ms:";
        for (double hz = 62.5; hz < 16000.0; hz *= 2.0) {
            double sum = 0.0;
            for (int k = 0; k < 8; ++k) {
                double l =
                    ComponentLevel(x, {Ms(15), 4096}, kRenderRate, hz * std::pow(2.0, k / 8.0));
                sum += l * l;
            }
            text += " " + Fixed(Decibels(std::sqrt(sum)), 0);
        }
        text += "\n";
    }
    for (const std::string& failure : check.failures) text += "  FAILS: " + failure + "\n";
    return text;
}

} // namespace bankgen
