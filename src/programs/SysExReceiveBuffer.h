#pragma once
// Joins SysEx that a host delivers in pieces: an event that starts with F0 begins a new message,
// every event's bytes are appended, and an event that ends with F7 completes it. Real-time bytes
// (F8 to FF), which MIDI allows anywhere, are dropped on arrival and count for none of these
// rules. The buffer is capped, so a dump that never ends cannot grow it without bound.

#include "programs/SysExFormat.h"

#include <cstddef>
#include <cstdint>

namespace programs {

class SysExReceiveBuffer {
public:
    // The largest valid message (a voice-bank dump) is 6363 bytes; the cap leaves room for
    // senders that add a few bytes. Bytes beyond it are dropped, so such a message fails its
    // checks instead of being applied.
    static constexpr std::size_t kCapacity = 8192;

    SysExReceiveBuffer() { bytes_.reserve(kCapacity); }

    // Adds one event. True when the event ends with F7: the buffer then holds what is to be
    // applied. It is emptied only by the next event that starts with F0.
    bool Add(const std::uint8_t* data, std::size_t size);

    const Bytes& Message() const { return bytes_; }

private:
    Bytes bytes_;
};

} // namespace programs
