#include "host/ChunkBuffer.h"

#include <cstring>

namespace host {

void ChunkBuffer::Assign(const void* data, std::size_t size) {
    const auto* first = static_cast<const std::uint8_t*>(data);
    if (!first) size = 0;
    bytes_.assign(first, first + size);
}

void ChunkBuffer::AppendInt32(std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

void ChunkBuffer::AppendDouble(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) bytes_.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

void ChunkBuffer::AppendByte(std::uint8_t value) { bytes_.push_back(value); }

void ChunkBuffer::AppendBytes(const void* data, std::size_t size) {
    if (!data || size == 0) return;
    const auto* first = static_cast<const std::uint8_t*>(data);
    bytes_.insert(bytes_.end(), first, first + size);
}

void ChunkBuffer::AppendText(const std::string& text) {
    AppendInt32(static_cast<std::int32_t>(text.size()));
    AppendBytes(text.data(), text.size());
}

int ChunkBuffer::ReadInt32(std::int32_t& value, int position) const {
    if (!Has(position, 4)) return -1;
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<std::uint32_t>(bytes_[position + i]) << (8 * i);
    value = static_cast<std::int32_t>(bits);
    return position + 4;
}

int ChunkBuffer::ReadDouble(double& value, int position) const {
    if (!Has(position, 8)) return -1;
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(bytes_[position + i]) << (8 * i);
    std::memcpy(&value, &bits, sizeof value);
    return position + 8;
}

int ChunkBuffer::ReadByte(std::uint8_t& value, int position) const {
    if (!Has(position, 1)) return -1;
    value = bytes_[static_cast<std::size_t>(position)];
    return position + 1;
}

int ChunkBuffer::ReadBytes(void* data, int size, int position) const {
    if (!Has(position, size)) return -1;
    if (size > 0) std::memcpy(data, bytes_.data() + position, static_cast<std::size_t>(size));
    return position + size;
}

int ChunkBuffer::ReadText(std::string& text, int position) const {
    std::int32_t length = 0;
    int next = ReadInt32(length, position);
    if (next < 0 || length < 0) return -1;
    if (length == 0) {
        text.clear();
        return next;
    }
    if (!Has(next, length)) return -1;
    text.assign(reinterpret_cast<const char*>(bytes_.data()) + next,
                static_cast<std::size_t>(length));
    return next + length;
}

} // namespace host
