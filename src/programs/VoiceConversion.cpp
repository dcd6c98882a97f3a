#include "programs/VoiceConversion.h"

#include "host/ProgramState.h"
#include "programs/ModuleVoiceName.h"

namespace programs {

namespace {

constexpr int kDoubleParamCount = host::kStateDoubleCount; // parameters 0 to 5 travel as doubles
constexpr int kByteParamCount = host::kStateByteCount;

// Record bytes that carry fields; the others are the name and unused bytes.
bool HoldsFields(int offset) {
    return (offset >= 8 && offset <= 47) || offset == 58 || offset == 59;
}

} // namespace

ParamValues VoiceToParamValues(const VoiceRecord& record) {
    const auto& table = engine::InstrumentParamDefinitions();
    ParamValues values{};
    for (int i = 0; i < engine::kParamCount; ++i)
        values[static_cast<std::size_t>(i)] = table[static_cast<std::size_t>(i)].defaultValue;

    KeyScalingBits bits;
    std::vector<FieldValue> fields;
    for (int offset = 0; offset < kVoiceRecordSize; ++offset) {
        // Byte o+1 of an operator comes before o+3, so its Keyb. Scaling Type ends up combining
        // both bits of the same operator.
        if (HoldsFields(offset))
            DecodeRecordByte(offset, record[static_cast<std::size_t>(offset)], bits, fields);
    }
    for (const FieldValue& field : fields)
        values[static_cast<std::size_t>(field.index)] = field.value;
    // Records from the module and from tools mostly leave the output bits clear; a program with
    // both outputs off would be silent, so imported programs always play on both.
    values[engine::kOutputLeft] = 1;
    values[engine::kOutputRight] = 1;
    return values;
}

std::string VoiceName(const VoiceRecord& record) {
    std::string name;
    for (int i = 0; i < kRecordNameLength && record[static_cast<std::size_t>(i)] != 0; ++i)
        name.push_back(static_cast<char>(record[static_cast<std::size_t>(i)]));
    return name;
}

void WriteVoiceProgramState(int programIndex, const VoiceRecord& record, host::ChunkBuffer& state) {
    const ParamValues values = VoiceToParamValues(record);
    state.Clear();
    state.AppendBytes(host::kStateTag, host::kStateTagSize);
    state.AppendInt32(programIndex);
    state.AppendBytes(record.data(), kRecordNameLength);
    state.AppendByte(host::kStateDoubleMarker);
    for (int i = 0; i < kDoubleParamCount; ++i)
        state.AppendDouble(values[static_cast<std::size_t>(i)]);
    state.AppendByte(host::kStateByteMarker);
    for (int i = kDoubleParamCount; i < engine::kParamCount; ++i) {
        // The low eight bits; a negative Transpose becomes its two's complement.
        int value = static_cast<int>(values[static_cast<std::size_t>(i)]);
        state.AppendByte(static_cast<std::uint8_t>(static_cast<unsigned>(value) & 0xFF));
    }
}

VoiceRecord ProgramValuesToVoice(const ParamValues& values, const std::string& name) {
    VoiceRecord record{};
    const std::string moduleName = ModuleVoiceName(name);
    for (std::size_t i = 0; i < moduleName.size(); ++i)
        record[i] = static_cast<std::uint8_t>(moduleName[i]);
    for (int offset = 0; offset < kVoiceRecordSize; ++offset) {
        if (HoldsFields(offset))
            record[static_cast<std::size_t>(offset)] = EncodeRecordByte(offset, values, true);
    }
    return record;
}

} // namespace programs
