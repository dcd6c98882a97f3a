#include "platform/Files.h"

#include "platform/FolderPattern.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace platform {

namespace {

// A file path in the form the wide functions take, long-path prefix included where needed.
bool WidePath(const std::string& path, std::wstring& wide) {
    return Widen(LongPathForm(path), wide);
}

} // namespace

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::wstring wide;
    if (path.empty() || !WidePath(path, wide)) return false;
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(file, &length) || length.QuadPart < 0 ||
        static_cast<unsigned long long>(length.QuadPart) > kMaxReadFileSize) {
        CloseHandle(file);
        return false;
    }
    std::vector<std::uint8_t> content(static_cast<std::size_t>(length.QuadPart));
    std::size_t done = 0;
    while (done < content.size()) {
        DWORD got = 0;
        if (!ReadFile(file, content.data() + done, static_cast<DWORD>(content.size() - done), &got,
                      nullptr) ||
            got == 0)
            break;
        done += got;
    }
    CloseHandle(file);
    if (done != content.size()) return false;
    bytes.swap(content);
    return true;
}

bool WriteFileSafely(const std::string& path, const void* data, std::size_t size) {
    if (path.empty() || (!data && size > 0)) return false;
    std::wstring target;
    if (!WidePath(path, target)) return false;
    // A name of its own in the same folder, so that the final move stays on one volume.
    static LONG counter = 0;
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        LONG number = InterlockedIncrement(&counter);
        temporary = target + L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                    std::to_wstring(number);
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (ok && done < size) {
        DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 20));
        DWORD written = 0;
        ok = WriteFile(file, bytes + done, piece, &written, nullptr) && written == piece;
        done += written;
    }
    ok = ok && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    ok = ok && MoveFileExW(temporary.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temporary.c_str());
    return ok;
}

bool ListFolderFiles(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    std::string pattern = FolderSearchPattern(folder);
    std::wstring wide;
    if (Widen(LongPathForm(pattern), wide)) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(wide.c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    names.push_back(Narrow(found.cFileName));
            } while (FindNextFileW(search, &found));
            FindClose(search);
            return true;
        }
    }
    // The wide search failed: the folder is tried again with its text unconverted.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.emplace_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return true;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    char last = folder.back();
    if (last == '\\' || last == '/') return folder + name;
    return folder + "\\" + name;
}

std::string FolderOfPath(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return std::string();
    if (slash == 2 && path.size() > 1 && path[1] == ':') return path.substr(0, 3);
    return path.substr(0, slash);
}

} // namespace platform
