// Every chip kernel, forced in turn, against the reference kernel: the same chip samples and the
// same voice state, bit for bit, over a scenario that goes through every algorithm, wave and
// feedback value, every LFO waveform with and without LFO modulation, voice stealing, and groups
// of voices that are full, partly sounding, releasing or silent.

#include "VoiceTestSupport.h"
#include "engine/ChipKernel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace engine;
using namespace enginetest;

namespace {

struct KernelRun {
    std::vector<int> samples;
    std::vector<uint64_t> state;
    int stolen = 0;       // note-ons that found every voice busy
    int partialTicks = 0; // ticks with some but not all voices sounding
};

KernelRun RenderAll(ChipKernel kernel) {
    Lfo::SetNoiseSeed(1);
    VoiceEngine e;
    e.SetChipKernel(kernel);
    ApplyOrgan(e);
    e.SetLfoSpeed(235);
    e.SetVoiceParam(9, -1, 20); // some glide
    KernelRun r;
    uint32_t rng = 99;
    auto next = [&rng](uint32_t n) {
        rng = rng * 1103515245u + 12345u;
        return (rng >> 16) % n;
    };
    int step = 0;
    for (int algorithm = 0; algorithm < 8; ++algorithm) {
        for (int feedback = 0; feedback < 8; ++feedback, ++step) {
            e.SetVoiceParam(6, -1, algorithm);
            e.SetVoiceParam(10, -1, feedback);
            // Every wave on every operator across the feedback values of one algorithm.
            for (int op = 0; op < 4; ++op) e.SetVoiceParam(2 + op, -1, (feedback + 2 * op) % 8);
            for (int op = 0; op < 4; ++op) {
                OperatorValues v;
                v.level = next(30);
                v.boost = (step + op) % 3 == 0;
                v.frequency = next(16);
                v.inharmonic = next(4);
                v.detune = next(8);
                v.decay1 = next(25);
                v.decay2 = next(10);
                v.sustain = next(16);
                v.release = 9 + next(7);
                v.velocity = next(8);
                v.enable = (step + op) % 11 != 0;
                SetOperator(e, op, v);
            }
            e.SetLfoWaveform(step % 4);
            e.SetLfoPmDepth(step % 3 == 0 ? 0 : 50 + next(70));
            e.SetLfoPmSensitivity(1 + next(7));
            e.SetLfoAmDepth(step % 5 == 0 ? 0 : next(128));
            e.SetLfoAmSensitivity(next(4));
            // A burst of notes now and then fills every voice and steals; otherwise a few.
            const int notes = step % 9 == 4 ? 70 : 1 + next(5);
            for (int k = 0; k < notes; ++k) {
                bool busy = true;
                for (int v = 0; v < 64; ++v) busy = busy && e.VoiceActive(v);
                if (busy) ++r.stolen;
                e.NoteOn(24 + next(80), 1 + next(127));
            }
            for (int k = 0; k < 3 + notes / 2; ++k) e.NoteOff(24 + next(80));
            if (step % 13 == 12) e.AllNotesOff();
            for (int tick = 0; tick < 6; ++tick) {
                e.ControlUpdate(64, static_cast<double>(next(200)) - 100.0);
                int sounding = 0;
                for (int v = 0; v < 64; ++v) sounding += e.VoiceActive(v) ? 1 : 0;
                if (sounding > 0 && sounding < 64) ++r.partialTicks;
                for (int i = 0; i < 62; ++i)
                    r.samples.push_back(e.ChipSample(64, (step + tick) % 4 != 0));
            }
        }
    }
    const VoiceBank& b = e.Bank();
    for (int op = 0; op < 4; ++op) {
        for (int v = 0; v < 64; ++v) {
            uint64_t bits[4];
            std::memcpy(&bits[0], &b.x1[op][v], 8);
            std::memcpy(&bits[1], &b.x2[op][v], 8);
            std::memcpy(&bits[2], &b.y1[op][v], 8);
            std::memcpy(&bits[3], &b.y2[op][v], 8);
            r.state.insert(r.state.end(), bits, bits + 4);
            r.state.push_back(b.phase[op][v]);
            r.state.push_back(static_cast<uint32_t>(b.output[op][v]));
            r.state.push_back(static_cast<uint32_t>(b.envVolume[op][v]));
            // The envelope's state and counter too: a step that skips work must still count.
            r.state.push_back(static_cast<uint32_t>(b.envState[op][v]));
            r.state.push_back(b.envCounter[op][v]);
            // The current rate that the fast steps read is the rate of the current state.
            int32_t shift = -1;
            int32_t select = -1;
            EnvelopeRateOf(b.envRates[op][v], b.envState[op][v], shift, select);
            EXPECT_EQ(b.envShift[op][v], shift) << "op " << op << " voice " << v;
            EXPECT_EQ(b.envSelect[op][v], select) << "op " << op << " voice " << v;
        }
    }
    return r;
}

size_t FirstDifference(const std::vector<int>& a, const std::vector<int>& b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i]) return i;
    return a.size() == b.size() ? a.size() : std::min(a.size(), b.size());
}

} // namespace

TEST(ChipKernels, EveryKernelGivesTheReferenceBits) {
    const KernelRun reference = RenderAll(ChipKernel::Reference);
    // The scenario does what it claims: sound, stealing, and partly filled voice pools.
    long energy = 0;
    for (int s : reference.samples) energy += std::abs(s);
    EXPECT_GT(energy, 1000000);
    EXPECT_GT(reference.stolen, 0);
    EXPECT_GT(reference.partialTicks, 100);

    const bool ci = std::getenv("CI") != nullptr && std::string(std::getenv("CI")) == "true";
    for (ChipKernel kernel : {ChipKernel::Sse2, ChipKernel::Avx2, ChipKernel::Fast}) {
        const int id = static_cast<int>(kernel);
        SCOPED_TRACE(testing::Message() << "kernel " << id);
        if (!VoiceEngine::ChipKernelAvailable(kernel)) {
            // A 32-bit build has no AVX2 kernel; on a 64-bit CI machine it must run.
            if (ci && sizeof(void*) == 8) ADD_FAILURE() << "the AVX2 kernel cannot run here";
            continue;
        }
        VoiceEngine probe;
        ASSERT_TRUE(probe.SetChipKernel(kernel));
        if (kernel != ChipKernel::Fast) {
            EXPECT_EQ(probe.ActiveChipKernel(), kernel);
        }
        const KernelRun run = RenderAll(kernel);
        ASSERT_EQ(run.samples.size(), reference.samples.size());
        EXPECT_EQ(FirstDifference(run.samples, reference.samples), reference.samples.size())
            << "first differing chip sample";
        EXPECT_EQ(run.state, reference.state);
    }
}

TEST(ChipKernels, FastIsTheWidestAvailableAndUnavailableFallsBack) {
    VoiceEngine e;
    const ChipKernel widest =
        VoiceEngine::ChipKernelAvailable(ChipKernel::Avx2) ? ChipKernel::Avx2 : ChipKernel::Sse2;
    EXPECT_EQ(e.ActiveChipKernel(), widest); // the default
    EXPECT_TRUE(e.SetChipKernel(ChipKernel::Reference));
    EXPECT_EQ(e.ActiveChipKernel(), ChipKernel::Reference);
    EXPECT_EQ(e.SetChipKernel(ChipKernel::Avx2),
              VoiceEngine::ChipKernelAvailable(ChipKernel::Avx2));
    EXPECT_EQ(e.ActiveChipKernel(), widest);
    EXPECT_TRUE(e.SetChipKernel(ChipKernel::Sse2));
    EXPECT_EQ(e.ActiveChipKernel(), ChipKernel::Sse2);
}

// Rounding with halves away from zero, decided on the exact remainder (y - trunc(y) is exact for
// |y| < 2^31). The C library's lround is no oracle here: one runtime of the Windows builds rounds
// -0.49999999999999994 to -1.
int RoundOnTheRemainder(double y) {
    const int t = static_cast<int>(y);
    const double d = y - t;
    return t + (d >= 0.5 ? 1 : 0) - (d <= -0.5 ? 1 : 0);
}

// The kernels' rounding adds a constant just below 0.5 and truncates; it must agree with the
// remainder rule at and next to every half and whole number, where a plain "+ 0.5" fails
// (0.49999999999999994 would give 1), over the range of the operator outputs and far beyond.
TEST(ChipKernels, RoundingIsExactAtAndNextToHalves) {
    int checked = 0;
    for (double centre = -70000.0; centre <= 70000.0; centre += 0.5) {
        double below = centre;
        double above = centre;
        for (int step = 0; step < 4; ++step) {
            ASSERT_EQ(RoundHalfAway(below), RoundOnTheRemainder(below)) << below;
            ASSERT_EQ(RoundHalfAway(above), RoundOnTheRemainder(above)) << above;
            below = std::nextafter(below, -1e9);
            above = std::nextafter(above, 1e9);
            checked += 2;
        }
    }
    const struct {
        double y;
        int rounded;
    } known[] = {{0.49999999999999994, 0},
                 {-0.49999999999999994, 0},
                 {0.5, 1},
                 {-0.5, -1},
                 {1.4999999999999998, 1},
                 {2.5, 3},
                 {-2.5, -3},
                 {2147483646.5, 2147483647},
                 {-2147483647.5, -2147483647 - 1},
                 {4.9e-324, 0},
                 {-0.0, 0}};
    for (const auto& k : known) EXPECT_EQ(RoundHalfAway(k.y), k.rounded) << k.y;
    EXPECT_GT(checked, 1000000);
}
