#pragma once
// The modal loop of the dialogs we draw ourselves when neither zenity nor kdialog is installed:
// a framed window transient for the editor, painted into a software surface, with its own event
// loop that keeps the editor repainting until the dialog is answered.

#include <X11/Xlib.h>

#include <functional>
#include <string>

#include "graphics/Geometry.h"
#include "graphics/Surface.h"
#include "graphics/TextStyle.h"

namespace platform::x11 {

class DrawnDialog {
public:
    virtual ~DrawnDialog() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void Paint(graphics::Surface& surface) = 0;
    // Left button pressed at (x, y) in window coordinates; doubleClick for the second press of a
    // quick pair at the same place.
    virtual void Press(int /*x*/, int /*y*/, bool /*doubleClick*/) {}
    // Wheel turned by delta notches (positive: towards the user) over (x, y).
    virtual void Wheel(int /*x*/, int /*y*/, int /*delta*/) {}
    // A key with its keysym and the text it types (UTF-8, may be empty).
    virtual void Key(unsigned long /*keysym*/, const std::string& /*text*/) {}
    // The window manager's close button.
    virtual void CloseRequest() = 0;

    bool Done() const { return done_; }

protected:
    void Finish() { done_ = true; }
    // For a dialog opened from within this one: passes events of this dialog's window to it and
    // everything else on to the editor.
    const std::function<void(XEvent&)>& NestedForward() const { return nestedForward_; }
    Display* DisplayOf() const { return display_; }
    Window OwnerOf() const { return owner_; }

private:
    friend bool RunDrawnDialog(Display*, Window, const std::string&, DrawnDialog&,
                               const std::function<void(XEvent&)>&);
    bool done_ = false;
    std::function<void(XEvent&)> nestedForward_;
    Display* display_ = nullptr;
    Window owner_ = 0;
};

// Shows the dialog centred over the owner's top-level window with the title, and runs until it is
// finished. False (nothing shown) when no suitable visual is available.
bool RunDrawnDialog(Display* display, Window owner, const std::string& title, DrawnDialog& dialog,
                    const std::function<void(XEvent&)>& forward);

// Shared look of the drawn dialogs.
namespace look {
extern const graphics::Color kFace;
extern const graphics::Color kText;
extern const graphics::Color kFrame;
extern const graphics::Color kFocus;
extern const graphics::Color kField;
extern const graphics::Color kSelection;
extern const graphics::Color kSelectionText;
constexpr int kFontSize = 13;
constexpr int kLineHeight = 18;
graphics::TextStyle Text(graphics::Color color = kText,
                         graphics::TextAlign align = graphics::TextAlign::Left);
// A one-pixel frame around the rectangle (inside it).
void Frame(graphics::Surface& surface, const graphics::Rect& rect, graphics::Color color);
// A push button: face, frame (double when focused) and the centred label.
void Button(graphics::Surface& surface, const graphics::Rect& rect, const std::string& label,
            bool focused);
} // namespace look

} // namespace platform::x11
