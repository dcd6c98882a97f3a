// The group kernel with SSE2: phase indices and phase advance four lanes at a time, the output
// low-pass of two lanes in one register; the table look-ups stay scalar. Without SSE2 the same
// arithmetic runs lane by lane. Both store and return exactly what the reference kernel does.

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/ChipKernel.h"

namespace engine {

namespace {

constexpr int kLanes = kGroupLanes;

// The output low-pass of lanes [0, kLanes) of one operator, and the rounding of its result. The
// filter state keeps only integers in x1 and x2 and flushes non-normal results before storing y,
// which gives the same values as replacing non-normal states when they are read.
template <bool kAllActive>
inline void FilterLanes(const GroupInput& c, int op, int base, const int32_t* x, const bool* active,
                        int* result) {
    VoiceBank& b = *c.bank;
    double* __restrict x1Row = b.x1[op] + base;
    double* __restrict x2Row = b.x2[op] + base;
    double* __restrict y1Row = b.y1[op] + base;
    double* __restrict y2Row = b.y2[op] + base;
#if defined(__SSE2__)
    const __m128d b0 = _mm_set1_pd(c.b0), b1 = _mm_set1_pd(c.b1);
    const __m128d c1 = _mm_set1_pd(c.c1), c2 = _mm_set1_pd(c.c2);
    const __m128d absMask = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFFll));
    const __m128d smallest = _mm_set1_pd(kSmallestNormal);
    const __m128d belowHalf = _mm_set1_pd(kBelowHalf);
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
        const __m128d normal = _mm_cmpge_pd(magnitude, smallest);
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
        // Round halves away from zero as RoundHalfAway does: add the largest double below 0.5
        // with the sign of y, then truncate.
        const __m128i rounded =
            _mm_cvttpd_epi32(_mm_add_pd(y, _mm_or_pd(_mm_andnot_pd(absMask, y), belowHalf)));
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
        const double a = y < 0 ? -y : y;
        y1Row[j] = a >= kSmallestNormal ? y : 0.0;
        result[j] = RoundHalfAway(y);
    }
#endif
}

// One operator for all lanes of the group at slot base: look-ups, phase advance, output filter.
template <bool kWithPm, bool kAllActive>
inline void RunStage(const GroupInput& c, int op, int base, const bool* active,
                     const uint32_t* modulation, int pm, int am, int* result) {
    const EngineTables& t = *c.tables;
    const OperatorSettings& s = c.ops[op];
    const int32_t* __restrict wave = t.wave[s.wave];
    const int32_t* __restrict tl = t.tl;
    VoiceBank& b = *c.bank;
    uint32_t* __restrict phaseRow = b.phase[op] + base;
    const uint32_t* __restrict incRow = b.increment[op] + base;
    const int32_t* __restrict levelRow = b.totalLevel[op] + base;
    const int32_t* __restrict volumeRow = b.envVolume[op] + base;
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
            const int a = (levelRow[j] + volumeRow[j] + am) * 8 + wave[index[j]];
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
        const int a = (levelRow[j] + volumeRow[j] + am) * 8 + wave[i];
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

template <bool kWithPm, bool kAllActive>
int Group(const GroupInput& c, int base, const bool* active, int pm, int am) {
    const Routing& r = c.routing;
    const OperatorSettings* ops = c.ops;
    const VoiceBank& bank = *c.bank;
    // Rows of the sums 0, out1, out2, out3, out1+out2, out1+out3, out2+out3, out1+out2+out3.
    alignas(16) int sums[8][kLanes];
    for (int j = 0; j < kLanes; ++j) sums[0][j] = 0;
    uint32_t modulation[kLanes];
    if (ops[3].enabled) {
        for (int j = 0; j < kLanes; ++j)
            modulation[j] = static_cast<uint32_t>(bank.output[3][base + j]) << c.feedbackShift;
        RunStage<kWithPm, kAllActive>(c, 3, base, active, modulation, pm, ops[3].boost ? 0 : am,
                                      sums[3]);
    } else {
        for (int j = 0; j < kLanes; ++j) sums[3][j] = 0;
    }
    if (ops[2].enabled) {
        for (int j = 0; j < kLanes; ++j)
            modulation[j] = static_cast<uint32_t>(sums[r.input2][j]) << 15;
        RunStage<kWithPm, kAllActive>(c, 2, base, active, modulation, pm, ops[2].boost ? 0 : am,
                                      sums[2]);
    } else {
        for (int j = 0; j < kLanes; ++j) sums[2][j] = 0;
    }
    for (int j = 0; j < kLanes; ++j) sums[6][j] = sums[2][j] + sums[3][j];
    if (ops[1].enabled) {
        for (int j = 0; j < kLanes; ++j)
            modulation[j] = static_cast<uint32_t>(sums[r.input1][j]) << 15;
        RunStage<kWithPm, kAllActive>(c, 1, base, active, modulation, pm, ops[1].boost ? 0 : am,
                                      sums[1]);
    } else {
        for (int j = 0; j < kLanes; ++j) sums[1][j] = 0;
    }
    for (int j = 0; j < kLanes; ++j) {
        sums[4][j] = sums[1][j] + sums[2][j];
        sums[5][j] = sums[1][j] + sums[3][j];
        sums[7][j] = sums[1][j] + sums[2][j] + sums[3][j];
    }
    alignas(16) int out0[kLanes];
    if (ops[0].enabled) {
        for (int j = 0; j < kLanes; ++j)
            modulation[j] = static_cast<uint32_t>(sums[r.input0][j]) << 15;
        RunStage<kWithPm, kAllActive>(c, 0, base, active, modulation, pm, ops[0].boost ? 0 : am,
                                      out0);
    } else {
        for (int j = 0; j < kLanes; ++j) out0[j] = 0;
    }
    int total = 0;
    for (int j = 0; j < kLanes; ++j) total += sums[r.carrier][j] + out0[j];
    return total;
}

} // namespace

int ChipGroupSse2(const GroupInput& in, int base, const bool* active, bool full, int pm, int am) {
    if (pm != 0)
        return full ? Group<true, true>(in, base, active, pm, am)
                    : Group<true, false>(in, base, active, pm, am);
    return full ? Group<false, true>(in, base, active, 0, am)
                : Group<false, false>(in, base, active, 0, am);
}

} // namespace engine
