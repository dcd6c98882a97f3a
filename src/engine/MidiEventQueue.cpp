#include "engine/MidiEventQueue.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>

namespace engine {

MidiEventQueue::MidiEventQueue(int capacity) {
    entries_.resize(static_cast<std::size_t>(std::max(capacity, 0)));
}

bool MidiEventQueue::Grow() {
    std::size_t capacity = entries_.size();
    std::size_t step = static_cast<std::size_t>(kGrowthStep);
    std::size_t grown = (capacity / step + 1) * step; // next multiple above the current capacity
    try {
        entries_.resize(grown);
    } catch (const std::exception&) { // out of memory or beyond the largest array
        return false;
    }
    return true;
}

bool MidiEventQueue::Add(MidiEvent event) {
    event.offset = std::max(event.offset, floor_);
    if (count_ == Capacity()) {
        if (front_ > 0) {
            Compact();
        } else if (!Grow()) {
            return false;
        }
    }
    std::uint64_t word = PackMidiEvent(event);
    std::uint64_t* data = entries_.data();
    int position = count_;
    if (count_ > front_ && event.offset < PackedOffset(data[count_ - 1])) {
        // After the last entry whose offset is not greater than the new one.
        position = count_ - 1;
        while (position > front_ && PackedOffset(data[position - 1]) > event.offset) --position;
        std::memmove(data + position + 1, data + position,
                     static_cast<std::size_t>(count_ - position) * sizeof(std::uint64_t));
    }
    data[position] = word;
    ++count_;
    return true;
}

void MidiEventQueue::PopFront() {
    if (front_ < count_) ++front_;
    if (front_ == count_) front_ = count_ = 0;
}

void MidiEventQueue::ClampOffsets(std::int32_t lastFrame) {
    for (int i = front_; i < count_; ++i) {
        std::uint64_t& word = entries_[static_cast<std::size_t>(i)];
        if (PackedOffset(word) <= lastFrame) continue;
        word = (word & ~std::uint64_t{0xFFFFFFFFu}) |
               static_cast<std::uint64_t>(static_cast<std::uint32_t>(lastFrame));
    }
}

void MidiEventQueue::CloseCall() {
    floor_ =
        Empty() ? 0 : std::max(PackedOffset(entries_[static_cast<std::size_t>(count_ - 1)]), 0);
}

void MidiEventQueue::ReduceOffsets(std::int32_t ticks) {
    for (int i = front_; i < count_; ++i) {
        std::uint64_t& word = entries_[static_cast<std::size_t>(i)];
        // Saturated, not wrapped: a far-future message must never become due, nor a due one
        // far-future, whatever tick the rate gave.
        std::int64_t reduced = std::int64_t{PackedOffset(word)} - ticks;
        std::int32_t offset =
            static_cast<std::int32_t>(std::clamp<std::int64_t>(reduced, INT32_MIN, INT32_MAX));
        word = (word & ~std::uint64_t{0xFFFFFFFFu}) |
               static_cast<std::uint64_t>(static_cast<std::uint32_t>(offset));
    }
    floor_ = static_cast<std::int32_t>(std::max<std::int64_t>(std::int64_t{floor_} - ticks, 0));
}

void MidiEventQueue::Compact() {
    if (front_ == 0) return;
    int size = count_ - front_;
    if (size > 0) {
        std::memmove(entries_.data(), entries_.data() + front_,
                     static_cast<std::size_t>(size) * sizeof(std::uint64_t));
    }
    front_ = 0;
    count_ = size;
}

void MidiEventQueue::ResizeForBlock(int blockSize) {
    Compact();
    long long step = kResizeStep;
    long long wanted = (std::max(blockSize, 0) + step - 1) / step * step;
    wanted = std::max<long long>(wanted, count_);
    try {
        entries_.resize(static_cast<std::size_t>(wanted));
    } catch (const std::exception&) {
        // Keeping the old size loses nothing: the queue grows again when it has to.
    }
}

} // namespace engine
