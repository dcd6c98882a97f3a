#include "engine/VoiceEngine.h"

#include <cmath>

#include "engine/PortamentoCurve.h"

namespace engine {

namespace {

// A parameter value as an integer in lo..hi: truncated like (int)v, NaN taken as lo.
int ToInt(double v, int lo, int hi) {
    if (!(v >= lo)) return lo;
    if (v >= hi) return hi;
    return static_cast<int>(v);
}

bool IsOn(double v) {
    return v >= 0.5;
}

// 2^((k)/32) - 1 for the exponential keyboard scaling, k = min(n, 107) - 32 in 0..75. Built once;
// the multiples of 32 are exact.
struct KeyScalingCurve {
    double factor[76];
    KeyScalingCurve() {
        for (int k = 0; k < 76; ++k) factor[k] = std::pow(2.0, k / 32.0) - 1.0;
        factor[0] = 0.0;
        factor[32] = 1.0;
        factor[64] = 3.0;
    }
};

const KeyScalingCurve& KsCurve() {
    static const KeyScalingCurve curve;
    return curve;
}

int ExponentialScaling(int n, int depth) {
    if (n < 32) return 0;
    const int k = (n < 107 ? n : 107) - 32;
    return static_cast<int>(std::trunc(KsCurve().factor[k] * depth)) * 8;
}

} // namespace

VoiceEngine::VoiceEngine() {
    Tables();
    KsCurve();
    SetChipKernel(ChipKernel::Fast);
    CopyFilterRows();
}

void VoiceEngine::CopyFilterRows() {
    const double coefficients[4] = {opFilter.b0, opFilter.b1, opFilter.c1, opFilter.c2};
    for (int k = 0; k < 16; ++k) opFilterRows[k] = coefficients[k / 4];
}

void VoiceEngine::Reset() {
    for (int v = 0; v < kVoiceCount; ++v) {
        VoiceControl& vc = bank.voice[v];
        vc.pitch = 7680;
        vc.active = vc.gate = vc.sustained = false;
        vc.note = 60;
        vc.velocity = 0;
        vc.age = 0;
        bank.egDivider[v] = 0;
    }
    if (opFilter.sampleRate != kChipRate) {
        opFilter.SetSampleRate(kChipRate);
        opFilter.SetCutoff(3500.0);
        CopyFilterRows();
        for (int op = 0; op < 4; ++op) {
            for (int s = 0; s < kSlotCount; ++s) {
                bank.x1[op][s] = bank.x2[op][s] = bank.y1[op][s] = bank.y2[op][s] = 0.0;
            }
        }
    }
    activeDirty = true;
}

void VoiceEngine::SetVoiceParam(int index, int op, double value) {
    if (index >= 2 && index <= 10) {
        SetGlobalParam(index, value);
    } else if (index >= 23 && index <= 39 && op >= 0 && op < 4) {
        SetOperatorParam(index - 23, op, value);
    }
}

void VoiceEngine::SetGlobalParam(int index, double value) {
    switch (index) {
    case 2:
    case 3:
    case 4:
    case 5:
        ops[index - 2].wave = ToInt(value, 0, 7);
        break;
    case 6:
        algorithm = ToInt(value, 0, 7);
        break;
    case 7:
        transpose = ToInt(value, -128, 127);
        break;
    case 9:
        portamentoTime = PortamentoSeconds(value);
        break;
    case 10: {
        const int feedback = ToInt(value, 0, 7);
        feedbackShift = feedback > 0 ? feedback + 6 : 0;
        break;
    }
    default: // 8 (bend range) belongs to the render loop
        break;
    }
}

void VoiceEngine::SetOperatorParam(int m, int op, double value) {
    OperatorSettings& s = ops[op];
    bool levelChanged = false;
    enum Rates { kNone, kAttack, kDecay1, kDecay2, kRelease, kAll } rates = kNone;
    switch (m) {
    case 0:
        s.enabled = IsOn(value);
        break;
    case 1:
        s.level = ((ToInt(value, 0, 127) & 127) + 24) * 8;
        levelChanged = true;
        break;
    case 2:
        s.velocitySens = ToInt(value, 0, 7) & 7;
        break;
    case 3:
        s.boost = IsOn(value);
        levelChanged = true;
        break;
    case 4: {
        const int f = ToInt(value, 0, 15) & 15;
        s.multiplier = f == 0 ? 1u : static_cast<uint32_t>(f * 2);
        break;
    }
    case 5:
        s.inharmonic = kInharmonicOffsets[ToInt(value, 0, 3)];
        break;
    case 6:
        s.dt1Row = (ToInt(value, 0, 7) & 7) * 32;
        break;
    case 7:
        s.ksType = ToInt(value, 0, 3);
        levelChanged = true;
        break;
    case 8:
        s.levelAdjust = ToInt(value, 0, 15) * 8;
        levelChanged = true;
        break;
    case 9:
        s.ksDepth = ToInt(value, 0, 15) & 15;
        levelChanged = true;
        break;
    case 10:
        s.env.ksShift = 5 - ToInt(value, 0, 3);
        rates = kAll;
        break;
    case 11:
        s.env.attackRate = ToInt(value, 0, 31);
        rates = kAttack;
        break;
    case 12:
        s.env.attackVelocity = (ToInt(value, 0, 3) & 3) * 4;
        rates = kAttack;
        break;
    case 13: {
        const int v = ToInt(value, 0, 31);
        s.env.decay1Index = v ? 2 * v + 32 : 0;
        rates = kDecay1;
        break;
    }
    case 14: {
        const int v = ToInt(value, 0, 31);
        s.env.decay2Index = v ? 2 * v + 32 : 0;
        rates = kDecay2;
        break;
    }
    case 15:
        s.env.sustainLevel = kSustainTable[ToInt(value, 0, 15)];
        break;
    case 16:
        s.env.releaseIndex = 4 * ToInt(value, 0, 15) + 34;
        rates = kRelease;
        break;
    default:
        break;
    }
    if (!levelChanged && rates == kNone) return;
    // Only sounding voices read their levels and rates; a silent voice catches up when it starts
    // (a program load changes dozens of settings while most voices are silent).
    ++settingsEpoch;
    const auto update = [&](int v) {
        if (levelChanged) RecomputeTotalLevel(v, op);
        const EnvelopeRef env = bank.Env(op, v);
        switch (rates) {
        case kAttack:
            EnvelopeRecomputeAttack(env, s.env);
            break;
        case kDecay1:
            EnvelopeRecomputeDecay1(env, s.env);
            break;
        case kDecay2:
            EnvelopeRecomputeDecay2(env, s.env);
            break;
        case kRelease:
            EnvelopeRecomputeRelease(env, s.env);
            break;
        case kAll:
            EnvelopeRecomputeAll(env, s.env);
            break;
        case kNone:
            break;
        }
        // A new release setting does not slow a voice that All Sound Off is fading out.
        if (bank.voice[v].silencing && (rates == kRelease || rates == kAll)) EnvelopeSilence(env);
    };
    // Over all 64 voices the list holds exactly the active ones (a voice left sounding from poly
    // mode is updated in mono mode too); the render rebuilds it for its own count when needed.
    if (activeDirty || activeListLimit != kVoiceCount) RebuildActiveList(kVoiceCount);
    for (int k = 0; k < soundingCount; ++k) update(soundingList[k]);
}

void VoiceEngine::SetLfoWaveform(int waveform) {
    lfo.SetWaveform(waveform);
}
void VoiceEngine::SetLfoSpeed(double speed) {
    lfo.SetSpeed(speed);
}
void VoiceEngine::SetLfoSync(bool sync) {
    lfoSync = sync;
}
void VoiceEngine::SetLfoAmDepth(int depth) {
    lfo.SetAmDepth(depth);
}
void VoiceEngine::SetLfoAmSensitivity(int sensitivity) {
    lfo.SetAmSensitivity(sensitivity);
}
void VoiceEngine::SetLfoPmDepth(int depth) {
    lfo.SetPmDepth(depth);
}
void VoiceEngine::SetLfoPmSensitivity(int sensitivity) {
    lfo.SetPmSensitivity(sensitivity);
}

bool VoiceEngine::VoiceActive(int v) const {
    return v >= 0 && v < kVoiceCount && bank.voice[v].active;
}

void VoiceEngine::RecomputeTotalLevel(int v, int op) {
    const OperatorSettings& s = ops[op];
    const VoiceControl& vc = bank.voice[v];
    const int velocityLevel = vc.velocityLevel[op];
    const int velocityTerm = s.boost ? ((3 * velocityLevel) >> 3) - 128 : velocityLevel;
    const int total = s.level + s.levelAdjust + vc.ksLevel[op] + velocityTerm;
    bank.totalLevel[op][v] = total > 0 ? total : 0;
}

void VoiceEngine::CatchUpSettings(int v) {
    if (settingsSeen[v] == settingsEpoch) return;
    settingsSeen[v] = settingsEpoch;
    // Levels and rates follow from the current settings and what the last key-on stored, so
    // computing them all now gives what every change since would have left.
    for (int op = 0; op < 4; ++op) {
        RecomputeTotalLevel(v, op);
        EnvelopeRecomputeAll(bank.Env(op, v), ops[op].env);
    }
}

void VoiceEngine::OperatorKeyOn(int v, int op, int keyCode, int n, int velocity) {
    const OperatorSettings& s = ops[op];
    VoiceControl& vc = bank.voice[v];
    bank.phase[op][v] = 0;
    vc.keyCode = keyCode;

    const int depth = s.ksDepth;
    int ksLevel = 0;
    switch (s.ksType) {
    case 0:
        ksLevel = n > 15 ? ((n - 16) * depth / 56) * 8 : 0;
        break;
    case 1:
        ksLevel = n <= 120 ? ((120 - n) * depth / 56) * 8 : 0;
        break;
    case 2:
        ksLevel = ExponentialScaling(n, depth);
        break;
    default:
        ksLevel = ExponentialScaling(127 - n, depth);
        break;
    }
    vc.ksLevel[op] = static_cast<int16_t>(ksLevel);

    const int sens = s.velocitySens;
    int velocityLevel;
    if (sens == 0)
        velocityLevel = 0;
    else if (sens == 7 && velocity > 124)
        velocityLevel = -((velocity - 63) * 3);
    else
        velocityLevel = -(((velocity - 63) * sens * 3) >> 3);
    vc.velocityLevel[op] = static_cast<int16_t>(velocityLevel);

    RecomputeTotalLevel(v, op);
    EnvelopeKeyOn(bank.Env(op, v), s.env, keyCode, velocity);
}

void VoiceEngine::ControlUpdate(int voiceCount, double pitchOffset) {
    if (voiceCount > kVoiceCount) voiceCount = kVoiceCount;
    if (voiceCount < 0) voiceCount = 0;
    // The update skips a voice that is not active, so only the sounding ones are visited. The
    // list stays as it is during the loop: a voice that stops only marks it for rebuilding.
    if (activeDirty || activeListLimit != voiceCount) RebuildActiveList(voiceCount);
    const int count = soundingCount;
    for (int k = 0; k < count; ++k) VoiceControlUpdate(soundingList[k], pitchOffset);
}

void VoiceEngine::VoiceControlUpdate(int v, double pitchOffset) {
    VoiceControl& vc = bank.voice[v];
    if (!vc.active) return;
    if (vc.glideTicks > 0) {
        vc.glideTicks -= 1;
        vc.pitch += vc.pitchSlope;
        if (vc.glideTicks <= 0) vc.pitch = vc.targetPitch;
    }
    // A pitch below 0 (only reachable through microtuning) is held at 0 instead of being read as
    // a huge unsigned value; far above the table it is held too, so the conversion stays defined.
    double q = vc.pitch + pitchOffset;
    if (!(q >= 0.0)) q = 0.0;
    if (q > 1048576.0) q = 1048576.0;
    const uint32_t p = static_cast<uint32_t>(std::lround(q));
    const uint32_t h = p >> 1;
    const uint32_t s = ((h - 768u) >> 6) & 255u; // semitones above note 12, as a byte
    const int keyCode = static_cast<int>((s + s / 3u - 4u) & 255u);
    const int freqIndex = static_cast<int>(h) - 187;
    vc.keyCode = keyCode;
    vc.freqIndex = freqIndex;

    const EngineTables& t = Tables();
    for (int op = 0; op < 4; ++op) {
        const OperatorSettings& st = ops[op];
        int dt1Index = st.dt1Row + (keyCode >> 2);
        if (dt1Index > kDt1TabSize - 1) dt1Index = kDt1TabSize - 1;
        const int dt1Offset = t.dt1[dt1Index];
        int fi = freqIndex + st.inharmonic;
        fi = fi < 0 ? 0 : (fi > kFreqIndexMax ? kFreqIndexMax : fi);
        bank.dt1Offset[op][v] = dt1Offset;
        bank.increment[op][v] =
            (static_cast<uint32_t>(t.freq[fi] + dt1Offset) * st.multiplier) >> 1;
    }

    const bool wasActive = vc.active;
    vc.active = bank.envState[0][v] != kEnvOff ||
                (algorithm >= 4 && bank.envState[2][v] != kEnvOff) ||
                (algorithm >= 5 && bank.envState[1][v] != kEnvOff) ||
                (algorithm == 7 && bank.envState[3][v] != kEnvOff);
    if (vc.active != wasActive) activeDirty = true;
}

} // namespace engine
