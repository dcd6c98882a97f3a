#include "window/win32/Win32SystemScale.h"

#include <windows.h>

namespace platform::win32 {

namespace {

constexpr unsigned kMaxDpi = 960;
constexpr int kEffectiveDpi = 0; // MDT_EFFECTIVE_DPI of the monitor DPI types

using DpiForWindowFunction = UINT(WINAPI*)(HWND);
using DpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

template <typename Fn> Fn Lookup(HMODULE module, const char* name) {
    // Through void*: function pointer types do not convert into each other directly.
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

// Windows 10 1607 and later know the DPI of each window (its monitor's, as the window's own DPI
// awareness sees it).
unsigned DpiOfWindow(HWND window) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    auto dpiForWindow = Lookup<DpiForWindowFunction>(user32, "GetDpiForWindow");
    return dpiForWindow ? dpiForWindow(window) : 0;
}

// Windows 8.1 and later know each monitor's DPI. shcore is loaded from the system folder only,
// never from the host's folder.
unsigned DpiOfMonitor(HMONITOR monitor) {
    if (!monitor) return 0;
    HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!shcore) return 0;
    UINT x = 0, y = 0;
    auto dpiForMonitor = Lookup<DpiForMonitorFunction>(shcore, "GetDpiForMonitor");
    if (!dpiForMonitor || dpiForMonitor(monitor, kEffectiveDpi, &x, &y) != S_OK) x = 0;
    FreeLibrary(shcore);
    return x;
}

// Every Windows: the DPI of the screen.
unsigned DpiOfScreen() {
    HDC screen = GetDC(nullptr);
    if (!screen) return 0;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<unsigned>(dpi) : 0;
}

} // namespace

double PercentOfDpi(unsigned dpi) {
    if (dpi == 0 || dpi > kMaxDpi) return 0.0;
    return dpi * 100.0 / 96.0;
}

double SystemScaleFor(void* parent) {
    HWND window = static_cast<HWND>(parent);
    HWND top = window && IsWindow(window) ? GetAncestor(window, GA_ROOT) : nullptr;
    double percent = top ? PercentOfDpi(DpiOfWindow(top)) : 0.0;
    if (percent <= 0.0) {
        const POINT origin = {0, 0};
        HMONITOR monitor = top ? MonitorFromWindow(top, MONITOR_DEFAULTTONEAREST)
                               : MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY);
        percent = PercentOfDpi(DpiOfMonitor(monitor));
    }
    if (percent <= 0.0) percent = PercentOfDpi(DpiOfScreen());
    return percent > 0.0 ? percent : 100.0;
}

} // namespace platform::win32
