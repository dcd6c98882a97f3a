#pragma once
// The note-on, note-off, sustain-pedal and panic (controllers 120 and 123) messages of the
// current control tick, in the order the tick took them, waiting for the sample index that equals
// their offset. A first-in first-out array of packed messages whose storage is kept when it
// empties, so that it allocates only when a tick brings more of them than ever before.

#include "engine/MidiEventQueue.h"

#include <cstdint>
#include <vector>

namespace engine {

class VoiceEventQueue {
public:
    explicit VoiceEventQueue(int capacity = 256);

    // Appends at the back; false when the queue could not grow (the message is dropped).
    bool Push(const MidiEvent& event);
    bool Empty() const { return head_ == tail_; }
    int Size() const { return tail_ - head_; }
    std::int32_t FrontOffset() const {
        return PackedOffset(entries_[static_cast<std::size_t>(head_)]);
    }
    MidiEvent Front() const { return UnpackMidiEvent(entries_[static_cast<std::size_t>(head_)]); }
    void PopFront();
    void Clear() { head_ = tail_ = 0; }

private:
    std::vector<std::uint64_t> entries_; // size() is the capacity
    int head_ = 0;
    int tail_ = 0;
};

} // namespace engine
