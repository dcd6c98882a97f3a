#pragma once
// Program names given by the user or by Initialise follow the module's seven-character voice
// names: a shorter name is padded with blanks, a longer one is not applied at all.

#include <string>

namespace programs {

constexpr std::size_t kProgramNameLength = 7;

// True, with padded set to text followed by blanks up to seven characters, when text has at most
// seven characters; false (padded untouched) for a longer text.
bool PadProgramName(const std::string& text, std::string& padded);

} // namespace programs
