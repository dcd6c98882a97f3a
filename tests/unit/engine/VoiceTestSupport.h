#pragma once
// Helpers for the voice engine tests: a simple program applied through the parameter setter.

#include "engine/VoiceEngine.h"

namespace enginetest {

struct OperatorValues {
    double enable = 1, level = 0, velocity = 0, boost = 0, frequency = 1, inharmonic = 0,
           detune = 0, ksType = 0, levelAdjust = 0, ksDepth = 0, ksRate = 0, attack = 31,
           attackVelocity = 0, decay1 = 0, decay2 = 0, sustain = 0, release = 15;
};

inline void SetOperator(engine::VoiceEngine& e, int op, const OperatorValues& v) {
    const double values[17] = {v.enable,     v.level,  v.velocity,       v.boost,       v.frequency,
                               v.inharmonic, v.detune, v.ksType,         v.levelAdjust, v.ksDepth,
                               v.ksRate,     v.attack, v.attackVelocity, v.decay1,      v.decay2,
                               v.sustain,    v.release};
    for (int m = 0; m < 17; ++m) e.SetVoiceParam(23 + m, op, values[m]);
}

// Algorithm 8 (all carriers), every operator on at full level, instant attack, held sustain.
inline void ApplyOrgan(engine::VoiceEngine& e, int algorithm = 7) {
    for (int op = 0; op < 4; ++op) SetOperator(e, op, OperatorValues{});
    for (int w = 2; w <= 5; ++w) e.SetVoiceParam(w, -1, 0);
    e.SetVoiceParam(6, -1, algorithm);
    e.SetVoiceParam(7, -1, 0);
    e.SetVoiceParam(9, -1, 0);
    e.SetVoiceParam(10, -1, 0);
    e.Reset();
}

} // namespace enginetest
