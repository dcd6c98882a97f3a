#pragma once
// The help texts of vorna and of each of its commands.

#include <cstdio>
#include <string>

namespace vorna_tool {

// "--help" or "-h".
bool IsHelpOption(const std::string& argument);

// The overview when command is empty, else the command's own text; false for an unknown command.
bool PrintUsage(const std::string& command, std::FILE* out);

} // namespace vorna_tool
