#pragma once
// The 157-byte record that holds one program: a version tag, the index and the first seven name
// characters of the program it belongs to, six parameter values as doubles and 85 parameter
// values as bytes. Parsing and applying are separate steps, so that a whole bank can be checked
// before any parameter or program changes.

#include "host/ChunkBuffer.h"

#include <array>
#include <cstdint>
#include <string>

namespace host {

constexpr char kStateTag[] = "Vorna_1.1.0";
constexpr int kStateTagSize = 11;
constexpr int kStateNameSize = 7;
constexpr int kStateDoubleCount = 6;
constexpr int kStateByteCount = 85;
constexpr int kStateValueCount = kStateDoubleCount + kStateByteCount; // one value per parameter
constexpr std::uint8_t kStateByteMarker = 85;
// Count bytes a reader accepts: 6 is what is written, 2 is what older states carry.
constexpr std::uint8_t kStateDoubleMarker = 6;
constexpr std::uint8_t kOldStateDoubleMarker = 2;
// Doubles an untagged (older) state holds; a tagged one holds kStateDoubleCount.
constexpr int kOldStateDoubleCount = 2;
constexpr int kStateSize =
    kStateTagSize + 4 + kStateNameSize + 1 + 8 * kStateDoubleCount + 1 + kStateByteCount; // 157
// Offsets inside a tagged state.
constexpr int kStateIndexOffset = kStateTagSize;
constexpr int kStateNameOffset = kStateIndexOffset + 4;

using ProgramValues = std::array<double, kStateValueCount>;

// A state as stored, before the parameters' ranges are applied.
struct StoredState {
    bool tagged = false;
    std::int32_t programIndex = 0;
    std::array<char, kStateNameSize> name{};
    std::array<double, kStateDoubleCount> doubles{}; // untagged: only the first two are read
    std::array<std::uint8_t, kStateByteCount> bytes{};
};

struct ParamRange {
    double min = 0.0;
    double max = 0.0;
};
using ProgramRanges = std::array<ParamRange, kStateValueCount>;

// Appends a state holding values, stamped with the index and the name of its program (the name
// cut or padded with blanks to seven characters; all blanks when index is negative).
void AppendProgramState(ChunkBuffer& buffer, std::int32_t index, const std::string& name,
                        const ProgramValues& values);

// Reads a state at position into state. Returns the position after it, or -1 when the data runs
// out or a count or marker byte is wrong; state is complete only on success.
int ParseProgramState(const ChunkBuffer& buffer, int position, StoredState& state);

// The parameter values a parsed state gives: doubles as stored, bytes signed where the range
// goes below 0, the doubles an older state lacks at the value nearest zero, everything clamped
// to its range (a value that is not a number also becomes the value nearest zero).
ProgramValues ResolveStateValues(const StoredState& state, const ProgramRanges& ranges);

// The byte a value is stored as: truncated toward zero, low eight bits.
std::uint8_t StateByteOf(double value);

// The value of range nearest to zero.
double NearestToZero(const ParamRange& range);

} // namespace host
