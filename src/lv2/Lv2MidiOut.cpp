#include "lv2/Lv2MidiOut.h"

#include <cstring>

namespace lv2 {

namespace {

constexpr std::size_t kSizeBytes = sizeof(std::uint32_t);

std::uint32_t Padded(std::uint32_t size) {
    return (size + 7u) & ~7u;
}

} // namespace

MidiOut::MidiOut() : queue_(kQueueCapacity) {}

void MidiOut::BeginRun(LV2_Atom_Sequence* port, LV2_URID sequenceType, LV2_URID midiEventType) {
    port_ = port;
    lastFrame_ = 0;
    midiEventType_ = midiEventType;
    if (port_) {
        // The host gives the buffer's capacity in the atom's size.
        std::uint32_t total = port_->atom.size;
        capacity_ = total > sizeof(LV2_Atom_Sequence_Body)
                        ? total - static_cast<std::uint32_t>(sizeof(LV2_Atom_Sequence_Body))
                        : 0;
        port_->atom.type = sequenceType;
        port_->atom.size = sizeof(LV2_Atom_Sequence_Body);
        port_->body.unit = 0;
        port_->body.pad = 0;
    }
    DrainQueue();
}

bool MidiOut::Write(std::int64_t frame, const std::uint8_t* bytes, std::uint32_t size) {
    if (!port_ || !bytes || size == 0) return false;
    if (frame < lastFrame_) frame = lastFrame_;
    std::uint32_t used =
        port_->atom.size - static_cast<std::uint32_t>(sizeof(LV2_Atom_Sequence_Body));
    std::uint32_t needed = Padded(static_cast<std::uint32_t>(sizeof(LV2_Atom_Event)) + size);
    if (size > capacity_ || needed > capacity_ - used) return false;
    auto* event = reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<std::uint8_t*>(&port_->body) +
                                                    sizeof(LV2_Atom_Sequence_Body) + used);
    event->time.frames = frame;
    event->body.size = size;
    event->body.type = midiEventType_;
    std::memcpy(event + 1, bytes, size);
    port_->atom.size += needed;
    lastFrame_ = frame;
    return true;
}

bool MidiOut::Queue(const std::uint8_t* bytes, std::uint32_t size) {
    if (!bytes || size == 0) return false;
    platform::ScopedLock lock(queueMutex_);
    if (kSizeBytes + size > queue_.size() - queued_) return false;
    std::memcpy(queue_.data() + queued_, &size, kSizeBytes);
    std::memcpy(queue_.data() + queued_ + kSizeBytes, bytes, size);
    queued_ += kSizeBytes + size;
    return true;
}

void MidiOut::DrainQueue() {
    platform::ScopedTryLock lock(queueMutex_);
    if (!lock.Owns() || queued_ == 0) return;
    std::size_t read = 0;
    // Without a port nothing would ever take the messages; one larger than the whole port can
    // never go. Both are dropped. What finds no room waits for the next run.
    while (port_ && read < queued_) {
        std::uint32_t size = 0;
        std::memcpy(&size, queue_.data() + read, kSizeBytes);
        bool fits = sizeof(LV2_Atom_Event) + size <= capacity_;
        if (fits && !Write(0, queue_.data() + read + kSizeBytes, size)) break;
        read += kSizeBytes + size;
    }
    if (!port_) read = queued_;
    std::memmove(queue_.data(), queue_.data() + read, queued_ - read);
    queued_ -= read;
}

} // namespace lv2
