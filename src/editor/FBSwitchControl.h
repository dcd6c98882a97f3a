#pragma once
// An on/off switch of the editor (image 109) or a captioned two-state button (image 104). A click
// steps it and reports the value; the browser's copy switch and its three source buttons act on
// the browser as well. The caption sits one pixel lower while the button is down.

#include "graphics/SwitchControl.h"

#include <string>

namespace editor {

class EditorHost;

class VornEditor;

class FBSwitchControl : public graphics::SwitchControl {
public:
    FBSwitchControl(VornEditor& editor, int x, int y, const graphics::Bitmap& bitmap, int id,
                    const std::string& caption, const graphics::TextStyle& captionStyle);

    void MouseDown(int x, int y, const graphics::Modifiers& mods) override;
    bool Draw(graphics::Surface& target) override;

    const std::string& Caption() const { return caption_; }
    // Where the caption is drawn while up (value below 0.5) and while down.
    graphics::Rect CaptionUpRect() const;
    graphics::Rect CaptionDownRect() const;

private:
    VornEditor& editor_;
    EditorHost& owner_;
    std::string caption_;
};

} // namespace editor
