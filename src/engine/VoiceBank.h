#pragma once
// The state of the 64 voices, laid out as arrays across voices (one array per operator field) so
// that the chip-rate kernel can run several voices side by side. Values that the parameters set
// identically in every voice are kept once per operator in OperatorSettings.

#include <cstdint>

#include "engine/Envelope.h"

namespace engine {

constexpr int kVoiceSlots = 64;
constexpr int kSlotCount = kVoiceSlots; // rows stay 64-byte aligned: 64 entries per row

// Per-operator values that every voice shares (parameters reach all 64 voices alike).
struct OperatorSettings {
    bool enabled = false;
    bool boost = false;      // OP Boost "Modulator": 12 dB louder, ignores LFO AM
    int wave = 0;            // 0..7
    uint32_t multiplier = 0; // 1 for Frequency 0, else 2 * Frequency
    int inharmonic = 0;      // 1/64 semitone
    int dt1Row = 0;          // Detune * 32
    int ksType = 0;          // 0..3
    int ksDepth = 0;         // 0..15
    int level = 0;           // (OP Level + 24) * 8
    int levelAdjust = 0;     // Level Adjust * 8
    int velocitySens = 0;    // 0..7
    EnvelopeSettings env;
};

// Per-voice values used at control rate and at note-on.
struct VoiceControl {
    bool active = false;
    bool gate = false;
    bool sustained = false;
    bool silencing = false; // fading out after All Sound Off, until its next key-on
    int note = 60;          // received MIDI note, before transpose
    int velocity = 0;
    uint32_t age = 0; // sequence number of the last note-on
    double pitch = 7680;
    double pitchSlope = 0;
    int targetPitch = 7680;
    int glideTicks = 0;
    int keyCode = 0;   // from the current pitch, for detune
    int freqIndex = 0; // from the current pitch
    int16_t ksLevel[4] = {};
    int16_t velocityLevel[4] = {};
};

// Operator state of every voice, indexed [operator][slot].
struct VoiceBank {
    VoiceBank() {
        for (int op = 0; op < 4; ++op)
            for (int v = 0; v < kSlotCount; ++v) {
                envState[op][v] = kEnvOff;
                envVolume[op][v] = 1023;
                envShift[op][v] = 0;
                envSelect[op][v] = kEgHoldSelect;
            }
    }

    // The envelope of operator op in slot v.
    EnvelopeRef Env(int op, int v) {
        return {envState[op][v], envVolume[op][v], envCounter[op][v],
                envShift[op][v], envSelect[op][v], envRates[op][v]};
    }

    alignas(64) uint32_t phase[4][kSlotCount] = {};
    alignas(64) uint32_t increment[4][kSlotCount] = {};
    alignas(64) int32_t output[4][kSlotCount] = {};     // last raw tl_tab value (feedback)
    alignas(64) int32_t totalLevel[4][kSlotCount] = {}; // static attenuation, >= 0
    alignas(64) int32_t dt1Offset[4][kSlotCount] = {};
    // Output low-pass state (x1, x2, y1, y2) of every operator.
    alignas(64) double x1[4][kSlotCount] = {};
    alignas(64) double x2[4][kSlotCount] = {};
    alignas(64) double y1[4][kSlotCount] = {};
    alignas(64) double y2[4][kSlotCount] = {};
    // The envelopes, field by field (see EnvelopeRef).
    alignas(64) int32_t envState[4][kSlotCount];
    alignas(64) int32_t envVolume[4][kSlotCount];
    alignas(64) uint32_t envCounter[4][kSlotCount] = {};
    alignas(64) int32_t envShift[4][kSlotCount];
    alignas(64) int32_t envSelect[4][kSlotCount];
    EnvelopeRates envRates[4][kSlotCount];
    // Chip samples until each voice's envelopes step next (they step every third one).
    alignas(64) int32_t egDivider[kSlotCount] = {};
    VoiceControl voice[kSlotCount];
};

} // namespace engine
