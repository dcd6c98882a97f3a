#pragma once
// The instrument's 91 parameters as plain data: index layout, names, kinds, ranges, defaults and
// display rules. The plug-in builds its parameter objects from this table; the engine, the SysEx
// conversion, the controller map and the editor use the indices named here.

#include <string>
#include <vector>

namespace engine {

constexpr int kParamCount = 91;
constexpr int kGlobalParamCount = 23;
constexpr int kOperatorCount = 4;
constexpr int kOperatorParamCount = 17;

enum GlobalParam : int {
    kMasterVolume = 0,
    kMasterTune = 1,
    kOp1Wave = 2, // 2..5: OP1..OP4 wave
    kAlgorithm = 6,
    kTranspose = 7,
    kPitchBendRange = 8,
    kPortamento = 9,
    kFeedback = 10,
    kMode = 11,
    kPmdController = 12,
    kOutputLeft = 13,
    kOutputRight = 14,
    kLfoEnable = 15,
    kLfoWaveform = 16,
    kLfoSpeed = 17,
    kLfoSync = 18,
    kLfoAmDepth = 19,
    kLfoAmSensitivity = 20,
    kLfoPmDepth = 21,
    kLfoPmSensitivity = 22,
};

// Offsets m inside an operator block.
enum OperatorParam : int {
    kOpEnable = 0,
    kOpLevel = 1,
    kOpVelocity = 2,
    kOpBoost = 3,
    kOpFrequency = 4,
    kOpInharmonic = 5,
    kOpDetune = 6,
    kOpKeyScalingType = 7,
    kOpLevelAdjust = 8,
    kOpKeyScalingDepth = 9,
    kOpKeyScalingRate = 10,
    kOpAttack = 11,
    kOpAttackVelocity = 12,
    kOpDecay1 = 13,
    kOpDecay2 = 14,
    kOpSustain = 15,
    kOpRelease = 16,
};

// Index of parameter m of operator k (1..4).
constexpr int OperatorParamIndex(int op, int m) {
    return kGlobalParamCount + kOperatorParamCount * (op - 1) + m;
}

enum class ParamType { Int, Enum, Double };

using ParamDisplay = std::string (*)(double value);

struct ParamDefinition {
    std::string name;
    ParamType type;
    double min;
    double max;
    double step;
    double defaultValue;
    std::vector<std::string> texts; // Enum: one text per value
    ParamDisplay display;           // formats the display instead of the number rules
};

// The 91 definitions in index order, built once.
const std::vector<ParamDefinition>& InstrumentParamDefinitions();

// Master Volume in decibels: "-oo" at or below 0, else 20·log10(v) with one decimal.
std::string MasterVolumeDisplay(double value);
// Operator frequency ratio: "0.5" below 0.5, else the whole ratio.
std::string FrequencyDisplay(double value);

} // namespace engine
