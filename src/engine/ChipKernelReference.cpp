// The reference chip kernel: the voice and operator steps exactly as described, one voice at a
// time. It is the definition the faster kernels are tested against.

#include <cmath>

#include "engine/ChipKernel.h"
#include "engine/VoiceEngine.h"

namespace engine {

int VoiceEngine::ChipSampleReference(int voiceCount, int pm, int am) {
    int sum = 0;
    for (int v = 0; v < voiceCount; ++v) sum += VoiceChipSample(v, pm, am);
    return sum;
}

int VoiceEngine::VoiceChipSample(int v, int pm, int am) {
    if (!bank.voice[v].active) return 0;
    if (--bank.egDivider[v] <= 0) {
        bank.egDivider[v] = 3;
        for (int op = 0; op < 4; ++op) {
            EnvelopeStep(bank.Env(op, v), ops[op].env.sustainLevel);
        }
    }
    const Routing& r = kRouting[algorithm];
    int sums[8] = {};
    const uint32_t feedback = static_cast<uint32_t>(bank.output[3][v]) << feedbackShift;
    sums[3] = ops[3].enabled ? OperatorOutput(v, 3, feedback, pm, ops[3].boost ? 0 : am) : 0;
    sums[2] = ops[2].enabled ? OperatorOutput(v, 2, static_cast<uint32_t>(sums[r.input2]) << 15, pm,
                                              ops[2].boost ? 0 : am)
                             : 0;
    sums[6] = sums[2] + sums[3];
    sums[1] = ops[1].enabled ? OperatorOutput(v, 1, static_cast<uint32_t>(sums[r.input1]) << 15, pm,
                                              ops[1].boost ? 0 : am)
                             : 0;
    sums[4] = sums[1] + sums[2];
    sums[5] = sums[1] + sums[3];
    sums[7] = sums[1] + sums[2] + sums[3];
    const int out0 = ops[0].enabled
                         ? OperatorOutput(v, 0, static_cast<uint32_t>(sums[r.input0]) << 15, pm,
                                          ops[0].boost ? 0 : am)
                         : 0;
    return sums[r.carrier] + out0;
}

int VoiceEngine::OperatorOutput(int v, int op, uint32_t modulation, int pm, int am) {
    const EngineTables& t = Tables();
    const OperatorSettings& s = ops[op];
    const uint32_t phase = bank.phase[op][v];
    const int i = static_cast<int>(((phase & 0xFFFF0000u) + modulation) >> 16) & 1023;

    const int sine = t.sin[i];
    const int half = t.sin[i < 512 ? i : 0];
    const int full = i < 512 ? t.sin[2 * i] : t.sin[0];
    const int humps = i < 512 ? t.sin[2 * (i % 256)] : t.sin[0];
    const int shapes[4] = {sine, half, full, humps};
    int l = shapes[s.wave >> 1];
    if (s.wave & 1) l = 2 * l + (l & 1);

    const int a = (bank.totalLevel[op][v] + bank.envVolume[op][v] + am) * 8 + l;
    const int output = a < kTlTabSize ? t.tl[a] : 0;
    bank.output[op][v] = output;

    uint32_t inc;
    if (pm != 0) {
        const int fi = ClampFreqIndex(bank.voice[v].freqIndex + s.inharmonic + pm);
        inc = (static_cast<uint32_t>(t.freq[fi] + bank.dt1Offset[op][v]) * s.multiplier) >> 1;
    } else {
        inc = bank.increment[op][v];
    }
    bank.phase[op][v] = phase + inc;

    // The output low-pass, literally as Filter::Process does it.
    double& x1 = bank.x1[op][v];
    double& x2 = bank.x2[op][v];
    double& y1 = bank.y1[op][v];
    double& y2 = bank.y2[op][v];
    double x = output;
    if (!IsNormalFinite(x)) x = 0.0;
    if (!IsNormalFinite(x1)) x1 = 0.0;
    if (!IsNormalFinite(x2)) x2 = 0.0;
    if (!IsNormalFinite(y1)) y1 = 0.0;
    if (!IsNormalFinite(y2)) y2 = 0.0;
    const double y =
        ((opFilter.b0 * (x + x2) + opFilter.b1 * x1) + opFilter.c1 * y1) + opFilter.c2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return static_cast<int>(std::lround(y));
}

} // namespace engine
