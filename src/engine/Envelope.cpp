#include "engine/Envelope.h"

namespace engine {

namespace {

// Rate scaling: the key code shifted down by 5 - Keyb. Scaling Rate.
int RateKeyScale(const EnvelopeRates& rates, const EnvelopeSettings& settings) {
    const int shift = settings.ksShift < 0 ? 0 : settings.ksShift;
    return rates.keyCode >> shift;
}

void FromTables(int index, uint8_t& shift, uint8_t& select) {
    if (index < 0) index = 0;
    if (index > 127) index = 127;
    shift = kRateShift[index];
    select = kRateSelect[index];
}

// A changed rate of the current state becomes the current rate at once.
void RefreshCurrentRate(EnvelopeRef env) {
    EnvelopeRateOf(env.rates, env.state, env.shift, env.select);
}

void RecomputeAttack(EnvelopeRates& rates, const EnvelopeSettings& settings) {
    int r = settings.attackRate;
    int index;
    if (settings.attackVelocity != 0) {
        r += (settings.attackVelocity * (rates.velocity - 64)) >> 6;
        index = r > 1 ? 2 * (r < 31 ? r : 31) + 32 : 36;
    } else {
        index = r <= 0 ? 0 : 2 * r + 32;
    }
    const int k = RateKeyScale(rates, settings);
    if (index + k > 93) {
        rates.attackShift = 0;
        rates.attackSelect = kEgInstantSelect;
    } else {
        FromTables(index + k, rates.attackShift, rates.attackSelect);
    }
}

void RecomputeDecay1(EnvelopeRates& rates, const EnvelopeSettings& settings) {
    FromTables(settings.decay1Index + RateKeyScale(rates, settings), rates.decay1Shift,
               rates.decay1Select);
}

void RecomputeDecay2(EnvelopeRates& rates, const EnvelopeSettings& settings) {
    FromTables(settings.decay2Index + RateKeyScale(rates, settings), rates.decay2Shift,
               rates.decay2Select);
}

void RecomputeRelease(EnvelopeRates& rates, const EnvelopeSettings& settings) {
    FromTables(settings.releaseIndex + RateKeyScale(rates, settings), rates.releaseShift,
               rates.releaseSelect);
}

void RecomputeAll(EnvelopeRates& rates, const EnvelopeSettings& settings) {
    RecomputeAttack(rates, settings);
    RecomputeDecay1(rates, settings);
    RecomputeDecay2(rates, settings);
    RecomputeRelease(rates, settings);
}

} // namespace

void EnvelopeRecomputeAttack(EnvelopeRef env, const EnvelopeSettings& settings) {
    RecomputeAttack(env.rates, settings);
    RefreshCurrentRate(env);
}

void EnvelopeRecomputeDecay1(EnvelopeRef env, const EnvelopeSettings& settings) {
    RecomputeDecay1(env.rates, settings);
    RefreshCurrentRate(env);
}

void EnvelopeRecomputeDecay2(EnvelopeRef env, const EnvelopeSettings& settings) {
    RecomputeDecay2(env.rates, settings);
    RefreshCurrentRate(env);
}

void EnvelopeRecomputeRelease(EnvelopeRef env, const EnvelopeSettings& settings) {
    RecomputeRelease(env.rates, settings);
    RefreshCurrentRate(env);
}

void EnvelopeRecomputeAll(EnvelopeRef env, const EnvelopeSettings& settings) {
    RecomputeAll(env.rates, settings);
    RefreshCurrentRate(env);
}

void EnvelopeKeyOn(EnvelopeRef env, const EnvelopeSettings& settings, int keyCode, int velocity) {
    // A sounding envelope (attack or decay) is not restarted; release and off restart the attack
    // from the current volume.
    if (env.state == kEnvAttack || env.state == kEnvDecay1 || env.state == kEnvDecay2) return;
    EnvelopeRates& r = env.rates;
    r.keyCode = keyCode;
    r.velocity = velocity;
    RecomputeAll(r, settings);
    const int inc = kEgInc[r.attackSelect + ((env.counter >> r.attackShift) & 7u)];
    env.volume += ((~env.volume) * inc) >> 4;
    if (env.volume > 0) {
        EnvelopeEnter(env, kEnvAttack);
    } else {
        env.volume = 0;
        EnvelopeEnter(env, kEnvDecay1);
    }
}

} // namespace engine
