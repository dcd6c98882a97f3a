#include "BankRecipes.h"

#include "engine/InstrumentParams.h"

namespace bankgen {

using namespace engine;

host::ProgramValues DefaultValues() {
    host::ProgramValues values{};
    const auto& table = InstrumentParamDefinitions();
    for (int i = 0; i < kParamCount; ++i)
        values[static_cast<std::size_t>(i)] = table[static_cast<std::size_t>(i)].defaultValue;
    return values;
}

int Sequence::Between(int first, int last) {
    state_ = state_ * 1664525u + 1013904223u;
    auto span = static_cast<std::uint32_t>(last - first + 1);
    return first + static_cast<int>((state_ >> 8) % span);
}

namespace {

// The operators (0 = OP1) an algorithm sends to the output.
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

struct Envelope {
    int attack, decay1, decay2, sustain, release;
};

struct Recipe {
    const char* tag; // four characters
    int algorithm;
    int feedback;
    int frequencies[4];
    int modulatorLevel; // attenuation of the modulators
    Envelope carrier;
    Envelope modulator;
    bool mono;
};

// OP1..OP4 frequency ratios; 0 is the ratio 0.5.
const Recipe kRecipes[kFamilyCount] = {
    {"EPno", 4, 3, {1, 1, 1, 14}, 34, {31, 10, 4, 6, 7}, {31, 14, 6, 4, 7}, false},
    {"Bass", 0, 6, {0, 1, 1, 1}, 28, {31, 8, 3, 4, 9}, {31, 12, 6, 2, 9}, false},
    {"Brss", 3, 4, {1, 1, 1, 2}, 30, {18, 6, 0, 12, 8}, {16, 5, 0, 10, 8}, false},
    {"Bell", 4, 0, {2, 7, 1, 3}, 36, {31, 6, 2, 3, 5}, {31, 8, 3, 2, 5}, false},
    {"Orgn", 7, 2, {1, 2, 4, 8}, 20, {31, 0, 0, 15, 12}, {31, 0, 0, 15, 12}, false},
    {"Pads", 5, 1, {1, 2, 1, 3}, 38, {12, 4, 0, 12, 5}, {10, 4, 0, 10, 5}, false},
    {"Lead", 1, 5, {1, 1, 2, 3}, 26, {28, 4, 0, 13, 9}, {28, 5, 0, 12, 9}, true},
    {"Pluk", 2, 3, {1, 3, 1, 5}, 32, {31, 14, 8, 2, 8}, {31, 18, 10, 1, 8}, false},
};

void Set(host::ProgramValues& values, int index, int value) {
    values[static_cast<std::size_t>(index)] = static_cast<double>(value);
}

int Limit(int value, int first, int last) {
    return value < first ? first : (value > last ? last : value);
}

std::string TwoDigits(int number) {
    return std::string(1, static_cast<char>('0' + number / 10 % 10)) +
           static_cast<char>('0' + number % 10);
}

} // namespace

Program MakeFamilyProgram(int family, int number, Sequence& sequence) {
    const Recipe& recipe = kRecipes[family % kFamilyCount];
    Program program;
    program.name = std::string(recipe.tag) + " " + TwoDigits(number);
    host::ProgramValues& v = program.values;
    v = DefaultValues();
    v[kMasterVolume] = sequence.Between(80, 100) / 100.0;
    Set(v, kAlgorithm, recipe.algorithm);
    Set(v, kFeedback, Limit(recipe.feedback + sequence.Between(-1, 1), 0, 7));
    Set(v, kMode, recipe.mono ? 1 : 0);
    Set(v, kLfoSpeed, sequence.Between(150, 220));
    Set(v, kLfoPmDepth, sequence.Between(0, 3) == 0 ? sequence.Between(4, 20) : 0);
    Set(v, kLfoPmSensitivity, sequence.Between(0, 3));
    for (int op = 0; op < kOperatorCount; ++op) {
        bool carrier = IsCarrier(recipe.algorithm, op);
        const Envelope& envelope = carrier ? recipe.carrier : recipe.modulator;
        auto at = [op](int m) { return OperatorParamIndex(op + 1, m); };
        int level =
            carrier ? sequence.Between(0, 6) : recipe.modulatorLevel + sequence.Between(-6, 6);
        Set(v, at(kOpLevel), Limit(level, 0, 127));
        Set(v, at(kOpBoost), carrier ? 0 : 1);
        Set(v, at(kOpVelocity), sequence.Between(1, 4));
        Set(v, at(kOpFrequency), recipe.frequencies[op]);
        Set(v, at(kOpDetune), sequence.Between(0, 7));
        Set(v, at(kOpKeyScalingDepth), sequence.Between(0, 4));
        Set(v, at(kOpKeyScalingRate), sequence.Between(0, 2));
        Set(v, at(kOpAttack), Limit(envelope.attack + sequence.Between(-3, 0), 0, 31));
        Set(v, at(kOpDecay1), Limit(envelope.decay1 + sequence.Between(-2, 2), 0, 31));
        Set(v, at(kOpDecay2), Limit(envelope.decay2 + sequence.Between(-1, 1), 0, 31));
        Set(v, at(kOpSustain), Limit(envelope.sustain + sequence.Between(-1, 1), 0, 15));
        Set(v, at(kOpRelease), Limit(envelope.release + sequence.Between(-2, 2), 0, 15));
    }
    return program;
}

} // namespace bankgen
