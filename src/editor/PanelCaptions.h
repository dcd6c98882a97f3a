#pragma once
// The static texts painted into the background pictures (back.png and browser.png): the logo,
// section and group headings, the operator headings, every control's label and the faces of the
// buttons painted under invisible controls. Each box is derived from the control table, so a
// label follows its control when a position changes. Boxes are editor pixels; browser.png is
// drawn at BrowserRect(), so its captions are shifted by that rectangle's origin in the picture.

#include "graphics/Geometry.h"

#include <string>
#include <vector>

namespace editor {

enum class CaptionKind {
    Logo,            // the product name
    Title,           // the title of the browser overlay
    Tagline,         // the line under the logo
    SectionHeading,  // a heading over a group of rows, with a rule
    GroupHeading,    // a heading over a group of columns of the operator strips
    OperatorHeading, // "OP1" to "OP4", written upwards beside the strip
    ControlLabel,    // the label of one control
    ButtonFace,      // the text of a button painted under an invisible control
};

struct PanelCaption {
    CaptionKind kind = CaptionKind::ControlLabel;
    std::string text;
    graphics::Rect box;
    int control = -1; // index into EditorControls() of the control labelled, -1 for none
};

// Height of a control label box.
constexpr int kLabelHeight = 12;

std::vector<PanelCaption> MainViewCaptions();
std::vector<PanelCaption> BrowserCaptions();

// The panel rectangle of operator strip k (0 to 3) and of the common section's rows, which the
// background draws as raised plates behind the controls.
graphics::Rect OperatorStripPanel(int k);
graphics::Rect CommonSectionPanel();

} // namespace editor
