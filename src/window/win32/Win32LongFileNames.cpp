#include "window/win32/Win32LongFileNames.h"

#include "platform/FolderPattern.h"
#include "platform/win32/WideText.h"

#include <commctrl.h>
#include <commdlg.h>

#include <vector>

namespace platform::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr std::size_t kTextCapacity = 32768;

DWORD Attributes(const std::wstring& path) {
    std::wstring wide;
    if (path.empty() || !Widen(LongPathForm(Narrow(path.c_str())), wide))
        return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(wide.c_str());
}

bool IsRooted(const std::wstring& name) {
    bool drive = name.size() >= 3 && name[1] == L':' && (name[2] == L'\\' || name[2] == L'/');
    return drive || (name.size() >= 2 && name[0] == L'\\' && name[1] == L'\\');
}

std::wstring DialogText(HWND dialog, UINT message) {
    std::vector<wchar_t> text(kTextCapacity, L'\0');
    LRESULT length = SendMessageW(dialog, message, static_cast<WPARAM>(text.size()),
                                  reinterpret_cast<LPARAM>(text.data()));
    if (length <= 0) return std::wstring();
    text.back() = L'\0';
    return text.data();
}

std::wstring Caption(HWND dialog) {
    wchar_t caption[256] = {};
    GetWindowTextW(dialog, caption, 256);
    return caption;
}

// The full path of what is typed in the name box when it is too long for the dialog; empty when
// the dialog can take the name itself (short, several names, wildcards).
std::wstring LongNameTyped(HWND dialog, const LongFileName& request) {
    std::wstring name = DialogText(dialog, CDM_GETSPEC);
    if (name.empty() || name.find_first_of(L"\"*?") != std::wstring::npos) return std::wstring();
    std::wstring full = name;
    if (!IsRooted(name)) {
        std::wstring folder = DialogText(dialog, CDM_GETFOLDERPATH);
        if (folder.empty()) return std::wstring();
        if (folder.back() != L'\\') folder.push_back(L'\\');
        full = folder + name;
    }
    if (request.save && !request.defaultExt.empty()) {
        std::size_t slash = full.find_last_of(L"\\/");
        std::size_t dot = full.find_last_of(L'.');
        if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash))
            full += L"." + request.defaultExt;
    }
    return full.size() >= MAX_PATH ? full : std::wstring();
}

// Checks the long name as the dialog would and answers whether it was taken (the dialog closes).
bool TakeLongName(HWND dialog, LongFileName& request) {
    const std::wstring full = LongNameTyped(dialog, request);
    if (full.empty()) return false;
    const std::wstring caption = Caption(dialog);
    const std::size_t slash = full.find_last_of(L"\\/");
    const std::wstring folder = full.substr(0, slash);
    if (!IsExistingFolder(folder)) {
        const std::wstring text = folder + L"\nThe folder does not exist.";
        MessageBoxW(dialog, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
        return true;
    }
    if (!request.save && !IsExistingFile(full)) {
        const std::wstring text = full + L"\nThe file does not exist.";
        MessageBoxW(dialog, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
        return true;
    }
    if (request.save && IsExistingFile(full)) {
        const std::wstring text = full + L" already exists.\nDo you want to replace it?";
        if (MessageBoxW(dialog, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONWARNING) != IDYES)
            return true;
    }
    request.chosen = full;
    // Closed as cancelled: the caller takes the chosen name from the request.
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    return true;
}

LRESULT CALLBACK DialogFilter(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR data) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK &&
        TakeLongName(dialog, *reinterpret_cast<LongFileName*>(data)))
        return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(dialog, &DialogFilter, kSubclassId);
    return DefSubclassProc(dialog, message, wParam, lParam);
}

} // namespace

UINT_PTR CALLBACK LongFileNameHook(HWND child, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return 0;
    // The hook's own dialog is a child of the file dialog, whose OK button is watched.
    const auto* dialog = reinterpret_cast<const OPENFILENAMEW*>(lParam);
    auto* request = reinterpret_cast<LongFileName*>(dialog->lCustData);
    if (request && GetParent(child))
        SetWindowSubclass(GetParent(child), &DialogFilter, kSubclassId,
                          reinterpret_cast<DWORD_PTR>(request));
    return 0;
}

bool IsExistingFolder(const std::wstring& path) {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsExistingFile(const std::wstring& path) {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace platform::win32
