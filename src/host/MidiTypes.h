#pragma once
// MIDI as it crosses the host boundary: short messages with a sample offset inside the block, and
// SysEx messages whose bytes are borrowed from the host for the duration of one call.

#include <cstdint>

namespace host {

struct MidiMessage {
    std::int32_t offset = 0;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
};

struct SysExMessage {
    std::int32_t offset = 0;
    int size = 0;
    const std::uint8_t* bytes = nullptr;
};

} // namespace host
