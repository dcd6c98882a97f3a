#include "engine/Envelope.h"

namespace engine {

namespace {

// Rate scaling: the key code shifted down by 5 - Keyb. Scaling Rate.
int RateKeyScale(const Envelope& env, const EnvelopeSettings& settings) {
    const int shift = settings.ksShift < 0 ? 0 : settings.ksShift;
    return env.keyCode >> shift;
}

void FromTables(int index, uint8_t& shift, uint8_t& select) {
    if (index < 0) index = 0;
    if (index > 127) index = 127;
    shift = kRateShift[index];
    select = kRateSelect[index];
}

} // namespace

void EnvelopeRecomputeAttack(Envelope& env, const EnvelopeSettings& settings) {
    int r = settings.attackRate;
    int index;
    if (settings.attackVelocity != 0) {
        r += (settings.attackVelocity * (env.velocity - 64)) >> 6;
        index = r > 1 ? 2 * (r < 31 ? r : 31) + 32 : 36;
    } else {
        index = r <= 0 ? 0 : 2 * r + 32;
    }
    const int k = RateKeyScale(env, settings);
    if (index + k > 93) {
        env.attackShift = 0;
        env.attackSelect = kEgInstantSelect;
    } else {
        FromTables(index + k, env.attackShift, env.attackSelect);
    }
}

void EnvelopeRecomputeDecay1(Envelope& env, const EnvelopeSettings& settings) {
    FromTables(settings.decay1Index + RateKeyScale(env, settings), env.decay1Shift,
               env.decay1Select);
}

void EnvelopeRecomputeDecay2(Envelope& env, const EnvelopeSettings& settings) {
    FromTables(settings.decay2Index + RateKeyScale(env, settings), env.decay2Shift,
               env.decay2Select);
}

void EnvelopeRecomputeRelease(Envelope& env, const EnvelopeSettings& settings) {
    FromTables(settings.releaseIndex + RateKeyScale(env, settings), env.releaseShift,
               env.releaseSelect);
}

void EnvelopeRecomputeAll(Envelope& env, const EnvelopeSettings& settings) {
    EnvelopeRecomputeAttack(env, settings);
    EnvelopeRecomputeDecay1(env, settings);
    EnvelopeRecomputeDecay2(env, settings);
    EnvelopeRecomputeRelease(env, settings);
}

void EnvelopeKeyOn(Envelope& env, const EnvelopeSettings& settings, int keyCode, int velocity) {
    // A sounding envelope (attack or decay) is not restarted; release and off restart the attack
    // from the current volume.
    if (env.state == kEnvAttack || env.state == kEnvDecay1 || env.state == kEnvDecay2) return;
    env.keyCode = keyCode;
    env.velocity = velocity;
    EnvelopeRecomputeAll(env, settings);
    const int inc = kEgInc[env.attackSelect + ((env.counter >> env.attackShift) & 7u)];
    env.volume += ((~env.volume) * inc) >> 4;
    if (env.volume > 0) {
        env.state = kEnvAttack;
    } else {
        env.state = kEnvDecay1;
        env.volume = 0;
    }
}

} // namespace engine
