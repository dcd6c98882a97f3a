#include "window/x11/X11DialogModal.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>

#include "graphics/Scale.h"
#include "graphics/TextRenderer.h"
#include "window/x11/X11DialogWindow.h"
#include "window/x11/X11ErrorTrap.h"

namespace platform::x11 {

namespace look {
const graphics::Color kFace(255, 236, 236, 236);
const graphics::Color kText(255, 0, 0, 0);
const graphics::Color kFrame(255, 120, 120, 120);
const graphics::Color kFocus(255, 48, 110, 200);
const graphics::Color kField(255, 255, 255, 255);
const graphics::Color kSelection(255, 48, 110, 200);
const graphics::Color kSelectionText(255, 255, 255, 255);

graphics::TextStyle Text(graphics::Color color, graphics::TextAlign align) {
    return graphics::TextStyle("Arial", kFontSize, color, align);
}

void Frame(graphics::Surface& surface, const graphics::Rect& r, graphics::Color color) {
    surface.FillRect(graphics::Rect(r.left, r.top, r.right, r.top + 1), color, 1.0);
    surface.FillRect(graphics::Rect(r.left, r.bottom - 1, r.right, r.bottom), color, 1.0);
    surface.FillRect(graphics::Rect(r.left, r.top, r.left + 1, r.bottom), color, 1.0);
    surface.FillRect(graphics::Rect(r.right - 1, r.top, r.right, r.bottom), color, 1.0);
}

void Button(graphics::Surface& surface, const graphics::Rect& r, const std::string& label,
            bool focused) {
    surface.FillRect(r, graphics::Color(255, 250, 250, 250), 1.0);
    Frame(surface, r, focused ? kFocus : kFrame);
    if (focused)
        Frame(surface, graphics::Rect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1), kFocus);
    int top = r.top + (r.Height() - kFontSize) / 2 - 1;
    graphics::DrawText(surface, graphics::Rect(r.left, top, r.right, r.bottom), label,
                       Text(kText, graphics::TextAlign::Center));
}
} // namespace look

namespace {

// Latin-1 bytes from XLookupString as UTF-8.
std::string Utf8FromLatin1(const char* bytes, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Where the dialog goes: centred over the owner's top-level window, on the screen.
graphics::Rect Placement(Display* display, Window owner, int width, int height) {
    graphics::Rect screen = ScreenRect(display, owner);
    int centreX = screen.Width() / 2, centreY = screen.Height() / 2;
    if (owner) {
        X11ErrorTrap trap(display);
        Window top = TopLevelOf(display, owner);
        XWindowAttributes attributes;
        Window child = 0;
        int x = 0, y = 0;
        if (XGetWindowAttributes(display, top, &attributes) &&
            XTranslateCoordinates(display, top, attributes.root, 0, 0, &x, &y, &child)) {
            centreX = x + attributes.width / 2;
            centreY = y + attributes.height / 2;
        }
    }
    int left = std::max(0, std::min(centreX - width / 2, screen.right - width));
    int top = std::max(0, std::min(centreY - height / 2, screen.bottom - height));
    return graphics::Rect(left, top, left + width, top + height);
}

constexpr unsigned long kDoubleClickMs = 400;

} // namespace

bool RunDrawnDialog(Display* display, Window owner, const std::string& title, DrawnDialog& dialog,
                    const WaitingEditor& editor) {
    if (!display || editor.Cancelled()) return false;
    // The dialog draws and takes its clicks in units; its window is at the editor's scale.
    const int scale = editor.ScalePercent();
    auto units = [scale](int device) { return graphics::UnscaleCoord(device, scale); };
    const int width = graphics::ScaleLength(dialog.Width(), scale);
    const int height = graphics::ScaleLength(dialog.Height(), scale);
    SurfaceWindow window(display);
    if (!window.Create(owner, Placement(display, owner, width, height), false, title)) {
        return false;
    }
    graphics::Surface surface(width, height);
    surface.SetScale(scale);
    auto paint = [&]() {
        surface.ResetClip();
        surface.Clear(look::kFace);
        dialog.Paint(surface);
        window.Present(surface);
    };
    dialog.display_ = display;
    dialog.owner_ = window.Handle();
    dialog.nested_ = WaitingEditor(
        [&](XEvent& event) {
            if (event.xany.window != window.Handle()) {
                ForwardWhileModal(event, editor);
            } else if (event.type == Expose && event.xexpose.count == 0) {
                paint();
            }
        },
        editor.cancelled, editor.scale);

    Window previousFocus = 0;
    int previousRevert = 0;
    {
        X11ErrorTrap trap(display);
        XGetInputFocus(display, &previousFocus, &previousRevert);
        XMapRaised(display, window.Handle());
        XFlush(display);
    }
    Time lastPress = 0;
    int lastX = -100, lastY = -100;
    bool dirty = false;
    while (!dialog.Done() && !editor.Cancelled()) {
        if (dirty) {
            paint();
            dirty = false;
        }
        WaitForInput(display, -1, 200);
        for (;;) {
            XEvent event;
            {
                X11ErrorTrap trap(display);
                if (XPending(display) == 0) break;
                XNextEvent(display, &event);
            }
            if (event.xany.window != window.Handle()) {
                ForwardWhileModal(event, editor);
                continue;
            }
            if (window.IsCloseRequest(event)) {
                dialog.CloseRequest();
                dirty = true;
                continue;
            }
            switch (event.type) {
            case MapNotify: {
                // Without a window manager nobody else gives the dialog the keyboard.
                X11ErrorTrap trap(display);
                XSetInputFocus(display, window.Handle(), RevertToParent, CurrentTime);
                break;
            }
            case Expose:
                if (event.xexpose.count == 0) dirty = true;
                break;
            case ButtonPress:
                if (event.xbutton.button == Button1) {
                    bool twice = event.xbutton.time - lastPress < kDoubleClickMs &&
                                 std::abs(event.xbutton.x - lastX) < 4 &&
                                 std::abs(event.xbutton.y - lastY) < 4;
                    lastPress = twice ? 0 : event.xbutton.time;
                    lastX = event.xbutton.x;
                    lastY = event.xbutton.y;
                    dialog.Press(units(event.xbutton.x), units(event.xbutton.y), twice);
                    dirty = true;
                } else if (event.xbutton.button == Button4 || event.xbutton.button == Button5) {
                    dialog.Wheel(units(event.xbutton.x), units(event.xbutton.y),
                                 event.xbutton.button == Button4 ? -1 : 1);
                    dirty = true;
                }
                break;
            case KeyPress: {
                char buffer[16];
                KeySym sym = NoSymbol;
                int count = 0;
                {
                    // The first lookup fetches the keyboard mapping from the server.
                    X11ErrorTrap trap(display);
                    count = XLookupString(&event.xkey, buffer, sizeof buffer, &sym, nullptr);
                }
                std::string text;
                if (count > 0 && static_cast<unsigned char>(buffer[0]) >= 0x20 &&
                    buffer[0] != 0x7F) {
                    text = Utf8FromLatin1(buffer, count);
                }
                dialog.Key(sym, text);
                dirty = true;
                break;
            }
            default:
                break;
            }
            if (dialog.Done()) break;
        }
    }
    {
        // Give the keyboard back to whoever had it when it was ours.
        X11ErrorTrap trap(display);
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        if (focus == window.Handle() && previousFocus != 0 && previousFocus != PointerRoot) {
            XSetInputFocus(display, previousFocus, RevertToParent, CurrentTime);
        }
    }
    return dialog.Done();
}

} // namespace platform::x11
