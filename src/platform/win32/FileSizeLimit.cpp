#include "platform/FileSizeLimit.h"

#include "platform/FolderPattern.h"
#include "platform/win32/WideText.h"

#include <windows.h>

namespace platform {

namespace {
HANDLE heldFile = INVALID_HANDLE_VALUE;
} // namespace

// Windows limits no file's size per process.
bool SetFileSizeLimit(long long) {
    return false;
}
void ClearFileSizeLimit() {}

bool HoldFileOpen(const std::string& path) {
    ReleaseHeldFile();
    std::wstring wide;
    if (path.empty() || !Widen(LongPathForm(path), wide)) return false;
    // Shared for reading only: without FILE_SHARE_DELETE nobody may replace or delete the file
    // while this handle is open, which is how an editor or a virus scanner holding it behaves.
    heldFile = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    return heldFile != INVALID_HANDLE_VALUE;
}

void ReleaseHeldFile() {
    if (heldFile != INVALID_HANDLE_VALUE) CloseHandle(heldFile);
    heldFile = INVALID_HANDLE_VALUE;
}

// Access is checked by the file's security descriptor, not by a switchable user id.
bool UseUnprivilegedFileAccess() {
    return false;
}
void RestoreFileAccess() {}

} // namespace platform
