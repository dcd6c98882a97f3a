#pragma once
// Text for the listening pages that the tools write.

#include <string>

namespace vorna_tool {

// The text with the characters that HTML gives a meaning (& < > " ') written as entities, so a
// program name is safe both between tags and inside an attribute.
std::string EscapeHtml(const std::string& text);

} // namespace vorna_tool
