#include "platform/DynamicLibrary.h"

#include <windows.h>

namespace platform {

DynamicLibrary::~DynamicLibrary() { Close(); }

static std::wstring Widen(const std::string& text) {
    int count = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (count <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), count);
    wide.resize(static_cast<size_t>(count - 1));
    return wide;
}

bool DynamicLibrary::Open(const std::string& path) {
    Close();
    handle_ = reinterpret_cast<void*>(LoadLibraryW(Widen(path).c_str()));
    if (!handle_) {
        error_ = "LoadLibrary failed with error " + std::to_string(GetLastError());
        return false;
    }
    error_.clear();
    return true;
}

void DynamicLibrary::Close() {
    if (handle_) FreeLibrary(reinterpret_cast<HMODULE>(handle_));
    handle_ = nullptr;
}

void* DynamicLibrary::Symbol(const char* name) const {
    if (!handle_) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
}

} // namespace platform
