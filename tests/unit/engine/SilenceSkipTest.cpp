// Silence is rendered without computing the silent stages. It must give the very bits that
// computing them gives, and leave the LFO, its noise source, the chip phase and the ticks where
// they would be, so that what plays after a long silence is unchanged too.

#include "engine/ChipPhase.h"
#include "engine/Lfo.h"
#include "engine/RenderLoop.h"
#include "engine/VoiceEngine.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace engine;

namespace {

struct Result {
    std::vector<uint64_t> bits; // both outputs, every sample
    long long skipped = 0;
    double soundBefore = 0; // largest magnitude before and after the silence
    double soundAfter = 0;
    Lfo lfo;
    int32_t noiseSeed = 0;
    double chipPhase = 0;
    int leftOutBlocks = 0;        // blocks the loop left unwritten as silence
    bool leftOutUntouched = true; // and it wrote nothing into them
};

void AddEvent(MidiEventQueue& q, int offset, int status, int data1, int data2) {
    MidiEvent e;
    e.offset = offset;
    e.status = static_cast<uint8_t>(status);
    e.data1 = static_cast<uint8_t>(data1);
    e.data2 = static_cast<uint8_t>(data2);
    q.Add(e);
}

// Notes with a noise LFO on pitch and level, a release, seconds of silence with controllers
// moving, and notes again, in blocks of the given size at the given host rate.
// With leaveOut, silent blocks may be left unwritten; they count as +0 in the bits.
Result Render(double rate, int block, int seconds, bool skip, int lfoWaveform, bool lfoSync,
              bool leaveOut = false) {
    Lfo::SetNoiseSeed(1);
    VoiceEngine voices;
    MidiEventQueue midi;
    TickClock clock;
    RenderLoop loop(voices, midi, clock);
    clock.tickInterval = static_cast<int>(rate) / 1000;
    loop.Reset(rate);
    loop.SetMono(false);
    loop.SetSilenceSkip(skip);
    loop.SetPmdSource(PmdSource::ModWheel);
    voices.SetVoiceParam(6, -1, 4);  // algorithm 5: two carriers
    voices.SetVoiceParam(10, -1, 5); // feedback
    voices.SetVoiceParam(9, -1, 30); // portamento
    for (int op = 0; op < 4; ++op) {
        voices.SetVoiceParam(23 + 0, op, 1);
        voices.SetVoiceParam(23 + 1, op, 10 + 8 * op);
        voices.SetVoiceParam(23 + 4, op, 1 + op);
        voices.SetVoiceParam(23 + 11, op, 31);
        voices.SetVoiceParam(23 + 16, op, 12); // a short release
    }
    voices.SetLfoWaveform(lfoWaveform);
    voices.SetLfoSpeed(251);
    voices.SetLfoAmDepth(100);
    voices.SetLfoAmSensitivity(3);
    voices.SetLfoPmDepth(90);
    voices.SetLfoPmSensitivity(6);
    voices.SetLfoSync(lfoSync);

    Result r;
    std::vector<double> left(static_cast<size_t>(block)), right(static_cast<size_t>(block));
    const int blocksPerSecond = static_cast<int>(rate) / block + 1;
    const int silenceStart = blocksPerSecond; // notes end after about a second
    const int silenceEnd = silenceStart + seconds * blocksPerSecond;
    const int total = silenceEnd + blocksPerSecond;
    for (int b = 0; b < total; ++b) {
        if (b == 0) {
            AddEvent(midi, 10, 0x90, 60, 100);
            AddEvent(midi, block / 2, 0x90, 67, 90);
        }
        if (b == blocksPerSecond / 2) {
            AddEvent(midi, 5, 0x80, 60, 0);
            AddEvent(midi, 7, 0x80, 67, 0);
        }
        if (b > silenceStart && b < silenceEnd && b % 40 == 0) {
            // Controllers keep moving while nothing sounds: bend, the wheel driving the PM depth,
            // the pedal down and up.
            AddEvent(midi, block / 3, 0xE0, b & 127, 64);
            AddEvent(midi, 1, 0xB0, 1, (b * 7) & 127);
            AddEvent(midi, block - 2, 0xB0, 64, (b / 40) % 2 ? 127 : 0);
        }
        if (b == silenceEnd) {
            AddEvent(midi, block / 2 + 3, 0x90, 64, 110);
            AddEvent(midi, block - 1, 0x90, 48, 70);
        }
        const double untouched = 7.0;
        std::fill(left.begin(), left.end(), untouched);
        std::fill(right.begin(), right.end(), untouched);
        if (loop.RenderBlock(left.data(), right.data(), block, leaveOut)) {
            ++r.leftOutBlocks;
            for (int i = 0; i < block; ++i)
                if (left[i] != untouched || right[i] != untouched) r.leftOutUntouched = false;
            std::fill(left.begin(), left.end(), 0.0);
            std::fill(right.begin(), right.end(), 0.0);
        }
        for (int i = 0; i < block; ++i) {
            uint64_t l, rr;
            std::memcpy(&l, &left[i], 8);
            std::memcpy(&rr, &right[i], 8);
            r.bits.push_back(l);
            r.bits.push_back(rr);
            const double m = left[i] < 0 ? -left[i] : left[i];
            if (b < silenceStart && m > r.soundBefore) r.soundBefore = m;
            if (b >= silenceEnd && m > r.soundAfter) r.soundAfter = m;
        }
    }
    r.skipped = loop.SkippedFrames();
    r.lfo = voices.GetLfo();
    r.noiseSeed = Lfo::NoiseSeed();
    r.chipPhase = loop.State().chipPhase;
    return r;
}

void ExpectSameLfo(const Lfo& a, const Lfo& b) {
    EXPECT_EQ(a.phase, b.phase);
    EXPECT_EQ(a.counter, b.counter);
    EXPECT_EQ(a.fraction, b.fraction);
    EXPECT_EQ(a.noisePhase, b.noisePhase);
    EXPECT_EQ(a.noiseValue, b.noiseValue);
    EXPECT_EQ(a.amSmooth, b.amSmooth);
    EXPECT_EQ(a.amOut, b.amOut);
    EXPECT_EQ(a.pmOut, b.pmOut);
    EXPECT_EQ(a.pmDepth, b.pmDepth);
}

} // namespace

TEST(SilenceSkip, TenSecondsOfSilenceThenPlayingAgainGiveTheSameBits) {
    struct Case {
        double rate;
        int block;
        int seconds; // of silence
        int waveform;
        bool sync;
    };
    // The 16 Hz high-pass reaches exact zeros after about 10 s at 44 100 Hz (longer at higher
    // rates); only then does the skip start. 44 100 and 48 000 Hz take the integer chip-phase
    // path, 22 050 and 96 000 Hz the plain one.
    const Case cases[] = {{44100, 512, 10, kLfoNoise, false}, {44100, 512, 14, kLfoNoise, false},
                          {48000, 256, 14, kLfoNoise, true},  {22050, 100, 10, kLfoTriangle, false},
                          {96000, 1024, 24, kLfoSaw, true},   {44100, 37, 14, kLfoSquare, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, block " << c.block << ", waveform "
                                        << c.waveform << ", " << c.seconds << " s");
        const Result computed = Render(c.rate, c.block, c.seconds, false, c.waveform, c.sync);
        const Result skipped = Render(c.rate, c.block, c.seconds, true, c.waveform, c.sync);
        // There is sound on both sides of the silence, and the skip did happen (for seconds
        // where the silence is long enough).
        EXPECT_GT(computed.soundBefore, 0.01);
        EXPECT_GT(computed.soundAfter, 0.01);
        EXPECT_EQ(computed.skipped, 0);
        EXPECT_GT(skipped.skipped, c.seconds > 10 ? static_cast<long long>(2 * c.rate) : 0);
        ASSERT_EQ(computed.bits.size(), skipped.bits.size());
        size_t first = computed.bits.size();
        for (size_t i = 0; i < computed.bits.size(); ++i) {
            if (computed.bits[i] != skipped.bits[i]) {
                first = i;
                break;
            }
        }
        EXPECT_EQ(first, computed.bits.size()) << "first differing output value";
        ExpectSameLfo(computed.lfo, skipped.lfo);
        EXPECT_EQ(computed.noiseSeed, skipped.noiseSeed);
        EXPECT_EQ(computed.chipPhase, skipped.chipPhase);

        // Silent blocks left unwritten (for a host's float buffer) stand for the same +0 bits,
        // and everything else is written as before.
        const Result leftOut = Render(c.rate, c.block, c.seconds, true, c.waveform, c.sync, true);
        EXPECT_EQ(leftOut.bits, computed.bits);
        EXPECT_TRUE(leftOut.leftOutUntouched);
        EXPECT_EQ(skipped.leftOutBlocks, 0);
        if (c.seconds > 10) {
            EXPECT_GT(leftOut.leftOutBlocks, 2 * c.rate / c.block);
        }
    }
}

TEST(SilenceSkip, LfoAdvanceEqualsSingleSteps) {
    std::mt19937 rng(7);
    struct Stretch {
        uint32_t length;
        double speed;
        int pmDepth;
    };
    int movedPhase = 0;
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        Lfo stepped;
        stepped.SetWaveform(static_cast<int>(rng() % 4));
        stepped.SetSpeed(static_cast<double>(rng() % 256));
        stepped.SetAmDepth(round % 5 == 0 ? 0 : static_cast<int>(rng() % 128));
        stepped.SetAmSensitivity(static_cast<int>(rng() % 4));
        stepped.SetPmDepth(round % 7 == 0 ? 0 : static_cast<int>(rng() % 128));
        stepped.SetPmSensitivity(static_cast<int>(rng() % 8));
        stepped.counter = rng() % (1u << 20); // may lie above a fast speed's threshold
        stepped.amSmooth = static_cast<int>(rng() % 200);
        Lfo advanced = stepped;
        // Stretches with setting changes between them, as control ticks may bring.
        std::vector<Stretch> stretches;
        for (int k = 0; k < 3; ++k)
            stretches.push_back({static_cast<uint32_t>(rng() % 30000),
                                 static_cast<double>(rng() % 256), static_cast<int>(rng() % 128)});
        const int32_t seed = static_cast<int32_t>(rng() | 1u);

        Lfo::SetNoiseSeed(seed);
        for (const Stretch& s : stretches) {
            for (uint32_t i = 0; i < s.length; ++i) stepped.Step();
            stepped.SetSpeed(s.speed);
            stepped.SetPmDepth(s.pmDepth);
        }
        const int32_t seedStepped = Lfo::NoiseSeed();

        Lfo::SetNoiseSeed(seed);
        for (const Stretch& s : stretches) {
            advanced.Advance(s.length);
            advanced.SetSpeed(s.speed);
            advanced.SetPmDepth(s.pmDepth);
        }
        EXPECT_EQ(Lfo::NoiseSeed(), seedStepped);
        ExpectSameLfo(stepped, advanced);
        if (stepped.phase != 0) ++movedPhase;
    }
    // The stretches are long enough for the phase to move in most rounds.
    EXPECT_GT(movedPhase, 300);
}

TEST(SilenceSkip, ChipPhaseAdvanceEqualsTheSampleLoop) {
    std::mt19937_64 rng(11);
    const double rates[] = {44100, 48000, 32000, 31250.5, 62500, 50000, 44099.7, 22050, 96000};
    for (double rate : rates) {
        const double ratio = 62500.0 / rate;
        for (int k = 0; k < 300; ++k) {
            const double start =
                k == 0 ? 0.0 : std::uniform_real_distribution<double>(0.0, 3.0)(rng);
            const int frames = 1 + static_cast<int>(rng() % 5000);
            double fast = start;
            double plain = start;
            const uint32_t steps = AdvanceChipPhase(fast, ratio, frames);
            uint32_t plainSteps = 0;
            for (int i = 0; i < frames; ++i) {
                while (plain >= 1.0) {
                    plain -= 1.0;
                    ++plainSteps;
                }
                plain += ratio;
            }
            ASSERT_EQ(steps, plainSteps) << rate << " Hz from " << start;
            ASSERT_EQ(fast, plain) << rate << " Hz from " << start;
        }
    }
    // No host samples: no chip step and the phase as it was.
    double phase = 1.25;
    EXPECT_EQ(AdvanceChipPhase(phase, 62500.0 / 44100.0, 0), 0u);
    EXPECT_EQ(phase, 1.25);
}

TEST(SilenceSkip, ChipPhaseJumpsEqualTheSampleLoop) {
    constexpr double kUnit = 1.0 / 4503599627370496.0; // 2^-52
    constexpr uint64_t kOne = uint64_t{1} << 52;
    const auto plainAdvance = [](double& phase, double ratio, int frames) {
        uint32_t steps = 0;
        for (int i = 0; i < frames; ++i) {
            while (phase >= 1.0) {
                phase -= 1.0;
                ++steps;
            }
            phase += ratio;
        }
        return steps;
    };
    std::mt19937_64 rng(23);
    // Ratios in [1, 2) use the table; 96 000 Hz (below 1) and a ratio not prepared do not.
    const double rates[] = {44100, 48000, 32000, 31250.5, 50000, 44099.7, 62499.0, 96000};
    int jumpedStarts = 0;
    for (double rate : rates) {
        SCOPED_TRACE(testing::Message() << rate << " Hz");
        const double ratio = 62500.0 / rate;
        ChipPhaseJumps jumps;
        jumps.Prepare(ratio);
        std::vector<double> starts;
        for (int k = 0; k < 200; ++k)
            starts.push_back(static_cast<double>(rng() % (3 * kOne)) * kUnit);
        if (ratio >= 1.0 && ratio < 2.0) {
            // Fractions on and around the critical points, where a jump of 64 samples (and for
            // j < 8 one of 8) changes its path: some go by the table, some sample by sample.
            const uint64_t d = static_cast<uint64_t>(ratio / kUnit) - kOne;
            for (uint64_t j = 0; j < 64; ++j) {
                for (uint64_t edge : {kOne, 2 * kOne - (d + kOne)}) {
                    const uint64_t point = (edge - j * d) & (kOne - 1);
                    for (int64_t offset = -70; offset <= 70;
                         offset += offset < -10 || offset >= 10 ? 3 : 1) {
                        const uint64_t f = (point + static_cast<uint64_t>(offset)) & (kOne - 1);
                        starts.push_back(static_cast<double>(f + kOne) * kUnit);
                    }
                }
            }
            jumpedStarts += static_cast<int>(starts.size());
        }
        for (size_t k = 0; k < starts.size(); ++k) {
            const double start = starts[k];
            // Every other advance is short enough to begin with the jumps of 8 samples.
            const int frames = static_cast<int>(k % 2 ? 9 + rng() % 56 : 1 + rng() % 3000);
            double fast = start;
            double plain = start;
            const uint32_t steps = jumps.Advance(fast, ratio, frames);
            ASSERT_EQ(steps, plainAdvance(plain, ratio, frames)) << "from " << start;
            ASSERT_EQ(fast, plain) << "from " << start << ", " << frames << " samples";
        }
        // An idle instance: a long run of 512-sample blocks, each taken in jumps.
        double fast = starts.front();
        double plain = fast;
        for (int block = 0; block < 300; ++block) {
            ASSERT_EQ(jumps.Advance(fast, ratio, 512), plainAdvance(plain, ratio, 512));
            ASSERT_EQ(fast, plain) << "block " << block;
        }
        // Another ratio than the prepared one takes the plain way and gives its result.
        double other = 1.5;
        double otherPlain = 1.5;
        EXPECT_EQ(jumps.Advance(other, ratio * 0.75, 700),
                  plainAdvance(otherPlain, ratio * 0.75, 700));
        EXPECT_EQ(other, otherPlain);
    }
    EXPECT_GT(jumpedStarts, 5000);
}
