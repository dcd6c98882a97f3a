#include "programs/VoiceRecordLayout.h"

namespace programs {

namespace {

using namespace engine;

int Int(const ParamValues& values, int index) {
    return static_cast<int>(values[static_cast<std::size_t>(index)]); // truncates toward zero
}

// value & mask, shifted into place.
unsigned Field(const ParamValues& values, int index, unsigned mask, int shift) {
    return (static_cast<unsigned>(Int(values, index)) & mask) << shift;
}

int Bits(std::uint8_t data, int low, int count) {
    return (data >> low) & ((1 << count) - 1);
}

std::uint8_t EncodeOperatorByte(int op, int k, const ParamValues& values, bool voiceDump) {
    const int b = OperatorParamIndex(op, 0);
    unsigned byte = 0;
    switch (k) {
    case 0:
        byte = Field(values, b + kOpLevel, 0x7F, 0);
        break;
    case 1:
        byte =
            Field(values, b + kOpKeyScalingType, 0x1, 7) | Field(values, b + kOpVelocity, 0x7, 4);
        if (voiceDump) byte |= 0x01;
        break;
    case 2:
        byte = Field(values, b + kOpKeyScalingDepth, 0xF, 4) |
               Field(values, b + kOpLevelAdjust, 0xF, 0);
        break;
    case 3:
        byte = ((static_cast<unsigned>(Int(values, b + kOpKeyScalingType)) >> 1 & 0x1) << 7) |
               Field(values, b + kOpDetune, 0x7, 4) | Field(values, b + kOpFrequency, 0xF, 0);
        break;
    case 4:
        byte = Field(values, b + kOpKeyScalingRate, 0x3, 6) | Field(values, b + kOpAttack, 0x1F, 0);
        break;
    case 5:
        // The module's bit means "not boosted".
        byte = (Int(values, b + kOpBoost) != 1 ? 0x80u : 0u) |
               Field(values, b + kOpAttackVelocity, 0x3, 5) | Field(values, b + kOpDecay1, 0x1F, 0);
        break;
    case 6:
        byte = Field(values, b + kOpInharmonic, 0x3, 6) | Field(values, b + kOpDecay2, 0x1F, 0);
        break;
    case 7:
        byte = Field(values, b + kOpSustain, 0xF, 4) | Field(values, b + kOpRelease, 0xF, 0);
        break;
    }
    return static_cast<std::uint8_t>(byte & 0xFF);
}

void DecodeOperatorByte(int op, int k, std::uint8_t data, KeyScalingBits& bits,
                        std::vector<FieldValue>& fields) {
    const int b = OperatorParamIndex(op, 0);
    auto add = [&fields, b](int m, int value) { fields.push_back(FieldValue{b + m, value}); };
    switch (k) {
    case 0:
        add(kOpLevel, data & 0x7F);
        break;
    case 1:
        bits.bit0 = Bits(data, 7, 1);
        add(kOpKeyScalingType, bits.bit0 + 2 * bits.bit1);
        add(kOpVelocity, Bits(data, 4, 3));
        break;
    case 2:
        add(kOpKeyScalingDepth, Bits(data, 4, 4));
        add(kOpLevelAdjust, Bits(data, 0, 4));
        break;
    case 3:
        bits.bit1 = Bits(data, 7, 1);
        add(kOpKeyScalingType, bits.bit0 + 2 * bits.bit1);
        add(kOpDetune, Bits(data, 4, 3));
        add(kOpFrequency, Bits(data, 0, 4));
        break;
    case 4:
        add(kOpKeyScalingRate, Bits(data, 6, 2));
        add(kOpAttack, Bits(data, 0, 5));
        break;
    case 5:
        add(kOpBoost, 1 - Bits(data, 7, 1));
        add(kOpAttackVelocity, Bits(data, 5, 2));
        add(kOpDecay1, Bits(data, 0, 5));
        break;
    case 6:
        add(kOpInharmonic, Bits(data, 6, 2));
        add(kOpDecay2, Bits(data, 0, 5));
        break;
    case 7:
        add(kOpSustain, Bits(data, 4, 4));
        add(kOpRelease, Bits(data, 0, 4));
        break;
    }
}

bool IsOperatorByte(int offset) {
    return offset >= OperatorBlockOffset(4) && offset < OperatorBlockOffset(1) + 8;
}
int OperatorOfByte(int offset) {
    return 4 - (offset - OperatorBlockOffset(4)) / 8;
}

} // namespace

std::uint8_t EncodeRecordByte(int offset, const ParamValues& values, bool voiceDump) {
    if (IsOperatorByte(offset))
        return EncodeOperatorByte(OperatorOfByte(offset), offset & 7, values, voiceDump);
    unsigned byte = 0;
    switch (offset) {
    case 8:
        byte = Field(values, kLfoSpeed, 0xFF, 0);
        break;
    case 9:
        byte = Field(values, kLfoEnable, 0x1, 7) | Field(values, kLfoAmDepth, 0x7F, 0);
        break;
    case 10:
        byte = Field(values, kLfoSync, 0x1, 7) | Field(values, kLfoPmDepth, 0x7F, 0);
        break;
    case 11:
        byte = Field(values, OperatorParamIndex(1, kOpEnable), 0x1, 6) |
               Field(values, OperatorParamIndex(2, kOpEnable), 0x1, 5) |
               Field(values, OperatorParamIndex(3, kOpEnable), 0x1, 4) |
               Field(values, OperatorParamIndex(4, kOpEnable), 0x1, 3);
        break;
    case 12:
        byte = Field(values, kOutputLeft, 0x1, 7) | Field(values, kOutputRight, 0x1, 6) |
               Field(values, kFeedback, 0x7, 3) | Field(values, kAlgorithm, 0x7, 0);
        break;
    case 13:
        byte = Field(values, kLfoPmSensitivity, 0x7, 4) | Field(values, kLfoAmSensitivity, 0x3, 0);
        break;
    case 14:
        byte = Field(values, kLfoWaveform, 0x3, 5);
        break;
    case 15:
        byte = Field(values, kTranspose, 0xFF, 0);
        break; // two's complement
    case 58:
        byte = Field(values, kMode, 0x1, 7) | Field(values, kPortamento, 0x7F, 0);
        break;
    case 59:
        // The controller has two bits but five values: "Foot" (4) is written as 4 x 16 as the
        // module's arithmetic has it, which lands in bit 6, a bit no reader takes.
        byte = static_cast<unsigned>(Int(values, kPmdController)) * 16u +
               Field(values, kPitchBendRange, 0xF, 0);
        break;
    default:
        break;
    }
    return static_cast<std::uint8_t>(byte & 0xFF);
}

void DecodeRecordByte(int offset, std::uint8_t data, KeyScalingBits& bits,
                      std::vector<FieldValue>& fields) {
    if (IsOperatorByte(offset)) {
        DecodeOperatorByte(OperatorOfByte(offset), offset & 7, data, bits, fields);
        return;
    }
    auto add = [&fields](int index, int value) { fields.push_back(FieldValue{index, value}); };
    switch (offset) {
    case 8:
        add(kLfoSpeed, data);
        break;
    case 9:
        add(kLfoEnable, Bits(data, 7, 1));
        add(kLfoAmDepth, data & 0x7F);
        break;
    case 10:
        add(kLfoSync, Bits(data, 7, 1));
        add(kLfoPmDepth, data & 0x7F);
        break;
    case 11:
        add(OperatorParamIndex(4, kOpEnable), Bits(data, 3, 1));
        add(OperatorParamIndex(3, kOpEnable), Bits(data, 4, 1));
        add(OperatorParamIndex(2, kOpEnable), Bits(data, 5, 1));
        add(OperatorParamIndex(1, kOpEnable), Bits(data, 6, 1));
        break;
    case 12:
        add(kOutputLeft, Bits(data, 7, 1));
        add(kOutputRight, Bits(data, 6, 1));
        add(kFeedback, Bits(data, 3, 3));
        add(kAlgorithm, Bits(data, 0, 3));
        break;
    case 13:
        add(kLfoPmSensitivity, Bits(data, 4, 3));
        add(kLfoAmSensitivity, Bits(data, 0, 2));
        break;
    case 14:
        add(kLfoWaveform, Bits(data, 5, 2));
        break;
    case 15:
        add(kTranspose, static_cast<std::int8_t>(data));
        break;
    case 58:
        add(kMode, Bits(data, 7, 1));
        add(kPortamento, data & 0x7F);
        break;
    case 59:
        add(kPmdController, Bits(data, 4, 2));
        add(kPitchBendRange, Bits(data, 0, 4));
        break;
    default:
        break;
    }
}

std::vector<int> RecordOffsetsOf(int index) {
    if (index >= kGlobalParamCount && index < kParamCount) {
        const int op = 1 + (index - kGlobalParamCount) / kOperatorParamCount;
        const int m = (index - kGlobalParamCount) % kOperatorParamCount;
        const int o = OperatorBlockOffset(op);
        switch (m) {
        case kOpEnable:
            return {11};
        case kOpLevel:
            return {o};
        case kOpVelocity:
        case kOpFrequency:
        case kOpDetune:
        case kOpKeyScalingType:
            return {o + 1, o + 3};
        case kOpLevelAdjust:
        case kOpKeyScalingDepth:
            return {o + 2};
        case kOpKeyScalingRate:
        case kOpAttack:
            return {o + 4};
        case kOpBoost:
        case kOpAttackVelocity:
        case kOpDecay1:
            return {o + 5};
        case kOpInharmonic:
        case kOpDecay2:
            return {o + 6};
        case kOpSustain:
        case kOpRelease:
            return {o + 7};
        default:
            return {};
        }
    }
    switch (index) {
    case kLfoSpeed:
        return {8};
    case kLfoEnable:
    case kLfoAmDepth:
        return {9};
    case kLfoSync:
    case kLfoPmDepth:
        return {10};
    case kAlgorithm:
    case kFeedback:
    case kOutputLeft:
    case kOutputRight:
        return {12};
    case kLfoAmSensitivity:
    case kLfoPmSensitivity:
        return {13};
    case kLfoWaveform:
        return {14};
    case kTranspose:
        return {15};
    case kPortamento:
    case kMode:
        return {58};
    case kPitchBendRange:
    case kPmdController:
        return {59};
    default:
        return {}; // Master Volume, Master Tune and the four waves have no field
    }
}

} // namespace programs
