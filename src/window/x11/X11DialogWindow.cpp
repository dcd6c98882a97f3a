#include "window/x11/X11DialogWindow.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <cstring>

#include "graphics/Scale.h"
#include "window/x11/X11ErrorTrap.h"

namespace platform::x11 {

namespace {

// The shift of an 8-bit colour mask, -1 when the mask is not 8 contiguous bits.
int ShiftOf(unsigned long mask) {
    for (int shift = 0; shift <= 24; shift += 8) {
        if (mask == (0xFFul << shift)) return shift;
    }
    return -1;
}

bool HasZPixmap32(Display* display, int depth) {
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    bool found = false;
    for (int i = 0; formats && i < count; ++i) {
        if (formats[i].depth == depth && formats[i].bits_per_pixel == 32) found = true;
    }
    if (formats) XFree(formats);
    return found;
}

bool Describe(Display* display, Visual* visual, int depth, SurfaceVisual& out) {
    if (!visual || visual->c_class != TrueColor || (depth != 24 && depth != 32)) return false;
    int red = ShiftOf(visual->red_mask);
    int green = ShiftOf(visual->green_mask);
    int blue = ShiftOf(visual->blue_mask);
    if (red < 0 || green < 0 || blue < 0 || !HasZPixmap32(display, depth)) return false;
    out.visual = visual;
    out.depth = depth;
    out.redShift = red;
    out.greenShift = green;
    out.blueShift = blue;
    std::uint32_t used =
        static_cast<std::uint32_t>(visual->red_mask | visual->green_mask | visual->blue_mask);
    out.extraBits = depth == 32 ? ~used : 0;
    return true;
}

} // namespace

bool FindSurfaceVisual(Display* display, Window owner, SurfaceVisual& out) {
    if (!display) return false;
    X11ErrorTrap trap(display);
    XWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    bool haveOwner = owner != 0 && XGetWindowAttributes(display, owner, &attributes) != 0;
    int screen = haveOwner ? XScreenNumberOfScreen(attributes.screen) : DefaultScreen(display);
    out.screen = screen;
    out.root = RootWindow(display, screen);
    Visual* standard = DefaultVisual(display, screen);
    if (haveOwner && Describe(display, attributes.visual, attributes.depth, out)) {
        out.isDefault = attributes.visual == standard;
        return !trap.Failed();
    }
    out.isDefault = true;
    return Describe(display, standard, DefaultDepth(display, screen), out) && !trap.Failed();
}

Window TopLevelOf(Display* display, Window window) {
    if (!display || !window) return window;
    X11ErrorTrap trap(display);
    Window current = window;
    for (int depth = 0; depth < 64; ++depth) {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, current, &root, &parent, &children, &count)) break;
        if (children) XFree(children);
        if (parent == 0 || parent == root) break;
        current = parent;
    }
    return current;
}

graphics::Rect ScreenRect(Display* display, Window owner) {
    SurfaceVisual visual;
    int screen = DefaultScreen(display);
    if (FindSurfaceVisual(display, owner, visual)) screen = visual.screen;
    return graphics::Rect(0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen));
}

int WaitingEditor::ScalePercent() const {
    const int percent = scale ? scale() : 100;
    return graphics::IsOfferedScale(percent) ? percent : 100;
}

void ForwardWhileModal(XEvent& event, const WaitingEditor& editor) {
    if (event.type == ButtonPress || event.type == KeyPress) return;
    if (editor.forward) editor.forward(event);
}

bool WaitForInput(Display* display, int fd, int timeoutMs) {
    {
        X11ErrorTrap trap(display);
        XFlush(display);
        if (XPending(display) > 0) return false;
    }
    pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {fd, POLLIN, 0}};
    int count = fd >= 0 ? 2 : 1;
    if (poll(fds, static_cast<nfds_t>(count), timeoutMs) <= 0) return false;
    return fd >= 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

SurfaceWindow::~SurfaceWindow() {
    if (!window_ && !colormap_) return;
    X11ErrorTrap trap(display_);
    if (gc_) XFreeGC(display_, gc_);
    if (window_) XDestroyWindow(display_, window_);
    if (colormap_) XFreeColormap(display_, colormap_);
    XFlush(display_);
}

bool SurfaceWindow::Create(Window owner, const graphics::Rect& rect, bool popup,
                           const std::string& title) {
    if (window_ || !FindSurfaceVisual(display_, owner, visual_)) return false;
    X11ErrorTrap trap(display_);
    XSetWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    unsigned long mask = CWBackPixel | CWBorderPixel | CWEventMask;
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    attributes.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                            ButtonReleaseMask | PointerMotionMask | StructureNotifyMask |
                            FocusChangeMask | LeaveWindowMask;
    if (popup) {
        attributes.override_redirect = True;
        attributes.save_under = True;
        mask |= CWOverrideRedirect | CWSaveUnder;
    }
    if (!visual_.isDefault) {
        colormap_ = XCreateColormap(display_, visual_.root, visual_.visual, AllocNone);
        attributes.colormap = colormap_;
        mask |= CWColormap;
    }
    unsigned width = static_cast<unsigned>(rect.Width() > 0 ? rect.Width() : 1);
    unsigned height = static_cast<unsigned>(rect.Height() > 0 ? rect.Height() : 1);
    window_ = XCreateWindow(display_, visual_.root, rect.left, rect.top, width, height, 0,
                            visual_.depth, InputOutput, visual_.visual, mask, &attributes);
    if (!window_) return false;
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    if (!popup) {
        Xutf8SetWMProperties(display_, window_, title.c_str(), title.c_str(), nullptr, 0, nullptr,
                             nullptr, nullptr);
        Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
        XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_NAME", False), utf8, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()),
                        static_cast<int>(title.size()));
        if (owner) XSetTransientForHint(display_, window_, TopLevelOf(display_, owner));
        Atom type = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_DIALOG", False);
        XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False),
                        XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&type), 1);
        deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display_, window_, &deleteWindow_, 1);
        // A fixed size, placed where we put it.
        XSizeHints* hints = XAllocSizeHints();
        if (hints) {
            hints->flags = PPosition | PMinSize | PMaxSize;
            hints->x = rect.left;
            hints->y = rect.top;
            hints->min_width = hints->max_width = static_cast<int>(width);
            hints->min_height = hints->max_height = static_cast<int>(height);
            XSetWMNormalHints(display_, window_, hints);
            XFree(hints);
        }
    }
    return !trap.Failed();
}

void SurfaceWindow::Present(const graphics::Surface& surface) {
    if (!window_ || surface.Empty()) return;
    const int width = surface.Width();
    const int height = surface.Height();
    pixels_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = surface.Row(y);
        std::uint32_t* out = pixels_.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            // Our surfaces are opaque; the colour channels are used as they stand.
            std::uint32_t p = row[x];
            std::uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            out[x] = (r << visual_.redShift) | (g << visual_.greenShift) |
                     (b << visual_.blueShift) | visual_.extraBits;
        }
    }
    X11ErrorTrap trap(display_);
    XImage* image =
        XCreateImage(display_, visual_.visual, static_cast<unsigned>(visual_.depth), ZPixmap, 0,
                     reinterpret_cast<char*>(pixels_.data()), static_cast<unsigned>(width),
                     static_cast<unsigned>(height), 32, width * 4);
    if (!image) return;
    // The buffer holds native 32-bit words; Xlib swaps them when the server's order differs.
    const std::uint16_t probe = 1;
    image->byte_order = *reinterpret_cast<const std::uint8_t*>(&probe) ? LSBFirst : MSBFirst;
    XPutImage(display_, window_, gc_, image, 0, 0, 0, 0, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    image->data = nullptr; // owned by pixels_
    XDestroyImage(image);
    XFlush(display_);
}

bool SurfaceWindow::IsCloseRequest(const XEvent& event) const {
    return event.type == ClientMessage && event.xclient.window == window_ &&
           event.xclient.format == 32 &&
           static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_ && deleteWindow_ != 0;
}

} // namespace platform::x11
