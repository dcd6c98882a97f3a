#pragma once
// A text field that opens a choice on a click: the bank number (a menu of the seven voice banks),
// the program number (the 48 programs of the current bank in four groups of twelve), or a
// parameter's choice (a menu of its display texts; a parameter of two texts simply toggles).
// The field's frame is part of the background; the control draws only its text.

#include "graphics/Control.h"

#include <string>

namespace graphics {
class PopupMenu;
}

namespace editor {

class EditorHost;

class VornEditor;

class FBDropDown : public graphics::Control {
public:
    // The text rectangle is the control rectangle moved by (textDx, textDy).
    FBDropDown(VornEditor& editor, const graphics::Rect& rect, int id,
               const graphics::TextStyle& style, int textDx, int textDy);

    void MouseDown(int x, int y, const graphics::Modifiers& mods) override;
    bool Draw(graphics::Surface& target) override;

    // The text the field shows now.
    std::string Text() const;
    const graphics::Rect& TextRect() const { return textRect_; }

    // The menus, as they are built for the current state.
    void BuildProgramMenu(graphics::PopupMenu& menu, graphics::PopupMenu* groups[4]) const;
    void BuildBankMenu(graphics::PopupMenu& menu) const;
    void BuildChoiceMenu(graphics::PopupMenu& menu) const;

private:
    bool IsBankNumber() const;
    bool IsProgramNumber() const;
    // The parameter's value in its own units, rounded to the nearest whole number.
    int IntegerValue() const;
    void ChooseProgram();
    void ChooseBank();
    void ChooseParameterValue();

    VornEditor& editor_;
    EditorHost& owner_;
    graphics::Rect textRect_;
};

} // namespace editor
