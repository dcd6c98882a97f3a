#include "programs/ModuleVoiceName.h"

#include "common/Utf8Text.h"
#include "programs/VoiceRecordLayout.h"

#include <cstdint>

namespace programs {

namespace {

// Plain letters for U+00C0 to U+00FF, in code point order.
constexpr char kLatin1Letters[] = "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYPs"
                                  "aaaaaaaceeeeiiiidnooooo/ouuuuypy";

char ModuleCharacter(std::uint32_t codePoint) {
    if (codePoint >= 0xC0 && codePoint <= 0xFF) return kLatin1Letters[codePoint - 0xC0];
    return '?';
}

} // namespace

std::string ModuleVoiceName(const std::string& name) {
    std::string result;
    std::size_t position = 0;
    while (position < name.size() && result.size() < static_cast<std::size_t>(kRecordNameLength)) {
        const std::size_t length = common::Utf8CharLength(name.data(), name.size(), position);
        if (length <= 1) {
            result.push_back(name[position]); // ASCII, or a byte of the module's own
            ++position;
            continue;
        }
        result.push_back(
            ModuleCharacter(common::Utf8CodePoint(name.data(), name.size(), position)));
        position += length;
    }
    return result;
}

} // namespace programs
