#pragma once
// The search pattern with which a Windows folder listing is started, and its long-path form.
// Plain text functions, so they are tested on every OS.

#include <string>

namespace platform {

// The pattern that lists folder: the folder without a trailing "\" or "/", then "\*".
std::string FolderSearchPattern(const std::string& folder);

// The form of a pattern that the wide-character file functions accept beyond 259 characters: when
// it is 256 characters or longer, "\\?\" before a path with a drive letter or "\\?\UNC\" in place
// of the two backslashes of a network path, every "/" after the prefix turned into "\". Other
// patterns are returned unchanged.
std::string LongPathForm(const std::string& pattern);

} // namespace platform
