#include "engine/InstrumentParams.h"

#include "common/NumberText.h"

#include <cmath>

namespace engine {

std::string MasterVolumeDisplay(double value) {
    if (value <= 0.0) return "-oo";
    return common::FormatFixed(20.0 * std::log10(value), 1);
}

std::string FrequencyDisplay(double value) {
    if (value < 0.5) return "0.5";
    return common::FormatFixed(value, 0);
}

namespace {

ParamDefinition Int(const std::string& name, double min, double max, double defaultValue) {
    return ParamDefinition{name, ParamType::Int, min, max, 1.0, defaultValue, {}, nullptr};
}

ParamDefinition Enum(const std::string& name, double defaultValue, std::vector<std::string> texts) {
    double max = static_cast<double>(texts.size()) - 1.0;
    return ParamDefinition{name,         ParamType::Enum,  0.0,    max, 1.0,
                           defaultValue, std::move(texts), nullptr};
}

ParamDefinition Double(const std::string& name, double min, double max, double step,
                       double defaultValue, ParamDisplay display) {
    return ParamDefinition{name, ParamType::Double, min, max, step, defaultValue, {}, display};
}

std::string OperatorName(int op, const char* suffix) {
    return "OP" + std::to_string(op) + ": " + suffix;
}

std::vector<ParamDefinition> Build() {
    const std::vector<std::string> offOn = {"Off", "On"};
    std::vector<ParamDefinition> table;
    table.reserve(kParamCount);
    table.push_back(Double("Master Volume", 0.0, 2.0, 0.01, 1.0, MasterVolumeDisplay));
    table.push_back(Double("Master Tune", -1.0, 1.0, 0.01, 0.0, nullptr));
    for (int op = 1; op <= kOperatorCount; ++op)
        table.push_back(
            Enum(OperatorName(op, "Wave"), 0, {"W1", "W2", "W3", "W4", "W5", "W6", "W7", "W8"}));
    table.push_back(Enum("Algorithm", 0, {"1", "2", "3", "4", "5", "6", "7", "8"}));
    table.push_back(Int("Transpose", -128, 127, 0));
    table.push_back(Int("Pitch Bend Range", 0, 12, 2));
    table.push_back(Int("Portamento", 0, 127, 0));
    table.push_back(Int("Feedback", 0, 7, 0));
    table.push_back(Enum("Mode", 1, {"Poly", "Mono"}));
    table.push_back(Enum("PMD Controller", 0, {"Off", "A.Touch", "M.Wheel", "Breath", "Foot"}));
    table.push_back(Enum("Output Left", 1, offOn));
    table.push_back(Enum("Output Right", 1, offOn));
    table.push_back(Enum("LFO Enable", 1, offOn));
    table.push_back(Enum("LFO Waveform", 2, {"Saw", "Square", "Triangle", "Noise"}));
    table.push_back(Int("LFO Speed", 0, 255, 200));
    table.push_back(Enum("LFO Sync", 0, offOn));
    table.push_back(Int("LFO AM Depth", 0, 127, 0));
    table.push_back(Int("LFO AM Sensitivity", 0, 3, 0));
    table.push_back(Int("LFO PM Depth", 0, 127, 0));
    table.push_back(Int("LFO PM Sensitivity", 0, 7, 0));
    for (int op = 1; op <= kOperatorCount; ++op) {
        table.push_back(Enum(OperatorName(op, "Enable"), 1, offOn));
        table.push_back(Int(OperatorName(op, "Level"), 0, 127, 0));
        table.push_back(Int(OperatorName(op, "Velocity"), 0, 7, 0));
        table.push_back(Enum(OperatorName(op, "Boost"), 0, {"Carrier", "Modulator"}));
        ParamDefinition frequency = Int(OperatorName(op, "Frequency"), 0, 15, 1);
        frequency.display = FrequencyDisplay;
        table.push_back(frequency);
        table.push_back(Enum(OperatorName(op, "Inharmonic"), 0, {"1.0", "1.41", "1.57", "1.73"}));
        table.push_back(Int(OperatorName(op, "Detune"), 0, 7, 0));
        table.push_back(Enum(OperatorName(op, "Keyb. Scaling Type"), 0,
                             {"- Linear", "+ Linear", "- Expon.", "+ Expon."}));
        table.push_back(Int(OperatorName(op, "Level Adjust"), 0, 15, 0));
        table.push_back(Int(OperatorName(op, "Keyb. Scaling Depth"), 0, 15, 0));
        table.push_back(Int(OperatorName(op, "Keyb. Scaling Rate"), 0, 3, 0));
        table.push_back(Int(OperatorName(op, "Attack"), 0, 31, 31));
        table.push_back(Int(OperatorName(op, "Attack Velocity"), 0, 3, 0));
        table.push_back(Int(OperatorName(op, "Decay 1"), 0, 31, 0));
        table.push_back(Int(OperatorName(op, "Decay 2"), 0, 31, 0));
        table.push_back(Int(OperatorName(op, "Sustain"), 0, 15, 0));
        table.push_back(Int(OperatorName(op, "Release"), 0, 15, 15));
    }
    return table;
}

} // namespace

const std::vector<ParamDefinition>& InstrumentParamDefinitions() {
    static const std::vector<ParamDefinition> table = Build();
    return table;
}

} // namespace engine
