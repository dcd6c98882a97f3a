#include "synth/DeferredEvents.h"

namespace synth {

DeferredEvents::DeferredEvents() {
    events_.reserve(kReservedEvents);
    bytes_.reserve(kReservedBytes);
}

void DeferredEvents::AddMidi(const host::MidiMessage& message, std::uint64_t call) {
    DeferredEvent event;
    event.kind = DeferredEvent::Kind::Midi;
    event.message = message;
    event.call = call;
    events_.push_back(event);
}

void DeferredEvents::AddSysEx(const host::SysExMessage& message, std::uint64_t call) {
    DeferredEvent event;
    event.kind = DeferredEvent::Kind::SysEx;
    event.message.offset = message.offset;
    event.bytesStart = bytes_.size();
    event.bytesSize =
        message.bytes && message.size > 0 ? static_cast<std::size_t>(message.size) : 0;
    event.call = call;
    if (event.bytesSize > 0)
        bytes_.insert(bytes_.end(), message.bytes, message.bytes + event.bytesSize);
    events_.push_back(event);
}

void DeferredEvents::AddController(int controller, int value, std::uint64_t call) {
    DeferredEvent event;
    event.kind = DeferredEvent::Kind::Controller;
    event.message.status = 0xB0;
    event.message.data1 = static_cast<std::uint8_t>(controller);
    event.message.data2 = static_cast<std::uint8_t>(value);
    event.call = call;
    events_.push_back(event);
}

void DeferredEvents::Clear() {
    events_.clear();
    bytes_.clear();
}

} // namespace synth
