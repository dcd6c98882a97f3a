// The fast chip kernels' common part: which groups of voices sound, their envelopes, and the
// voice-by-voice path for groups with only a few sounding voices; the groups themselves go to
// the group kernel of the chosen instruction set.

#include "engine/ChipKernel.h"
#include "engine/VoiceEngine.h"

namespace engine {

namespace {

struct StageContext {
    const EngineTables* t;
    VoiceBank* bank;
    double b0, b1, c1, c2;
};

// One operator of one voice, with the same arithmetic as a lane of RunStage.
template <bool kWithPm>
inline int NarrowOperator(const StageContext& c, const OperatorSettings& s, int op, int v,
                          uint32_t modulation, int pm, int am) {
    const EngineTables& t = *c.t;
    VoiceBank& b = *c.bank;
    const uint32_t phase = b.phase[op][v];
    const unsigned i = (((phase & 0xFFFF0000u) + modulation) >> 16) & 1023u;
    const int a = (b.totalLevel[op][v] + b.envVolume[op][v] + am) * 8 + t.wave[s.wave][i];
    const int output = t.tl[a < kTlTabSize ? a : kTlTabSize];
    b.output[op][v] = output;
    uint32_t inc;
    if (kWithPm) {
        const int fi = ClampFreqIndex(b.voice[v].freqIndex + s.inharmonic + pm);
        inc = (static_cast<uint32_t>(t.freq[fi] + b.dt1Offset[op][v]) * s.multiplier) >> 1;
    } else {
        inc = b.increment[op][v];
    }
    b.phase[op][v] = phase + inc;

    double& x1 = b.x1[op][v];
    double& x2 = b.x2[op][v];
    double& y1 = b.y1[op][v];
    double& y2 = b.y2[op][v];
    const double in = output;
    const double y = ((c.b0 * (in + x2) + c.b1 * x1) + c.c1 * y1) + c.c2 * y2;
    x2 = x1;
    x1 = in;
    y2 = y1;
    y1 = std::fabs(y) >= kSmallestNormal ? y : 0.0;
    return RoundHalfAway(y);
}

// EnvelopeStep with the current rate read as it is kept, instead of picked by state.
inline void StepEnvelopeFast(EnvelopeRef env, int sustainLevel) {
    const int state = env.state;
    if (state == kEnvOff) return;
    const uint32_t counter = env.counter + 1;
    env.counter = counter;
    const unsigned shift = static_cast<unsigned>(env.shift);
    if ((counter & ((1u << shift) - 1u)) != 0) return;
    // The hold row (a rate of 0, as in a held sustain) adds 0 at every step.
    const int select = env.select;
    const int inc = select == kEgHoldSelect ? 0 : kEgInc[select + ((counter >> shift) & 7u)];
    int volume = env.volume;
    if (state == kEnvAttack) {
        volume += ((~volume) * inc) >> 4;
        if (volume <= 0) {
            volume = 0;
            EnvelopeEnter(env, kEnvDecay1);
        }
    } else {
        volume += inc;
        if (state == kEnvDecay1) {
            if (volume >= sustainLevel) EnvelopeEnter(env, kEnvDecay2);
        } else if (volume > 1022) {
            volume = 1023;
            EnvelopeEnter(env, kEnvOff);
        }
    }
    env.volume = volume;
}

} // namespace

// A group with only a few sounding voices: those voices one after another, so that the cost
// follows the sounding voices instead of the width of the group.
template <bool kWithPm> int VoiceEngine::ChipVoiceNarrow(int v, int pm, int am) {
    const StageContext c{tables, &bank, opFilter.b0, opFilter.b1, opFilter.c1, opFilter.c2};
    if (--bank.egDivider[v] <= 0) {
        bank.egDivider[v] = 3;
        for (int op = 0; op < 4; ++op) StepEnvelopeFast(bank.Env(op, v), ops[op].env.sustainLevel);
    }
    const Routing& r = kRouting[algorithm];
    int sums[8] = {};
    if (ops[3].enabled)
        sums[3] = NarrowOperator<kWithPm>(c, ops[3], 3, v,
                                          static_cast<uint32_t>(bank.output[3][v]) << feedbackShift,
                                          pm, ops[3].boost ? 0 : am);
    if (ops[2].enabled)
        sums[2] =
            NarrowOperator<kWithPm>(c, ops[2], 2, v, static_cast<uint32_t>(sums[r.input2]) << 15,
                                    pm, ops[2].boost ? 0 : am);
    sums[6] = sums[2] + sums[3];
    if (ops[1].enabled)
        sums[1] =
            NarrowOperator<kWithPm>(c, ops[1], 1, v, static_cast<uint32_t>(sums[r.input1]) << 15,
                                    pm, ops[1].boost ? 0 : am);
    sums[4] = sums[1] + sums[2];
    sums[5] = sums[1] + sums[3];
    sums[7] = sums[1] + sums[2] + sums[3];
    const int out0 =
        ops[0].enabled
            ? NarrowOperator<kWithPm>(c, ops[0], 0, v, static_cast<uint32_t>(sums[r.input0]) << 15,
                                      pm, ops[0].boost ? 0 : am)
            : 0;
    return sums[r.carrier] + out0;
}

void EnterEnvelopeState(VoiceBank& bank, int op, int v, int state) {
    EnvelopeEnter(bank.Env(op, v), state);
}

// The envelopes of a group's sounding voices, one voice at a time: the lanes due are collected
// first, then stepped one operator row after the other.
void StepGroupEnvelopes(const GroupInput& in, int base, const bool* active) {
    VoiceBank& bank = *in.bank;
    int due[kGroupLanes];
    int dueCount = 0;
    for (int j = 0; j < kGroupLanes; ++j) {
        const int v = base + j;
        if (active[j] && --bank.egDivider[v] <= 0) {
            bank.egDivider[v] = 3;
            due[dueCount++] = v;
        }
    }
    for (int op = 0; op < 4 && dueCount > 0; ++op) {
        const int sustainLevel = in.ops[op].env.sustainLevel;
        for (int k = 0; k < dueCount; ++k) StepEnvelopeFast(bank.Env(op, due[k]), sustainLevel);
    }
}

void VoiceEngine::RebuildActiveList(int voiceCount) {
    activeCount = 0;
    soundingCount = 0;
    for (int g = 0; g < kVoiceCount / kGroupLanes; ++g) {
        bool any = false;
        bool all = true;
        const int firstSounding = soundingCount;
        for (int j = 0; j < kGroupLanes; ++j) {
            const int v = g * kGroupLanes + j;
            laneActive[v] = v < voiceCount && bank.voice[v].active;
            if (laneActive[v]) soundingList[soundingCount++] = v;
            any = any || laneActive[v];
            all = all && laneActive[v];
        }
        if (any) {
            groupFull[activeCount] = all;
            groupNarrow[activeCount] = soundingCount - firstSounding <= kNarrowLanes;
            groupFirst[activeCount] = firstSounding;
            activeList[activeCount++] = g * kGroupLanes;
        }
    }
    activeListLimit = voiceCount;
    activeDirty = false;
}

int VoiceEngine::ChipSampleFast(int voiceCount, int pm, int am) {
    if (activeDirty || activeListLimit != voiceCount) RebuildActiveList(voiceCount);
    if (activeCount == 0) return 0;
    // A lone voice (mono, or one note held) goes straight to the voice-by-voice path, without
    // the group bookkeeping.
    if (soundingCount == 1)
        return pm != 0 ? ChipVoiceNarrow<true>(soundingList[0], pm, am)
                       : ChipVoiceNarrow<false>(soundingList[0], 0, am);
    const GroupInput in{&bank,       ops,         tables,      kRouting[algorithm], feedbackShift,
                        opFilter.b0, opFilter.b1, opFilter.c1, opFilter.c2,         opFilterRows};
    int total = 0;
    for (int g = 0; g < activeCount; ++g) {
        const int base = activeList[g];
        if (groupNarrow[g]) {
            const int end = g + 1 < activeCount ? groupFirst[g + 1] : soundingCount;
            for (int k = groupFirst[g]; k < end; ++k)
                total += pm != 0 ? ChipVoiceNarrow<true>(soundingList[k], pm, am)
                                 : ChipVoiceNarrow<false>(soundingList[k], 0, am);
            continue;
        }
        groupEnvelopes(in, base, laneActive + base);
        total += groupKernel(in, base, laneActive + base, groupFull[g], pm, am);
    }
    return total;
}

} // namespace engine
