// Every bank verdict can fail: a program whose figures pass all of them is doctored one figure at
// a time, and each doctored figure must trip its own verdict and no other. The renders below go
// one step further back: a made-up sound with the fault in it, measured as the bank checks
// measure, must be refused too.

#include "ProgramChecks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace banktest;

namespace {

constexpr double kPi = 3.14159265358979323846;

ManifestLine Line() {
    ManifestLine line;
    line.name = "Doctored";
    line.pitched = true;
    line.pitch = 1.0;
    line.onsetMs = 50.0;
    line.releaseMs = 500.0;
    return line;
}

ProgramFigures Healthy() {
    ProgramFigures f;
    f.loudnessRms = kTargetRms;
    f.chordPeak = 0.5;
    f.fullChordPeak = 0.6;
    f.dcRatio = 0.001;
    f.onsetMs = 10.0;
    f.fadeMs = 300.0;
    f.renderedReleaseMs = 750.0;
    return f;
}

struct Verdicts {
    std::string loudness, clipping, dc, onset, release;
};

Verdicts Judge(const ProgramFigures& f) {
    const ManifestLine line = Line();
    return {LoudnessFault(f), ClippingFault(f), DcFault(f), OnsetFault(f, line),
            ReleaseFault(f, line)};
}

// A sine of note 60 for one second at amplitude, then silence for 0.75 s.
StereoRender Note(double amplitude) {
    StereoRender render;
    const std::size_t held = 44100, total = 44100 + 33075;
    render.left.assign(total, 0.0f);
    for (std::size_t i = 0; i < held; ++i)
        render.left[i] =
            static_cast<float>(amplitude * std::sin(2.0 * kPi * kNote60Hz * i / 44100.0));
    render.right = render.left;
    return render;
}

ProgramFigures Measure(const StereoRender& note) {
    ProgramFigures f = Healthy();
    f.dcRatio = DcRatio(note, 0, 44100);
    f.onsetMs = OnsetMs(note, kOnsetFraction);
    f.fadeMs = FadeOutMs(note, 44100, kSilenceLevel);
    return f;
}

} // namespace

TEST(BankVerdicts, EachDoctoredFigureFailsItsOwnVerdictOnly) {
    Verdicts healthy = Judge(Healthy());
    ASSERT_EQ(healthy.loudness + healthy.clipping + healthy.dc + healthy.onset + healthy.release,
              "");

    struct Case {
        const char* what;
        std::function<void(ProgramFigures&)> doctor;
        std::string Verdicts::*fails;
    };
    const Case cases[] = {
        {"12 dB too loud", [](ProgramFigures& f) { f.loudnessRms *= 4.0; }, &Verdicts::loudness},
        {"12 dB too quiet", [](ProgramFigures& f) { f.loudnessRms /= 4.0; }, &Verdicts::loudness},
        {"silent", [](ProgramFigures& f) { f.loudnessRms = 0.0; }, &Verdicts::loudness},
        {"chord clips", [](ProgramFigures& f) { f.chordPeak = 1.2; }, &Verdicts::clipping},
        {"full chord clips", [](ProgramFigures& f) { f.fullChordPeak = 1.5; }, &Verdicts::clipping},
        {"DC of 5 %", [](ProgramFigures& f) { f.dcRatio = 0.05; }, &Verdicts::dc},
        {"late onset", [](ProgramFigures& f) { f.onsetMs = 51.0; }, &Verdicts::onset},
        {"no onset", [](ProgramFigures& f) { f.onsetMs = -1.0; }, &Verdicts::onset},
        {"long release", [](ProgramFigures& f) { f.fadeMs = 501.0; }, &Verdicts::release},
        {"never fades", [](ProgramFigures& f) { f.fadeMs = -1.0; }, &Verdicts::release},
    };
    for (const Case& c : cases) {
        ProgramFigures f = Healthy();
        c.doctor(f);
        Verdicts v = Judge(f);
        EXPECT_NE(v.*c.fails, "") << c.what << " passes";
        for (std::string Verdicts::*other : {&Verdicts::loudness, &Verdicts::clipping,
                                             &Verdicts::dc, &Verdicts::onset, &Verdicts::release})
            if (other != c.fails) {
                EXPECT_EQ(v.*other, "") << c.what;
            }
    }
}

TEST(BankVerdicts, DoctoredSoundsAreRefused) {
    // The plain note passes DC, onset and release.
    StereoRender plain = Note(0.1);
    ASSERT_GT(Peak(plain, 0, plain.Frames()), 0.09);
    Verdicts v = Judge(Measure(plain));
    ASSERT_EQ(v.dc + v.onset + v.release, "");

    // The same note riding on an offset of a tenth of its RMS.
    StereoRender offset = plain;
    for (std::size_t i = 0; i < 44100; ++i) {
        offset.left[i] += 0.007f;
        offset.right[i] += 0.007f;
    }
    EXPECT_NE(Judge(Measure(offset)).dc, "");

    // A swell that reaches -40 dB of its peak only after some 130 ms.
    StereoRender swell = plain;
    for (std::size_t i = 0; i < 44100; ++i) {
        float gain = static_cast<float>(std::pow(std::min(1.0, i / 44100.0 / 0.6), 3.0));
        swell.left[i] *= gain;
        swell.right[i] *= gain;
    }
    EXPECT_NE(Judge(Measure(swell)).onset, "");

    // A tail that rings on at -40 dBFS for 600 ms after the note-off.
    StereoRender ringing = plain;
    for (std::size_t i = 44100; i < 44100 + 26460; ++i)
        ringing.left[i] = ringing.right[i] =
            static_cast<float>(0.01 * std::sin(2.0 * kPi * kNote60Hz * i / 44100.0));
    EXPECT_NE(Judge(Measure(ringing)).release, "");
    // And one that never stops within the render.
    for (std::size_t i = 44100; i < ringing.Frames(); ++i)
        ringing.left[i] = ringing.right[i] = 0.01f;
    EXPECT_NE(Judge(Measure(ringing)).release, "");
}
