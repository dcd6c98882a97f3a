#pragma once
// Where each instrument parameter lives in the module's 64-byte voice record, in both directions,
// one record byte at a time. Voice import and export and the one-byte parameter-change messages
// all go through these two functions, so a field's bits are defined once.

#include "engine/InstrumentParams.h"

#include <array>
#include <cstdint>
#include <vector>

namespace programs {

// The values of the 91 parameters in parameter units.
using ParamValues = std::array<double, engine::kParamCount>;

constexpr int kRecordNameLength = 7;
constexpr int kModuleParamBase = 0x40; // module parameter number = 0x40 + record byte offset

// Record byte offset of the eight-byte block of operator 1..4 (OP4 comes first in the record).
constexpr int OperatorBlockOffset(int op) {
    return 16 + 8 * (4 - op);
}

// The byte at offset (0..63) built from the values, each truncated toward zero to an integer and
// shifted into its bits. Name bytes and unused bytes are 0. voiceDump sets bit 0 of each
// operator's second byte, which voice dumps carry and parameter changes leave clear.
std::uint8_t EncodeRecordByte(int offset, const ParamValues& values, bool voiceDump);

// The two Keyb. Scaling Type bits travel in different bytes; a receiver remembers the last of each.
struct KeyScalingBits {
    int bit0 = 0;
    int bit1 = 0;
};

struct FieldValue {
    int index; // parameter index
    int value; // in parameter units, as read (not clamped)
};

// Appends the fields that byte offset holds, read from data, in the order the module names them.
// Keyb. Scaling Type combines the bit in this byte with the remembered other bit. Offsets without
// fields append nothing. Both outputs follow bits 7 and 6 of byte 12 here.
void DecodeRecordByte(int offset, std::uint8_t data, KeyScalingBits& bits,
                      std::vector<FieldValue>& fields);

// The record offsets whose byte holds parameter index, in sending order (two for an operator's
// Velocity, Frequency, Detune and Keyb. Scaling Type; none for parameters 0 to 5).
std::vector<int> RecordOffsetsOf(int index);

} // namespace programs
