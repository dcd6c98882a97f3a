// The editor's headers come before any X header: Xlib defines None, True and False as macros.
#include "graphics/Graphics.h"
#include "graphics/PopupMenu.h"

#include "window/x11/X11EditorWindow.h"
#include "window/x11/X11ErrorTrap.h"
#include "window/x11/X11PopupMenu.h"
#include "window/x11/X11UiServices.h"

#include <X11/Xutil.h>

namespace platform::x11 {

X11EditorWindow::X11EditorWindow(graphics::Graphics& graphics) : graphics_(graphics) {
    // Events that arrive while a menu or dialog waits for the user. The loops that call it run
    // on this thread with the instance lock let go, so it may come in re-entrantly.
    forward_ = [this](XEvent& event) { HandleEventDuringWait(event); };
}

X11EditorWindow::~X11EditorWindow() {
    Close();
}

bool X11EditorWindow::Open(void* parent, int width, int height, int timerPeriodMs) {
    Close();
    // The host passes its window's X id in the pointer-sized argument.
    parent_ = static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent));
    if (!parent_ || width <= 0 || height <= 0) return false;
    display_ = XOpenDisplay(nullptr);
    if (!display_) return false;
    width_ = width;
    height_ = height;
    timerPeriod_ = std::chrono::milliseconds(timerPeriodMs > 0 ? timerPeriodMs : 40);
    bool created = false;
    {
        X11ErrorTrap trap(display_);
        created = CreateWindow(trap);
    }
    // The display closes outside the trap, which still talks to it while it ends.
    if (!created) {
        FreeResources();
        return false;
    }
    ui_ = std::make_unique<X11UiServices>(display_, window_, Waiting());
    // The first idle call draws at once.
    lastMotion_ = Clock::now();
    lastTimer_ = lastMotion_ - timerPeriod_;
    return true;
}

WaitingEditor X11EditorWindow::Waiting() {
    // The scale is asked for each time a menu or dialog opens: it may change while we are open.
    return WaitingEditor(forward_, &waitsCancelled_, [this] { return graphics_.ScalePercent(); });
}

bool X11EditorWindow::CreateWindow(X11ErrorTrap& trap) {
    XWindowAttributes parentAttributes{};
    // An id that names no window (or a window on another server) fails here.
    if (!XGetWindowAttributes(display_, parent_, &parentAttributes) || trap.Failed()) return false;
    int screen = XScreenNumberOfScreen(parentAttributes.screen);
    Visual* visual = parentAttributes.visual;
    int depth = parentAttributes.depth;
    XSetWindowAttributes attributes{};
    unsigned long valueMask = CWBackPixmap | CWBorderPixel | CWEventMask;
    // A parent with a visual other than the screen's default needs a colormap of it.
    if (visual != DefaultVisual(display_, screen) || depth != DefaultDepth(display_, screen)) {
        colormap_ = XCreateColormap(display_, parent_, visual, AllocNone);
        attributes.colormap = colormap_;
        valueMask |= CWColormap;
    }
    attributes.background_pixmap = None; // we paint everything; no flash of background
    attributes.border_pixel = 0;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                            StructureNotifyMask | FocusChangeMask;
    window_ = XCreateWindow(display_, parent_, 0, 0, static_cast<unsigned>(width_),
                            static_cast<unsigned>(height_), 0, depth, InputOutput, visual,
                            valueMask, &attributes);
    if (!window_ || trap.Failed()) return false;
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    // The blank cursor that hides the pointer during knob drags.
    char none = 0;
    Pixmap empty = XCreateBitmapFromData(display_, window_, &none, 1, 1);
    XColor black{};
    blankCursor_ = XCreatePixmapCursor(display_, empty, empty, &black, &black, 0, 0);
    XFreePixmap(display_, empty);
    XMapWindow(display_, window_);
    return !trap.Failed() && image_.Init(display_, visual, depth);
}

void X11EditorWindow::FreeResources() {
    if (!display_) return;
    {
        X11ErrorTrap trap(display_);
        tooltip_.Destroy();
        if (grabbed_) XUngrabPointer(display_, CurrentTime);
        RestoreFocus();
        // After the host destroyed its window ours is gone too: free only what still exists.
        if (!gone_ && window_) XDestroyWindow(display_, window_);
        if (blankCursor_) XFreeCursor(display_, blankCursor_);
        if (gc_) XFreeGC(display_, gc_);
        if (colormap_) XFreeColormap(display_, colormap_);
        XSync(display_, False);
    }
    XCloseDisplay(display_);
    display_ = nullptr;
    window_ = 0;
    gc_ = nullptr;
    blankCursor_ = 0;
    colormap_ = 0;
    grabbed_ = false;
    pointerHidden_ = false;
    entry_.Close();
    fullyDrawn_ = false;
}

void X11EditorWindow::Close() {
    ui_.reset();
    FreeResources();
    gone_ = false;
    parent_ = 0;
    waitsCancelled_ = false;
}

bool X11EditorWindow::Resize(int width, int height) {
    if (!Usable() || width <= 0 || height <= 0) return false;
    X11ErrorTrap trap(display_);
    // The tooltip belongs to the old picture and the old place of its control.
    tooltip_.Hide();
    XResizeWindow(display_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display_, False);
    if (trap.Failed()) {
        gone_ = true;
        return false;
    }
    width_ = width;
    height_ = height;
    // Nothing on the screen fits the new size: the next repaint draws everything.
    fullyDrawn_ = false;
    return true;
}

void X11EditorWindow::Invalidate(const graphics::Rect& area) {
    if (!Usable()) return;
    // Painting once with every control dirty draws them all (and cleans them all): while the
    // screen has no complete picture yet, any repaint is a whole one.
    graphics::Rect bounds(0, 0, width_, height_);
    graphics::Rect paint = fullyDrawn_ ? area.Intersection(bounds) : bounds;
    if (paint.Empty()) return;
    graphics_.OnPaint(paint);
    if (paint == bounds) fullyDrawn_ = true;
}

void X11EditorWindow::Blit(const graphics::Surface& backBuffer, const graphics::Rect& area) {
    if (!Usable() || area.Empty()) return;
    X11ErrorTrap trap(display_);
    image_.Put(window_, gc_, backBuffer, area, area.left, area.top);
    // The entry lies on top of the editor's picture.
    if (entry_.IsOpen() && entry_.Request().rect.Intersects(area)) DrawEntry();
    XFlush(display_);
    if (trap.Failed()) gone_ = true;
}

void X11EditorWindow::Idle() {
    if (!Usable() || waitDepth_ > 0) return;
    X11ErrorTrap trap(display_);
    while (Usable() && XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        HandleEvent(event);
    }
    if (Usable()) RunTimers();
    if (trap.Failed()) gone_ = true;
}

void X11EditorWindow::RunTimers() {
    Clock::time_point now = Clock::now();
    // One redraw tick per idle call at most, never faster than the timer period, whatever rate
    // the host idles at.
    if (now - lastTimer_ >= timerPeriod_) {
        lastTimer_ = now;
        graphics_.OnTimer();
    }
    if (hoverPending_ && hoverWanted_ && now - lastMotion_ >= std::chrono::milliseconds(500)) {
        hoverPending_ = false;
        graphics_.OnHover(pointerX_, pointerY_);
    }
}

void X11EditorWindow::CaptureMouse() {
    if (!Usable() || grabbed_) return;
    X11ErrorTrap trap(display_);
    grabbed_ = XGrabPointer(display_, window_, False,
                            ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                            GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
}

void X11EditorWindow::ReleaseMouse() {
    if (!Usable() || !grabbed_) return;
    X11ErrorTrap trap(display_);
    XUngrabPointer(display_, CurrentTime);
    grabbed_ = false;
}

bool X11EditorWindow::OpenTextEntry(const graphics::TextEntryRequest& request) {
    if (!Usable() || request.rect.Empty()) return false;
    entry_.Open(request);
    X11ErrorTrap trap(display_);
    // Typing goes to the entry while it is open; the focus goes back afterwards.
    XGetInputFocus(display_, &focusBeforeEntry_, &focusRevertBeforeEntry_);
    focusSaved_ = true;
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    DrawEntry();
    return true;
}

void X11EditorWindow::DrawEntry() {
    if (!Usable() || !entry_.IsOpen()) return;
    entry_.Render(entryPicture_);
    const graphics::Rect& rect = entry_.Request().rect;
    image_.Put(window_, gc_, entryPicture_, entryPicture_.Bounds(), rect.left, rect.top);
    XFlush(display_);
}

void X11EditorWindow::RestoreFocus() {
    if (!focusSaved_) return;
    focusSaved_ = false;
    // Only while the focus is still ours: the user may have given it to another window since.
    Window now = 0;
    int revert = 0;
    XGetInputFocus(display_, &now, &revert);
    if (now != window_) return;
    // Whatever had it before gets it back, PointerRoot included. Left on our window, the focus
    // would fall back to the host's window when ours closes, and to no window at all once the
    // host's closes too: the keyboard would then reach nobody. A window that had it and is gone
    // by now raises an error, which the caller's trap takes.
    Window previous = focusBeforeEntry_ == window_ ? PointerRoot : focusBeforeEntry_;
    XSetInputFocus(display_, previous, focusRevertBeforeEntry_, CurrentTime);
}

void X11EditorWindow::CloseTextEntry() {
    if (!entry_.IsOpen()) return;
    graphics::Rect rect = entry_.Request().rect;
    entry_.Close();
    if (!Usable()) return;
    X11ErrorTrap trap(display_);
    RestoreFocus();
    // Whatever the entry covered comes back from the editor's picture.
    Blit(graphics_.BackBuffer(), rect);
}

void X11EditorWindow::ShowTooltip(const std::string& text) {
    if (!Usable()) return;
    X11ErrorTrap trap(display_);
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), pointerX_, pointerY_,
                          &rootX, &rootY, &child);
    tooltip_.Show(display_, text, rootX, rootY, graphics_.ScalePercent());
}

void X11EditorWindow::HideTooltip() {
    if (!Usable()) return;
    X11ErrorTrap trap(display_);
    tooltip_.Hide();
    XFlush(display_);
}

int X11EditorWindow::TrackPopupMenu(const graphics::PopupMenu& menu, int x, int y) {
    if (!Usable()) return 0;
    int rootX = 0, rootY = 0;
    {
        X11ErrorTrap trap(display_);
        Window child = 0;
        XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), x, y, &rootX, &rootY,
                              &child);
        // The menu takes the pointer itself.
        if (grabbed_) XUngrabPointer(display_, CurrentTime);
        grabbed_ = false;
        tooltip_.Hide();
    }
    ++waitDepth_;
    int chosen = platform::x11::TrackPopupMenu(display_, window_, menu, rootX, rootY, Waiting());
    --waitDepth_;
    return chosen;
}

void X11EditorWindow::HidePointer() {
    if (!Usable() || pointerHidden_) return;
    X11ErrorTrap trap(display_);
    Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned mask = 0;
    if (XQueryPointer(display_, window_, &root, &child, &hiddenRootX_, &hiddenRootY_, &x, &y,
                      &mask))
        pointerHidden_ = true;
    XDefineCursor(display_, window_, blankCursor_);
    XFlush(display_);
}

void X11EditorWindow::RestorePointer() {
    if (!Usable() || !pointerHidden_) return;
    X11ErrorTrap trap(display_);
    pointerHidden_ = false;
    XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, hiddenRootX_,
                 hiddenRootY_);
    XUndefineCursor(display_, window_);
    XFlush(display_);
}

platform::UiServices* X11EditorWindow::Ui() {
    if (!Usable()) return nullptr;
    return ui_.get();
}

} // namespace platform::x11
