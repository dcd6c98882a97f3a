#include "ParentWindow.h"

#include <windows.h>

#include <cstdlib>

namespace realtime {

namespace {

constexpr wchar_t kClassName[] = L"VornaRealtimeBenchHost";

bool RunsUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

class Win32ParentWindow : public ParentWindow {
public:
    explicit Win32ParentWindow(HWND window) : window_(window) {}
    ~Win32ParentWindow() override { DestroyWindow(window_); }
    void* Handle() const override { return window_; }
    void Pump() override {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

private:
    HWND window_;
};

} // namespace

std::unique_ptr<ParentWindow> OpenParentWindow(std::string& reason) {
    // Wine draws windows on an X server; without one it has nowhere to put the editor.
    const char* display = std::getenv("DISPLAY");
    if (RunsUnderWine() && (!display || !*display)) {
        reason = "no X display for Wine (DISPLAY is not set); run under Xvfb";
        return nullptr;
    }
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        reason = "RegisterClassEx failed (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    HWND window = CreateWindowExW(0, kClassName, L"Vorna realtime bench", WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 1000, 700, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window) {
        reason = "CreateWindowEx failed (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    auto parent = std::make_unique<Win32ParentWindow>(window);
    parent->Pump();
    return parent;
}

} // namespace realtime
