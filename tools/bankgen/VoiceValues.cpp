#include "VoiceValues.h"

#include "engine/InstrumentParams.h"

#include <cmath>

namespace bankgen {

using namespace engine;

Values DefaultValues() {
    Values values{};
    const auto& table = InstrumentParamDefinitions();
    for (int i = 0; i < kParamCount; ++i)
        values[static_cast<std::size_t>(i)] = table[static_cast<std::size_t>(i)].defaultValue;
    return values;
}

int OpParam(int op, int m) {
    return OperatorParamIndex(op + 1, m);
}

bool IsCarrier(int algorithm, int op) {
    switch (algorithm) {
    case 4:
        return op == 0 || op == 2;
    case 5:
    case 6:
        return op <= 2;
    case 7:
        return true;
    default:
        return op == 0;
    }
}

int Get(const Values& values, int index) {
    return static_cast<int>(std::lround(values[static_cast<std::size_t>(index)]));
}

void Put(Values& values, int index, double value) {
    const ParamDefinition& d = InstrumentParamDefinitions()[static_cast<std::size_t>(index)];
    if (value < d.min) value = d.min;
    if (value > d.max) value = d.max;
    if (d.type == ParamType::Double)
        value = std::floor(value * 100.0 + 0.5) / 100.0;
    else
        value = std::floor(value + 0.5);
    values[static_cast<std::size_t>(index)] = value;
}

void Nudge(Values& values, int index, int delta) {
    Put(values, index, Get(values, index) + delta);
}

bool OpSounds(const Values& values, int op) {
    return GetOp(values, op, kOpEnable) != 0 && GetOp(values, op, kOpLevel) < 127;
}

bool SoundingCarrier(const Values& values, int op) {
    return IsCarrier(Get(values, kAlgorithm), op) && OpSounds(values, op);
}

bool SoundingModulator(const Values& values, int op) {
    return !IsCarrier(Get(values, kAlgorithm), op) && OpSounds(values, op);
}

bool OnlyFirstWave(const Values& values) {
    for (int op = 0; op < kOperatorCount; ++op)
        if (Get(values, kOp1Wave + op) != 0) return false;
    return true;
}

} // namespace bankgen
