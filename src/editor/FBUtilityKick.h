#pragma once
// A momentary button: COPY, PASTE, INIT, ">> FB-01", the previous/next arrows, and the invisible
// BROWSE and browser-close buttons whose faces are part of the background pictures. It is drawn
// pressed from the press until the release, which runs the button's utility action. A right click
// on an arrow or the send button only makes it the learn target and leaves it drawn pressed (the
// right-click latch); the next click acts again on release. PASTE does nothing, and does not even
// look pressed, while the program clipboard is empty.

#include "graphics/SwitchControl.h"

#include <string>

namespace editor {

class EditorHost;

class VornEditor;

class FBUtilityKick : public graphics::ContactControl {
public:
    // A button with an image (104, 107 or 108) at a position.
    FBUtilityKick(VornEditor& editor, int x, int y, const graphics::Bitmap& bitmap, int id,
                  const std::string& caption, const graphics::TextStyle& captionStyle,
                  const graphics::TextStyle& dimmedStyle);
    // An invisible button that only takes clicks.
    FBUtilityKick(VornEditor& editor, const graphics::Rect& rect, int id);

    void MouseDown(int x, int y, const graphics::Modifiers& mods) override;
    void MouseUp(int x, int y, const graphics::Modifiers& mods) override;
    bool Draw(graphics::Surface& target) override;

    bool IsPressed() const { return pressed_; }
    bool IsLatched() const { return latch_ != 0; }
    bool IsInvisible() const { return !bitmap_.image; }
    // The style the caption is drawn in now (PASTE is dimmed while there is nothing to paste).
    const graphics::TextStyle& CaptionStyle() const;

private:
    bool IsInertPaste() const;

    VornEditor& editor_;
    EditorHost& owner_;
    std::string caption_;
    graphics::TextStyle dimmedStyle_;
    bool pressed_ = false;
    int latch_ = 0;
};

} // namespace editor
