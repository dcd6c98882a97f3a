#pragma once
// The modal loop of the dialogs we draw ourselves when neither zenity nor kdialog is installed:
// a framed window transient for the editor, painted into a software surface, with its own event
// loop that keeps the editor repainting until the dialog is answered.

#include <X11/Xlib.h>

#include <string>

#include "graphics/Geometry.h"
#include "graphics/Surface.h"
#include "graphics/TextStyle.h"
#include "window/x11/X11DialogWindow.h"

namespace platform::x11 {

class DrawnDialog {
public:
    virtual ~DrawnDialog() = default;
    // The size, the painting and the input are in editor units (the dialog at 100 %); the
    // surface given to Paint carries the editor's scale.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void Paint(graphics::Surface& surface) = 0;
    // Left button pressed at (x, y) in the window's units; doubleClick for the second press of a
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
    // everything else on to the editor, and ends with this one when the editor closes.
    const WaitingEditor& Nested() const { return nested_; }
    Display* DisplayOf() const { return display_; }
    Window OwnerOf() const { return owner_; }

private:
    friend bool RunDrawnDialog(Display*, Window, const std::string&, DrawnDialog&,
                               const WaitingEditor&);
    bool done_ = false;
    WaitingEditor nested_;
    Display* display_ = nullptr;
    Window owner_ = 0;
};

// Shows the dialog centred over the owner's top-level window with the title, at the editor's
// scale (its size, drawing and clicks are in units), and runs until it is finished. False when no
// suitable visual is available (nothing shown), or when the editor's close ended it before it was
// finished.
bool RunDrawnDialog(Display* display, Window owner, const std::string& title, DrawnDialog& dialog,
                    const WaitingEditor& editor);

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
