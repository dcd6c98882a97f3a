#include "window/win32/Win32EditorWindow.h"

#include "graphics/Graphics.h"
#include "platform/Module.h"
#include "window/win32/Win32PopupMenu.h"
#include "window/win32/Win32WindowClass.h"

namespace platform::win32 {

namespace {

constexpr UINT_PTR kRedrawTimerId = 2;

} // namespace

Win32EditorWindow::Win32EditorWindow(graphics::Graphics& graphics)
    : graphics_(graphics), entry_(graphics) {}

Win32EditorWindow::~Win32EditorWindow() {
    Close();
}

bool Win32EditorWindow::Open(void* parent, int width, int height, int timerPeriodMs) {
    HWND frame = static_cast<HWND>(parent);
    if (IsOpen() || !frame || !IsWindow(frame) || width <= 0 || height <= 0) return false;
    if (!AcquireEditorWindowClass(&Win32EditorWindow::WindowProc)) return false;
    classAcquired_ = true;
    // WM_NCCREATE stores this object with the window and sets window_.
    HWND window = CreateWindowExW(
        0, kEditorWindowClass, L"Vorna", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
        0, 0, width, height, frame, nullptr, static_cast<HINSTANCE>(ModuleHandle()), this);
    if (!window) {
        window_ = nullptr;
        ReleaseEditorWindowClass();
        classAcquired_ = false;
        return false;
    }
    window_ = window;
    thread_ = GetCurrentThreadId();
    SetTimer(window, kRedrawTimerId, static_cast<UINT>(timerPeriodMs > 0 ? timerPeriodMs : 40),
             nullptr);
    ui_.Attach(window);
    SetFocus(window);
    return true;
}

void Win32EditorWindow::Close() {
    RestorePointer();
    entry_.Close();
    tooltip_.Destroy();
    if (window_ && IsWindow(window_)) {
        HWND window = window_;
        KillTimer(window, kRedrawTimerId);
        if (GetCapture() == window) ReleaseCapture();
        DestroyWindow(window);
    }
    WindowGone();
    // After the window: a class cannot be unregistered while a window of it exists.
    if (classAcquired_) {
        ReleaseEditorWindowClass();
        classAcquired_ = false;
    }
}

bool Win32EditorWindow::Resize(int width, int height) {
    if (!IsOpen() || !IsWindow(window_) || width <= 0 || height <= 0) return false;
    // The tooltip belongs to the old picture and the old place of its control.
    tooltip_.Hide();
    // The Graphics core repaints everything at the new size once this answers.
    return SetWindowPos(window_, nullptr, 0, 0, width, height,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

void Win32EditorWindow::WindowGone() {
    if (window_) SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
    ui_.Detach();
    // The box and the tooltip are the window's child and owned window and went with it.
    entry_.Forget();
    tooltip_.Forget();
}

void Win32EditorWindow::Invalidate(const graphics::Rect& area) {
    if (!IsOpen() || area.Empty()) return;
    RECT rect = {area.left, area.top, area.right, area.bottom};
    InvalidateRect(window_, &rect, FALSE);
    UpdateWindow(window_);
}

void Win32EditorWindow::Blit(const graphics::Surface& backBuffer, const graphics::Rect& area) {
    if (!IsOpen()) return;
    graphics::Rect copy = area.Intersection(backBuffer.Bounds());
    if (copy.Empty()) return;
    // The rows of the area, top-down, 32 bits per pixel: the surface's 0xAARRGGBB words are the
    // blue, green, red, unused bytes the device expects (the back buffer is opaque).
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = backBuffer.Width();
    info.bmiHeader.biHeight = -copy.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC dc = paintDc_ ? paintDc_ : GetDC(window_);
    if (!dc) return;
    SetDIBitsToDevice(dc, copy.left, copy.top, static_cast<DWORD>(copy.Width()),
                      static_cast<DWORD>(copy.Height()), copy.left, 0, 0,
                      static_cast<UINT>(copy.Height()), backBuffer.Row(copy.top), &info,
                      DIB_RGB_COLORS);
    if (!paintDc_) ReleaseDC(window_, dc);
}

void Win32EditorWindow::TakeFocus() {
    if (IsOpen()) SetFocus(window_);
}

void Win32EditorWindow::CaptureMouse() {
    if (IsOpen()) SetCapture(window_);
}

void Win32EditorWindow::ReleaseMouse() {
    if (IsOpen() && GetCapture() == window_) ReleaseCapture();
}

void Win32EditorWindow::TrackHoverAndLeave() {
    if (!IsOpen()) return;
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof track;
    track.dwFlags = TME_HOVER | TME_LEAVE;
    track.hwndTrack = window_;
    track.dwHoverTime = HOVER_DEFAULT;
    TrackMouseEvent(&track);
}

bool Win32EditorWindow::OpenTextEntry(const graphics::TextEntryRequest& request) {
    return IsOpen() && entry_.Open(window_, request);
}

void Win32EditorWindow::ShowTooltip(const std::string& text) {
    // Made on first use: editors without tooltips never have the window.
    if (IsOpen() && tooltip_.Create(window_)) tooltip_.Show(text);
}

int Win32EditorWindow::TrackPopupMenu(const graphics::PopupMenu& menu, int x, int y) {
    if (!IsOpen()) return 0;
    menuOpen_ = true;
    int chosen = TrackNativePopupMenu(window_, menu, x, y);
    menuOpen_ = false;
    return chosen;
}

void Win32EditorWindow::CancelWaits() {
    if (GetCurrentThreadId() == thread_)
        EndWaits();
    else if (IsOpen())
        PostMessageW(window_, kCancelWaitsMessage, 0, 0);
}

void Win32EditorWindow::EndWaits() {
    // The menu's loop ends once it sees that EndMenu was called, as when the user dismisses it.
    if (menuOpen_) EndMenu();
    ui_.CancelDialogs();
}

void Win32EditorWindow::HidePointer() {
    if (pointerHidden_) return;
    GetCursorPos(&pointerPosition_);
    ShowCursor(FALSE);
    pointerHidden_ = true;
}

void Win32EditorWindow::RestorePointer() {
    if (!pointerHidden_) return;
    SetCursorPos(pointerPosition_.x, pointerPosition_.y);
    ShowCursor(TRUE);
    pointerHidden_ = false;
}

} // namespace platform::win32
