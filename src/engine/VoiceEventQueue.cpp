#include "engine/VoiceEventQueue.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace engine {

VoiceEventQueue::VoiceEventQueue(int capacity) {
    entries_.resize(static_cast<std::size_t>(std::max(capacity, 1)));
}

bool VoiceEventQueue::Push(const MidiEvent& event) {
    if (tail_ == static_cast<int>(entries_.size())) {
        if (head_ > 0) {
            int size = tail_ - head_;
            std::memmove(entries_.data(), entries_.data() + head_,
                         static_cast<std::size_t>(size) * sizeof(std::uint64_t));
            head_ = 0;
            tail_ = size;
        } else {
            try {
                entries_.resize(entries_.size() * 2);
            } catch (const std::exception&) {
                return false;
            }
        }
    }
    entries_[static_cast<std::size_t>(tail_++)] = PackMidiEvent(event);
    return true;
}

void VoiceEventQueue::PopFront() {
    if (head_ < tail_) ++head_;
    if (head_ == tail_) head_ = tail_ = 0;
}

} // namespace engine
