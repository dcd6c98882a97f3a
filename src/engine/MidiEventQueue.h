#pragma once
// MIDI messages waiting for the control tick that covers their sample offset. Each message is
// stored as one packed 64-bit word, kept sorted by offset (equal offsets in arrival order), with a
// front index so that taking due messages does not move the rest. The array grows only when a
// block brings more messages than it ever held; the render path otherwise allocates nothing.

#include <cstdint>
#include <vector>

namespace engine {

// A short MIDI message with its sample offset, as the engine sees it.
struct MidiEvent {
    std::int32_t offset = 0;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
};

// Offset in bits 0-31, status in bits 32-39, data1 in bits 40-47, data2 in bits 48-55.
inline std::uint64_t PackMidiEvent(const MidiEvent& event) {
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(event.offset)) |
           static_cast<std::uint64_t>(event.status) << 32 |
           static_cast<std::uint64_t>(event.data1) << 40 |
           static_cast<std::uint64_t>(event.data2) << 48;
}

inline MidiEvent UnpackMidiEvent(std::uint64_t word) {
    MidiEvent event;
    event.offset = static_cast<std::int32_t>(static_cast<std::uint32_t>(word & 0xFFFFFFFFu));
    event.status = static_cast<std::uint8_t>(word >> 32);
    event.data1 = static_cast<std::uint8_t>(word >> 40);
    event.data2 = static_cast<std::uint8_t>(word >> 48);
    return event;
}

inline std::int32_t PackedOffset(std::uint64_t word) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(word & 0xFFFFFFFFu));
}

class MidiEventQueue {
public:
    static constexpr int kGrowthStep = 1024;
    static constexpr int kResizeStep = 512;

    explicit MidiEventQueue(int capacity = kGrowthStep);

    // Inserts the message in offset order. A negative offset is taken as 0: such a message is due
    // at once, and left negative it would never match a sample index later on. A message added
    // after CloseCall never goes before the ones queued until then: its offset is raised to
    // theirs at least. Returns false when the queue was full and could not grow (the message is
    // dropped).
    bool Add(MidiEvent event);

    bool Empty() const { return front_ == count_; }
    int Size() const { return count_ - front_; }
    int Capacity() const { return static_cast<int>(entries_.size()); }
    // The earliest message; only valid when not empty.
    MidiEvent Front() const { return UnpackMidiEvent(entries_[static_cast<std::size_t>(front_)]); }
    std::int32_t FrontOffset() const {
        return PackedOffset(entries_[static_cast<std::size_t>(front_)]);
    }
    void PopFront();
    // Offsets beyond lastFrame become lastFrame. The order is kept, and with it the offset order.
    void ClampOffsets(std::int32_t lastFrame);
    // The messages queued so far came with an audio call that has ended. Offsets count from the
    // next control tick, and the tick grid does not restart with a call, so a message late in the
    // call may still wait when the next call's messages arrive with small offsets; those must not
    // overtake it (a note before a stop's All Notes Off would start after it and hang).
    void CloseCall();
    // Subtracts ticks from the offset of every queued message (a control tick has passed),
    // saturating at the limits of the offset's range.
    void ReduceOffsets(std::int32_t ticks);
    // Message i counted from the front (for inspection).
    MidiEvent At(int index) const {
        return UnpackMidiEvent(entries_[static_cast<std::size_t>(front_ + index)]);
    }

    // Moves the queued messages down over the consumed front.
    void Compact();
    // Compacts, then sizes the array to blockSize rounded up to a multiple of 512 entries, never
    // below the number of messages held. Queued messages are kept.
    void ResizeForBlock(int blockSize);
    void Clear() {
        front_ = count_ = 0;
        floor_ = 0;
    }

private:
    bool Grow();

    std::vector<std::uint64_t> entries_; // size() is the capacity
    int front_ = 0;                      // first message not yet taken
    int count_ = 0;                      // one past the last message
    std::int32_t floor_ = 0;             // the least offset a new message gets (CloseCall)
};

} // namespace engine
