#include "Lv2ByteRing.h"

#include <algorithm>
#include <cstring>

namespace lv2host {

ByteRing::ByteRing(std::size_t capacity) : bytes_(std::max<std::size_t>(capacity, 16)) {}

void ByteRing::CopyIn(std::size_t at, const void* data, std::size_t size) {
    const auto* from = static_cast<const std::uint8_t*>(data);
    const std::size_t start = at % bytes_.size();
    const std::size_t first = std::min(size, bytes_.size() - start);
    std::memcpy(bytes_.data() + start, from, first);
    std::memcpy(bytes_.data(), from + first, size - first);
}

void ByteRing::CopyOut(std::size_t at, void* data, std::size_t size) const {
    auto* to = static_cast<std::uint8_t*>(data);
    const std::size_t start = at % bytes_.size();
    const std::size_t first = std::min(size, bytes_.size() - start);
    std::memcpy(to, bytes_.data() + start, first);
    std::memcpy(to + first, bytes_.data(), size - first);
}

bool ByteRing::Write(const void* data, std::uint32_t size) {
    const std::size_t written = written_.load(std::memory_order_relaxed);
    const std::size_t used = written - read_.load(std::memory_order_acquire);
    if (sizeof size + size > bytes_.size() - used) return false;
    CopyIn(written, &size, sizeof size);
    if (size > 0) CopyIn(written + sizeof size, data, size);
    written_.store(written + sizeof size + size, std::memory_order_release);
    return true;
}

bool ByteRing::Read(std::vector<std::uint8_t>& message) {
    const std::size_t read = read_.load(std::memory_order_relaxed);
    if (written_.load(std::memory_order_acquire) == read) return false;
    std::uint32_t size = 0;
    CopyOut(read, &size, sizeof size);
    message.resize(size);
    if (size > 0) CopyOut(read + sizeof size, message.data(), size);
    read_.store(read + sizeof size + size, std::memory_order_release);
    return true;
}

bool ByteRing::Empty() const {
    return written_.load(std::memory_order_acquire) == read_.load(std::memory_order_acquire);
}

} // namespace lv2host
