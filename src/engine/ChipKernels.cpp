// The chip-rate computation of the voices: a literal reference kernel, one voice after another,
// and a fast kernel that runs groups of voices side by side so that their table look-ups and
// filter arithmetic overlap. Both do the same integer work and the same floating-point
// operations in the same order, so they give identical bits (a unit test checks this).

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/VoiceEngine.h"

namespace engine {

namespace {

// Modulation inputs of op[0], op[1], op[2] and the extra carrier sum, as indices into the sums
// 0, out1, out2, out3, out1+out2, out1+out3, out2+out3, out1+out2+out3.
struct Routing {
    int input0, input1, input2, carrier;
};
constexpr Routing kRouting[8] = {
    {1, 2, 3, 0}, {1, 6, 0, 0}, {5, 2, 0, 0}, {4, 0, 3, 0},
    {1, 0, 3, 2}, {3, 3, 3, 4}, {0, 0, 3, 4}, {0, 0, 0, 7},
};

inline int ClampFreqIndex(int i) {
    return i < 0 ? 0 : (i > kFreqIndexMax ? kFreqIndexMax : i);
}

// round() with halves away from zero, for finite |y| < 2^31: y - trunc(y) is exact.
inline int RoundHalfAway(double y) {
    const int t = static_cast<int>(y);
    const double d = y - t;
    return t + (d >= 0.5 ? 1 : 0) - (d <= -0.5 ? 1 : 0);
}

} // namespace

int VoiceEngine::ChipSample(int voiceCount, bool lfoEnabled) {
    if (voiceCount < 0) voiceCount = 0;
    if (voiceCount > kVoiceCount) voiceCount = kVoiceCount;
    lfo.Step();
    const int pm = lfoEnabled ? lfo.pmOut : 0;
    const int am = lfoEnabled ? lfo.amOut : 0;
    return chipKernel == ChipKernel::Fast ? ChipSampleFast(voiceCount, pm, am)
                                          : ChipSampleReference(voiceCount, pm, am);
}

// ---------------------------------------------------------------------------------------------
// Reference kernel: the voice and operator steps exactly as described, one voice at a time.

int VoiceEngine::ChipSampleReference(int voiceCount, int pm, int am) {
    int sum = 0;
    for (int v = 0; v < voiceCount; ++v) sum += VoiceChipSample(v, pm, am);
    return sum;
}

int VoiceEngine::VoiceChipSample(int v, int pm, int am) {
    if (!bank.voice[v].active) return 0;
    if (--bank.egDivider[v] <= 0) {
        bank.egDivider[v] = 3;
        for (int op = 0; op < 4; ++op) EnvelopeStep(bank.env[op][v], ops[op].env.sustainLevel);
    }
    const Routing& r = kRouting[algorithm];
    int sums[8] = {};
    const uint32_t feedback = static_cast<uint32_t>(bank.output[3][v]) << feedbackShift;
    sums[3] = ops[3].enabled ? OperatorOutput(v, 3, feedback, pm, ops[3].boost ? 0 : am) : 0;
    sums[2] = ops[2].enabled ? OperatorOutput(v, 2, static_cast<uint32_t>(sums[r.input2]) << 15, pm,
                                              ops[2].boost ? 0 : am)
                             : 0;
    sums[6] = sums[2] + sums[3];
    sums[1] = ops[1].enabled ? OperatorOutput(v, 1, static_cast<uint32_t>(sums[r.input1]) << 15, pm,
                                              ops[1].boost ? 0 : am)
                             : 0;
    sums[4] = sums[1] + sums[2];
    sums[5] = sums[1] + sums[3];
    sums[7] = sums[1] + sums[2] + sums[3];
    const int out0 = ops[0].enabled
                         ? OperatorOutput(v, 0, static_cast<uint32_t>(sums[r.input0]) << 15, pm,
                                          ops[0].boost ? 0 : am)
                         : 0;
    return sums[r.carrier] + out0;
}

int VoiceEngine::OperatorOutput(int v, int op, uint32_t modulation, int pm, int am) {
    const EngineTables& t = Tables();
    const OperatorSettings& s = ops[op];
    const uint32_t phase = bank.phase[op][v];
    const int i = static_cast<int>(((phase & 0xFFFF0000u) + modulation) >> 16) & 1023;

    const int sine = t.sin[i];
    const int half = t.sin[i < 512 ? i : 0];
    const int full = i < 512 ? t.sin[2 * i] : t.sin[0];
    const int humps = i < 512 ? t.sin[2 * (i % 256)] : t.sin[0];
    const int shapes[4] = {sine, half, full, humps};
    int l = shapes[s.wave >> 1];
    if (s.wave & 1) l = 2 * l + (l & 1);

    const int a = (bank.totalLevel[op][v] + bank.env[op][v].volume + am) * 8 + l;
    const int output = a < kTlTabSize ? t.tl[a] : 0;
    bank.output[op][v] = output;

    uint32_t inc;
    if (pm != 0) {
        const int fi = ClampFreqIndex(bank.voice[v].freqIndex + s.inharmonic + pm);
        inc = (static_cast<uint32_t>(t.freq[fi] + bank.dt1Offset[op][v]) * s.multiplier) >> 1;
    } else {
        inc = bank.increment[op][v];
    }
    bank.phase[op][v] = phase + inc;

    // The output low-pass, literally as Filter::Process does it.
    double& x1 = bank.x1[op][v];
    double& x2 = bank.x2[op][v];
    double& y1 = bank.y1[op][v];
    double& y2 = bank.y2[op][v];
    double x = output;
    if (!IsNormalFinite(x)) x = 0.0;
    if (!IsNormalFinite(x1)) x1 = 0.0;
    if (!IsNormalFinite(x2)) x2 = 0.0;
    if (!IsNormalFinite(y1)) y1 = 0.0;
    if (!IsNormalFinite(y2)) y2 = 0.0;
    const double y =
        ((opFilter.b0 * (x + x2) + opFilter.b1 * x1) + opFilter.c1 * y1) + opFilter.c2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return static_cast<int>(std::lround(y));
}

// ---------------------------------------------------------------------------------------------
// Fast kernel: the voices in fixed groups of kLanes neighbouring slots. Each operator stage runs
// over all lanes of a group before the next stage, so the independent voices fill each other's
// latencies, and the output filters of two neighbouring voices run in one SSE2 register. Lanes of
// inactive voices are computed but nothing of theirs is stored and their results are dropped.

namespace {

constexpr int kLanes = 8;
static_assert(kVoiceSlots % kLanes == 0, "whole groups");

struct StageContext {
    const EngineTables* t;
    VoiceBank* bank;
    double b0, b1, c1, c2;
};

// The output low-pass of lanes [0, kLanes) of one operator, and the rounding of its result. The
// filter state keeps only integers in x1 and x2 and flushes non-normal results before storing y,
// which gives the same values as replacing non-normal states when they are read.
template <bool kAllActive>
inline void FilterLanes(const StageContext& c, int op, int base, const int32_t* x,
                        const bool* active, int* result) {
    VoiceBank& b = *c.bank;
    double* __restrict x1Row = b.x1[op] + base;
    double* __restrict x2Row = b.x2[op] + base;
    double* __restrict y1Row = b.y1[op] + base;
    double* __restrict y2Row = b.y2[op] + base;
#if defined(__SSE2__)
    const __m128d b0 = _mm_set1_pd(c.b0), b1 = _mm_set1_pd(c.b1);
    const __m128d c1 = _mm_set1_pd(c.c1), c2 = _mm_set1_pd(c.c2);
    const __m128d absMask = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFFll));
    const __m128d smallest = _mm_set1_pd(2.2250738585072014e-308);
    const __m128d largest = _mm_set1_pd(1.7976931348623157e308);
    const __m128d half = _mm_set1_pd(0.5), minusHalf = _mm_set1_pd(-0.5);
    for (int j = 0; j < kLanes; j += 2) {
        const __m128d m = kAllActive ? _mm_setzero_pd()
                                     : _mm_castsi128_pd(_mm_set_epi64x(active[j + 1] ? -1ll : 0ll,
                                                                       active[j] ? -1ll : 0ll));
        const __m128d in =
            _mm_cvtepi32_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(x + j)));
        const __m128d x1 = _mm_load_pd(x1Row + j);
        const __m128d x2 = _mm_load_pd(x2Row + j);
        const __m128d y1 = _mm_load_pd(y1Row + j);
        const __m128d y2 = _mm_load_pd(y2Row + j);
        const __m128d y = _mm_add_pd(
            _mm_add_pd(_mm_add_pd(_mm_mul_pd(b0, _mm_add_pd(in, x2)), _mm_mul_pd(b1, x1)),
                       _mm_mul_pd(c1, y1)),
            _mm_mul_pd(c2, y2));
        const __m128d magnitude = _mm_and_pd(y, absMask);
        const __m128d normal =
            _mm_and_pd(_mm_cmpge_pd(magnitude, smallest), _mm_cmple_pd(magnitude, largest));
        const __m128d stored = _mm_and_pd(y, normal);
        if (kAllActive) {
            _mm_store_pd(x2Row + j, x1);
            _mm_store_pd(x1Row + j, in);
            _mm_store_pd(y2Row + j, y1);
            _mm_store_pd(y1Row + j, stored);
        } else {
            _mm_store_pd(x2Row + j, _mm_or_pd(_mm_and_pd(m, x1), _mm_andnot_pd(m, x2)));
            _mm_store_pd(x1Row + j, _mm_or_pd(_mm_and_pd(m, in), _mm_andnot_pd(m, x1)));
            _mm_store_pd(y2Row + j, _mm_or_pd(_mm_and_pd(m, y1), _mm_andnot_pd(m, y2)));
            _mm_store_pd(y1Row + j, _mm_or_pd(_mm_and_pd(m, stored), _mm_andnot_pd(m, y1)));
        }
        // Round halves away from zero: trunc, then one step out where the rest reaches 0.5.
        const __m128i t = _mm_cvttpd_epi32(y);
        const __m128d rest = _mm_sub_pd(y, _mm_cvtepi32_pd(t));
        const __m128i up = _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmpge_pd(rest, half)), 0x08);
        const __m128i down =
            _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmple_pd(rest, minusHalf)), 0x08);
        const __m128i rounded = _mm_add_epi32(_mm_sub_epi32(t, up), down);
        if (kAllActive) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(result + j), rounded);
        } else {
            const __m128i keep = _mm_shuffle_epi32(_mm_castpd_si128(m), 0x08);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(result + j), _mm_and_si128(rounded, keep));
        }
    }
#else
    for (int j = 0; j < kLanes; ++j) {
        if (!kAllActive && !active[j]) {
            result[j] = 0;
            continue;
        }
        const double in = x[j];
        const double y =
            ((c.b0 * (in + x2Row[j]) + c.b1 * x1Row[j]) + c.c1 * y1Row[j]) + c.c2 * y2Row[j];
        x2Row[j] = x1Row[j];
        x1Row[j] = in;
        y2Row[j] = y1Row[j];
        y1Row[j] = IsNormalFinite(y) ? y : 0.0;
        result[j] = RoundHalfAway(y);
    }
#endif
}

// One operator for all lanes of the group at slot base: look-ups, phase advance, output filter.
template <bool kWithPm, bool kAllActive>
inline void RunStage(const StageContext& c, const OperatorSettings& s, int op, int base,
                     const bool* active, const uint32_t* modulation, int pm, int am, int* result) {
    const EngineTables& t = *c.t;
    const int32_t* __restrict wave = t.wave[s.wave];
    const int32_t* __restrict tl = t.tl;
    VoiceBank& b = *c.bank;
    uint32_t* __restrict phaseRow = b.phase[op] + base;
    const uint32_t* __restrict incRow = b.increment[op] + base;
    const int32_t* __restrict levelRow = b.totalLevel[op] + base;
    const Envelope* __restrict envRow = b.env[op] + base;
    int32_t* __restrict outRow = b.output[op] + base;
    alignas(16) int32_t x[kLanes];
#if defined(__SSE2__)
    if (!kWithPm && kAllActive) {
        // Phase indices and phase advance four lanes at a time; the look-ups stay scalar.
        alignas(16) uint32_t index[kLanes];
        const __m128i highBits = _mm_set1_epi32(static_cast<int>(0xFFFF0000u));
        const __m128i indexMask = _mm_set1_epi32(1023);
        for (int j = 0; j < kLanes; j += 4) {
            const __m128i phase = _mm_load_si128(reinterpret_cast<const __m128i*>(phaseRow + j));
            const __m128i mod = _mm_loadu_si128(reinterpret_cast<const __m128i*>(modulation + j));
            const __m128i i = _mm_and_si128(
                _mm_srli_epi32(_mm_add_epi32(_mm_and_si128(phase, highBits), mod), 16), indexMask);
            _mm_store_si128(reinterpret_cast<__m128i*>(index + j), i);
            const __m128i inc = _mm_load_si128(reinterpret_cast<const __m128i*>(incRow + j));
            _mm_store_si128(reinterpret_cast<__m128i*>(phaseRow + j), _mm_add_epi32(phase, inc));
        }
        for (int j = 0; j < kLanes; ++j) {
            const int a = (levelRow[j] + envRow[j].volume + am) * 8 + wave[index[j]];
            const int output = tl[a < kTlTabSize ? a : kTlTabSize];
            x[j] = output;
            outRow[j] = output;
        }
        FilterLanes<kAllActive>(c, op, base, x, active, result);
        return;
    }
#endif
    for (int j = 0; j < kLanes; ++j) {
        const uint32_t phase = phaseRow[j];
        const unsigned i = (((phase & 0xFFFF0000u) + modulation[j]) >> 16) & 1023u;
        const int a = (levelRow[j] + envRow[j].volume + am) * 8 + wave[i];
        const int output = tl[a < kTlTabSize ? a : kTlTabSize];
        x[j] = output;
        uint32_t inc;
        if (kWithPm) {
            const int fi = ClampFreqIndex(b.voice[base + j].freqIndex + s.inharmonic + pm);
            inc =
                (static_cast<uint32_t>(t.freq[fi] + b.dt1Offset[op][base + j]) * s.multiplier) >> 1;
        } else {
            inc = incRow[j];
        }
        if (kAllActive || active[j]) {
            outRow[j] = output;
            phaseRow[j] = phase + inc;
        }
    }
    FilterLanes<kAllActive>(c, op, base, x, active, result);
}

} // namespace

void VoiceEngine::RebuildActiveList(int voiceCount) {
    activeCount = 0;
    for (int g = 0; g < kVoiceCount / kLanes; ++g) {
        bool any = false;
        bool all = true;
        for (int j = 0; j < kLanes; ++j) {
            const int v = g * kLanes + j;
            laneActive[v] = v < voiceCount && bank.voice[v].active;
            any = any || laneActive[v];
            all = all && laneActive[v];
        }
        if (any) {
            groupFull[activeCount] = all;
            activeList[activeCount++] = g * kLanes;
        }
    }
    activeListLimit = voiceCount;
    activeDirty = false;
}

int VoiceEngine::ChipSampleFast(int voiceCount, int pm, int am) {
    if (activeDirty || activeListLimit != voiceCount) RebuildActiveList(voiceCount);
    if (activeCount == 0) return 0;
    int total = 0;
    for (int g = 0; g < activeCount; ++g) {
        const int base = activeList[g];
        if (pm != 0)
            total += groupFull[g] ? ChipGroup<true, true>(base, pm, am)
                                  : ChipGroup<true, false>(base, pm, am);
        else
            total += groupFull[g] ? ChipGroup<false, true>(base, 0, am)
                                  : ChipGroup<false, false>(base, 0, am);
    }
    return total;
}

template <bool kWithPm, bool kAllActive> int VoiceEngine::ChipGroup(int base, int pm, int am) {
    const StageContext c{&Tables(), &bank, opFilter.b0, opFilter.b1, opFilter.c1, opFilter.c2};
    const Routing& r = kRouting[algorithm];
    const int am0 = ops[0].boost ? 0 : am;
    const int am1 = ops[1].boost ? 0 : am;
    const int am2 = ops[2].boost ? 0 : am;
    const int am3 = ops[3].boost ? 0 : am;

    const bool* active = laneActive + base;
    {

        for (int j = 0; j < kLanes; ++j) {
            const int v = base + j;
            if ((kAllActive || active[j]) && --bank.egDivider[v] <= 0) {
                bank.egDivider[v] = 3;
                for (int op = 0; op < 4; ++op)
                    EnvelopeStep(bank.env[op][v], ops[op].env.sustainLevel);
            }
        }

        alignas(16) int sums[8][kLanes] = {};
        uint32_t modulation[kLanes];
        if (ops[3].enabled) {
            for (int j = 0; j < kLanes; ++j)
                modulation[j] = static_cast<uint32_t>(bank.output[3][base + j]) << feedbackShift;
            RunStage<kWithPm, kAllActive>(c, ops[3], 3, base, active, modulation, pm, am3, sums[3]);
        }
        if (ops[2].enabled) {
            for (int j = 0; j < kLanes; ++j)
                modulation[j] = static_cast<uint32_t>(sums[r.input2][j]) << 15;
            RunStage<kWithPm, kAllActive>(c, ops[2], 2, base, active, modulation, pm, am2, sums[2]);
        }
        for (int j = 0; j < kLanes; ++j) sums[6][j] = sums[2][j] + sums[3][j];
        if (ops[1].enabled) {
            for (int j = 0; j < kLanes; ++j)
                modulation[j] = static_cast<uint32_t>(sums[r.input1][j]) << 15;
            RunStage<kWithPm, kAllActive>(c, ops[1], 1, base, active, modulation, pm, am1, sums[1]);
        }
        for (int j = 0; j < kLanes; ++j) {
            sums[4][j] = sums[1][j] + sums[2][j];
            sums[5][j] = sums[1][j] + sums[3][j];
            sums[7][j] = sums[1][j] + sums[2][j] + sums[3][j];
        }
        alignas(16) int out0[kLanes] = {};
        if (ops[0].enabled) {
            for (int j = 0; j < kLanes; ++j)
                modulation[j] = static_cast<uint32_t>(sums[r.input0][j]) << 15;
            RunStage<kWithPm, kAllActive>(c, ops[0], 0, base, active, modulation, pm, am0, out0);
        }
        int total = 0;
        for (int j = 0; j < kLanes; ++j) total += sums[r.carrier][j] + out0[j];
        return total;
    }
}

} // namespace engine
