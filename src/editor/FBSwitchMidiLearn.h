#pragma once
// The LEARN switch. A left click arms or disarms MIDI learn; a right click while it is off swaps
// between learn mode (image 106) and unlearn mode (image 111). A completed learn turns it off.

#include "graphics/SwitchControl.h"

namespace editor {

class EditorHost;

class VornEditor;

class FBSwitchMidiLearn : public graphics::SwitchControl {
public:
    FBSwitchMidiLearn(VornEditor& editor, int x, int y, const graphics::Bitmap& learnImage,
                      const graphics::Bitmap& unlearnImage);

    void MouseDown(int x, int y, const graphics::Modifiers& mods) override;

    // Learn mode (true) or unlearn mode, as the shown image says.
    bool LearnImageShown() const { return learnImage_; }
    // Off, and drawn so at the next redraw.
    void SwitchOff();

private:
    EditorHost& owner_;
    graphics::Bitmap learn_;
    graphics::Bitmap unlearn_;
    bool learnImage_ = true;
};

} // namespace editor
