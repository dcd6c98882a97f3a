#include "WindowHost.h"

#include "graphics/PngCodec.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace window_test {

namespace {

constexpr wchar_t kFrameClass[] = L"VornaTestFrame";

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
        message == WM_SYSKEYUP)
        FrameKeys().push_back({message, wParam});
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterFrameClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW frameClass = {};
    frameClass.cbSize = sizeof frameClass;
    frameClass.lpfnWndProc = &FrameProc;
    frameClass.hInstance = GetModuleHandleW(nullptr);
    frameClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    frameClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    frameClass.lpszClassName = kFrameClass;
    registered = RegisterClassExW(&frameClass) != 0;
}

using RenderEditorFunction = int (*)(vst2::AEffect*, const char*);

// Under Wine without a window manager, hiding a managed top-level window (closing a dialog, a
// message box, a frame) waits two seconds for the manager that never answers. Wine's per-program
// setting for this test program leaves its windows unmanaged; it is read when the program first
// uses its display, so it is written before any test runs. Nothing happens outside Wine.
const bool windowsUnmanaged = [] {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) return false;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program = path;
    program = program.substr(program.find_last_of(L"\\/") + 1);
    const std::wstring keyName = L"Software\\Wine\\AppDefaults\\" + program + L"\\X11 Driver";
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    const wchar_t value[] = L"N";
    RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
    RegCloseKey(key);
    return true;
}();

struct Search {
    const wchar_t* className;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    if (search->className && std::wstring(name) != search->className) return TRUE;
    if (search->caption && WindowText(window) != search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

struct ChildSearch {
    const wchar_t* className;
    std::vector<std::wstring> texts;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ChildSearch*>(data);
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    if (_wcsicmp(name, search->className) == 0) search->texts.push_back(WindowText(window));
    return TRUE;
}

} // namespace

bool DisplayMissing(std::string& message) {
    char display[256] = {};
    if (GetEnvironmentVariableA("DISPLAY", display, sizeof display) > 0 && display[0]) return false;
    message = "DISPLAY is not set: the editor window tests need an X server (Xvfb) for Wine";
    return true;
}

std::vector<FrameKey>& FrameKeys() {
    static std::vector<FrameKey> keys;
    return keys;
}

HWND CreateFrame(int width, int height) {
    RegisterFrameClass();
    RECT outer = {0, 0, width, height};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    HWND frame =
        CreateWindowExW(0, kFrameClass, L"Vorna Window Test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                        0, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                        GetModuleHandleW(nullptr), nullptr);
    Pump(50);
    return frame;
}

void Pump(int milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

bool PumpUntil(const std::function<bool()>& done, int milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 10)),
                                  QS_ALLINPUT);
    }
}

WindowHost::WindowHost() {
    loaded_ = host.Load(VORNA_PLUGIN_FILE) && library_.Open(VORNA_PLUGIN_FILE);
    if (!loaded_) return;
    host.Open(44100.0, 512);
    NewFrame();
}

WindowHost::~WindowHost() {
    if (loaded_) CloseEditor();
    DestroyFrame();
    host.Unload();
    Pump(20);
}

void WindowHost::NewFrame() {
    DestroyFrame();
    vst2::ERect* rect = nullptr;
    int width = 968, height = 640;
    if (host.Dispatch(vst2::effEditGetRect, 0, 0, &rect) && rect) {
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
    }
    frame_ = CreateFrame(width, height);
}

void WindowHost::DestroyFrame() {
    if (frame_ && IsWindow(frame_)) DestroyWindow(frame_);
    frame_ = nullptr;
}

vst2::IntPtr WindowHost::OpenEditorOn(void* parent) {
    vst2::IntPtr opened = host.Dispatch(vst2::effEditOpen, 0, 0, parent);
    return opened;
}

HWND WindowHost::Editor() const {
    return frame_ ? FindWindowExW(frame_, nullptr, L"VornaWndClass", L"Vorna") : nullptr;
}

void WindowHost::Post(UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageW(Editor(), message, wParam, lParam);
}

void WindowHost::Press(int x, int y, WPARAM keys) {
    Post(WM_LBUTTONDOWN, keys, MAKELPARAM(x, y));
    Pump(30);
}

void WindowHost::Move(int x, int y, WPARAM keys) {
    Post(WM_MOUSEMOVE, keys, MAKELPARAM(x, y));
    Pump(30);
}

void WindowHost::Release(int x, int y, WPARAM keys) {
    Post(WM_LBUTTONUP, keys, MAKELPARAM(x, y));
    Pump(30);
}

void WindowHost::Click(int x, int y) {
    Press(x, y);
    Release(x, y);
}

void WindowHost::Wheel(int x, int y, int delta) {
    POINT point = {x, y};
    ClientToScreen(Editor(), &point);
    Post(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))),
         MAKELPARAM(point.x, point.y));
    Pump(30);
}

void WindowHost::Key(WPARAM virtualKey) {
    Post(WM_KEYDOWN, virtualKey, 1);
    Post(WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
    Pump(30);
}

void WindowHost::PointAt(int x, int y) {
    POINT point = {x, y};
    ClientToScreen(Editor(), &point);
    SetCursorPos(point.x, point.y);
    Move(x, y);
}

void WindowHost::PointAway() {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    Pump(30);
}

graphics::Surface WindowHost::Capture() const {
    return CaptureWindow(Editor());
}

graphics::Surface CaptureWindow(HWND editor) {
    graphics::Surface picture;
    RECT client = {};
    if (!editor || !GetClientRect(editor, &client)) return picture;
    const int width = client.right, height = client.bottom;
    HDC screen = GetDC(editor);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib && bits) {
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        picture.Resize(width, height);
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.SetPixel(x, y, pixels[y * width + x] | 0xFF000000u);
        SelectObject(memory, old);
    }
    if (dib) DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(editor, screen);
    return picture;
}

bool WindowHost::RenderOffscreen(graphics::Surface& picture, const std::string& pngPath) {
    auto render = library_.Function<RenderEditorFunction>("VornaRenderEditor");
    if (!render || render(host.Effect(), pngPath.c_str()) != 1) return false;
    std::ifstream file(pngPath, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    return graphics::DecodePng(bytes.data(), bytes.size(), picture);
}

// Empty when the pictures are equal (alpha aside), else the count and the first place.
std::string Mismatches(const graphics::Surface& shown, const graphics::Surface& rendered) {
    if (shown.Width() != rendered.Width() || shown.Height() != rendered.Height()) return "sizes";
    int count = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < shown.Height(); ++y) {
        for (int x = 0; x < shown.Width(); ++x) {
            if ((shown.Pixel(x, y) & 0xFFFFFFu) == (rendered.Pixel(x, y) & 0xFFFFFFu)) continue;
            if (count++ == 0) {
                firstX = x;
                firstY = y;
            }
        }
    }
    if (count == 0) return "";
    return std::to_string(count) + " pixels differ, the first at (" + std::to_string(firstX) +
           ", " + std::to_string(firstY) + ")";
}

HWND FindProcessWindow(const wchar_t* className, const wchar_t* caption) {
    Search search = {className, caption, nullptr};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForProcessWindow(const wchar_t* className, const wchar_t* caption, int milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    for (;;) {
        if (HWND found = FindProcessWindow(className, caption)) return found;
        if (GetTickCount64() >= deadline) return nullptr;
        Sleep(20);
    }
}

namespace {

BOOL CALLBACK DescribeWindow(HWND window, LPARAM data) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
    char name[256] = {};
    GetClassNameA(window, name, 256);
    char caption[256] = {};
    GetWindowTextA(window, caption, 256);
    *reinterpret_cast<std::string*>(data) += std::string(name) + " '" + caption + "'\n";
    return TRUE;
}

} // namespace

std::string DescribeWindows() {
    std::string lines;
    EnumWindows(&DescribeWindow, reinterpret_cast<LPARAM>(&lines));
    return lines;
}

std::wstring WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    int got = GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

std::vector<std::wstring> ChildTexts(HWND window, const wchar_t* className) {
    ChildSearch search = {className, {}};
    EnumChildWindows(window, &CollectChild, reinterpret_cast<LPARAM>(&search));
    return search.texts;
}

void PostMenuKeys(HWND menuWindow, const std::vector<WPARAM>& keys) {
    for (WPARAM key : keys) {
        PostMessageW(menuWindow, WM_KEYDOWN, key, 1);
        Sleep(60);
    }
}

void CloseLeftoverMenus() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        HWND menu = FindProcessWindow(L"#32768", nullptr);
        if (!menu) return;
        if (attempt >= 40) PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
        Sleep(50);
    }
}

} // namespace window_test
