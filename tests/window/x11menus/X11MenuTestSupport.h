#pragma once
// Shared pieces of the menu and dialog tests: the X display (from DISPLAY; without one the tests
// skip, or fail under CI), a test owner window, and a driver that sends synthetic input (XTest)
// from a thread of its own on a second connection while the code under test runs its modal loop
// on the first.

// Before Xlib, whose None macro clashes with names in them.
#include <gtest/gtest.h>

#include "graphics/PopupMenu.h"
#include "graphics/Surface.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <thread>

namespace x11menus_test {

inline bool InCi() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

inline void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A display connection, an owner window (mapped, 300 x 200 at the top-left) and what the code
// under test forwarded to the editor.
class X11Fixture : public ::testing::Test {
protected:
    void SetUp() override {
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name) {
            if (InCi()) FAIL() << "DISPLAY is not set: these tests need an X server (Xvfb)";
            GTEST_SKIP() << "DISPLAY is not set";
        }
        // A server started without -noreset resets when its last client leaves, and refuses
        // connections for a moment meanwhile.
        display = XOpenDisplay(nullptr);
        for (int attempt = 0; !display && attempt < 40; ++attempt) {
            Pause(50);
            display = XOpenDisplay(nullptr);
        }
        ASSERT_NE(display, nullptr) << "cannot open display " << name;
        int event = 0, error = 0, major = 0, minor = 0;
        ASSERT_TRUE(XTestQueryExtension(display, &event, &error, &major, &minor))
            << "the X server has no XTEST extension";
        owner = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 300, 200, 0, 0,
                                    0x808080);
        XSelectInput(display, owner, ExposureMask | ButtonPressMask | StructureNotifyMask);
        XMapWindow(display, owner);
        XSync(display, False);
        forward = [this](XEvent& e) {
            if (e.xany.window == owner && e.type == Expose) ++forwardedExposes;
            if (e.type == ButtonPress || e.type == KeyPress) ++forwardedPresses;
        };
    }
    void TearDown() override {
        if (!display) return;
        XDestroyWindow(display, owner);
        XCloseDisplay(display);
    }

    Display* display = nullptr;
    Window owner = 0;
    std::function<void(XEvent&)> forward;
    int forwardedExposes = 0;
    int forwardedPresses = 0;
};

// Sends synthetic input on a connection of its own, in a thread, while the test's main thread is
// inside a modal loop. When the script has run and the loop still has not ended within a few
// seconds, it presses Escape and clicks far away until it does, so a fault shows as a failed
// assertion instead of a hung test.
class Driver {
public:
    Driver() : display_(XOpenDisplay(nullptr)) { Snapshot(); }
    ~Driver() {
        Finish();
        if (display_) XCloseDisplay(display_);
    }

    void Start(std::function<void(Driver&)> script) {
        thread_ = std::thread([this, script]() {
            script(*this);
            for (int i = 0; i < 100 && !done_; ++i) Pause(30);
            while (!done_) {
                Key(XK_Escape);
                Click(1270, 1010);
                Pause(200);
            }
        });
    }
    // Called by the test once the modal call has returned.
    void Finish() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
    }

    Display* Connection() const { return display_; }

    // The newest mapped override-redirect window that did not exist when the driver was made.
    Window WaitForPopup(int timeoutMs = 4000) {
        return WaitFor(timeoutMs, [this](Window w, const XWindowAttributes& a) {
            return a.override_redirect && !before_.count(w);
        });
    }
    // A mapped top-level window with that name.
    Window WaitForNamed(const std::string& name, int timeoutMs = 4000) {
        return WaitFor(timeoutMs, [this, name](Window w, const XWindowAttributes&) {
            char* title = nullptr;
            bool same = XFetchName(display_, w, &title) && title && name == title;
            if (title) XFree(title);
            return same;
        });
    }
    // The window's place on the screen.
    bool Geometry(Window window, int& x, int& y, int& width, int& height) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(display_, window, &a)) return false;
        Window child = 0;
        XTranslateCoordinates(display_, window, a.root, 0, 0, &x, &y, &child);
        width = a.width;
        height = a.height;
        return true;
    }

    void MoveTo(int x, int y) {
        XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, 0);
        XFlush(display_);
        Pause(40);
    }
    void Click(int x, int y, unsigned button = 1) {
        MoveTo(x, y);
        XTestFakeButtonEvent(display_, button, True, 0);
        XTestFakeButtonEvent(display_, button, False, 0);
        XFlush(display_);
        Pause(60);
    }
    void Key(KeySym sym) {
        KeyCode code = XKeysymToKeycode(display_, sym);
        XTestFakeKeyEvent(display_, code, True, 0);
        XTestFakeKeyEvent(display_, code, False, 0);
        XFlush(display_);
        Pause(40);
    }
    void Type(const std::string& text) {
        for (char c : text) Key(static_cast<KeySym>(static_cast<unsigned char>(c)));
    }

    // The window's pixels, opaque ARGB (a 24-bit TrueColor screen is assumed).
    graphics::Surface Capture(Window window) {
        graphics::Surface surface;
        XWindowAttributes a;
        if (!XGetWindowAttributes(display_, window, &a)) return surface;
        XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(a.width),
                                  static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
        if (!image) return surface;
        surface.Resize(a.width, a.height);
        for (int y = 0; y < a.height; ++y) {
            for (int x = 0; x < a.width; ++x) {
                unsigned long p = XGetPixel(image, x, y);
                surface.SetPixel(x, y, 0xFF000000u | static_cast<std::uint32_t>(p & 0xFFFFFF));
            }
        }
        XDestroyImage(image);
        return surface;
    }

private:
    void Snapshot() {
        if (!display_) return;
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count);
        for (unsigned i = 0; i < count; ++i) before_.insert(children[i]);
        if (children) XFree(children);
    }
    Window WaitFor(int timeoutMs,
                   const std::function<bool(Window, const XWindowAttributes&)>& match) {
        for (int waited = 0; waited < timeoutMs; waited += 20) {
            Window root = 0, parent = 0, *children = nullptr;
            unsigned count = 0;
            Window found = 0;
            XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count);
            for (unsigned i = count; i-- > 0 && !found;) {
                XWindowAttributes a;
                if (XGetWindowAttributes(display_, children[i], &a) && a.map_state == IsViewable &&
                    match(children[i], a)) {
                    found = children[i];
                }
            }
            if (children) XFree(children);
            if (found) {
                Pause(150); // let the code under test take its grabs and draw
                return found;
            }
            Pause(20);
        }
        return 0;
    }

    Display* display_;
    std::set<Window> before_;
    std::thread thread_;
    std::atomic<bool> done_{false};
};

// Pixels that are nearly black: the text of our menus and dialogs.
inline int DarkPixels(const graphics::Surface& s) {
    int count = 0;
    for (std::uint32_t p : s.Pixels()) {
        if (((p >> 16) & 0xFF) < 80 && ((p >> 8) & 0xFF) < 80 && (p & 0xFF) < 80) ++count;
    }
    return count;
}

inline int PixelsOf(const graphics::Surface& s, std::uint32_t rgb) {
    int count = 0;
    for (std::uint32_t p : s.Pixels()) count += (p & 0xFFFFFF) == rgb;
    return count;
}

} // namespace x11menus_test
