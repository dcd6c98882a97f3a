#include "window/win32/Win32WindowClass.h"

#include "platform/Module.h"
#include "platform/Mutex.h"

namespace platform::win32 {

const wchar_t kEditorWindowClass[] = L"VornaWndClass";

namespace {

struct ClassUsers {
    RecursiveMutex mutex;
    int count = 0;
};

// Created on first use and kept until the library is unloaded: editors of several instances may
// open and close in any order.
ClassUsers& Users() {
    static ClassUsers* users = new ClassUsers;
    return *users;
}

HINSTANCE Instance() {
    return static_cast<HINSTANCE>(ModuleHandle());
}

} // namespace

bool AcquireEditorWindowClass(WNDPROC windowProc) {
    ClassUsers& users = Users();
    ScopedLock lock(users.mutex);
    if (users.count == 0) {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = Instance();
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = kEditorWindowClass;
        // A class left registered by an earlier unregistration that failed (a window of it still
        // existed then) is the same class: it is used as it is.
        if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return false;
    }
    ++users.count;
    return true;
}

void ReleaseEditorWindowClass() {
    ClassUsers& users = Users();
    ScopedLock lock(users.mutex);
    if (users.count <= 0) return;
    if (--users.count == 0) UnregisterClassW(kEditorWindowClass, Instance());
}

} // namespace platform::win32
