#include "editor/EditorBuilder.h"

#include "editor/ControlLayout.h"
#include "editor/FBAlgorithm.h"
#include "editor/FBDropDown.h"
#include "editor/FBKnobControl.h"
#include "editor/FBOptionMenu.h"
#include "editor/FBPresetName.h"
#include "editor/FBScrollControl.h"
#include "editor/FBScrollItemControl.h"
#include "editor/FBSwitchControl.h"
#include "editor/FBSwitchMidiLearn.h"
#include "editor/FBUtilityKick.h"
#include "editor/ImageTable.h"
#include "editor/TextStyles.h"
#include "editor/VornEditor.h"
#include "graphics/BitmapControl.h"
#include "graphics/SwitchControl.h"
#include "graphics/TextControl.h"

#include <map>

namespace editor {

namespace {

using graphics::Bitmap;
using graphics::Control;

// The twelve images, each loaded once into the process-wide cache.
std::map<int, Bitmap> LoadImages() {
    std::map<int, Bitmap> images;
    const ImageInfo* table = Images();
    for (int i = 0; i < kImageCount; ++i)
        images[table[i].id] = graphics::LoadBitmap(table[i].id, table[i].path, table[i].frames);
    return images;
}

Control* MakeControl(VornEditor& editor, const ControlSpec& entry,
                     const std::map<int, Bitmap>& images) {
    const auto image = images.find(entry.image);
    const Bitmap bitmap = image == images.end() ? Bitmap() : image->second;
    const graphics::TextStyle style = MakeTextStyle(entry.style);
    const graphics::TextStyle altStyle = MakeTextStyle(entry.altStyle);
    const graphics::Rect& rect = entry.rect;
    switch (entry.kind) {
    case ControlClass::BitmapControl:
        return new graphics::BitmapControl(editor, rect, bitmap, entry.id);
    case ControlClass::TextControl:
        return new graphics::TextControl(editor, rect, style, entry.caption, entry.id);
    case ControlClass::SwitchPopUpControl:
        return new graphics::SwitchPopUpControl(editor, rect.left, rect.top, bitmap, entry.id);
    case ControlClass::FBKnobControl:
        return new FBKnobControl(editor, rect.left, rect.top, bitmap, entry.id, style);
    case ControlClass::FBDropDown: {
        auto* field = new FBDropDown(editor, rect, entry.id, style, entry.textDx, entry.textDy);
        if (!entry.IsParameter()) editor.AddProgramDisplay(field);
        return field;
    }
    case ControlClass::FBSwitchControl:
        return new FBSwitchControl(editor, rect.left, rect.top, bitmap, entry.id, entry.caption,
                                   style);
    case ControlClass::FBSwitchMidiLearn: {
        auto* learn =
            new FBSwitchMidiLearn(editor, rect.left, rect.top, bitmap, images.at(kImageUnlearn));
        editor.SetLearnSwitch(learn);
        return learn;
    }
    case ControlClass::FBUtilityKick:
        if (entry.image == kNoImage) return new FBUtilityKick(editor, rect, entry.id);
        return new FBUtilityKick(editor, rect.left, rect.top, bitmap, entry.id, entry.caption,
                                 style, altStyle);
    case ControlClass::FBOptionMenu:
        return new FBOptionMenu(editor, rect, entry.id);
    case ControlClass::FBPresetName: {
        auto* name =
            new FBPresetName(editor, rect, entry.id, style, MakeTextStyle(TextStyleId::NameEntry));
        editor.AddProgramDisplay(name);
        return name;
    }
    case ControlClass::FBAlgorithm:
        return new FBAlgorithm(editor, rect, bitmap, entry.id);
    case ControlClass::FBScrollControl:
        return new FBScrollControl(editor, rect, entry.id,
                                   entry.list == 0 ? FBScrollControl::kBankList
                                                   : FBScrollControl::kProgramGrid);
    case ControlClass::FBScrollItemControl:
        return new FBScrollItemControl(editor, rect,
                                       entry.list == 0 ? FBScrollItemControl::kBankRow
                                                       : FBScrollItemControl::kGridCell,
                                       entry.item, style, altStyle);
    }
    return nullptr;
}

} // namespace

void BuildEditor(VornEditor& editor) {
    editor.ClearRegistry();
    const std::map<int, Bitmap> images = LoadImages();
    editor.EnableMouseOver(true);
    editor.EnableTooltips(true);
    editor.AttachBackground(kImageBack);
    editor.Resize(kEditorWidth, kEditorHeight);
    for (const ControlSpec& entry : EditorControls()) {
        Control* control = MakeControl(editor, entry, images);
        if (!control) continue;
        if (*entry.tooltip) control->SetTooltip(entry.tooltip);
        editor.AttachControl(control);
        if (entry.key >= 0) editor.Register(entry.key, control);
    }
    editor.HideBrowser();
}

} // namespace editor
