#pragma once
// What the fast chip kernels share: a group of kGroupLanes neighbouring voice slots computed side
// by side, one operator stage after the other. Each instruction set has a file of its own with
// one function of the GroupKernel type; VoiceEngine::SetChipKernel is the one place that picks
// one, by what the processor offers.
//
// The file of a wider instruction set is compiled with that set enabled, so it must not define
// functions the linker could merge with the other files' copies: it uses no inline function of
// the engine headers (it may call the out-of-line ones declared here), and the helpers below have
// internal linkage in every file that includes them.

#include <cmath>
#include <cstdint>

#include "engine/EngineTables.h"
#include "engine/VoiceBank.h"

namespace engine {

constexpr int kGroupLanes = 8;
static_assert(kVoiceSlots % kGroupLanes == 0, "whole groups");

// Modulation inputs of op[0], op[1], op[2] and the extra carrier sum, as indices into the sums
// 0, out1, out2, out3, out1+out2, out1+out3, out2+out3, out1+out2+out3.
struct Routing {
    int input0, input1, input2, carrier;
};
constexpr Routing kRouting[8] = {
    {1, 2, 3, 0}, {1, 6, 0, 0}, {5, 2, 0, 0}, {4, 0, 3, 0},
    {1, 0, 3, 2}, {3, 3, 3, 4}, {0, 0, 3, 4}, {0, 0, 0, 7},
};

// The voice state and settings one chip sample of a group reads and writes.
struct GroupInput {
    VoiceBank* bank;
    const OperatorSettings* ops; // op[0..3]
    const EngineTables* tables;
    Routing routing;
    int feedbackShift;
    double b0, b1, c1, c2; // the operator output low-pass
    // The same four coefficients, each four times over (32-byte aligned), so that wide kernels
    // load them as they multiply instead of spreading them across a register every time.
    const double* filterRows;
};

// One chip sample of the voices in slots base .. base + kGroupLanes - 1, whose envelopes have
// already stepped (a group envelope step below does that first). With full false only the lanes
// whose active flag is set are stored and summed. pm and am are the LFO outputs as the voices
// receive them. Returns the sum of the voice outputs.
using GroupKernel = int (*)(const GroupInput& in, int base, const bool* active, bool full, int pm,
                            int am);

// Counts down the envelope dividers of the group's sounding voices and steps the envelopes of
// those that are due, exactly as EnvelopeStep would.
void StepGroupEnvelopes(const GroupInput& in, int base, const bool* active);
#if defined(VORNA_AVX2_KERNEL)
void StepGroupEnvelopesAvx2(const GroupInput& in, int base, const bool* active);
#endif

// EnvelopeEnter for the envelope of operator op in slot v: compiled with the engine's own
// options, so that the wider kernels can take the rare state changes through it.
void EnterEnvelopeState(VoiceBank& bank, int op, int v, int state);

int ChipGroupSse2(const GroupInput& in, int base, const bool* active, bool full, int pm, int am);
#if defined(VORNA_AVX2_KERNEL)
int ChipGroupAvx2(const GroupInput& in, int base, const bool* active, bool full, int pm, int am);
#endif

namespace {

inline int ClampFreqIndex(int i) {
    return i < 0 ? 0 : (i > kFreqIndexMax ? kFreqIndexMax : i);
}

// round() with halves away from zero, for finite |y| < 2^31: the largest double below 0.5, with
// the sign of y, added and the sum truncated. A sum whose exact value lies short of the next
// whole number by at least the part of 0.5 left out (2^-54) never rounds up to it: below 1 the
// sum is exact or falls short of 1 by at least 2^-53, and from 1 on the doubles next to the
// whole number are no farther apart than those next to y. So the result steps out exactly when
// y is at or beyond the half.
constexpr double kBelowHalf = 0.49999999999999994; // 0.5 - 2^-54
// copysign takes the sign bit (so -0 gets the negative half, which truncates to 0 as well) and
// needs no branch on the sign of a signal that changes it all the time.
inline int RoundHalfAway(double y) {
    return static_cast<int>(y + std::copysign(kBelowHalf, y));
}

// The smallest normal double: operator filter results smaller in magnitude (subnormals, and
// NaN, which fails every comparison) are stored as 0, which gives what the reference filter
// computes by flushing them when it reads them. The results never overflow: the filter is a fixed,
// stable low-pass fed by table values below 2^13 in magnitude, so a check against infinity
// could never fire and is left out.
constexpr double kSmallestNormal = 2.2250738585072014e-308;

} // namespace

} // namespace engine
