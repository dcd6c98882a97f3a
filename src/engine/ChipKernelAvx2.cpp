// The group kernel with AVX2: the eight lanes of a group in one register for the phases, the
// table look-ups, the levels and the phase advance, and the output low-pass of four lanes at a
// time. Products and sums are separate instructions in the reference kernel's order
// (this file is compiled without FMA), so the bits are the same.
//
// Compiled for AVX2 and run only where the processor has it: nothing here may be shared with the
// other files (see ChipKernel.h).

#include <immintrin.h>

#include <cstddef>

#include "engine/ChipKernel.h"

namespace engine {

namespace {

static_assert(kGroupLanes == 8, "one register of eight lanes");
static_assert(sizeof(VoiceControl) % 4 == 0, "gather stride");

constexpr long long kSignBit = static_cast<long long>(0x8000000000000000ull);

// A constant the compiler may not rebuild: left to itself it makes some constants from
// immediates and spreads them across the register with a shuffle at every use, competing with the
// look-ups for the one shuffle port; hidden, they stay in a register or are read back from memory.
inline __m256i Opaque(__m256i v) {
    __asm__("" : "+x"(v));
    return v;
}

// Eight lane flags as all-ones or all-zero 32-bit lanes.
inline __m256i LaneMask(const bool* active) {
    const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(active));
    return _mm256_cmpgt_epi32(_mm256_cvtepu8_epi32(bytes), _mm256_setzero_si256());
}

// 32-bit values at the same field of eight neighbouring records.
template <typename Record>
inline __m256i GatherField(const Record* first, std::size_t fieldOffset) {
    constexpr int kStride = static_cast<int>(sizeof(Record) / 4);
    const __m256i index = _mm256_setr_epi32(0, kStride, 2 * kStride, 3 * kStride, 4 * kStride,
                                            5 * kStride, 6 * kStride, 7 * kStride);
    const int* base =
        reinterpret_cast<const int*>(reinterpret_cast<const char*>(first) + fieldOffset);
    return _mm256_i32gather_epi32(base, index, 4);
}

// table[index] for eight indices: the indices are stored in two halves and read back one by one
// (cheaper than extracting them from the register; a narrow read of the upper half of one wide
// store is not forwarded on some processors), and the eight values are read into a small array
// taken as one register, which compilers turn into insertions straight from the table. The indices
// are never negative, so they are taken as unsigned values, which index without a sign extension.
inline __m256i Lookup(const int32_t* table, __m256i index) {
    alignas(32) uint32_t i[8];
    alignas(32) int32_t value[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(i), _mm256_castsi256_si128(index));
    _mm_store_si128(reinterpret_cast<__m128i*>(i + 4), _mm256_extracti128_si256(index, 1));
    for (int k = 0; k < 8; ++k) value[k] = table[i[k]];
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(value));
}

inline __m256i Blend(__m256i old, __m256i value, __m256i mask) {
    return _mm256_blendv_epi8(old, value, mask);
}

// The output low-pass and rounding of four lanes (half 0 or 1 of the group).
template <bool kAllActive>
inline __m128i FilterHalf(const GroupInput& c, int op, int at, __m128i x, __m128i mask) {
    VoiceBank& b = *c.bank;
    double* x1Row = b.x1[op] + at;
    double* x2Row = b.x2[op] + at;
    double* y1Row = b.y1[op] + at;
    double* y2Row = b.y2[op] + at;
    const __m256d in = _mm256_cvtepi32_pd(x);
    const __m256d x1 = _mm256_load_pd(x1Row);
    const __m256d x2 = _mm256_load_pd(x2Row);
    const __m256d y1 = _mm256_load_pd(y1Row);
    const __m256d y2 = _mm256_load_pd(y2Row);
    const double* k = c.filterRows;
    const __m256d y = _mm256_add_pd(
        _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(_mm256_load_pd(k), _mm256_add_pd(in, x2)),
                                    _mm256_mul_pd(_mm256_load_pd(k + 4), x1)),
                      _mm256_mul_pd(_mm256_load_pd(k + 8), y1)),
        _mm256_mul_pd(_mm256_load_pd(k + 12), y2));
    // Subnormal results are stored as 0 (see kSmallestNormal).
    const __m256d magnitude =
        _mm256_and_pd(y, _mm256_castsi256_pd(_mm256_set1_epi64x(0x7FFFFFFFFFFFFFFFll)));
    const __m256d normal = _mm256_cmp_pd(magnitude, _mm256_set1_pd(kSmallestNormal), _CMP_GE_OQ);
    const __m256d stored = _mm256_and_pd(y, normal);
    if (kAllActive) {
        _mm256_store_pd(x2Row, x1);
        _mm256_store_pd(x1Row, in);
        _mm256_store_pd(y2Row, y1);
        _mm256_store_pd(y1Row, stored);
    } else {
        const __m256d m = _mm256_castsi256_pd(_mm256_cvtepi32_epi64(mask));
        _mm256_store_pd(x2Row, _mm256_blendv_pd(x2, x1, m));
        _mm256_store_pd(x1Row, _mm256_blendv_pd(x1, in, m));
        _mm256_store_pd(y2Row, _mm256_blendv_pd(y2, y1, m));
        _mm256_store_pd(y1Row, _mm256_blendv_pd(y1, stored, m));
    }
    // Round halves away from zero as RoundHalfAway does: add the largest double below 0.5 with
    // the sign of y, then truncate.
    const __m256d sign = _mm256_and_pd(y, _mm256_castsi256_pd(_mm256_set1_epi64x(kSignBit)));
    const __m256d half = _mm256_or_pd(sign, _mm256_set1_pd(kBelowHalf));
    const __m128i rounded = _mm256_cvttpd_epi32(_mm256_add_pd(y, half));
    return kAllActive ? rounded : _mm_and_si128(rounded, mask);
}

// One operator for the eight lanes: look-ups, phase advance, output filter. Returns the rounded
// filter outputs (0 in lanes that do not sound).
// The integer constants of a stage.
struct StageConstants {
    __m256i phaseHighBits, indexMask, tlLimit;
};

template <bool kWithPm, bool kAllActive>
inline __m256i Stage(const GroupInput& c, const StageConstants& k, int op, int base, __m256i mask,
                     __m256i modulation, int pm, int am) {
    const EngineTables& t = *c.tables;
    const OperatorSettings& s = c.ops[op];
    VoiceBank& b = *c.bank;
    __m256i* phaseRow = reinterpret_cast<__m256i*>(b.phase[op] + base);
    __m256i* outRow = reinterpret_cast<__m256i*>(b.output[op] + base);

    const __m256i phase = _mm256_load_si256(phaseRow);
    const __m256i index = _mm256_and_si256(
        _mm256_srli_epi32(_mm256_add_epi32(_mm256_and_si256(phase, k.phaseHighBits), modulation),
                          16),
        k.indexMask);
    const __m256i wave = Lookup(t.wave[s.wave], index);
    const __m256i volume =
        _mm256_load_si256(reinterpret_cast<const __m256i*>(b.envVolume[op] + base));
    const __m256i level =
        _mm256_load_si256(reinterpret_cast<const __m256i*>(b.totalLevel[op] + base));
    const __m256i attenuation = _mm256_add_epi32(
        _mm256_slli_epi32(_mm256_add_epi32(_mm256_add_epi32(level, volume), _mm256_set1_epi32(am)),
                          3),
        wave);
    // From kTlTabSize on the output is 0: the table's extra entry there is 0. This look-up is a
    // gather: measured, it is faster here than eight loads, while for the wave look-up above
    // (and the frequency look-up below) the loads are faster.
    const __m256i output =
        _mm256_i32gather_epi32(t.tl, _mm256_min_epi32(attenuation, k.tlLimit), 4);

    __m256i increment;
    if (kWithPm) {
        const __m256i freqIndex = GatherField(&b.voice[base], offsetof(VoiceControl, freqIndex));
        const __m256i fi = _mm256_min_epi32(
            _mm256_max_epi32(_mm256_add_epi32(freqIndex, _mm256_set1_epi32(s.inharmonic + pm)),
                             _mm256_setzero_si256()),
            _mm256_set1_epi32(kFreqIndexMax));
        const __m256i frequency = _mm256_add_epi32(
            Lookup(t.freq, fi),
            _mm256_load_si256(reinterpret_cast<const __m256i*>(b.dt1Offset[op] + base)));
        increment = _mm256_srli_epi32(
            _mm256_mullo_epi32(frequency, _mm256_set1_epi32(static_cast<int>(s.multiplier))), 1);
    } else {
        increment = _mm256_load_si256(reinterpret_cast<const __m256i*>(b.increment[op] + base));
    }
    const __m256i advanced = _mm256_add_epi32(phase, increment);
    if (kAllActive) {
        _mm256_store_si256(outRow, output);
        _mm256_store_si256(phaseRow, advanced);
    } else {
        _mm256_store_si256(outRow, Blend(_mm256_load_si256(outRow), output, mask));
        _mm256_store_si256(phaseRow, Blend(phase, advanced, mask));
    }

    const __m128i low = FilterHalf<kAllActive>(c, op, base, _mm256_castsi256_si128(output),
                                               _mm256_castsi256_si128(mask));
    const __m128i high = FilterHalf<kAllActive>(
        c, op, base + 4, _mm256_extracti128_si256(output, 1), _mm256_extracti128_si256(mask, 1));
    return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
}

template <bool kWithPm, bool kAllActive>
int Group(const GroupInput& input, int base, const bool* active, int pm, int am) {
    // A local copy: the stores to the voice rows cannot alias it, so the pointers and filter
    // coefficients stay in registers instead of being read again after every store.
    const GroupInput c = input;
    const Routing& r = c.routing;
    const OperatorSettings* ops = c.ops;
    const __m256i mask = kAllActive ? _mm256_set1_epi32(-1) : LaneMask(active);
    const __m256i zero = _mm256_setzero_si256();
    const StageConstants k{Opaque(_mm256_set1_epi32(static_cast<int>(0xFFFF0000u))),
                           Opaque(_mm256_set1_epi32(1023)), Opaque(_mm256_set1_epi32(kTlTabSize))};
    // 0, out1, out2, out3, out1+out2, out1+out3, out2+out3, out1+out2+out3.
    __m256i sums[8];
    sums[0] = zero;
    if (ops[3].enabled) {
        const __m256i previous =
            _mm256_load_si256(reinterpret_cast<const __m256i*>(c.bank->output[3] + base));
        const __m256i feedback = _mm256_sll_epi32(previous, _mm_cvtsi32_si128(c.feedbackShift));
        sums[3] =
            Stage<kWithPm, kAllActive>(c, k, 3, base, mask, feedback, pm, ops[3].boost ? 0 : am);
    } else {
        sums[3] = zero;
    }
    sums[2] = ops[2].enabled ? Stage<kWithPm, kAllActive>(c, k, 2, base, mask,
                                                          _mm256_slli_epi32(sums[r.input2], 15), pm,
                                                          ops[2].boost ? 0 : am)
                             : zero;
    sums[6] = _mm256_add_epi32(sums[2], sums[3]);
    sums[1] = ops[1].enabled ? Stage<kWithPm, kAllActive>(c, k, 1, base, mask,
                                                          _mm256_slli_epi32(sums[r.input1], 15), pm,
                                                          ops[1].boost ? 0 : am)
                             : zero;
    sums[4] = _mm256_add_epi32(sums[1], sums[2]);
    sums[5] = _mm256_add_epi32(sums[1], sums[3]);
    sums[7] = _mm256_add_epi32(sums[4], sums[3]);
    const __m256i out0 =
        ops[0].enabled
            ? Stage<kWithPm, kAllActive>(c, k, 0, base, mask, _mm256_slli_epi32(sums[r.input0], 15),
                                         pm, ops[0].boost ? 0 : am)
            : zero;
    const __m256i lanes = _mm256_add_epi32(sums[r.carrier], out0);
    __m128i total =
        _mm_add_epi32(_mm256_castsi256_si128(lanes), _mm256_extracti128_si256(lanes, 1));
    total = _mm_add_epi32(total, _mm_shuffle_epi32(total, 0x4E));
    total = _mm_add_epi32(total, _mm_shuffle_epi32(total, 0xB1));
    return _mm_cvtsi128_si32(total);
}

// One envelope step of operator op in the lanes of due (all-ones lanes), as EnvelopeStep does it
// with the current rate: the counter advances unless the envelope is off; where it reaches a
// multiple of 2^shift the volume moves by the increment and the state may change.
inline void StepEnvelopeRow(VoiceBank& b, const int32_t* egInc, int op, int base, __m256i due,
                            int sustainLevel) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i state =
        _mm256_load_si256(reinterpret_cast<const __m256i*>(b.envState[op] + base));
    const __m256i live = _mm256_andnot_si256(_mm256_cmpeq_epi32(state, zero), due);
    if (_mm256_testz_si256(live, live)) return;
    __m256i* counterRow = reinterpret_cast<__m256i*>(b.envCounter[op] + base);
    // live is -1 in the lanes that count.
    const __m256i counter = _mm256_sub_epi32(_mm256_load_si256(counterRow), live);
    _mm256_store_si256(counterRow, counter);
    const __m256i shift =
        _mm256_load_si256(reinterpret_cast<const __m256i*>(b.envShift[op] + base));
    const __m256i one = _mm256_set1_epi32(1);
    const __m256i lowBits = _mm256_sub_epi32(_mm256_sllv_epi32(one, shift), one);
    const __m256i hit =
        _mm256_and_si256(live, _mm256_cmpeq_epi32(_mm256_and_si256(counter, lowBits), zero));
    if (_mm256_testz_si256(hit, hit)) return;
    const __m256i select =
        _mm256_load_si256(reinterpret_cast<const __m256i*>(b.envSelect[op] + base));
    __m256i* volumeRow = reinterpret_cast<__m256i*>(b.envVolume[op] + base);
    const __m256i volume = _mm256_load_si256(volumeRow);
    const __m256i isAttack = _mm256_cmpeq_epi32(state, _mm256_set1_epi32(kEnvAttack));
    __m256i stepped = volume;
    // The hold row (a rate of 0, as in a held sustain) adds 0 at every step: where every lane hit
    // holds, the volumes stay and only the state changes below remain.
    const __m256i holding = _mm256_cmpeq_epi32(select, _mm256_set1_epi32(kEgHoldSelect));
    if (!_mm256_testc_si256(holding, hit)) {
        const __m256i incIndex = _mm256_add_epi32(
            select, _mm256_and_si256(_mm256_srlv_epi32(counter, shift), _mm256_set1_epi32(7)));
        // 0 where there is no hit, which leaves those volumes as they are.
        const __m256i inc = _mm256_mask_i32gather_epi32(zero, egInc, incIndex, hit, 4);
        const __m256i attackVolume = _mm256_add_epi32(
            volume,
            _mm256_srai_epi32(
                _mm256_mullo_epi32(_mm256_xor_si256(volume, _mm256_set1_epi32(-1)), inc), 4));
        stepped = Blend(_mm256_add_epi32(volume, inc), attackVolume, isAttack);
    }
    const __m256i toDecay1 =
        _mm256_and_si256(_mm256_and_si256(hit, isAttack), _mm256_cmpgt_epi32(one, stepped));
    const __m256i isDecay1 = _mm256_cmpeq_epi32(state, _mm256_set1_epi32(kEnvDecay1));
    const __m256i toDecay2 =
        _mm256_and_si256(_mm256_and_si256(hit, isDecay1),
                         _mm256_cmpgt_epi32(stepped, _mm256_set1_epi32(sustainLevel - 1)));
    const __m256i isLate = _mm256_cmpgt_epi32(state, _mm256_set1_epi32(kEnvDecay1));
    const __m256i toOff = _mm256_and_si256(_mm256_and_si256(hit, isLate),
                                           _mm256_cmpgt_epi32(stepped, _mm256_set1_epi32(1022)));
    _mm256_store_si256(volumeRow,
                       Blend(Blend(stepped, zero, toDecay1), _mm256_set1_epi32(1023), toOff));
    const __m256i changed = _mm256_or_si256(_mm256_or_si256(toDecay1, toDecay2), toOff);
    if (_mm256_testz_si256(changed, changed)) return;
    // An unaligned store: the 64-bit Windows ABI promises only 16-byte alignment of the stack.
    int32_t next[kGroupLanes];
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(next),
                        _mm256_or_si256(_mm256_and_si256(toDecay1, _mm256_set1_epi32(kEnvDecay1)),
                                        _mm256_and_si256(toDecay2, _mm256_set1_epi32(kEnvDecay2))));
    // State changes are rare, so they are taken lane by lane.
    for (int lanes = _mm256_movemask_ps(_mm256_castsi256_ps(changed)); lanes != 0;
         lanes &= lanes - 1) {
        const int j = __builtin_ctz(static_cast<unsigned>(lanes));
        EnterEnvelopeState(b, op, base + j, next[j]);
    }
}

} // namespace

int ChipGroupAvx2(const GroupInput& in, int base, const bool* active, bool full, int pm, int am) {
    if (pm != 0)
        return full ? Group<true, true>(in, base, active, pm, am)
                    : Group<true, false>(in, base, active, pm, am);
    return full ? Group<false, true>(in, base, active, 0, am)
                : Group<false, false>(in, base, active, 0, am);
}

void StepGroupEnvelopesAvx2(const GroupInput& in, int base, const bool* active) {
    VoiceBank& b = *in.bank;
    __m256i* dividerRow = reinterpret_cast<__m256i*>(b.egDivider + base);
    // lanes is -1 in the sounding lanes: adding it counts their dividers down.
    const __m256i lanes = LaneMask(active);
    const __m256i counted = _mm256_add_epi32(_mm256_load_si256(dividerRow), lanes);
    const __m256i due = _mm256_and_si256(lanes, _mm256_cmpgt_epi32(_mm256_set1_epi32(1), counted));
    _mm256_store_si256(dividerRow, Blend(counted, _mm256_set1_epi32(3), due));
    if (_mm256_testz_si256(due, due)) return;
    for (int op = 0; op < 4; ++op)
        StepEnvelopeRow(b, in.tables->egInc, op, base, due, in.ops[op].env.sustainLevel);
}

} // namespace engine
