#include "JsonText.h"

#include "common/Utf8Text.h"

#include <cstdio>

namespace vorna_tool {

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) {
            const std::size_t length = common::Utf8CharLength(text.data(), text.size(), i);
            if (length > 1) {
                json.append(text, i, length);
                i += length;
                continue;
            }
        }
        if (byte == '"' || byte == '\\') {
            json += '\\';
            json += static_cast<char>(byte);
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
            json += escaped;
        } else {
            json += static_cast<char>(byte);
        }
        ++i;
    }
    return json + "\"";
}

} // namespace vorna_tool
