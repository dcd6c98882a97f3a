#include "editor/PanelCaptions.h"

#include "editor/ControlLayout.h"

#include <algorithm>

namespace editor {

using graphics::Rect;

namespace {

constexpr int kLabelGap = 2;     // between a control and its label
constexpr int kHeadingGap = 4;   // between a heading and the row it heads
constexpr int kWideLabel = 60;   // label width under knobs and fields
constexpr int kNarrowLabel = 44; // under switches and the waveform selectors

bool VerticalSpansOverlap(const Rect& a, const Rect& b) {
    return a.top < b.bottom && b.top < a.bottom;
}

bool SameStrip(const ControlSpec& a, const ControlSpec& b) {
    return a.section == b.section && a.op == b.op;
}

int LabelWidth(const ControlSpec& control) {
    if (control.labelWidth > 0) return control.labelWidth;
    return control.rect.Width() >= 40 ? kWideLabel : kNarrowLabel;
}

// Labels of one row sit on one line: below the lowest control of the row, or above its highest,
// counting only the controls labelled on the same side.
int RowEdge(const ControlSpec& control, LabelPlace place) {
    int edge = place == LabelPlace::Below ? control.rect.bottom : control.rect.top;
    for (const ControlSpec& other : EditorControls()) {
        if (other.labelPlace != place || !SameStrip(control, other)) continue;
        if (!VerticalSpansOverlap(control.rect, other.rect)) continue;
        edge = place == LabelPlace::Below ? std::max(edge, other.rect.bottom)
                                          : std::min(edge, other.rect.top);
    }
    return edge;
}

Rect LabelBox(const ControlSpec& control) {
    const Rect& r = control.rect;
    const int width = LabelWidth(control);
    const int left = r.left + r.Width() / 2 - width / 2;
    switch (control.labelPlace) {
    case LabelPlace::Below: {
        const int top = RowEdge(control, LabelPlace::Below) + kLabelGap;
        return Rect(left, top, left + width, top + kLabelHeight);
    }
    case LabelPlace::Above: {
        const int bottom = RowEdge(control, LabelPlace::Above) - kLabelGap;
        return Rect(left, bottom - kLabelHeight, left + width, bottom);
    }
    case LabelPlace::Left: {
        const int right = r.left - 2 * kLabelGap;
        const int top = r.top + r.Height() / 2 - kLabelHeight / 2;
        return Rect(right - width, top, right, top + kLabelHeight);
    }
    case LabelPlace::Inside:
        return r;
    case LabelPlace::None:
        break;
    }
    return Rect();
}

void AddControlLabels(std::vector<PanelCaption>& out, bool browser) {
    const std::vector<ControlSpec>& controls = EditorControls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlSpec& control = controls[i];
        if (control.labelPlace == LabelPlace::None) continue;
        if ((control.section == Section::Browser) != browser) continue;
        PanelCaption caption;
        caption.kind = control.labelPlace == LabelPlace::Inside ? CaptionKind::ButtonFace
                                                                : CaptionKind::ControlLabel;
        caption.text = control.label;
        caption.box = LabelBox(control);
        caption.control = static_cast<int>(i);
        out.push_back(caption);
    }
}

int IndexOf(const ControlSpec* control) {
    if (!control) return -1;
    return static_cast<int>(control - EditorControls().data());
}

PanelCaption Heading(CaptionKind kind, const char* text, int left, int right, int rowTop) {
    PanelCaption caption;
    caption.kind = kind;
    caption.text = text;
    caption.box = Rect(left, rowTop - kHeadingGap - kLabelHeight, right, rowTop - kHeadingGap);
    return caption;
}

// The columns of the operator strips grouped by what they shape, by parameter offset within
// the operator's block.
struct ColumnGroup {
    const char* heading;
    int offsets[6];
};
const ColumnGroup kColumnGroups[] = {
    {"LEVEL & PITCH", {1, 8, 4, 3, 6, 5}},
    {"SCALING", {7, 9, 2, 10, -1, -1}},
    {"ENVELOPE", {11, 13, 14, 12, 15, 16}},
};

Rect GroupExtent(const ColumnGroup& group) {
    Rect extent;
    for (int offset : group.offsets) {
        if (offset < 0) continue;
        const ControlSpec* control = FindControlByKey(23 + offset);
        if (control) extent = extent.Union(control->rect);
    }
    return extent;
}

} // namespace

Rect CommonSectionPanel() {
    return Rect(6, 6, 326, 614);
}

Rect OperatorStripPanel(int k) {
    const int y = 152 * k;
    return Rect(332, 24 + y, 962, 158 + y);
}

std::vector<PanelCaption> MainViewCaptions() {
    std::vector<PanelCaption> out;
    const Rect panel = CommonSectionPanel();
    const int left = panel.left + 11;
    const int right = panel.right - 8;

    PanelCaption logo;
    logo.kind = CaptionKind::Logo;
    logo.text = "Vorna";
    logo.box = Rect(left, 12, left + 130, 48);
    out.push_back(logo);
    PanelCaption tagline;
    tagline.kind = CaptionKind::Tagline;
    tagline.text = "FOUR-OPERATOR FM SYNTHESIZER";
    tagline.box = Rect(left, 50, left + 200, 62);
    out.push_back(tagline);

    const ControlSpec* volume = FindControlById(0);
    const ControlSpec* transpose = FindControlById(7);
    const ControlSpec* lfoDepth = FindControlById(19);
    if (volume) {
        out.push_back(Heading(CaptionKind::SectionHeading, "MASTER", left, AlgorithmRect().left - 8,
                              volume->rect.top));
    }
    if (transpose) {
        out.push_back(
            Heading(CaptionKind::SectionHeading, "VOICE", left, right, transpose->rect.top));
    }
    if (lfoDepth) {
        out.push_back(Heading(CaptionKind::SectionHeading, "LFO", left, right, lfoDepth->rect.top));
    }

    // Column groups over the first strip, above its plate.
    const int strips = OperatorStripPanel(0).top;
    const int count = static_cast<int>(sizeof kColumnGroups / sizeof kColumnGroups[0]);
    for (int g = 0; g < count; ++g) {
        const Rect extent = GroupExtent(kColumnGroups[g]);
        if (extent.Empty()) continue;
        out.push_back(Heading(CaptionKind::GroupHeading, kColumnGroups[g].heading, extent.left - 4,
                              extent.right + 4, strips));
    }

    for (int k = 0; k < 4; ++k) {
        const ControlSpec* onSwitch = FindControlByKey(23 + 17 * k);
        const ControlSpec* wave = FindControlByKey(2 + k);
        if (!onSwitch || !wave) continue;
        PanelCaption heading;
        heading.kind = CaptionKind::OperatorHeading;
        heading.text = "OP" + std::string(1, static_cast<char>('1' + k));
        const int right = std::min(onSwitch->rect.left, wave->rect.left) - 6;
        heading.box = Rect(right - 24, onSwitch->rect.top, right, wave->rect.bottom);
        out.push_back(heading);
    }

    AddControlLabels(out, false);
    return out;
}

std::vector<PanelCaption> BrowserCaptions() {
    std::vector<PanelCaption> out;
    const Rect browser = BrowserRect();

    PanelCaption title;
    title.kind = CaptionKind::Title;
    title.text = "PROGRAM BROWSER";
    title.box = Rect(browser.left + 26, browser.top + 10, browser.left + 300, browser.top + 30);
    out.push_back(title);

    AddControlLabels(out, true);

    // The SELECT/COPY switch: COPY beside its upper (on) end, SELECT beside its lower end.
    if (const ControlSpec* select = FindControlById(kIdSelectCopy)) {
        const Rect& r = select->rect;
        PanelCaption copy;
        copy.text = "COPY";
        copy.box = Rect(r.right + 4, r.top + 1, r.right + 50, r.top + 1 + kLabelHeight);
        copy.control = IndexOf(select);
        out.push_back(copy);
        PanelCaption pick = copy;
        pick.text = "SELECT";
        pick.box = Rect(r.right + 4, r.bottom - 1 - kLabelHeight, r.right + 50, r.bottom - 1);
        out.push_back(pick);
    }

    const ControlSpec* firstBank = FindControlByKey(kFirstBankListKey);
    const ControlSpec* bankScroll = FindControlById(kIdBankListScroll);
    if (firstBank && bankScroll) {
        out.push_back(Heading(CaptionKind::SectionHeading, "BANKS", firstBank->rect.left,
                              bankScroll->rect.right, firstBank->rect.top - 2));
    }

    // One heading per grid column: column c lists the programs 48 c to 48 c + 47 of the source.
    for (int c = 0; c < kProgramGridColumns; ++c) {
        const ControlSpec* cell = FindControlByKey(kFirstProgramGridKey + kProgramGridRows * c);
        if (!cell) continue;
        PanelCaption column;
        column.kind = CaptionKind::GroupHeading;
        column.text = "BANK " + std::string(1, static_cast<char>('1' + c));
        column.box = Rect(cell->rect.left, cell->rect.top - 2 - kLabelHeight, cell->rect.right,
                          cell->rect.top - 2);
        column.control = IndexOf(cell);
        out.push_back(column);
    }
    return out;
}

} // namespace editor
