#pragma once
// The state of the render loop of one instance: what lies between the host's MIDI and sample rate
// on one side and the chip-rate voice engine on the other. Plain data; RenderLoop works on it.

#include "engine/ChipFilter.h"
#include "engine/ChipPhase.h"
#include "engine/Filter.h"
#include "engine/VoiceEventQueue.h"

namespace engine {

// The control-tick clock. The instrument base owns it (its reset sets it), the render loop runs it.
struct TickClock {
    int tickInterval = 0;      // host samples per control tick, about one millisecond
    int samplesToNextTick = 0; // <= 0: a tick is due
};

// Which controller drives the LFO PM depth, in the order of the PMD Controller parameter.
enum class PmdSource : int { None = 0, Aftertouch, ModWheel, Breath, Foot };

struct RenderState {
    VoiceEventQueue voiceEvents;

    double chipPhase = 0.0;   // chip-rate phase, in chip samples
    double chipRatio = 0.0;   // chip rate / host rate
    ChipPhaseJumps chipJumps; // prepared for chipRatio
    double history[4] = {};   // the last four filtered chip samples, oldest first
    ChipFilter chipFilter;
    HighPass outputFilter{1.0, 0.0}; // prepared by the first reset
    LowPass bendSmoother{1000.0, 10.0};
    LowPass pmdSmoother{1000.0, 10.0};
    double storedSampleRate = -1.0; // the host rate the chip-rate state was prepared for

    double pitchBend = 0.0; // -1..+1
    double modWheel = 0.0;  // 0..1 each
    double aftertouch = 0.0;
    double breath = 0.0;
    double foot = 0.0;
    PmdSource pmdSource = PmdSource::None;
    int lastPmdValue = 0;

    bool mono = false;
    bool lfoEnabled = true;
    bool outputLeft = true;
    bool outputRight = true;
    double volume = 0.5;     // Master Volume x 0.5
    double tuneOffset = 0.0; // 1/128 semitone
    double bendRange = 256.0;

    RenderState() {
        bendSmoother.Recompute();
        pmdSmoother.Recompute();
    }
    // The controller value the PMD source names, or null for none.
    const double* PmdValue() const {
        switch (pmdSource) {
        case PmdSource::Aftertouch:
            return &aftertouch;
        case PmdSource::ModWheel:
            return &modWheel;
        case PmdSource::Breath:
            return &breath;
        case PmdSource::Foot:
            return &foot;
        default:
            return nullptr;
        }
    }
};

} // namespace engine
