#pragma once
// The windows we draw ourselves (pop-up menus and the fallback dialogs): a window showing a
// software surface through XPutImage, the visual it needs, and how the editor is kept alive while
// one of our modal loops runs.

#include <X11/Xlib.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "graphics/Geometry.h"
#include "graphics/Surface.h"

namespace platform::x11 {

// A TrueColor visual with 8 bits per colour and 32 bits per pixel (depth 24 or 32): the only
// kind our pixel conversion writes.
struct SurfaceVisual {
    Visual* visual = nullptr;
    int depth = 0;
    int screen = 0;
    Window root = 0;
    bool isDefault = true; // the screen's default visual (no colormap of our own needed)
    int redShift = 16;
    int greenShift = 8;
    int blueShift = 0;
    std::uint32_t extraBits = 0; // set in every pixel: the alpha channel of a depth-32 visual
};

// The owner's visual when it is suitable, else the screen's default one; false when neither is.
bool FindSurfaceVisual(Display* display, Window owner, SurfaceVisual& out);

// The top-level window holding `window` (the child of the root it descends from).
Window TopLevelOf(Display* display, Window window);

// The size of the owner's screen in pixels.
graphics::Rect ScreenRect(Display* display, Window owner);

// The editor that one of our modal loops runs for. Its events go to `forward` meanwhile (may be
// empty) so that it keeps repainting. When `cancelled` (may be null) turns true, because the
// editor or the plug-in is closing, the loop ends as if the user had dismissed it; it may turn
// on another thread, so the loops look at it at least every 200 ms. Our menus and dialogs are
// drawn at the editor's scale, which `scale` (may be empty) tells when they open.
struct WaitingEditor {
    WaitingEditor(std::function<void(XEvent&)> forwardTo = {},
                  const std::atomic<bool>* cancelFlag = nullptr, std::function<int()> scaleOf = {})
        : forward(std::move(forwardTo)), cancelled(cancelFlag), scale(std::move(scaleOf)) {}
    bool Cancelled() const { return cancelled && cancelled->load(); }
    // The editor's scale as a percentage: an offered one, else 100.
    int ScalePercent() const;

    std::function<void(XEvent&)> forward;
    const std::atomic<bool>* cancelled;
    std::function<int()> scale;
};

// While one of our modal loops runs, the editor still receives its events so that it repaints,
// but no button or key presses: they could start a second command inside the first.
void ForwardWhileModal(XEvent& event, const WaitingEditor& editor);

// Waits up to timeoutMs for the display connection (and fd, when not -1) to become readable.
// Answers whether fd is readable.
bool WaitForInput(Display* display, int fd, int timeoutMs);

class SurfaceWindow {
public:
    explicit SurfaceWindow(Display* display) : display_(display) {}
    ~SurfaceWindow();
    SurfaceWindow(const SurfaceWindow&) = delete;
    SurfaceWindow& operator=(const SurfaceWindow&) = delete;

    // Creates the window at rect (root coordinates), unmapped. A popup is override-redirect (no
    // frame, placed exactly); otherwise it is a dialog transient for the owner's top-level, with
    // the title and a close button that reports WM_DELETE_WINDOW. False when no suitable visual.
    bool Create(Window owner, const graphics::Rect& rect, bool popup, const std::string& title);
    Window Handle() const { return window_; }
    // Copies the surface to the window (its top-left at the window's).
    void Present(const graphics::Surface& surface);
    // True for a ClientMessage asking this window to close.
    bool IsCloseRequest(const XEvent& event) const;

private:
    Display* display_;
    SurfaceVisual visual_;
    Window window_ = 0;
    Colormap colormap_ = 0;
    GC gc_ = nullptr;
    Atom deleteWindow_ = 0;
    std::vector<std::uint32_t> pixels_;
};

} // namespace platform::x11
