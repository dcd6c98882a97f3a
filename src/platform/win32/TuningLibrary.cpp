#include "platform/TuningLibrary.h"

#include <windows.h>

namespace platform {

std::string TuningLibraryPath() {
    char folder[MAX_PATH] = {};
    UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    return std::string(folder, length) + "\\LIBMTS.dll";
}

} // namespace platform
