// Event handling of the X11 editor window: mouse buttons, wheel, motion, crossing, keys (mapped
// to the editor's platform key numbering), the text entry's typing, and exposure.

// The editor's headers come before any X header: Xlib defines None, True and False as macros.
#include "graphics/Graphics.h"
#include "graphics/InputTypes.h"

#include "window/x11/X11EditorWindow.h"
#include "window/x11/X11ErrorTrap.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdlib>

namespace platform::x11 {

namespace {
constexpr unsigned kDoubleClickMs = 400;
constexpr int kDoubleClickDistance = 4;
constexpr int kWheelStep = 120;

graphics::Modifiers ModifiersOf(unsigned state) {
    graphics::Modifiers mods;
    mods.left = (state & Button1Mask) != 0;
    mods.right = (state & Button3Mask) != 0;
    mods.shift = (state & ShiftMask) != 0;
    mods.control = (state & ControlMask) != 0;
    mods.alt = (state & Mod1Mask) != 0;
    return mods;
}

// The editor's platform key numbering (space 32, arrows 37..40, digits, letters) of a key
// symbol; -1 for keys no control takes.
int PlatformKeyOf(KeySym symbol) {
    switch (symbol) {
    case XK_space:
        return 32;
    case XK_Left:
    case XK_KP_Left:
        return 37;
    case XK_Up:
    case XK_KP_Up:
        return 38;
    case XK_Right:
    case XK_KP_Right:
        return 39;
    case XK_Down:
    case XK_KP_Down:
        return 40;
    default:
        break;
    }
    if (symbol >= XK_0 && symbol <= XK_9) return static_cast<int>(symbol);
    if (symbol >= XK_A && symbol <= XK_Z) return static_cast<int>(symbol);
    if (symbol >= XK_a && symbol <= XK_z) return static_cast<int>(symbol);
    return -1;
}

// The Unicode character a key symbol types: Latin-1 symbols are their own code points, and
// symbols 0x1000000 + U stand for U; 0 for none.
unsigned CharacterOf(KeySym symbol) {
    if ((symbol >= 0x20 && symbol <= 0x7E) || (symbol >= 0xA0 && symbol <= 0xFF))
        return static_cast<unsigned>(symbol);
    if (symbol >= 0x1000100 && symbol <= 0x110FFFF)
        return static_cast<unsigned>(symbol - 0x1000000);
    if (symbol >= XK_KP_0 && symbol <= XK_KP_9)
        return static_cast<unsigned>('0' + symbol - XK_KP_0);
    if (symbol == XK_KP_Decimal) return '.';
    if (symbol == XK_KP_Subtract) return '-';
    if (symbol == XK_KP_Add) return '+';
    return 0;
}
} // namespace

void X11EditorWindow::HandleEvent(XEvent& event) {
    if (event.xany.window == tooltip_.Handle() && tooltip_.Handle()) {
        if (event.type == Expose && event.xexpose.count == 0) tooltip_.Repaint();
        return;
    }
    if (event.xany.window != window_) return; // a window of ours that has closed
    switch (event.type) {
    case Expose:
        HandleExpose(event.xexpose);
        break;
    case ButtonPress:
        HandleButtonPress(event.xbutton);
        break;
    case ButtonRelease:
        HandleButtonRelease(event.xbutton);
        break;
    case MotionNotify:
        HandleMotion(event);
        break;
    case EnterNotify:
        pointerX_ = event.xcrossing.x;
        pointerY_ = event.xcrossing.y;
        break;
    case LeaveNotify:
        // A grab (ours during a drag, a menu's) moves the pointer's events, not the pointer.
        if (event.xcrossing.mode == NotifyNormal && !grabbed_) {
            hoverPending_ = false;
            graphics_.OnMouseLeave();
        }
        break;
    case KeyPress:
        HandleKeyPress(event.xkey);
        break;
    case KeyRelease:
        if (!entry_.IsOpen()) ForwardKeyToHost(event.xkey);
        break;
    case DestroyNotify:
        // The host destroyed its window (and ours with it) before closing the editor.
        gone_ = true;
        break;
    default:
        break;
    }
}

void X11EditorWindow::HandleEventDuringWait(XEvent& event) {
    if (!Usable()) return;
    X11ErrorTrap trap(display_);
    if (event.xany.window == window_) {
        if (event.type == Expose) HandleExpose(event.xexpose);
        if (event.type == DestroyNotify) gone_ = true;
    } else if (event.xany.window == tooltip_.Handle() && event.type == Expose) {
        tooltip_.Repaint();
    }
    if (trap.Failed()) gone_ = true;
}

void X11EditorWindow::HandleExpose(const XExposeEvent& event) {
    graphics::Rect area(event.x, event.y, event.x + event.width, event.y + event.height);
    if (!fullyDrawn_) {
        // Nothing complete to show yet: draw it all now, so a host that idles rarely still
        // shows the whole editor.
        Invalidate(area);
        return;
    }
    // The back buffer holds the complete picture: copy it again, without redrawing controls.
    Blit(graphics_.BackBuffer(), area);
}

void X11EditorWindow::HandleButtonPress(const XButtonEvent& event) {
    pointerX_ = event.x;
    pointerY_ = event.y;
    hoverPending_ = false;
    graphics::Modifiers mods = ModifiersOf(event.state);
    if (event.button == Button4 || event.button == Button5) {
        graphics_.OnWheel(event.x, event.y, mods,
                          event.button == Button4 ? kWheelStep : -kWheelStep);
        return;
    }
    if (event.button > Button3) return;
    if (entry_.IsOpen() && entry_.Request().rect.Contains(event.x, event.y)) return;
    mods.left = event.button == Button1;
    mods.right = event.button == Button3;
    bool doubleClick = event.button == lastClickButton_ &&
                       event.time - lastClickTime_ <= kDoubleClickMs &&
                       std::abs(event.x - lastClickX_) <= kDoubleClickDistance &&
                       std::abs(event.y - lastClickY_) <= kDoubleClickDistance;
    if (doubleClick) {
        // A third click starts counting anew.
        lastClickButton_ = 0;
        graphics_.OnDoubleClick(event.x, event.y, mods);
        return;
    }
    lastClickButton_ = event.button;
    lastClickTime_ = event.time;
    lastClickX_ = event.x;
    lastClickY_ = event.y;
    graphics_.OnMouseDown(event.x, event.y, mods);
}

void X11EditorWindow::HandleButtonRelease(const XButtonEvent& event) {
    if (event.button < Button1 || event.button > Button3) return;
    if (entry_.IsOpen() && entry_.Request().rect.Contains(event.x, event.y)) return;
    pointerX_ = event.x;
    pointerY_ = event.y;
    graphics::Modifiers mods = ModifiersOf(event.state);
    mods.left = event.button == Button1;
    mods.right = event.button == Button3;
    graphics_.OnMouseUp(event.x, event.y, mods);
}

void X11EditorWindow::HandleMotion(XEvent& event) {
    // Only the latest position of a burst of motion matters.
    while (XCheckTypedWindowEvent(display_, window_, MotionNotify, &event)) {
    }
    const XMotionEvent& motion = event.xmotion;
    pointerX_ = motion.x;
    pointerY_ = motion.y;
    lastMotion_ = Clock::now();
    graphics::Modifiers mods = ModifiersOf(motion.state);
    hoverPending_ = !mods.left && !mods.right;
    graphics_.OnMouseMove(motion.x, motion.y, mods);
}

void X11EditorWindow::HandleKeyPress(XKeyEvent& event) {
    if (entry_.IsOpen()) {
        HandleEntryKey(event);
        return;
    }
    KeySym symbol = NoSymbol;
    char text[8];
    XLookupString(&event, text, sizeof text, &symbol, nullptr);
    int key = PlatformKeyOf(symbol);
    if (key >= 0 && graphics_.OnKeyDown(key)) return;
    ForwardKeyToHost(event);
}

void X11EditorWindow::ForwardKeyToHost(XKeyEvent& event) {
    // Keys no control takes are the host's (transport shortcuts and the like).
    if (!Usable() || !parent_) return;
    XEvent copy;
    copy.xkey = event;
    copy.xkey.window = parent_;
    copy.xkey.subwindow = None;
    XSendEvent(display_, parent_, True, event.type == KeyPress ? KeyPressMask : KeyReleaseMask,
               &copy);
    XFlush(display_);
}

void X11EditorWindow::HandleEntryKey(XKeyEvent& event) {
    KeySym symbol = NoSymbol;
    char text[8];
    XLookupString(&event, text, sizeof text, &symbol, nullptr);
    switch (symbol) {
    case XK_Return:
    case XK_KP_Enter:
        graphics_.OnTextEntryCommit();
        return;
    case XK_Escape:
        graphics_.OnTextEntryCancel();
        return;
    case XK_BackSpace:
        entry_.Press(X11TextEntry::Key::Backspace);
        break;
    case XK_Delete:
    case XK_KP_Delete:
        entry_.Press(X11TextEntry::Key::Delete);
        break;
    case XK_Left:
    case XK_KP_Left:
        entry_.Press(X11TextEntry::Key::Left);
        break;
    case XK_Right:
    case XK_KP_Right:
        entry_.Press(X11TextEntry::Key::Right);
        break;
    case XK_Home:
    case XK_KP_Home:
        entry_.Press(X11TextEntry::Key::Home);
        break;
    case XK_End:
    case XK_KP_End:
        entry_.Press(X11TextEntry::Key::End);
        break;
    default: {
        unsigned character = CharacterOf(symbol);
        if (!character || !graphics_.TextEntryAccepts(character)) return;
        if (!entry_.Insert(character)) return;
        break;
    }
    }
    DrawEntry();
}

} // namespace platform::x11
