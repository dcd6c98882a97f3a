#pragma once
// What the audio thread puts aside when it would have to wait for the instance mutex: MIDI and
// SysEx that change programs or parameters, and mapped controllers that the render loop reached.
// Everything arriving after the first deferred event is deferred too, so that the events keep
// their order. The audio thread hands them on, in order, at the start of a later call in which it
// could take the mutex without waiting. The store keeps its memory from call to call.

#include "host/MidiTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace synth {

struct DeferredEvent {
    enum class Kind : std::uint8_t { Midi, SysEx, Controller };
    Kind kind = Kind::Midi;
    // Midi: the message. Controller: data1 is the controller, data2 the value.
    host::MidiMessage message;
    // SysEx: where the message's bytes lie in the store's byte buffer.
    std::size_t bytesStart = 0;
    std::size_t bytesSize = 0;
    // The number of the process call the event arrived before.
    std::uint64_t call = 0;
};

class DeferredEvents {
public:
    // Enough for a burst of events and a whole voice-bank dump without allocating.
    static constexpr std::size_t kReservedEvents = 1024;
    static constexpr std::size_t kReservedBytes = 64 * 1024;

    DeferredEvents();

    bool Empty() const { return events_.empty(); }
    std::size_t Size() const { return events_.size(); }

    void AddMidi(const host::MidiMessage& message, std::uint64_t call);
    // Copies the bytes: the host's are valid only during its call.
    void AddSysEx(const host::SysExMessage& message, std::uint64_t call);
    void AddController(int controller, int value, std::uint64_t call);

    // Hands every event to handle in arrival order and empties the store. An event that arrived
    // before an earlier process call than call has lost its place in time: its offset becomes 0,
    // so that it takes effect at the start of the coming block.
    template <typename Handle> void Drain(std::uint64_t call, Handle&& handle) {
        for (const DeferredEvent& event : events_) {
            host::MidiMessage message = event.message;
            if (event.call != call) message.offset = 0;
            host::SysExMessage sysEx{message.offset, static_cast<int>(event.bytesSize),
                                     bytes_.data() + event.bytesStart};
            handle(event.kind, message, sysEx);
        }
        Clear();
    }
    void Clear();

private:
    std::vector<DeferredEvent> events_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace synth
