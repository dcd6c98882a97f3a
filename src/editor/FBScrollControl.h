#pragma once
// A scroll bar of the program browser: kind 0 pages the bank list by 22 rows, kind 1 the program
// grid between its offsets 0 and 33. The arrows and the track are part of the browser picture;
// the bar draws only its thumb. A click above the thumb or on the up arrow pages up, below it or
// on the down arrow pages down; a click on the thumb does nothing.

#include "graphics/Control.h"

namespace editor {

class EditorHost;

class VornEditor;

class FBScrollControl : public graphics::Control {
public:
    enum Kind { kBankList = 0, kProgramGrid = 1 };
    static constexpr int kArrowHeight = 17;

    FBScrollControl(VornEditor& editor, const graphics::Rect& rect, int id, Kind kind);

    void MouseDown(int x, int y, const graphics::Modifiers& mods) override;
    bool Draw(graphics::Surface& target) override;

    graphics::Rect UpArrowRect() const;
    graphics::Rect DownArrowRect() const;
    // The thumb for the list's current length and offset (top and bottom rows, editor pixels).
    void Thumb(int& top, int& bottom) const;

private:
    VornEditor& editor_;
    EditorHost& owner_;
    Kind kind_;
};

} // namespace editor
