#pragma once
// What the X11 window tests share: the X server (DISPLAY; a test fails under CI=true without one
// and skips otherwise), a top-level window standing in for the host's, a Vorna instance made
// through its entry function with a host callback that records calls from any thread, the idle
// pump, synthetic input through XTest, and grabbing the window's pixels.

// Everything of ours and gtest before the X headers: Xlib defines None, True and False.
#include "editor/VornEditor.h"
#include "graphics/Graphics.h"
#include "graphics/PngCodec.h"
#include "graphics/Surface.h"
#include "vorn/Vorn.h"
#include "vst2/Vst2Abi.h"
#include "vst2/Vst2Adapter.h"
#include "vst2/VstEntry.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace x11_test {

// Skips (or fails under CI) when there is no X server to talk to.
#define VORNA_REQUIRE_DISPLAY()                                                                    \
    do {                                                                                           \
        if (!x11_test::DisplayReachable()) {                                                       \
            if (x11_test::InCi())                                                                  \
                FAIL() << "no X display (DISPLAY unset or unreachable) under CI";                  \
            GTEST_SKIP() << "no X display";                                                        \
        }                                                                                          \
    } while (0)

inline bool InCi() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

// Xvfb now and then refuses a connection that follows closely on another; a few tries absorb it.
inline Display* OpenTestDisplay() {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) return display;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
}

inline bool DisplayReachable() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return false;
    Display* display = OpenTestDisplay();
    if (!display) return false;
    XCloseDisplay(display);
    return true;
}

// The host side of one instance: its calls back are recorded under a lock, since the plug-in
// calls from the editor thread and the audio thread at once.
class Recorder {
public:
    static Recorder& Instance() {
        static Recorder recorder;
        return recorder;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.clear();
    }
    void Add(vst2::Int32 opcode, vst2::Int32 index) {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.emplace_back(opcode, index);
    }
    std::vector<std::pair<vst2::Int32, vst2::Int32>> Calls() {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    int Count(vst2::Int32 opcode) {
        int n = 0;
        for (auto& call : Calls()) n += call.first == opcode;
        return n;
    }
    // Whether the host agrees when the plug-in asks it to resize the editor's frame.
    void AcceptResize(bool accept) { acceptResize_ = accept; }
    bool AcceptsResize() const { return acceptResize_; }

private:
    std::atomic<bool> acceptResize_{false};
    std::mutex mutex_;
    std::vector<std::pair<vst2::Int32, vst2::Int32>> calls_;
};

inline vst2::IntPtr VORNA_VSTCALL HostCallback(vst2::AEffect*, vst2::Int32 opcode,
                                               vst2::Int32 index, vst2::IntPtr, void*, float) {
    Recorder::Instance().Add(opcode, index);
    if (opcode == vst2::audioMasterVersion) return 2400;
    if (opcode == vst2::audioMasterSizeWindow) return Recorder::Instance().AcceptsResize() ? 1 : 0;
    return 0;
}

class Instance {
public:
    Instance() {
        effect_ = VSTPluginMain(&HostCallback);
        if (!effect_) return;
        Dispatch(vst2::effOpen);
        Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 48000.0f);
        Dispatch(vst2::effSetBlockSize, 0, 256);
        Dispatch(vst2::effMainsChanged, 0, 1);
    }
    ~Instance() { Close(); }
    // effClose; the instance must not be called afterwards.
    void Close() {
        if (effect_) Dispatch(vst2::effClose);
        effect_ = nullptr;
    }
    vst2::AEffect* Effect() const { return effect_; }
    vst2::IntPtr Dispatch(vst2::Int32 opcode, vst2::Int32 index = 0, vst2::IntPtr value = 0,
                          void* data = nullptr, float opt = 0.0f) {
        return effect_->dispatcher(effect_, opcode, index, value, data, opt);
    }
    vorn::Vorn& Plugin() const { return *static_cast<vorn::Vorn*>(vst2::Adapter::CoreOf(effect_)); }
    editor::VornEditor& View() const { return *Plugin().EditorView(); }
    void Process(int frames = 256) {
        std::vector<float> left(static_cast<std::size_t>(frames)), right(left);
        float* outputs[2] = {left.data(), right.data()};
        effect_->processReplacing(effect_, nullptr, outputs, frames);
    }
    bool OpenOn(Window parent, Display* hostDisplay = nullptr) {
        return Dispatch(vst2::effEditOpen, 0, reinterpret_cast<vst2::IntPtr>(hostDisplay),
                        reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent))) == 1;
    }
    void Idle() { Dispatch(vst2::effEditIdle); }
    // Idles every 10 ms for that long, so the plug-in reads what the server delivered.
    void PumpFor(int milliseconds) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (std::chrono::steady_clock::now() < end) {
            Idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

private:
    vst2::AEffect* effect_ = nullptr;
};

// A host's top-level window on a connection of the test's own.
class HostWindow {
public:
    explicit HostWindow(int width = 1, int height = 1) {
        display_ = OpenTestDisplay();
        if (!display_) return;
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0,
                                      static_cast<unsigned>(width), static_cast<unsigned>(height),
                                      0, 0, 0);
        XSelectInput(display_, window_, KeyPressMask | KeyReleaseMask);
        XMapWindow(display_, window_);
        XSync(display_, False);
    }
    ~HostWindow() {
        if (!display_) return;
        if (window_) XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }
    Display* display() const { return display_; }
    Window window() const { return window_; }
    void Resize(int width, int height) {
        XResizeWindow(display_, window_, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
        XSync(display_, False);
    }
    void Destroy() {
        XDestroyWindow(display_, window_);
        XSync(display_, False);
        window_ = 0;
    }
    // The plug-in's window: the only child of ours.
    Window Child() const {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        Window child = 0;
        if (XQueryTree(display_, window_, &root, &parent, &children, &count) && count > 0)
            child = children[count - 1];
        if (children) XFree(children);
        return child;
    }
    // The pixels of a window as opaque 0xFFRRGGBB (24-bit TrueColor visual).
    graphics::Surface Capture(Window window, int width, int height) const {
        graphics::Surface picture(width, height);
        XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
        if (!image) return graphics::Surface();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.SetPixel(x, y,
                                 0xFF000000u | static_cast<std::uint32_t>(XGetPixel(image, x, y)));
        XDestroyImage(image);
        return picture;
    }
    // Synthetic input at a point of the plug-in's window.
    void MoveTo(int x, int y) {
        int rootX = 0, rootY = 0;
        Window child = 0;
        XTranslateCoordinates(display_, Child(), DefaultRootWindow(display_), x, y, &rootX, &rootY,
                              &child);
        XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
        XSync(display_, False);
    }
    void Button(unsigned button, bool down) {
        XTestFakeButtonEvent(display_, button, down ? True : False, CurrentTime);
        XSync(display_, False);
    }
    void Key(KeySym symbol, bool shift = false) {
        KeyCode shiftCode = XKeysymToKeycode(display_, XK_Shift_L);
        KeyCode code = XKeysymToKeycode(display_, symbol);
        if (shift) XTestFakeKeyEvent(display_, shiftCode, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        if (shift) XTestFakeKeyEvent(display_, shiftCode, False, CurrentTime);
        XSync(display_, False);
    }

private:
    Display* display_ = nullptr;
    Window window_ = 0;
};

inline bool LoadPngFile(const std::string& path, graphics::Surface& picture) {
    std::ifstream file(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    return !bytes.empty() && graphics::DecodePng(bytes.data(), bytes.size(), picture);
}

// Anything but plain black (under the background image there is only black).
inline int CountNonBackground(const graphics::Surface& picture) {
    int count = 0;
    for (std::uint32_t pixel : picture.Pixels()) count += (pixel & 0xFFFFFF) != 0;
    return count;
}

// Pixels that differ (alpha aside); -1 when the sizes do.
inline int CountDifferences(const graphics::Surface& a, const graphics::Surface& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
    int different = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            different += (a.Pixel(x, y) & 0xFFFFFF) != (b.Pixel(x, y) & 0xFFFFFF);
    return different;
}

} // namespace x11_test
