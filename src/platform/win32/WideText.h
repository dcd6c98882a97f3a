#pragma once
// UTF-8 text to and from the wide characters of the Windows functions.

#include <string>

namespace platform {

// False for text that is not UTF-8.
bool Widen(const std::string& text, std::wstring& wide);
std::string Narrow(const wchar_t* wide);

} // namespace platform
