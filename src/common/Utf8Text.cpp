#include "common/Utf8Text.h"

namespace common {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// A lead byte followed only by continuation bytes up to the end of the data, fewer than it needs:
// a character already cut short by whoever limited the data.
bool CutShortAtEnd(const char* text, std::size_t size, std::size_t position) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const unsigned char lead = bytes[position];
    const std::size_t needed = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (needed == 0 || size - position >= needed) return false;
    for (std::size_t i = position + 1; i < size; ++i)
        if (!IsContinuation(bytes[i])) return false;
    return true;
}

} // namespace

std::size_t Utf8CharLength(const char* text, std::size_t size, std::size_t position) {
    if (!text || position >= size) return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text) + position;
    const std::size_t left = size - position;
    const unsigned char lead = bytes[0];
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    // The second byte's range excludes overlong forms, surrogates and values above U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (left < length || bytes[1] < low || bytes[1] > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (!IsContinuation(bytes[i])) return 0;
    return length;
}

std::uint32_t Utf8CodePoint(const char* text, std::size_t size, std::size_t position) {
    const std::size_t length = Utf8CharLength(text, size, position);
    if (length == 0) return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text) + position;
    if (length == 1) return bytes[0];
    std::uint32_t value = bytes[0] & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) value = (value << 6) | (bytes[i] & 0x3Fu);
    return value;
}

std::size_t Utf8FittingLength(const char* text, std::size_t size, std::size_t maxBytes) {
    if (!text) return 0;
    if (size <= maxBytes) return size;
    std::size_t position = 0;
    while (position < size) {
        std::size_t length = Utf8CharLength(text, size, position);
        if (length == 0) {
            if (CutShortAtEnd(text, size, position)) break;
            length = 1; // a byte of another encoding stands for itself
        }
        if (position + length > maxBytes) break;
        position += length;
    }
    return position;
}

std::size_t Utf8FittingLength(const std::string& text, std::size_t maxBytes) {
    return Utf8FittingLength(text.data(), text.size(), maxBytes);
}

std::string CutUtf8(const std::string& text, std::size_t maxBytes) {
    return text.substr(0, Utf8FittingLength(text, maxBytes));
}

} // namespace common
