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

// The rates of one envelope for each of its states, as the last key-on and the settings left
// them (one set per operator and voice).
struct EnvelopeRates {
    uint8_t attackShift = 0, attackSelect = kEgHoldSelect;
    uint8_t decay1Shift = 0, decay1Select = kEgHoldSelect;
    uint8_t decay2Shift = 0, decay2Select = kEgHoldSelect;
    uint8_t releaseShift = 0, releaseSelect = kEgHoldSelect;
    int keyCode = 0;
    int velocity = 100;
};

// An envelope wherever its fields are stored: the voice bank keeps each field in a row across
// the voices (so that the fast kernels step eight envelopes with single loads and stores), a
// lone Envelope keeps them together. shift and select are the rate of the current state, kept
// beside the per-state rates so that a step needs no look-up by state; every change of state or
// rate goes through the functions below, which keep the two in step.
struct EnvelopeRef {
    int32_t& state;
    int32_t& volume;
    uint32_t& counter;
    int32_t& shift;
    int32_t& select;
    EnvelopeRates& rates;
};

// One envelope on its own, with the same fields.
struct Envelope {
    int32_t state = kEnvOff;
    int32_t volume = 1023;
    uint32_t counter = 0;
    int32_t shift = 0;
    int32_t select = kEgHoldSelect;
    EnvelopeRates rates;

    operator EnvelopeRef() { return {state, volume, counter, shift, select, rates}; }
};

// The (shift, select) pair of a state's rate; an envelope that is off holds.
inline void EnvelopeRateOf(const EnvelopeRates& r, int state, int32_t& shift, int32_t& select) {
    switch (state) {
    case kEnvAttack:
        shift = r.attackShift;
        select = r.attackSelect;
        break;
    case kEnvDecay1:
        shift = r.decay1Shift;
        select = r.decay1Select;
        break;
    case kEnvDecay2:
        shift = r.decay2Shift;
        select = r.decay2Select;
        break;
    case kEnvRelease:
        shift = r.releaseShift;
        select = r.releaseSelect;
        break;
    default:
        shift = 0;
        select = kEgHoldSelect;
        break;
    }
}

// Changes the state and takes its rate as the current one.
inline void EnvelopeEnter(EnvelopeRef env, int state) {
    env.state = state;
    EnvelopeRateOf(env.rates, state, env.shift, env.select);
}

// Starts the attack unless the envelope is already in attack or decay (legato keeps running).
void EnvelopeKeyOn(EnvelopeRef env, const EnvelopeSettings& settings, int keyCode, int velocity);
// Enters release. Every state is >= 0, so an envelope that is off enters release too and ends
// there at its next step (its volume is already 1023).
inline void EnvelopeKeyOff(EnvelopeRef env) {
    if (env.state >= 0) EnvelopeEnter(env, kEnvRelease);
}

// All Sound Off: the release runs at twice the fastest rate a setting can give (16 steps of
// attenuation per envelope step), so that any level falls to silence within about 3 ms: quick
// enough to count as at once, and a decay rather than a cut, which would click. An envelope that
// is off stays off. The rate holds until the next key-on recomputes the rates.
inline void EnvelopeSilence(EnvelopeRef env) {
    env.rates.releaseShift = 0;
    env.rates.releaseSelect = kEgInstantSelect;
    if (env.state != kEnvOff) EnvelopeEnter(env, kEnvRelease);
}

// Recompute the per-state rates from the settings with the stored key code and velocity.
void EnvelopeRecomputeAttack(EnvelopeRef env, const EnvelopeSettings& settings);
void EnvelopeRecomputeDecay1(EnvelopeRef env, const EnvelopeSettings& settings);
void EnvelopeRecomputeDecay2(EnvelopeRef env, const EnvelopeSettings& settings);
void EnvelopeRecomputeRelease(EnvelopeRef env, const EnvelopeSettings& settings);
void EnvelopeRecomputeAll(EnvelopeRef env, const EnvelopeSettings& settings);

// One envelope step (called every third chip sample of an active voice). This is the definition
// the fast kernels are compared with, so it picks the rate by state from the per-state rates
// rather than reading the current one.
inline void EnvelopeStep(EnvelopeRef env, int sustainLevel) {
    if (env.state == kEnvOff) return;
    env.counter += 1;
    int32_t shift;
    int32_t select;
    EnvelopeRateOf(env.rates, env.state, shift, select);
    if ((env.counter & ((1u << shift) - 1u)) != 0) return;
    const int inc = kEgInc[select + ((env.counter >> shift) & 7u)];
    switch (env.state) {
    case kEnvAttack:
        env.volume += ((~env.volume) * inc) >> 4;
        if (env.volume <= 0) {
            env.volume = 0;
            EnvelopeEnter(env, kEnvDecay1);
        }
        break;
    case kEnvDecay1:
        env.volume += inc;
        if (env.volume >= sustainLevel) EnvelopeEnter(env, kEnvDecay2);
        break;
    default:
        env.volume += inc;
        if (env.volume > 1022) {
            env.volume = 1023;
            EnvelopeEnter(env, kEnvOff);
        }
        break;
    }
}

} // namespace engine
