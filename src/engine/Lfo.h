#pragma once
// The single LFO of an instance: an 8-bit phase advanced by a counter with a speed mantissa and
// exponent, four waves, and the AM and PM outputs that every voice reads each chip sample.

#include <cstdint>

namespace engine {

enum LfoWaveform : int { kLfoSaw = 0, kLfoSquare = 1, kLfoTriangle = 2, kLfoNoise = 3 };

class Lfo {
public:
    // One chip sample: advance the phase, then form the AM and PM outputs. Inline: the render
    // loop calls it for every chip sample.
    void Step();
    // Exactly what `steps` calls of Step do, for a stretch in which nobody reads the outputs
    // between steps (no voice sounds): the counter runs are added at once, and the phase, the
    // noise source and the AM smoothing are stepped only where they can change.
    void Advance(uint32_t steps);
    // Note-on with LFO Sync: restart the phase and the smoothing (the noise seed runs on).
    void Sync();

    void SetWaveform(int waveform);
    void SetSpeed(double speed); // LFO Speed 0..255
    void SetAmDepth(int depth);
    void SetAmSensitivity(int sensitivity);
    void SetPmDepth(int depth);
    void SetPmSensitivity(int sensitivity);

    int PmOut() const { return pmOut; }
    int AmOut() const { return amOut; }

    // The process-wide noise seed (shared by every instance), for tests.
    static int32_t NoiseSeed();
    static void SetNoiseSeed(int32_t seed);

    int pmOut = 0;
    int amOut = 0;
    int waveform = kLfoTriangle;
    int pmDepth = 0;
    int pmSens = 0;
    int amSmooth = 0;
    int amDepth = 0;
    int amSens = 0;
    uint32_t counter = 0;
    uint32_t increment = 1024;
    uint32_t threshold = 0;
    uint32_t fraction = 0;
    uint32_t mantissa = 0;
    int phase = 0;
    int noisePhase = 0;
    int noiseValue = 0;

private:
    int NextNoiseValue();
    // The wave values at the current phase; false for noise whose value for this phase is not
    // drawn yet.
    bool WaveValues(int& a, int& p) const;
    int AmStep(int a) const;  // the next AM smoothing value for wave value a
    int PmValue(int p) const; // the PM output for wave value p (depth and sensitivity set)
    // True when a Step that does not move the phase would leave every output as it is.
    bool Settled() const;
};

inline bool Lfo::WaveValues(int& a, int& p) const {
    const int f = phase;
    switch (waveform) {
    case kLfoSaw:
        a = 255 - f;
        p = f < 128 ? f : f - 255;
        return true;
    case kLfoSquare:
        a = f < 128 ? 255 : 0;
        p = f < 128 ? 128 : -128;
        return true;
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
        return true;
    default: // noise: the value drawn at this phase, if one was drawn
        a = noiseValue;
        p = noiseValue - 128;
        return f == noisePhase;
    }
}

inline int Lfo::AmStep(int a) const {
    const uint32_t scaled = (static_cast<uint32_t>(a * amDepth) >> 7) << (amSens - 1);
    return (static_cast<int>(scaled) + amSmooth) >> 1;
}

inline int Lfo::PmValue(int p) const {
    const int q = (p * pmDepth) >> 7;
    return pmSens >= 6 ? q * (1 << (pmSens - 5)) : q >> (6 - pmSens);
}

inline void Lfo::Step() {
    counter += increment;
    if (counter >= threshold) {
        counter -= threshold;
        const uint32_t s = mantissa + fraction;
        phase = static_cast<int>((static_cast<uint32_t>(phase) + (s >> 4)) & 255u);
        fraction = s & 15u;
    }

    if ((waveform < kLfoSaw || waveform > kLfoTriangle) && phase != noisePhase) {
        noisePhase = phase;
        noiseValue = NextNoiseValue();
    }
    const bool withAm = amDepth != 0 && amSens != 0;
    const bool withPm = pmDepth != 0 && pmSens != 0;
    if (!withAm && !withPm) { // most programs: the phase runs on, nothing reads the wave
        amOut = 0;
        pmOut = 0;
        return;
    }
    int a;
    int p;
    WaveValues(a, p);
    amOut = withAm ? (amSmooth = AmStep(a)) : 0;
    pmOut = withPm ? PmValue(p) : 0;
}

} // namespace engine
