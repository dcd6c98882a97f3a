#include "programs/ParamChangeSysEx.h"

#include "programs/SysExFormat.h"

namespace programs {

ParamChangeMessage MakeParamChangeMessage(int moduleParam, std::uint8_t data) {
    return ParamChangeMessage{kSysExStart,
                              kMakerId,
                              kModelId,
                              0x00,
                              0x18,
                              static_cast<std::uint8_t>(moduleParam & 0x7F),
                              static_cast<std::uint8_t>(data & 0x0F),
                              static_cast<std::uint8_t>(data >> 4),
                              kSysExEnd};
}

std::vector<ParamChangeMessage> BuildParamChangeMessages(int index, const ParamValues& values) {
    std::vector<ParamChangeMessage> messages;
    for (int offset : RecordOffsetsOf(index)) {
        // Unlike a voice dump, the parameter change leaves bit 0 of an operator's second byte
        // clear.
        messages.push_back(MakeParamChangeMessage(kModuleParamBase + offset,
                                                  EncodeRecordByte(offset, values, false)));
    }
    return messages;
}

std::vector<FieldValue> DecodeParamChange(int moduleParam, std::uint8_t data,
                                          KeyScalingBits& bits) {
    std::vector<FieldValue> fields;
    const int offset = moduleParam - kModuleParamBase;
    // Only the field bytes of the record; the name and unused bytes are not parameters.
    if ((offset >= 8 && offset <= 47) || offset == 58 || offset == 59)
        DecodeRecordByte(offset, data, bits, fields);
    return fields;
}

} // namespace programs
