// The program browser overlay: attached after the four operator strips and hidden until the
// user opens it. Every control is registered under its key (107 to 373).

#include "editor/LayoutBuilders.h"
#include "editor/LayoutParts.h"

namespace editor {

using graphics::Rect;
using namespace layout;

namespace {

ControlSpec Registered(ControlSpec control) {
    control.key = -control.id;
    return control;
}

ControlSpec SourceButton(int id, int x, int y, const char* caption) {
    return Registered(WithText(
        Make(ControlClass::FBSwitchControl, id, AtPosition(x, y, kImageButton), kImageButton),
        TextStyleId::Caption, caption));
}

ControlSpec ListItem(int key, Rect rect, int list, int item) {
    ControlSpec control = Make(ControlClass::FBScrollItemControl, kNoId, rect);
    control.key = key;
    control.style = TextStyleId::BrowserItem;
    control.altStyle = TextStyleId::BrowserItemLit;
    control.list = list;
    control.item = item;
    return control;
}

ControlSpec ScrollBar(int id, Rect rect, int list) {
    ControlSpec control = Registered(Make(ControlClass::FBScrollControl, id, rect));
    control.list = list;
    return control;
}

} // namespace

std::vector<ControlSpec> BrowserControls() {
    std::vector<ControlSpec> out;
    out.push_back(Registered(
        Make(ControlClass::BitmapControl, kIdBrowserBackground, BrowserRect(), kImageBrowser)));
    out.push_back(
        Registered(Make(ControlClass::FBUtilityKick, kIdBrowserClose, Rect(934, 18, 950, 34))));
    out.push_back(Registered(WithLabel(
        WithText(Make(ControlClass::FBDropDown, kIdBrowserBankNumber, Rect(54, 86, 74, 106)),
                 TextStyleId::Display, "", 6, 2),
        "BANK", LabelPlace::Above, 40)));
    out.push_back(Registered(Make(ControlClass::FBUtilityKick, kIdBrowserPrevProgram,
                                  AtPosition(89, 85, kImagePrev), kImagePrev)));
    out.push_back(Registered(WithLabel(
        WithText(Make(ControlClass::FBDropDown, kIdBrowserProgramNumber, Rect(116, 86, 148, 106)),
                 TextStyleId::Display, "", 8, 2),
        "PROGRAM", LabelPlace::Above, 56)));
    out.push_back(Registered(Make(ControlClass::FBUtilityKick, kIdBrowserNextProgram,
                                  AtPosition(153, 85, kImageNext), kImageNext)));
    out.push_back(Registered(WithLabel(
        WithText(Make(ControlClass::FBPresetName, kIdBrowserProgramName, Rect(215, 88, 282, 102)),
                 TextStyleId::NameDisplay),
        "NAME", LabelPlace::Above, 67)));
    out.push_back(SourceButton(kIdSourceIntern, 63, 143, "INTERN"));
    out.push_back(SourceButton(kIdSourceFactory, 191, 143, "FACTRY"));
    out.push_back(SourceButton(kIdSourceFile, 259, 143, "FILE"));
    out.push_back(Registered(Make(ControlClass::FBSwitchControl, kIdSelectCopy,
                                  AtPosition(122, 136, kImageSwitchV), kImageSwitchV)));
    out.push_back(ScrollBar(kIdBankListScroll, Rect(302, 232, 318, 606), 0));
    out.push_back(ScrollBar(kIdProgramGridScroll, Rect(914, 45, 930, 606), 1));
    for (int i = 0; i < kBankListRows; ++i) {
        out.push_back(
            ListItem(kFirstBankListKey + i, Rect(54, 232 + 17 * i, 289, 248 + 17 * i), 0, i));
    }
    // Grid cells are numbered column by column: cell s = 33 c + r.
    for (int c = 0; c < kProgramGridColumns; ++c) {
        for (int r = 0; r < kProgramGridRows; ++r) {
            const int cell = kProgramGridRows * c + r;
            out.push_back(ListItem(kFirstProgramGridKey + cell,
                                   Rect(372 + 76 * c, 45 + 17 * r, 448 + 76 * c, 61 + 17 * r), 1,
                                   cell));
        }
    }
    for (ControlSpec& control : out) control.section = Section::Browser;
    return out;
}

} // namespace editor
