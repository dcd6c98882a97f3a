#pragma once
// The module's one-byte parameter-change message, F0 43 75 00 18 pp dl dh F7: which messages an
// edit of one instrument parameter sends, and which parameters a received one sets.

#include "programs/VoiceRecordLayout.h"

#include <array>
#include <cstdint>
#include <vector>

namespace programs {

using ParamChangeMessage = std::array<std::uint8_t, 9>;

// F0 43 75 00 18 pp (data & 0x0F) (data >> 4) F7, addressed to instrument 1.
ParamChangeMessage MakeParamChangeMessage(int moduleParam, std::uint8_t data);

// The messages for a change of parameter index, in sending order: the whole record byte that
// holds it, rebuilt from the current values. None for parameters 0 to 5 and out-of-range indices;
// two for an operator's Velocity, Frequency, Detune and Keyb. Scaling Type.
std::vector<ParamChangeMessage> BuildParamChangeMessages(int index, const ParamValues& values);

// The parameter values a received change sets, in the order they are to be set. Parameter
// numbers outside the record's fields give none. bits carries the remembered Keyb. Scaling Type
// halves from one message to the next.
std::vector<FieldValue> DecodeParamChange(int moduleParam, std::uint8_t data, KeyScalingBits& bits);

// The data byte of a received message: ((byte 7 & 0x0F) << 4) | (byte 6 & 0x0F).
inline std::uint8_t ParamChangeData(std::uint8_t low, std::uint8_t high) {
    return static_cast<std::uint8_t>(((high & 0x0F) << 4) | (low & 0x0F));
}

} // namespace programs
