#include "Variations.h"

#include "Sequence.h"
#include "engine/InstrumentParams.h"

#include <algorithm>
#include <functional>

namespace bankgen {

using namespace engine;

namespace {

using Edit = std::function<void(Program&, int)>;

// Calls f for every operator that sounds and is (or is not) a carrier.
template <typename F> void ForCarriers(Program& p, F f) {
    for (int op = 0; op < kOperatorCount; ++op)
        if (SoundingCarrier(p.values, op)) f(op);
}
template <typename F> void ForModulators(Program& p, F f) {
    for (int op = 0; op < kOperatorCount; ++op)
        if (SoundingModulator(p.values, op)) f(op);
}

int CarrierCount(const Values& v) {
    int n = 0;
    for (int op = 0; op < kOperatorCount; ++op) n += SoundingCarrier(v, op) ? 1 : 0;
    return n;
}

// The engine's detune rows 0..7 as a signed amount -3..+3 and back.
int SignedDetune(int row) {
    return row <= 3 ? row : 4 - row;
}
int DetuneRow(int amount) {
    amount = std::max(-3, std::min(3, amount));
    return amount >= 0 ? amount : 4 - amount;
}

void ScaleRelease(Program& p, int factor) {
    p.facts.releaseMs = std::min(10000, p.facts.releaseMs * factor);
}

void Brighter(Program& p, int s) {
    ForModulators(p, [&](int op) { NudgeOp(p.values, op, kOpLevel, -3 * s); });
    if (Get(p.values, kFeedback) > 0) Nudge(p.values, kFeedback, 1);
}

void Darker(Program& p, int s) {
    ForModulators(p, [&](int op) { NudgeOp(p.values, op, kOpLevel, 4 * s); });
    Nudge(p.values, kFeedback, -1);
}

void Softer(Program& p, int s) {
    ForModulators(p, [&](int op) { NudgeOp(p.values, op, kOpLevel, 3 * s); });
    ForCarriers(p, [&](int op) {
        int a = GetOp(p.values, op, kOpAttack);
        PutOp(p.values, op, kOpAttack, std::min(a, 24 - 2 * s));
    });
}

void Longer(Program& p, int s) {
    for (int op = 0; op < kOperatorCount; ++op) {
        NudgeOp(p.values, op, kOpRelease, -2 * s);
        if (GetOp(p.values, op, kOpRelease) < 1) PutOp(p.values, op, kOpRelease, 1);
        int d2 = GetOp(p.values, op, kOpDecay2);
        if (d2 > 0) PutOp(p.values, op, kOpDecay2, std::max(1, d2 - 3 * s));
    }
    // Two release steps are four rate-table steps: the release takes four times as long.
    for (int i = 0; i < s; ++i) ScaleRelease(p, 4);
}

void Percussive(Program& p, int s) {
    // The first few hundred milliseconds stay as they are (they carry the sound's loudness);
    // what follows dies away sooner.
    for (int op = 0; op < kOperatorCount; ++op) {
        if (!OpSounds(p.values, op)) continue;
        bool carrier = IsCarrier(Get(p.values, kAlgorithm), op);
        int d1 = GetOp(p.values, op, kOpDecay1);
        if (d1 == 0)
            PutOp(p.values, op, kOpDecay1, 8 + s);
        else if (!carrier)
            PutOp(p.values, op, kOpDecay1, std::min(31, d1 + 2 * s));
        int sl = GetOp(p.values, op, kOpSustain);
        PutOp(p.values, op, kOpSustain, std::max(sl, carrier ? 2 + s : 3 + s));
        int d2 = GetOp(p.values, op, kOpDecay2);
        PutOp(p.values, op, kOpDecay2, std::max(d2 + 2 * s, 8 + 2 * s));
        if (carrier) PutOp(p.values, op, kOpAttack, 31);
        int rr = GetOp(p.values, op, kOpRelease);
        PutOp(p.values, op, kOpRelease, std::max(rr, 7));
    }
}

void Detuned(Program& p, int s) {
    if (CarrierCount(p.values) >= 2) {
        // Carriers pulled apart beat against each other; every second one is made a little
        // softer so that the beats swell and dip instead of cancelling to silence.
        int sign = 1;
        ForCarriers(p, [&](int op) {
            PutOp(p.values, op, kOpDetune, DetuneRow(sign * (s + 1)));
            if (sign < 0) NudgeOp(p.values, op, kOpLevel, 4);
            sign = -sign;
        });
    } else {
        ForCarriers(p, [&](int op) { PutOp(p.values, op, kOpDetune, DetuneRow(s + 1)); });
        ForModulators(p, [&](int op) { PutOp(p.values, op, kOpDetune, DetuneRow(-s)); });
    }
}

void VelocitySensitive(Program& p, int s) {
    for (int op = 0; op < kOperatorCount; ++op) {
        if (!OpSounds(p.values, op)) continue;
        NudgeOp(p.values, op, kOpVelocity, 2 * s);
        if (IsCarrier(Get(p.values, kAlgorithm), op))
            PutOp(p.values, op, kOpAttackVelocity,
                  std::max(1, GetOp(p.values, op, kOpAttackVelocity)));
    }
}

void Slower(Program& p, int s) {
    static const int kAttack[kMaxStrength] = {10, 8, 7}; // about 0.4, 0.7 and 1 s to full level
    static const int kOnset[kMaxStrength] = {600, 1200, 2000};
    // The loudness that counts is the first second's; a slower start gets louder carriers so
    // that it still reaches its level there.
    static const int kLouder[kMaxStrength] = {0, 2, 4};
    int carrierAttack = kAttack[s - 1];
    ForCarriers(p, [&](int op) {
        PutOp(p.values, op, kOpAttack, std::min(GetOp(p.values, op, kOpAttack), carrierAttack));
        int level = GetOp(p.values, op, kOpLevel) - kLouder[s - 1];
        if (level < 0 && GetOp(p.values, op, kOpBoost) == 0) {
            PutOp(p.values, op, kOpBoost, 1);
            level += 16; // boost is 12 dB: 16 level steps
        }
        PutOp(p.values, op, kOpLevel, std::max(0, level));
    });
    ForModulators(p, [&](int op) {
        PutOp(p.values, op, kOpAttack, std::min(GetOp(p.values, op, kOpAttack), carrierAttack + 2));
    });
    p.facts.onsetMs = std::max(p.facts.onsetMs, kOnset[s - 1]);
}

void Vibrato(Program& p, int s) {
    Put(p.values, kLfoEnable, 1);
    Put(p.values, kLfoWaveform, 2);
    Put(p.values, kLfoSpeed, 198);
    Put(p.values, kLfoPmDepth, 16 + 8 * s);
    Put(p.values, kLfoPmSensitivity, 5);
}

void WheelVibrato(Program& p, int s) {
    Put(p.values, kLfoEnable, 1);
    Put(p.values, kLfoWaveform, 2);
    Put(p.values, kLfoSpeed, 200);
    Put(p.values, kLfoPmSensitivity, 4 + std::min(s, 2));
    Put(p.values, kPmdController, 2);
}

void Tremolo(Program& p, int s) {
    Put(p.values, kLfoEnable, 1);
    Put(p.values, kLfoWaveform, 2);
    Put(p.values, kLfoSpeed, 196);
    Put(p.values, kLfoAmDepth, 20 + 12 * s);
    Put(p.values, kLfoAmSensitivity, 1);
}

void Octave(Program& p, int steps) {
    Nudge(p.values, kTranspose, 12 * steps);
    if (p.facts.pitch > 0.0) p.facts.pitch *= steps > 0 ? 2.0 : 0.5;
    // Lower keys run their rates slower, so the release takes longer.
    if (steps < 0) p.facts.releaseMs = std::min(10000, p.facts.releaseMs * 3 / 2);
}

void Legato(Program& p, int s) {
    Put(p.values, kMode, 1);
    Put(p.values, kPortamento, 16 + 12 * s);
}

void Punchy(Program& p, int s) {
    ForModulators(p, [&](int op) {
        NudgeOp(p.values, op, kOpLevel, -2 * s);
        int d1 = GetOp(p.values, op, kOpDecay1);
        PutOp(p.values, op, kOpDecay1, d1 == 0 ? 12 + 2 * s : std::min(31, d1 + 3 * s));
        NudgeOp(p.values, op, kOpSustain, 2 * s);
    });
}

void KeyTracked(Program& p, int s) {
    ForModulators(p, [&](int op) {
        PutOp(p.values, op, kOpKeyScalingType, 0);
        PutOp(p.values, op, kOpKeyScalingDepth, 4 + 3 * s);
    });
}

void Sustained(Program& p, int s) {
    ForCarriers(p, [&](int op) {
        PutOp(p.values, op, kOpDecay2, 0);
        PutOp(p.values, op, kOpSustain, std::min(GetOp(p.values, op, kOpSustain), 2 + s));
    });
}

void Waves(Program& p, int s) {
    static const int kWave[kMaxStrength] = {2, 4, 6}; // W3, W5, W7 on the modulators
    ForModulators(p, [&](int op) { Put(p.values, kOp1Wave + op, kWave[s - 1]); });
}

void Hollow(Program& p, int s) {
    // Only where every carrier sits on the fundamental: then 1:2 pairs still give a harmonic
    // spectrum on the same fundamental, with the even harmonics thinned out.
    for (int op = 0; op < kOperatorCount; ++op)
        if (SoundingCarrier(p.values, op) && GetOp(p.values, op, kOpFrequency) != 1) return;
    ForModulators(p, [&](int op) {
        if (GetOp(p.values, op, kOpFrequency) == 1) PutOp(p.values, op, kOpFrequency, 2);
        NudgeOp(p.values, op, kOpLevel, 2 - 2 * s);
    });
}

void Metallic(Program& p, int s) {
    static const int kInharmonic[kMaxStrength] = {1, 3, 2}; // 1.41, 1.73, 1.57
    ForModulators(p, [&](int op) { PutOp(p.values, op, kOpInharmonic, kInharmonic[s - 1]); });
    p.facts.pitch = 0.0; // the partials no longer share one fundamental
}

void Swell(Program& p, int s) {
    // The modulators open slowly; the carriers still speak at once. A pitched sound needs a
    // carrier on the fundamental (or below): carriers on higher harmonics alone would be heard
    // at first without their modulation, at the wrong pitch.
    bool fundamental = p.facts.pitch <= 0.0;
    for (int op = 0; op < kOperatorCount; ++op)
        fundamental = fundamental ||
                      (SoundingCarrier(p.values, op) && GetOp(p.values, op, kOpFrequency) <= 1);
    if (!fundamental) return;
    ForModulators(p, [&](int op) {
        PutOp(p.values, op, kOpAttack, std::min(GetOp(p.values, op, kOpAttack), 10 - 2 * s));
    });
}

void Rotary(Program& p, int s) {
    Put(p.values, kLfoEnable, 1);
    Put(p.values, kLfoWaveform, 2);
    Put(p.values, kLfoSpeed, 206 + 2 * s);
    Put(p.values, kLfoPmDepth, 10 + 4 * s);
    Put(p.values, kLfoPmSensitivity, 4);
    Put(p.values, kLfoAmDepth, 14 + 6 * s);
    Put(p.values, kLfoAmSensitivity, 1);
}

struct Entry {
    VariationInfo info;
    Edit edit;
};

const std::vector<Entry>& Table() {
    static const std::vector<Entry> table = {
        {{"bright", "Brt", "modulators 3 levels louder per strength, feedback +1"}, Brighter},
        {{"dark", "Drk", "modulators 4 levels softer per strength, feedback -1"}, Darker},
        {{"soft", "Sft", "modulators 3 levels softer per strength, gentler carrier attack"},
         Softer},
        {{"long", "Lng", "release 2 steps slower per strength, decay 2 slower (allowance x4)"},
         Longer},
        {{"perc", "Prc", "percussive: faster decays, lower sustain, instant attack"}, Percussive},
        {{"detune", "Det", "carriers detuned against each other (or against the modulators)"},
         Detuned},
        {{"velo", "Vel", "velocity sensitivity +2 per strength, attack follows velocity"},
         VelocitySensitive},
        {{"slow", "Slw",
          "slow attack: about 0.4, 0.7 or 1 s, carriers louder (onset allowance raised)"},
         Slower},
        {{"vibrato", "Vib", "triangle LFO vibrato at about 5.5 Hz"}, Vibrato},
        {{"wheel", "Mod", "vibrato depth on the modulation wheel"}, WheelVibrato},
        {{"tremolo", "Trm", "triangle LFO tremolo at about 4.8 Hz"}, Tremolo},
        {{"octup", "Hi", "transposed an octave up per strength"},
         [](Program& p, int s) {
             for (int i = 0; i < s; ++i) Octave(p, 1);
         }},
        {{"octdown", "Lo", "transposed an octave down per strength (release allowance x1.5)"},
         [](Program& p, int s) {
             for (int i = 0; i < s; ++i) Octave(p, -1);
         }},
        {{"legato", "Leg", "mono with portamento"}, Legato},
        {{"punch", "Pch", "brighter attack transient that settles quickly"}, Punchy},
        {{"keytrack", "Key", "modulators softer towards the high keys"}, KeyTracked},
        {{"sustain", "Sus", "carriers hold their sustain level instead of dying away"}, Sustained},
        {{"waves", "Wav", "modulators use wave W3, W5 or W7 (not on the hardware module)"}, Waves},
        {{"hollow", "Hlw", "1:1 modulators moved to 1:2 (odd harmonics; carriers on 1 only)"},
         Hollow},
        {{"metal", "Mtl", "inharmonic modulators: a clangorous, unpitched version"}, Metallic},
        {{"swell", "Swl", "modulators open slowly, carriers speak at once (needs the fundamental)"},
         Swell},
        {{"rotary", "Rot", "fast vibrato and tremolo together, like a rotating speaker"}, Rotary},
    };
    return table;
}

} // namespace

const std::vector<VariationInfo>& Variations() {
    static const std::vector<VariationInfo> infos = [] {
        std::vector<VariationInfo> list;
        for (const Entry& e : Table()) list.push_back(e.info);
        return list;
    }();
    return infos;
}

const VariationInfo* FindVariation(const std::string& name) {
    for (const VariationInfo& info : Variations())
        if (name == info.name) return &info;
    return nullptr;
}

bool ApplyVariation(const std::string& name, int strength, Program& program) {
    strength = std::max(1, std::min(kMaxStrength, strength));
    for (const Entry& e : Table()) {
        if (name != e.info.name) continue;
        e.edit(program, strength);
        return true;
    }
    return false;
}

void ApplyJitter(Program& program, int strength, Sequence& sequence) {
    Values& v = program.values;
    // The values a nudge may touch: what colours the sound, never what it is.
    std::vector<std::pair<int, int>> targets; // (parameter index, how far it may move)
    int carriers = CarrierCount(v);
    for (int op = 0; op < kOperatorCount; ++op) {
        if (SoundingModulator(v, op)) {
            targets.push_back({OpParam(op, kOpLevel), 1});
            targets.push_back({OpParam(op, kOpLevel), 1});
            targets.push_back({OpParam(op, kOpVelocity), 1});
            targets.push_back({OpParam(op, kOpDetune), 1});
            if (GetOp(v, op, kOpDecay1) > 0 && GetOp(v, op, kOpDecay1) < 31)
                targets.push_back({OpParam(op, kOpDecay1), 1});
        } else if (SoundingCarrier(v, op)) {
            targets.push_back({OpParam(op, kOpDetune), 1});
            if (carriers >= 2) targets.push_back({OpParam(op, kOpLevel), 1});
        }
    }
    bool lfoHeard =
        Get(v, kLfoEnable) != 0 && ((Get(v, kLfoPmDepth) > 0 && Get(v, kLfoPmSensitivity) > 0) ||
                                    (Get(v, kLfoAmDepth) > 0 && Get(v, kLfoAmSensitivity) > 0));
    if (lfoHeard) targets.push_back({kLfoSpeed, 2});
    if (targets.empty()) return;
    for (int i = 0; i < strength; ++i) {
        const auto& target = targets[static_cast<std::size_t>(
            sequence.Between(0, static_cast<int>(targets.size()) - 1))];
        int step = sequence.Between(0, 1) ? target.second : -target.second;
        int index = target.first;
        bool detune = index >= kGlobalParamCount &&
                      (index - kGlobalParamCount) % kOperatorParamCount == kOpDetune;
        if (detune) {
            // Detune moves on its signed scale and stays within two steps of centre.
            int d = std::max(-2, std::min(2, SignedDetune(Get(v, index)) + step));
            Put(v, index, DetuneRow(d));
        } else {
            Nudge(v, index, step);
        }
    }
}

} // namespace bankgen
