// The main view: the top rows and common section on the left, then the four operator strips.
// Positions are editor pixels (knobs, drop-downs and name fields already halved from the
// doubled grid). The background picture (image 102) is attached by the graphics framework
// before these controls and is not part of the table.

#include "editor/LayoutBuilders.h"
#include "editor/LayoutParts.h"

namespace editor {

using graphics::Rect;
using namespace layout;

namespace {

ControlSpec Kick(int id, int x, int y, int image, const char* caption) {
    ControlSpec control =
        WithText(Make(ControlClass::FBUtilityKick, id, AtPosition(x, y, image), image),
                 TextStyleId::Caption, caption);
    return control;
}

ControlSpec OptionMenu(int id, Rect rect, const char* face) {
    return WithLabel(Make(ControlClass::FBOptionMenu, id, rect), face, LabelPlace::Inside);
}

ControlSpec Knob(int param, int x, int y, const char* label, int image = kImageKnob) {
    ControlSpec control = Make(ControlClass::FBKnobControl, param, AtPosition(x, y, image), image);
    control.style = TextStyleId::KnobValue;
    return WithLabel(control, label, LabelPlace::Below);
}

ControlSpec Switch(int param, int x, int y, const char* label) {
    return WithLabel(
        Make(ControlClass::FBSwitchControl, param, AtPosition(x, y, kImageSwitchV), kImageSwitchV),
        label, LabelPlace::Below);
}

// Parameter drop-down fields: style Choice, text moved down 2.
ControlSpec ParamDropDown(int param, Rect rect, const char* label) {
    return WithLabel(
        WithText(Make(ControlClass::FBDropDown, param, rect), TextStyleId::Choice, "", 0, 2), label,
        LabelPlace::Below);
}

void AddCommonSection(std::vector<ControlSpec>& out) {
    out.push_back(WithText(Make(ControlClass::TextControl, kNoId, Rect(226, 56, 316, 68)),
                           TextStyleId::Version, "v.1.1.1.N"));
    out.push_back(Kick(kIdCopy, 17, 71, kImageButton, "COPY"));
    ControlSpec paste = Kick(kIdPaste, 69, 71, kImageButton, "PASTE");
    paste.altStyle = TextStyleId::CaptionDimmed;
    out.push_back(paste);
    out.push_back(Kick(kIdInit, 121, 71, kImageButton, "INIT"));
    ControlSpec send = Kick(kIdSendToModule, 173, 71, kImageButton, ">> FB-01");
    send.tooltip = "Send all parameters via SysEx to FB-01";
    out.push_back(send);
    ControlSpec browse = WithLabel(Make(ControlClass::FBUtilityKick, kIdBrowse, BrowseButtonRect()),
                                   "BROWSE", LabelPlace::Inside);
    browse.tooltip = "Open Program Browser";
    out.push_back(browse);
    out.push_back(Make(ControlClass::FBSwitchMidiLearn, kNoId, AtPosition(270, 71, kImageLearn),
                       kImageLearn));
    out.push_back(OptionMenu(kIdLoadMenu, Rect(17, 96, 65, 116), "LOAD"));
    out.push_back(OptionMenu(kIdSaveMenu, Rect(69, 96, 117, 116), "SAVE"));
    out.push_back(OptionMenu(kIdLoadSyxMenu, Rect(121, 96, 169, 116), "LOAD SYX"));
    out.push_back(OptionMenu(kIdSaveSyxMenu, Rect(173, 96, 221, 116), "SAVE SYX"));
    out.push_back(OptionMenu(kIdMainMenu, Rect(270, 96, 318, 116), "MENU"));

    out.push_back(
        WithLabel(WithText(Make(ControlClass::FBDropDown, kIdBankNumber, Rect(54, 138, 74, 158)),
                           TextStyleId::Display, "", 6, 2),
                  "BANK", LabelPlace::Above, 40));
    out.push_back(Make(ControlClass::FBUtilityKick, kIdPrevProgram, AtPosition(80, 136, kImagePrev),
                       kImagePrev));
    out.push_back(WithLabel(
        WithText(Make(ControlClass::FBDropDown, kIdProgramNumber, Rect(106, 138, 138, 158)),
                 TextStyleId::Display, "", 8, 2),
        "PROGRAM", LabelPlace::Above, 56));
    out.push_back(Make(ControlClass::FBUtilityKick, kIdNextProgram,
                       AtPosition(142, 136, kImageNext), kImageNext));
    Rect name = HalveDoubled(164, 358, 299, 388);
    name.top += 1;
    out.push_back(
        WithLabel(WithText(Make(ControlClass::FBPresetName, kNoId, name), TextStyleId::NameDisplay),
                  "NAME", LabelPlace::Left, 40));
    out.push_back(WithLabel(Make(ControlClass::FBAlgorithm, 6, AlgorithmRect(), kImageAlgorithm),
                            "ALGORITHM", LabelPlace::Above, 132));

    out.push_back(Knob(0, 54, 224, "Volume"));
    out.push_back(Knob(1, 122, 224, "Tune"));
    out.push_back(Knob(7, 54, 300, "Transpose"));
    out.push_back(Knob(8, 122, 300, "Bend Range"));
    out.push_back(Knob(9, 190, 300, "Portamento"));
    out.push_back(Knob(10, 258, 300, "Feedback"));
    out.push_back(ParamDropDown(11, Rect(50, 398, 98, 418), "Mode"));
    out.push_back(Switch(13, 134, 390, "Out L"));
    out.push_back(Switch(14, 186, 390, "Out R"));
    out.push_back(ParamDropDown(12, Rect(254, 398, 302, 418), "PMD Ctrl"));
    out.push_back(Switch(15, 64, 486, "On"));
    out.push_back(ParamDropDown(16, Rect(114, 494, 162, 514), "Wave"));
    out.push_back(Knob(19, 190, 484, "AM Depth"));
    out.push_back(Knob(21, 258, 484, "PM Depth"));
    out.push_back(Switch(18, 64, 558, "Sync"));
    out.push_back(Knob(17, 118, 556, "Speed"));
    out.push_back(Knob(20, 190, 556, "AM Sens", kImageSwitch4));
    out.push_back(Knob(22, 258, 556, "PM Sens"));
    for (ControlSpec& control : out) control.section = Section::Common;
}

// One operator strip: operator k (0 to 3) is shifted down by 152 k and edits the parameter
// block starting at 23 + 17 k. Every control is registered under its parameter index.
void AddOperatorStrip(std::vector<ControlSpec>& out, int k) {
    const int y = 152 * k;
    const int p = 23 + 17 * k;
    std::vector<ControlSpec> strip;
    strip.push_back(Switch(p, 376, 30 + y, "On"));
    strip.push_back(Knob(p + 1, 416, 28 + y, "Level"));
    strip.push_back(Knob(p + 8, 484, 28 + y, "Lvl Adj"));
    strip.push_back(Knob(p + 4, 552, 28 + y, "Freq"));
    strip.push_back(ParamDropDown(p + 7, Rect(616, 38 + y, 664, 58 + y), "KS Type"));
    strip.push_back(Knob(p + 9, 688, 28 + y, "KS Depth"));
    strip.push_back(Knob(p + 11, 756, 28 + y, "Attack"));
    strip.push_back(Knob(p + 13, 824, 28 + y, "Decay 1"));
    strip.push_back(Knob(p + 14, 892, 28 + y, "Decay 2"));
    strip.push_back(Switch(p + 3, 428, 102 + y, "Boost"));
    strip.push_back(Knob(p + 6, 484, 100 + y, "Detune"));
    strip.push_back(Knob(p + 5, 552, 100 + y, "Inharm.", kImageSwitch4));
    strip.push_back(Knob(p + 2, 620, 100 + y, "Velocity"));
    strip.push_back(Knob(p + 10, 688, 100 + y, "KS Rate", kImageSwitch4));
    strip.push_back(Knob(p + 12, 756, 100 + y, "Atk Vel", kImageSwitch4));
    strip.push_back(Knob(p + 15, 824, 100 + y, "Sustain"));
    strip.push_back(Knob(p + 16, 892, 100 + y, "Release"));
    // The waveform selector: a plain pop-up switch with the parameter's value prompt.
    strip.push_back(WithLabel(Make(ControlClass::SwitchPopUpControl, 2 + k,
                                   AtPosition(366, 104 + y, kImageWaves), kImageWaves),
                              "Wave", LabelPlace::Below));
    for (ControlSpec& control : strip) {
        control.section = Section::Operator;
        control.op = k;
        control.key = control.id;
        out.push_back(control);
    }
}

} // namespace

std::vector<ControlSpec> MainViewControls() {
    std::vector<ControlSpec> controls;
    AddCommonSection(controls);
    for (int k = 0; k < 4; ++k) AddOperatorStrip(controls, k);
    return controls;
}

} // namespace editor
