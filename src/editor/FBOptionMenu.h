#pragma once
// An invisible button over one of the background's LOAD, SAVE, LOAD SYX, SAVE SYX and MENU faces.
// A click (any button) shows its menu of program and file commands and runs the chosen one. The
// menus are built anew on every click, so they always show the current options.

#include "graphics/Control.h"

#include <vector>

namespace graphics {
class PopupMenu;
}

namespace synth {
struct SynthSettings;
}

namespace editor {

class EditorHost;

class VornEditor;

// The menu of an option button and the command of each top-level item (-1 for separators and
// submenu entries). The "Global MIDI Settings..." submenu holds commands 20 to 22, "Go Online..."
// commands 23 and 24. False for an id that is not an option button.
bool BuildOptionMenu(int id, const synth::SynthSettings& settings, graphics::PopupMenu& menu,
                     std::vector<int>& commands);

// The command of a choice: the submenu's first command plus the item's position inside a
// submenu, the command list's entry for a top-level item; -1 for nothing.
int ChosenCommand(const graphics::PopupMenu& menu, const std::vector<int>& commands,
                  const graphics::PopupMenu* chosen);

class FBOptionMenu : public graphics::Control {
public:
    FBOptionMenu(VornEditor& editor, const graphics::Rect& rect, int id);

    void MouseDown(int x, int y, const graphics::Modifiers& mods) override;
    bool Draw(graphics::Surface&) override { return true; }

    // The command list of the menu shown last.
    const std::vector<int>& Commands() const { return commands_; }

private:
    VornEditor& editor_;
    EditorHost& owner_;
    std::vector<int> commands_;
};

} // namespace editor
