#pragma once
// One item of the program browser's lists: a bank-list row (kind 0, rows 0 to 21) or a
// program-grid cell (kind 1, cells 0 to 230). It shows a number and a name, lit when it is the
// highlighted row or cell, and a click loads the bank or applies the program it shows.

#include "graphics/Control.h"

#include <string>

namespace editor {

class EditorHost;

class VornEditor;

class FBScrollItemControl : public graphics::Control {
public:
    enum Kind { kBankRow = 0, kGridCell = 1 };

    FBScrollItemControl(VornEditor& editor, const graphics::Rect& rect, Kind kind, int position,
                        const graphics::TextStyle& style, const graphics::TextStyle& litStyle);

    void MouseDown(int x, int y, const graphics::Modifiers& mods) override;
    bool Draw(graphics::Surface& target) override;

    // Shows list index n with its name: the number is n for a bank row and the program number
    // inside its bank, (n mod 48) + 1, for a grid cell, cut to two characters.
    void SetEntry(int n, const std::string& name);
    // Shows nothing and ignores clicks.
    void Clear();

    Kind ItemKind() const { return kind_; }
    int Position() const { return position_; }
    bool IsActive() const { return active_; }
    const std::string& NumberText() const { return number_; }
    const std::string& NameText() const { return name_; }
    graphics::Rect NumberRect() const;
    graphics::Rect NameRect() const;
    // Whether the browser's highlight is on this row or cell.
    bool IsHighlighted() const;

private:
    VornEditor& editor_;
    EditorHost& owner_;
    Kind kind_;
    int position_;
    bool active_ = false;
    std::string number_;
    std::string name_;
    graphics::TextStyle litStyle_;
};

} // namespace editor
