#include "Lv2AtomBuffer.h"

#include <algorithm>
#include <cstring>

namespace lv2host {

namespace {

constexpr std::size_t kHeader = sizeof(LV2_Atom);
constexpr std::size_t kSequenceHeader = sizeof(LV2_Atom_Sequence);
constexpr std::size_t kEventHeader = sizeof(LV2_Atom_Event);

std::size_t Padded(std::size_t size) {
    return (size + 7u) & ~static_cast<std::size_t>(7u);
}

} // namespace

AtomBuffer::AtomBuffer(std::size_t capacity)
    : storage_((std::max(capacity, kSequenceHeader) + 7) / 8, 0) {}

void AtomBuffer::Clear(LV2_URID sequenceType) {
    LV2_Atom_Sequence* sequence = Sequence();
    sequence->atom.type = sequenceType;
    sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
    sequence->body.unit = 0;
    sequence->body.pad = 0;
}

bool AtomBuffer::Append(std::int64_t frames, LV2_URID type, const void* body, std::uint32_t size) {
    LV2_Atom_Sequence* sequence = Sequence();
    const std::size_t used = kHeader + sequence->atom.size;
    const std::size_t needed = Padded(kEventHeader + size);
    if (used + needed > Capacity()) return false;
    auto* event =
        reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<std::uint8_t*>(sequence) + Padded(used));
    event->time.frames = frames;
    event->body.type = type;
    event->body.size = size;
    if (size > 0) std::memcpy(event + 1, body, size);
    sequence->atom.size += static_cast<std::uint32_t>(needed);
    return true;
}

void AtomBuffer::OfferForOutput(LV2_URID chunkType) {
    LV2_Atom_Sequence* sequence = Sequence();
    sequence->atom.type = chunkType;
    sequence->atom.size = static_cast<std::uint32_t>(Capacity() - kHeader);
}

bool AtomBuffer::Read(LV2_URID sequenceType, std::vector<AtomEvent>& events,
                      std::string& problem) const {
    events.clear();
    const auto* base = reinterpret_cast<const std::uint8_t*>(storage_.data());
    const auto* sequence = reinterpret_cast<const LV2_Atom_Sequence*>(base);
    if (sequence->atom.type != sequenceType) {
        problem =
            "the output is no atom sequence (type " + std::to_string(sequence->atom.type) + ")";
        return false;
    }
    const std::size_t end = kHeader + static_cast<std::size_t>(sequence->atom.size);
    if (sequence->atom.size < sizeof(LV2_Atom_Sequence_Body) || end > Capacity()) {
        problem = "the output sequence's size " + std::to_string(sequence->atom.size) +
                  " does not fit its buffer of " + std::to_string(Capacity());
        return false;
    }
    std::size_t at = kSequenceHeader;
    while (at < end) {
        if (at + kEventHeader > end) {
            problem = "an event header crosses the sequence's end at byte " + std::to_string(at);
            return false;
        }
        LV2_Atom_Event header;
        std::memcpy(&header, base + at, kEventHeader);
        if (at + kEventHeader + header.body.size > end) {
            problem = "an event of " + std::to_string(header.body.size) +
                      " bytes crosses the sequence's end";
            return false;
        }
        AtomEvent event;
        event.frames = header.time.frames;
        event.type = header.body.type;
        const std::uint8_t* body = base + at + kEventHeader;
        event.bytes.assign(body, body + header.body.size);
        events.push_back(std::move(event));
        at += Padded(kEventHeader + header.body.size);
    }
    return true;
}

} // namespace lv2host
