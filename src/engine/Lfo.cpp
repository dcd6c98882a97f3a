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

bool Lfo::Settled() const {
    int a;
    int p;
    if (!WaveValues(a, p)) return false;
    if (amDepth != 0 && amSens != 0) {
        if (amOut != amSmooth || AmStep(a) != amSmooth) return false;
    } else if (amOut != 0) {
        return false;
    }
    return pmOut == (pmDepth != 0 && pmSens != 0 ? PmValue(p) : 0);
}

void Lfo::Advance(uint32_t steps) {
    while (steps > 0) {
        // Steps that leave the phase where it is change nothing but the counter once the outputs
        // have settled (the AM smoothing reaches its fixed point within a few steps), so a run of
        // them is one addition. Everything else goes through Step, in order.
        if (increment != 0 && counter < threshold && Settled()) {
            const uint32_t quiet = (threshold - 1u - counter) / increment;
            if (quiet > 0) {
                const uint32_t run = quiet < steps ? quiet : steps;
                counter += run * increment;
                steps -= run;
                continue;
            }
        }
        Step();
        --steps;
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
