#pragma once
// A Windows host of our own for the editor window tests: it loads the built plug-in DLL through
// hostkit, gives the editor a top-level frame window as a DAW does, pumps messages, sends
// synthetic input to the editor window and captures its pixels. Menus, message boxes and dialogs
// block the host's thread in their own loops; a Responder thread finds them and answers them.

#include "PluginHost.h"
#include "graphics/Surface.h"

#include <windows.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace window_test {

// Skips (or, under CI=true, fails) the calling test when no X display is given to Wine.
bool DisplayMissing(std::string& message);

// In a test's set-up: without a display the window tests cannot run. Under CI that is a failure,
// elsewhere a skip.
#define VORNA_REQUIRE_WINDOW_DISPLAY()                                                             \
    do {                                                                                           \
        std::string missing;                                                                       \
        if (window_test::DisplayMissing(missing)) {                                                \
            const char* ci = std::getenv("CI");                                                    \
            if (ci && std::string(ci) == "true") FAIL() << missing;                                \
            GTEST_SKIP() << missing;                                                               \
        }                                                                                          \
    } while (false)

// The frame window's record of the key messages it received (passed on by the editor).
struct FrameKey {
    UINT message;
    WPARAM key;
};

// A top-level frame window as a host gives its editor, with a client area of the size given.
HWND CreateFrame(int width, int height);
std::vector<FrameKey>& FrameKeys();
// Runs the thread's message loop for the time given (ms).
void Pump(int milliseconds);
// Pumps until done() answers true or the time (ms) ran out; done()'s last answer.
bool PumpUntil(const std::function<bool()>& done, int milliseconds);

class WindowHost {
public:
    WindowHost();
    ~WindowHost();
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    bool Loaded() const { return loaded_; }
    hostkit::PluginHost host;
    HWND Frame() const { return frame_; }
    // Creates the frame again after a test destroyed it.
    void NewFrame();
    void DestroyFrame();

    // effEditOpen on the frame; the dispatcher's answer.
    vst2::IntPtr OpenEditor() { return OpenEditorOn(frame_); }
    vst2::IntPtr OpenEditorOn(void* parent);
    vst2::IntPtr CloseEditor() { return host.Dispatch(vst2::effEditClose); }
    // The editor's child window in the frame, or null.
    HWND Editor() const;

    void Pump(int milliseconds) { window_test::Pump(milliseconds); }
    bool PumpUntil(const std::function<bool()>& done, int milliseconds) {
        return window_test::PumpUntil(done, milliseconds);
    }

    // Posted input at editor coordinates, the way the system delivers it.
    void Post(UINT message, WPARAM wParam, LPARAM lParam);
    void Press(int x, int y, WPARAM keys = MK_LBUTTON);
    void Move(int x, int y, WPARAM keys = 0);
    void Release(int x, int y, WPARAM keys = 0);
    void Click(int x, int y);
    void Wheel(int x, int y, int delta);
    void Key(WPARAM virtualKey);
    // The real pointer, over the editor point (hover and tooltips follow it, not posted moves).
    void PointAt(int x, int y);
    // The pointer far away from the editor.
    void PointAway();

    // The editor window's pixels as the screen shows them (0xFFRRGGBB).
    graphics::Surface Capture() const;
    // The offscreen render of the same instance (the plug-in's exported render entry).
    bool RenderOffscreen(graphics::Surface& picture, const std::string& pngPath);

    std::string ProgramName() { return host.DispatchText(vst2::effGetProgramName); }
    int Program() { return static_cast<int>(host.Dispatch(vst2::effGetProgram)); }

private:
    platform::DynamicLibrary library_;
    HWND frame_ = nullptr;
    bool loaded_ = false;
};

// The pixels of a window's client area as the screen shows them (0xFFRRGGBB).
graphics::Surface CaptureWindow(HWND window);
// Empty when the pictures are equal (alpha aside), else the count and the first place.
std::string Mismatches(const graphics::Surface& shown, const graphics::Surface& rendered);

// A window of this process with the class and caption given (either may be null for any),
// visible, or null.
HWND FindProcessWindow(const wchar_t* className, const wchar_t* caption);
// Waits up to the time given (ms) for such a window.
HWND WaitForProcessWindow(const wchar_t* className, const wchar_t* caption, int milliseconds);
std::wstring WindowText(HWND window);
// The visible top-level windows of this process as "class 'caption'" lines, for failure messages.
std::string DescribeWindows();
// The texts of the window's children of that class, in order.
std::vector<std::wstring> ChildTexts(HWND window, const wchar_t* className);

// Runs an answer on a thread of its own while the host's thread sits in a modal loop; joined on
// destruction. What it finds is kept for the test to check.
class Responder {
public:
    explicit Responder(std::function<void()> answer) : thread_(std::move(answer)) {}
    ~Responder() {
        if (thread_.joinable()) thread_.join();
    }
    void Wait() {
        if (thread_.joinable()) thread_.join();
    }

private:
    std::thread thread_;
};

// Keys for a menu that is open: posted to the menu window, as if typed.
void PostMenuKeys(HWND menuWindow, const std::vector<WPARAM>& keys);
// Waits a little for every menu to close, then dismisses what is still open, so that a test that
// went wrong fails instead of waiting in the menu for ever.
void CloseLeftoverMenus();

} // namespace window_test
