#pragma once
// The single LFO of an instance: an 8-bit phase advanced by a counter with a speed mantissa and
// exponent, four waves, and the AM and PM outputs that every voice reads each chip sample.

#include <cstdint>

namespace engine {

enum LfoWaveform : int { kLfoSaw = 0, kLfoSquare = 1, kLfoTriangle = 2, kLfoNoise = 3 };

class Lfo {
public:
    // One chip sample: advance the phase, then form the AM and PM outputs.
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

} // namespace engine
