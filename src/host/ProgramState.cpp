#include "host/ProgramState.h"

#include "common/Utf8Text.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace host {

void AppendProgramState(ChunkBuffer& buffer, std::int32_t index, const std::string& name,
                        const ProgramValues& values) {
    buffer.AppendBytes(kStateTag, kStateTagSize);
    buffer.AppendInt32(index);
    char stamp[kStateNameSize];
    std::memset(stamp, ' ', sizeof stamp);
    // Cut before a character that would not fit whole; blanks fill the rest.
    if (index >= 0)
        std::memcpy(stamp, name.data(), common::Utf8FittingLength(name, kStateNameSize));
    buffer.AppendBytes(stamp, sizeof stamp);
    buffer.AppendByte(kStateDoubleMarker);
    for (int i = 0; i < kStateDoubleCount; ++i)
        buffer.AppendDouble(values[static_cast<std::size_t>(i)]);
    buffer.AppendByte(kStateByteMarker);
    for (int i = kStateDoubleCount; i < kStateValueCount; ++i)
        buffer.AppendByte(StateByteOf(values[static_cast<std::size_t>(i)]));
}

int ParseProgramState(const ChunkBuffer& buffer, int position, StoredState& state) {
    if (position < 0) return -1;
    StoredState parsed;
    char tag[kStateTagSize];
    int p = position;
    if (buffer.ReadBytes(tag, kStateTagSize, p) >= 0 &&
        std::memcmp(tag, kStateTag, kStateTagSize) == 0) {
        parsed.tagged = true;
        p += kStateTagSize;
    }
    p = buffer.ReadInt32(parsed.programIndex, p);
    p = buffer.ReadBytes(parsed.name.data(), kStateNameSize, p);
    std::uint8_t count = 0;
    p = buffer.ReadByte(count, p);
    if (p < 0 || (count != kStateDoubleMarker && count != kOldStateDoubleMarker)) return -1;
    int doubles = parsed.tagged ? kStateDoubleCount : kOldStateDoubleCount;
    for (int i = 0; i < doubles && p >= 0; ++i)
        p = buffer.ReadDouble(parsed.doubles[static_cast<std::size_t>(i)], p);
    std::uint8_t marker = 0;
    p = buffer.ReadByte(marker, p);
    if (p < 0 || marker != kStateByteMarker) return -1;
    p = buffer.ReadBytes(parsed.bytes.data(), kStateByteCount, p);
    if (p < 0) return -1;
    state = parsed;
    return p;
}

double NearestToZero(const ParamRange& range) {
    if (range.min > 0.0) return range.min;
    if (range.max < 0.0) return range.max;
    return 0.0;
}

namespace {

double Clamp(double value, const ParamRange& range) {
    if (std::isnan(value)) return NearestToZero(range);
    if (value < range.min) return range.min;
    if (value > range.max) return range.max;
    return value;
}

} // namespace

ProgramValues ResolveStateValues(const StoredState& state, const ProgramRanges& ranges) {
    ProgramValues values{};
    int doubles = state.tagged ? kStateDoubleCount : kOldStateDoubleCount;
    for (int i = 0; i < kStateDoubleCount; ++i) {
        const ParamRange& range = ranges[static_cast<std::size_t>(i)];
        double value =
            i < doubles ? state.doubles[static_cast<std::size_t>(i)] : NearestToZero(range);
        values[static_cast<std::size_t>(i)] = Clamp(value, range);
    }
    for (int i = 0; i < kStateByteCount; ++i) {
        const ParamRange& range = ranges[static_cast<std::size_t>(kStateDoubleCount + i)];
        std::uint8_t byte = state.bytes[static_cast<std::size_t>(i)];
        double value = range.min < 0.0 ? static_cast<double>(static_cast<std::int8_t>(byte))
                                       : static_cast<double>(byte);
        values[static_cast<std::size_t>(kStateDoubleCount + i)] = Clamp(value, range);
    }
    return values;
}

std::uint8_t StateByteOf(double value) {
    // Values outside what a 32-bit integer holds (or not a number) cannot come from a parameter;
    // they are limited first so that the conversion is defined.
    if (std::isnan(value)) return 0;
    if (value > 2147483647.0) value = 2147483647.0;
    if (value < -2147483648.0) value = -2147483648.0;
    auto whole = static_cast<std::int64_t>(value);
    return static_cast<std::uint8_t>(static_cast<std::uint64_t>(whole) & 0xFFu);
}

} // namespace host
