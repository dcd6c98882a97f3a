#pragma once
// The line format of the XDG user-dirs file (XDG_DOCUMENTS_DIR="$HOME/Documents"), read without
// any OS call so that it is tested on every OS.

#include <string>

namespace platform {

// The folder given for key (e.g. "XDG_DOCUMENTS_DIR") in the text of a user-dirs file, with a
// leading "$HOME" replaced by home; empty when the key is missing, malformed or names the home
// folder itself (which by the file's convention means the folder is disabled).
std::string FindXdgUserDir(const std::string& fileText, const std::string& key,
                           const std::string& home);

} // namespace platform
