#pragma once
// A buffer for an atom sequence port, 8-byte aligned as atoms must be. For the input port the host
// builds a sequence of events in it; for the output port it offers the whole buffer (the atom's
// size is the capacity) and reads back what the plug-in wrote, checking every size against the
// buffer instead of trusting it.

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lv2host {

struct AtomEvent {
    std::int64_t frames = 0;
    LV2_URID type = 0;
    std::vector<std::uint8_t> bytes;
};

class AtomBuffer {
public:
    // capacity: bytes of the whole atom, header included.
    explicit AtomBuffer(std::size_t capacity);

    LV2_Atom_Sequence* Sequence() { return reinterpret_cast<LV2_Atom_Sequence*>(storage_.data()); }
    std::size_t Capacity() const { return storage_.size() * sizeof(std::uint64_t); }

    // An empty sequence (frame time stamps) to append events to.
    void Clear(LV2_URID sequenceType);
    // Appends an event at the end whatever its time: a host may break the order on purpose.
    // False when it does not fit.
    bool Append(std::int64_t frames, LV2_URID type, const void* body, std::uint32_t size);
    // For an output port: the whole buffer, announced as a chunk of its capacity.
    void OfferForOutput(LV2_URID chunkType);

    // The events of the sequence the plug-in left. False, with the reason, when the sequence is
    // not one (wrong type) or any size reaches beyond the buffer.
    bool Read(LV2_URID sequenceType, std::vector<AtomEvent>& events, std::string& problem) const;

private:
    std::vector<std::uint64_t> storage_;
};

} // namespace lv2host
