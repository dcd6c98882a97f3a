#pragma once
// A Vorna instance opened at a chosen rate and block size, with helpers to set parameters as the
// host does, queue MIDI and render into double buffers.

#include "VornTestSupport.h"
#include "engine/InstrumentParams.h"

#include <vector>

class RenderingVorn {
public:
    explicit RenderingVorn(double rate = 44100.0, int block = 512) {
        vorn.host.Open(rate, block);
        // Every parameter at its default: one plain sound, whatever the start-up bank holds.
        for (int i = 0; i < engine::kParamCount; ++i) Set(i, Plugin().GetParam(i).Default());
    }
    vorn::Vorn& Plugin() { return vorn.Plugin(); }

    void Set(int index, double value) {
        Plugin().GetParam(index).SetClamped(value);
        Plugin().ParamChanged(index);
    }
    // OP1 alone as a carrier: a plain sine of the note's pitch.
    void SingleSine() {
        Set(engine::kAlgorithm, 7);
        for (int op = 2; op <= 4; ++op) Set(engine::OperatorParamIndex(op, engine::kOpEnable), 0);
    }
    void Midi(int offset, int status, int data1, int data2) {
        vorn.host.SendMidi(offset, static_cast<std::uint8_t>(status),
                           static_cast<std::uint8_t>(data1), static_cast<std::uint8_t>(data2));
    }
    // Renders frames through processDoubleReplacing; returns the left channel and keeps the right.
    std::vector<double> Render(int frames) {
        left.assign(static_cast<std::size_t>(frames), 7.0);
        right.assign(static_cast<std::size_t>(frames), 7.0);
        std::vector<double> in(static_cast<std::size_t>(frames), 0.0);
        double* inputs[] = {in.data()};
        double* outputs[] = {left.data(), right.data()};
        vst2::AEffect* effect = vorn.Effect();
        effect->processDoubleReplacing(effect, inputs, outputs, frames);
        return left;
    }

    VornInstance vorn;
    std::vector<double> left, right;
};

// Index of the first sample whose magnitude exceeds threshold, or -1.
inline int FirstSound(const std::vector<double>& samples, double threshold = 1e-9) {
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (samples[i] > threshold || samples[i] < -threshold) return static_cast<int>(i);
    return -1;
}

inline double Peak(const std::vector<double>& samples) {
    double peak = 0.0;
    for (double v : samples) peak = std::max(peak, v < 0 ? -v : v);
    return peak;
}
