#pragma once
// The envelope generator of one operator: a 10-bit attenuation (0 loudest, 1023 silent) that
// advances every third chip sample through the rate tables, in the integer steps of the chip.

#include <cstdint>

#include "engine/EngineTables.h"

namespace engine {

enum EnvelopeState : int {
    kEnvOff = 0,
    kEnvAttack = 1,
    kEnvDecay1 = 2,
    kEnvDecay2 = 3,
    kEnvRelease = 4,
};

// Rate settings of one operator. Every voice gets the same values from the parameters, so they
// are stored once per operator instead of once per voice.
struct EnvelopeSettings {
    int attackRate = 31;    // OP Attack 0..31
    int decay1Index = 31;   // 2 * Decay 1 + 32, or 0
    int decay2Index = 0;    // 2 * Decay 2 + 32, or 0
    int sustainLevel = 15;  // sustain table entry
    int releaseIndex = 31;  // 4 * Release + 34
    int ksShift = 0;        // 5 - Keyb. Scaling Rate
    int attackVelocity = 0; // Attack Velocity * 4
};

// The running state of one envelope (one per operator and voice).
struct Envelope {
    int state = kEnvOff;
    int volume = 1023;
    uint32_t counter = 0;
    uint8_t attackShift = 0, attackSelect = kEgHoldSelect;
    uint8_t decay1Shift = 0, decay1Select = kEgHoldSelect;
    uint8_t decay2Shift = 0, decay2Select = kEgHoldSelect;
    uint8_t releaseShift = 0, releaseSelect = kEgHoldSelect;
    int keyCode = 0;
    int velocity = 100;
};

// Starts the attack unless the envelope is already in attack or decay (legato keeps running).
void EnvelopeKeyOn(Envelope& env, const EnvelopeSettings& settings, int keyCode, int velocity);
// Enters release. Every state is >= 0, so an envelope that is off enters release too and ends
// there at its next step (its volume is already 1023).
inline void EnvelopeKeyOff(Envelope& env) {
    if (env.state >= 0) env.state = kEnvRelease;
}

// Recompute the (shift, select) pairs from the settings with the stored key code and velocity.
void EnvelopeRecomputeAttack(Envelope& env, const EnvelopeSettings& settings);
void EnvelopeRecomputeDecay1(Envelope& env, const EnvelopeSettings& settings);
void EnvelopeRecomputeDecay2(Envelope& env, const EnvelopeSettings& settings);
void EnvelopeRecomputeRelease(Envelope& env, const EnvelopeSettings& settings);
void EnvelopeRecomputeAll(Envelope& env, const EnvelopeSettings& settings);

// One envelope step (called every third chip sample of an active voice).
inline void EnvelopeStep(Envelope& env, int sustainLevel) {
    if (env.state == kEnvOff) return;
    env.counter += 1;
    unsigned shift;
    unsigned select;
    switch (env.state) {
    case kEnvAttack:
        shift = env.attackShift;
        select = env.attackSelect;
        break;
    case kEnvDecay1:
        shift = env.decay1Shift;
        select = env.decay1Select;
        break;
    case kEnvDecay2:
        shift = env.decay2Shift;
        select = env.decay2Select;
        break;
    default:
        shift = env.releaseShift;
        select = env.releaseSelect;
        break;
    }
    if ((env.counter & ((1u << shift) - 1u)) != 0) return;
    const int inc = kEgInc[select + ((env.counter >> shift) & 7u)];
    switch (env.state) {
    case kEnvAttack:
        env.volume += ((~env.volume) * inc) >> 4;
        if (env.volume <= 0) {
            env.volume = 0;
            env.state = kEnvDecay1;
        }
        break;
    case kEnvDecay1:
        env.volume += inc;
        if (env.volume >= sustainLevel) env.state = kEnvDecay2;
        break;
    default:
        env.volume += inc;
        if (env.volume > 1022) {
            env.volume = 1023;
            env.state = kEnvOff;
        }
        break;
    }
}

} // namespace engine
