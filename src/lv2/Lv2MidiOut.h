#pragma once
// The MIDI the plug-in sends, on its way into the output atom sequence. Only run() may write the
// port: messages sent on the audio thread during run() go straight in at their frame; messages
// from other threads (an edit in the editor sent to the module as SysEx) wait in a bounded queue
// that the next run() empties at its first frame. The audio thread only ever tries the queue's
// lock; a run that finds it busy leaves the queue to the next one.

#include "platform/Mutex.h"

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <vector>

namespace lv2 {

class MidiOut {
public:
    // Bytes of messages the queue holds; a message that does not fit is refused.
    static constexpr std::size_t kQueueCapacity = 1 << 16;

    MidiOut();

    // The start of a run: the port (null when the host connected none) becomes an empty sequence,
    // and what waited in the queue goes in at frame 0.
    void BeginRun(LV2_Atom_Sequence* port, LV2_URID sequenceType, LV2_URID midiEventType);
    void EndRun() { port_ = nullptr; }
    // Appends a message during run(); frames before the last one written move up to it. False
    // when there is no port or no room.
    bool Write(std::int64_t frame, const std::uint8_t* bytes, std::uint32_t size);
    // Keeps a message for the next run; false when the queue is full.
    bool Queue(const std::uint8_t* bytes, std::uint32_t size);

private:
    void DrainQueue();

    LV2_Atom_Sequence* port_ = nullptr;
    std::uint32_t capacity_ = 0; // bytes of the port's sequence body
    LV2_URID midiEventType_ = 0;
    std::int64_t lastFrame_ = 0;

    platform::RecursiveMutex queueMutex_;
    std::vector<std::uint8_t> queue_; // [4-byte size][bytes] ..., preallocated
    std::size_t queued_ = 0;
};

} // namespace lv2
