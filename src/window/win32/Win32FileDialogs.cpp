// The file and folder dialogs of the Win32 editor window.

#include "platform/FolderPattern.h"
#include "platform/UserFolders.h"
#include "platform/win32/WideText.h"
#include "window/win32/Win32LongFileNames.h"
#include "window/win32/Win32UiServices.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace platform::win32 {

namespace {

// Room for the longest path the wide file functions take.
constexpr std::size_t kPathCapacity = 32768;
constexpr std::size_t kMaxDefaultName = 128;

// The filter ("*.fxp" shown, "*.fxp" matched; several extensions joined with ";") and the default
// extension (the first one) of the space-separated extensions. Without any extension every file
// is listed: the dialog then only picks a folder.
void FormFilter(const std::string& extensions, std::wstring& filter, std::wstring& defaultExt) {
    std::wstring patterns;
    defaultExt.clear();
    std::size_t start = 0;
    while (start < extensions.size()) {
        std::size_t end = extensions.find(' ', start);
        if (end == std::string::npos) end = extensions.size();
        std::wstring extension;
        if (end > start && Widen(extensions.substr(start, end - start), extension)) {
            if (!patterns.empty()) patterns += L";";
            patterns += L"*." + extension;
            if (defaultExt.empty()) defaultExt = extension;
        }
        start = end + 1;
    }
    if (patterns.empty()) patterns = L"*.*";
    filter = patterns;
    filter.push_back(L'\0');
    filter += patterns;
    filter.push_back(L'\0');
    // The list ends with an empty pair; c_str() adds the final terminator.
}

bool IsFolder(const std::string& path) {
    std::wstring wide;
    return Widen(path, wide) && IsExistingFolder(wide);
}

// Where a dialog opens: the given folder; when it no longer exists, or is too long for the dialog,
// its nearest existing parent that is short enough; without any, the user's desktop.
std::string StartFolder(const std::string& requested) {
    std::string folder = requested;
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    while (!folder.empty()) {
        if (folder.size() < MAX_PATH - 1 && IsFolder(folder)) return folder;
        std::size_t slash = folder.find_last_of("\\/");
        // A drive root ("C:\") or a name without any folder has no parent to try.
        if (slash == std::string::npos || slash + 1 == folder.size()) break;
        // The parent of "C:\Sounds" is "C:\", with its backslash: "C:" alone names the drive's
        // current folder.
        folder = (slash == 2 && folder[1] == ':') ? folder.substr(0, 3) : folder.substr(0, slash);
    }
    return DesktopFolder();
}

// A folder dialog opens at its start folder: set once the dialog exists.
int CALLBACK FolderDialogEvent(HWND dialog, UINT message, LPARAM, LPARAM start) {
    if (message == BFFM_INITIALIZED && start) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, start);
    return 0;
}

} // namespace

bool Win32UiServices::ChooseFile(const FileDialogRequest& request, std::string& path) {
    path.clear();
    std::wstring filter, defaultExt;
    FormFilter(request.extension, filter, defaultExt);
    std::vector<wchar_t> name(kPathCapacity, L'\0');
    std::wstring defaultName;
    // A proposed name is short (a program name at most); one too long for the dialog is left out.
    if (Widen(request.defaultName, defaultName) && defaultName.size() < kMaxDefaultName)
        defaultName.copy(name.data(), defaultName.size());
    std::wstring folder;
    if (!Widen(StartFolder(request.startFolder), folder)) folder.clear();

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Owner();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    // The host's current folder is left as it was.
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    dialog.Flags |= request.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
    // Names longer than the dialog takes are taken by the hook.
    LongFileName longName;
    longName.save = request.save;
    longName.defaultExt = defaultExt;
    dialog.Flags |= OFN_ENABLEHOOK;
    dialog.lpfnHook = &LongFileNameHook;
    dialog.lCustData = reinterpret_cast<LPARAM>(&longName);
    ReleaseEditorCapture();
    dialogOwner_ = dialog.hwndOwner;
    BOOL chosen = request.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    dialogOwner_ = nullptr;
    if (chosen) {
        name.back() = L'\0';
        path = Narrow(name.data());
    } else if (!longName.chosen.empty()) {
        path = Narrow(longName.chosen.c_str());
    }
    return !path.empty();
}

bool Win32UiServices::ChooseFolder(const std::string& title, const std::string& startFolder,
                                   std::string& path) {
    path.clear();
    std::wstring wideTitle;
    if (!Widen(title, wideTitle)) wideTitle.clear();
    std::wstring start;
    if (!Widen(StartFolder(startFolder), start)) start.clear();
    // The folder dialog needs COM on this thread; the host may have set it up already, in either
    // model (then the dialog goes without the parts that need a single-threaded apartment).
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    BROWSEINFOW browse = {};
    browse.hwndOwner = Owner();
    browse.lpszTitle = wideTitle.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | (SUCCEEDED(com) ? BIF_NEWDIALOGSTYLE : 0);
    browse.lpfn = &FolderDialogEvent;
    browse.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    ReleaseEditorCapture();
    dialogOwner_ = browse.hwndOwner;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    dialogOwner_ = nullptr;
    if (chosen) {
        std::vector<wchar_t> folder(kPathCapacity, L'\0');
        if (SHGetPathFromIDListEx(chosen, folder.data(), static_cast<DWORD>(folder.size()),
                                  GPFIDL_DEFAULT))
            path = Narrow(folder.data());
        CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return !path.empty();
}

} // namespace platform::win32
