#pragma once
// A knob of the editor: a frame of image 105 (65 positions) or 110 (four positions) that shows
// the value, turned by dragging and by the wheel. While the pointer is over it, or always with
// "Show All Knob Values" on, it shows the parameter's display text on a dark disc. The top 13
// pixels, above the disc, do not react to the mouse.

#include "graphics/KnobControl.h"

namespace editor {

class EditorHost;

class VornEditor;

class FBKnobControl : public graphics::KnobMultiControl {
public:
    static constexpr int kValueTextInset = 13;

    FBKnobControl(VornEditor& editor, int x, int y, const graphics::Bitmap& bitmap, int paramIndex,
                  const graphics::TextStyle& valueStyle);

    void MouseOver(int x, int y, const graphics::Modifiers& mods) override;
    void MouseOut() override;
    bool Draw(graphics::Surface& target) override;

    bool IsHovered() const { return hover_; }
    // Whether the value read-out is drawn now.
    bool ShowsValue() const;
    // The text the read-out shows: the parameter's display text for its value.
    std::string ValueText() const;
    const graphics::Rect& ValueTextRect() const { return valueRect_; }

private:
    EditorHost& owner_;
    graphics::Rect valueRect_;
    bool hover_ = false;
};

} // namespace editor
