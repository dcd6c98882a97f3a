#pragma once
// Every control of the editor as plain data, in attach order (which is also drawing order): its
// class, parameter index or action id, registry key, rectangle, image, text style and caption,
// and the label the background picture carries for it. The editor builds its controls from this
// table and the image generator paints the labels and field frames from it, so a control and its
// label cannot drift apart.

#include "editor/TextStyles.h"
#include "graphics/Geometry.h"

#include <array>
#include <vector>

namespace editor {

constexpr int kEditorWidth = 968;
constexpr int kEditorHeight = 640;

// The control classes the editor instantiates.
enum class ControlClass {
    BitmapControl,
    TextControl,
    SwitchPopUpControl,
    FBKnobControl,
    FBDropDown,
    FBSwitchControl,
    FBSwitchMidiLearn,
    FBUtilityKick,
    FBOptionMenu,
    FBPresetName,
    FBAlgorithm,
    FBScrollControl,
    FBScrollItemControl,
};

// Which part of the window a control belongs to.
enum class Section { Common, Operator, Browser };

// Where the background picture puts a control's label.
enum class LabelPlace {
    None,
    Below,  // centred under the control
    Above,  // centred over the control
    Left,   // right-aligned before the control
    Inside, // the face of a button painted on the background under an invisible control
};

// Action ids of the controls that edit no parameter.
enum ActionId : int {
    kNoId = -1,
    kIdCopy = -92,
    kIdPaste = -93,
    kIdInit = -94,
    kIdLoadMenu = -96,
    kIdSaveMenu = -97,
    kIdLoadSyxMenu = -98,
    kIdSaveSyxMenu = -99,
    kIdMainMenu = -100,
    kIdBankNumber = -101,
    kIdProgramNumber = -102,
    kIdPrevProgram = -103,
    kIdNextProgram = -104,
    kIdSendToModule = -106,
    kIdBrowserBackground = -107,
    kIdBrowse = -108,
    kIdBrowserClose = -109,
    kIdBrowserBankNumber = -110,
    kIdBrowserProgramNumber = -111,
    kIdBrowserPrevProgram = -112,
    kIdBrowserNextProgram = -113,
    kIdBrowserProgramName = -114,
    kIdSourceFile = -115,
    kIdSourceIntern = -116,
    kIdSourceFactory = -117,
    kIdSelectCopy = -118,
    kIdBankListScroll = -119,
    kIdProgramGridScroll = -120,
};

// Registry keys of the browser overlay: the ids without their sign, then the list items.
constexpr int kFirstBrowserKey = 107;
constexpr int kFirstBankListKey = 121;
constexpr int kFirstProgramGridKey = 143;
constexpr int kLastBrowserKey = 373;
constexpr int kBankListRows = 22;
constexpr int kProgramGridColumns = 7;
constexpr int kProgramGridRows = 33;

struct ControlSpec {
    ControlClass kind = ControlClass::BitmapControl;
    int id = kNoId;      // parameter index (0 to 90) or negative action id
    int key = -1;        // control registry key, -1 when not registered
    graphics::Rect rect; // draw and target rectangle, editor pixels
    int image = 0;       // image id, 0 for none
    TextStyleId style = TextStyleId::None;
    TextStyleId altStyle = TextStyleId::None; // dimmed (PASTE) or lit (browser items)
    int textDx = 0; // the text rectangle is the control rectangle moved by (textDx, textDy)
    int textDy = 0;
    const char* caption = ""; // text the control draws itself
    const char* tooltip = "";
    const char* label = ""; // text the background picture carries for the control
    LabelPlace labelPlace = LabelPlace::None;
    Section section = Section::Common;
    int op = -1;        // operator 0 to 3 for the operator strips
    int list = -1;      // browser list of a scroll bar or list item: 0 bank list, 1 program grid
    int item = -1;      // position of a browser list item (bank row 0 to 21, grid cell 0 to 230)
    int labelWidth = 0; // width of the label box; 0 for the default of the control's kind

    bool IsParameter() const { return id >= 0; }
    // Controls without an image that draw nothing: the option-menu buttons and the invisible
    // utility buttons, whose faces are part of the background.
    bool IsInvisible() const;
};

// The whole control set in attach order: the main view (common section, then the four operator
// strips), then the browser overlay.
const std::vector<ControlSpec>& EditorControls();
// The registered control of a key, or null.
const ControlSpec* FindControlByKey(int key);
// The first control with that parameter index or action id, or null.
const ControlSpec* FindControlById(int id);

// The rectangle of the algorithm diagram and the hit rectangles of algorithms 1 to 8.
graphics::Rect AlgorithmRect();
const std::array<graphics::Rect, 8>& AlgorithmHitRects();

// The rectangle of the BROWSE button painted on the background.
graphics::Rect BrowseButtonRect();
// Where the browser picture (image 103) is placed.
graphics::Rect BrowserRect();

// Rectangles given on the doubled grid become editor pixels by halving, truncating.
graphics::Rect HalveDoubled(int left, int top, int right, int bottom);

} // namespace editor
