#pragma once
// The shared tables of the FM engine: logarithmic sine and exponent tables, the frequency table
// built from the phase-increment ROM, the detune table and the envelope rate tables. The computed
// tables are built once per process on first use and shared read-only by every instance.

#include <cstdint>

namespace engine {

constexpr int kTlTabSize = 13 * 512; // 6656: attenuation index limit, output 0 from here on
constexpr int kSinTabSize = 1024;
constexpr int kFreqTabSize = 11 * 768; // octaves -1..9
constexpr int kFreqIndexMax = kFreqTabSize - 1;
constexpr int kDt1TabSize = 8 * 32;
constexpr int kWaveCount = 8;

// Envelope increments: 19 rows of 8, a row chosen by select = row * 8.
extern const uint8_t kEgInc[19 * 8];
constexpr uint8_t kEgHoldSelect = 144;    // row 18: no change
constexpr uint8_t kEgInstantSelect = 136; // row 17: attack in one step
extern const uint8_t kRateShift[128];
extern const uint8_t kRateSelect[128];
extern const int kSustainTable[16];

// The phase-increment ROM of the reference octave (768 steps of 1/64 semitone).
extern const uint16_t kPhaseIncrementRom[768];
// Detune ROM: 4 rows of 32, indexed by key code >> 2.
extern const uint8_t kDetuneRom[4][32];
// Inharmonic offsets in 1/64 semitone for OP Inharmonic 0..3.
extern const int kInharmonicOffsets[4];

struct EngineTables {
    // tl_tab, with one extra 0 entry at kTlTabSize so that a clamped index yields silence.
    int32_t tl[kTlTabSize + 1];
    int32_t sin[kSinTabSize];
    int32_t freq[kFreqTabSize];
    int32_t dt1[kDt1TabSize];
    // The eight operator waves looked up by 10-bit phase index, already doubled where the wave
    // asks for it, so that the chip path needs one look-up per wave.
    int32_t wave[kWaveCount][kSinTabSize];
    // kEgInc as 32-bit entries, for vector look-ups.
    int32_t egInc[19 * 8];
};

// The tables, built on the first call (thread-safe) and never changed afterwards.
const EngineTables& Tables();

} // namespace engine
