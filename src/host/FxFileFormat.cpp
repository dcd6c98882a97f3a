#include "host/FxFileFormat.h"

#include "common/Utf8Text.h"

#include <algorithm>
#include <cstring>

namespace host {

bool ReadBigEndian(const FileBytes& file, std::size_t offset, std::uint32_t& value) {
    if (offset > file.size() || file.size() - offset < 4) return false;
    value = (static_cast<std::uint32_t>(file[offset]) << 24) |
            (static_cast<std::uint32_t>(file[offset + 1]) << 16) |
            (static_cast<std::uint32_t>(file[offset + 2]) << 8) |
            static_cast<std::uint32_t>(file[offset + 3]);
    return true;
}

bool ReadBigEndianFloat(const FileBytes& file, std::size_t offset, float& value) {
    std::uint32_t bits = 0;
    if (!ReadBigEndian(file, offset, bits)) return false;
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

void AppendBigEndian(FileBytes& file, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        file.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::string ReadTextField(const FileBytes& file, std::size_t offset, std::size_t size) {
    if (offset > file.size() || file.size() - offset < size) return std::string();
    const char* first = reinterpret_cast<const char*>(file.data() + offset);
    const char* end = std::find(first, first + size, '\0');
    return std::string(first, end);
}

void AppendTextField(FileBytes& file, const std::string& text, std::size_t size) {
    if (size == 0) return;
    // A NUL inside the text ends it, as any reader of the field would see it; a longer text is cut
    // before the character that no longer fits.
    const std::size_t length =
        static_cast<std::size_t>(std::find(text.begin(), text.end(), '\0') - text.begin());
    const std::size_t count = common::Utf8FittingLength(text.data(), length, size - 1);
    file.insert(file.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(count));
    file.insert(file.end(), size - count, 0);
}

} // namespace host
