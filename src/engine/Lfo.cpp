#include "engine/Lfo.h"

#include <atomic>
#include <cmath>

namespace engine {

namespace {

// The noise seed is shared by every instance in the process. Instances may render on different
// threads at once, so it is atomic; relaxed order suffices because only the value matters, and a
// single instance sees exactly the plain sequence.
std::atomic<int32_t> gNoiseSeed{1};

int Clamp(int v, int lo, int hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

} // namespace

int32_t Lfo::NoiseSeed() {
    return gNoiseSeed.load(std::memory_order_relaxed);
}
void Lfo::SetNoiseSeed(int32_t seed) {
    gNoiseSeed.store(seed, std::memory_order_relaxed);
}

int Lfo::NextNoiseValue() {
    const uint32_t old = static_cast<uint32_t>(gNoiseSeed.load(std::memory_order_relaxed));
    const int32_t seed = static_cast<int32_t>(old * 16807u); // 32-bit wrap-around
    gNoiseSeed.store(seed, std::memory_order_relaxed);
    const double scaled = (seed * 4.6566129e-10) * 255;
    return static_cast<int>(static_cast<int64_t>(scaled) & 255);
}

void Lfo::Step() {
    counter += increment;
    if (counter >= threshold) {
        counter -= threshold;
        const uint32_t s = mantissa + fraction;
        phase = static_cast<int>((static_cast<uint32_t>(phase) + (s >> 4)) & 255u);
        fraction = s & 15u;
    }

    const int f = phase;
    int a;
    int p;
    switch (waveform) {
    case kLfoSaw:
        a = 255 - f;
        p = f < 128 ? f : f - 255;
        break;
    case kLfoSquare:
        a = f < 128 ? 255 : 0;
        p = f < 128 ? 128 : -128;
        break;
    case kLfoTriangle:
        a = f < 128 ? 255 - 2 * f : 2 * f - 256;
        if (f < 64)
            p = 2 * f;
        else if (f < 128)
            p = 255 - 2 * f;
        else if (f < 192)
            p = 256 - 2 * f;
        else
            p = 2 * f - 511;
        break;
    default: // noise: a new value once per phase step
        if (f != noisePhase) {
            noisePhase = f;
            noiseValue = NextNoiseValue();
        }
        a = noiseValue;
        p = noiseValue - 128;
        break;
    }

    if (amDepth != 0 && amSens != 0) {
        const uint32_t scaled = (static_cast<uint32_t>(a * amDepth) >> 7) << (amSens - 1);
        const int h = (static_cast<int>(scaled) + amSmooth) >> 1;
        amOut = amSmooth = h;
    } else {
        amOut = 0;
    }

    if (pmDepth != 0 && pmSens != 0) {
        const int q = (p * pmDepth) >> 7;
        pmOut = pmSens >= 6 ? q * (1 << (pmSens - 5)) : q >> (6 - pmSens);
    } else {
        pmOut = 0;
    }
}

void Lfo::Sync() {
    amSmooth = 0;
    pmOut = 0;
    amOut = 0;
    phase = 0;
    noisePhase = 0;
    fraction = 0;
    counter = 0;
}

void Lfo::SetWaveform(int w) {
    waveform = Clamp(w, 0, 3);
}

void Lfo::SetSpeed(double speed) {
    long r = std::isfinite(speed) ? std::lround(std::fmin(std::fmax(speed, 0.0), 255.0)) : 0;
    threshold = 1024u << (18 - r / 16);
    mantissa = static_cast<uint32_t>(r % 16 + 16);
}

void Lfo::SetAmDepth(int depth) {
    amDepth = Clamp(depth, 0, 127);
}
void Lfo::SetAmSensitivity(int sensitivity) {
    amSens = Clamp(sensitivity, 0, 3);
}
void Lfo::SetPmDepth(int depth) {
    pmDepth = Clamp(depth, 0, 127);
}
void Lfo::SetPmSensitivity(int sensitivity) {
    pmSens = Clamp(sensitivity, 0, 7);
}

} // namespace engine
