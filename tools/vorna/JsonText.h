#pragma once
// Texts as JSON string literals. Valid UTF-8 passes through; a byte that is not part of a valid
// UTF-8 character (a module voice name holds its own character set) is written as the code point
// of the same number, so the output is always valid JSON.

#include <string>

namespace vorna_tool {

std::string JsonString(const std::string& text);

} // namespace vorna_tool
