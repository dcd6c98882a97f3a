#include "window/win32/Win32UiServices.h"

#include "platform/win32/WideText.h"

#include <shellapi.h>
#include <wininet.h>

#include <vector>

namespace platform::win32 {

namespace {

std::wstring WideOrEmpty(const std::string& text) {
    std::wstring wide;
    if (!Widen(text, wide)) wide.clear();
    return wide;
}

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256] = {};
    int length = GetClassNameW(window, name, 256);
    return length > 0 ? std::wstring(name, static_cast<std::size_t>(length)) : std::wstring();
}

struct OwnerSearch {
    const std::wstring* className;
    HWND found;
};

BOOL CALLBACK MatchOwner(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<OwnerSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || ClassNameOf(window) != *search->className) return TRUE;
    search->found = window;
    return FALSE;
}

// Whether the window is owned by `owner`, directly or through other windows.
bool OwnedBy(HWND window, HWND owner) {
    for (HWND above = GetWindow(window, GW_OWNER); above; above = GetWindow(above, GW_OWNER)) {
        if (above == owner) return true;
    }
    return false;
}

BOOL CALLBACK EndOwnedDialog(HWND window, LPARAM owner) {
    if (ClassNameOf(window) == L"#32770" && OwnedBy(window, reinterpret_cast<HWND>(owner))) {
        // Result 0: a file dialog then returns no name, a folder dialog no folder, and a message
        // box an answer that confirms nothing. The message wakes a dialog loop that sleeps.
        EndDialog(window, 0);
        PostMessageW(window, WM_NULL, 0, 0);
    }
    return TRUE;
}

bool IsWebAddress(const std::wstring& address) {
    // Only web pages: the shell would run a program or open a file given any other text.
    return address.compare(0, 7, L"http://") == 0 || address.compare(0, 8, L"https://") == 0;
}

} // namespace

void Win32UiServices::Attach(HWND editor) {
    editor_ = editor;
    HWND root = editor ? GetAncestor(editor, GA_ROOT) : nullptr;
    if (root && root != editor) ownerClass_ = ClassNameOf(root);
}

HWND Win32UiServices::Owner() const {
    if (editor_ && IsWindow(editor_)) {
        HWND root = GetAncestor(editor_, GA_ROOT);
        if (root && root != editor_) return root;
    }
    if (ownerClass_.empty()) return nullptr;
    OwnerSearch search = {&ownerClass_, nullptr};
    EnumWindows(&MatchOwner, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Win32UiServices::ReleaseEditorCapture() const {
    if (editor_ && GetCapture() == editor_) ReleaseCapture();
}

MessageAnswer Win32UiServices::ShowMessage(MessageKind kind, const std::string& text,
                                           const std::string& caption) {
    UINT type = MB_OK | MB_ICONINFORMATION;
    if (kind == MessageKind::Error) type = MB_OK | MB_ICONERROR;
    if (kind == MessageKind::Question) type = MB_YESNO | MB_ICONQUESTION;
    const std::wstring wideText = WideOrEmpty(text);
    const std::wstring wideCaption = WideOrEmpty(caption);
    ReleaseEditorCapture();
    dialogOwner_ = Owner();
    int answer =
        MessageBoxW(dialogOwner_, wideText.c_str(), wideCaption.c_str(), type | MB_SETFOREGROUND);
    dialogOwner_ = nullptr;
    if (kind != MessageKind::Question) return MessageAnswer::Ok;
    // A box that could not be shown (answer 0) confirms nothing.
    return answer == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
}

void Win32UiServices::CancelDialogs() {
    if (dialogOwner_) {
        EnumThreadWindows(GetCurrentThreadId(), &EndOwnedDialog,
                          reinterpret_cast<LPARAM>(dialogOwner_));
    }
}

bool Win32UiServices::OpenWebAddress(const std::string& address) {
    std::wstring wide;
    if (!Widen(address, wide) || !IsWebAddress(wide) || !InternetAvailable()) return false;
    HINSTANCE result =
        ShellExecuteW(Owner(), L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // Values above 32 mean success.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32UiServices::InternetAvailable() {
    DWORD flags = 0;
    return InternetGetConnectedState(&flags, 0) != FALSE;
}

} // namespace platform::win32
