// The captions painted into the background pictures: one next to every labelled control, none
// covered by a control or by another caption, and each really painted into the picture.

#include "editor/PanelCaptions.h"
#include "EditorImageSupport.h"
#include "editor/ControlLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using editor::CaptionKind;
using editor::ControlSpec;
using editor::EditorControls;
using editor::PanelCaption;
using graphics::Rect;

// Every control with a label has its caption on the side the table names, close to it and
// centred on it.
TEST(PanelCaptions, EveryLabelledControlHasItsCaptionBesideIt) {
    std::vector<PanelCaption> captions = editor::MainViewCaptions();
    const std::vector<PanelCaption> browser = editor::BrowserCaptions();
    captions.insert(captions.end(), browser.begin(), browser.end());
    int labelled = 0;
    for (std::size_t i = 0; i < EditorControls().size(); ++i) {
        const ControlSpec& control = EditorControls()[i];
        if (control.labelPlace == editor::LabelPlace::None) continue;
        ++labelled;
        const auto found =
            std::find_if(captions.begin(), captions.end(), [&](const PanelCaption& c) {
                return c.control == static_cast<int>(i) && c.text == control.label;
            });
        ASSERT_NE(found, captions.end()) << control.label;
        const Rect& box = found->box;
        const Rect& r = control.rect;
        const int centreGap = std::abs((box.left + box.right) - (r.left + r.right));
        switch (control.labelPlace) {
        case editor::LabelPlace::Below:
            EXPECT_GE(box.top, r.bottom) << control.label;
            EXPECT_LE(box.top - r.bottom, 12) << control.label;
            EXPECT_LE(centreGap, 1) << control.label;
            break;
        case editor::LabelPlace::Above:
            EXPECT_LE(box.bottom, r.top) << control.label;
            EXPECT_LE(r.top - box.bottom, 6) << control.label;
            EXPECT_LE(centreGap, 1) << control.label;
            break;
        case editor::LabelPlace::Left:
            EXPECT_LE(box.right, r.left) << control.label;
            EXPECT_LE(r.left - box.right, 6) << control.label;
            EXPECT_TRUE(box.top < r.bottom && r.top < box.bottom) << control.label;
            break;
        case editor::LabelPlace::Inside:
            EXPECT_TRUE(control.IsInvisible()) << control.label << " is painted under a visible control";
            EXPECT_EQ(box.Intersection(r), box) << control.label;
            break;
        case editor::LabelPlace::None:
            break;
        }
    }
    // Every knob, switch, field and selector of the main view carries a label.
    for (const ControlSpec& control : EditorControls()) {
        if (control.section == editor::Section::Browser || !control.IsParameter()) continue;
        EXPECT_NE(control.labelPlace, editor::LabelPlace::None) << "parameter " << control.id;
    }
    EXPECT_GT(labelled, 4 * 18);
    int operatorHeadings = 0;
    for (const PanelCaption& c : captions)
        operatorHeadings += c.kind == CaptionKind::OperatorHeading;
    EXPECT_EQ(operatorHeadings, 4);
}

void ExpectNothingCovers(const std::vector<PanelCaption>& captions, editor::Section view,
                         const Rect& area) {
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const PanelCaption& caption = captions[i];
        SCOPED_TRACE(caption.text);
        EXPECT_FALSE(caption.box.Empty());
        EXPECT_EQ(caption.box.Intersection(area), caption.box) << "outside its picture";
        for (std::size_t j = i + 1; j < captions.size(); ++j) {
            EXPECT_FALSE(caption.box.Intersects(captions[j].box))
                << "overlaps " << captions[j].text;
        }
        for (std::size_t c = 0; c < EditorControls().size(); ++c) {
            const ControlSpec& control = EditorControls()[c];
            const bool sameView = view == editor::Section::Browser
                                      ? control.section == editor::Section::Browser
                                      : control.section != editor::Section::Browser;
            if (!sameView || control.id == editor::kIdBrowserBackground) continue;
            // A button face lies under its own invisible control by design.
            if (caption.kind == CaptionKind::ButtonFace && caption.control == static_cast<int>(c))
                continue;
            EXPECT_FALSE(caption.box.Intersects(control.rect))
                << "covered by control " << control.id << " key " << control.key;
        }
    }
}

TEST(PanelCaptions, NoControlOrOtherCaptionCoversACaption) {
    ExpectNothingCovers(editor::MainViewCaptions(), editor::Section::Common,
                        Rect(0, 0, editor::kEditorWidth, editor::kEditorHeight));
    ExpectNothingCovers(editor::BrowserCaptions(), editor::Section::Browser, editor::BrowserRect());
}

// Pixels inside the box that stand out from the box's typical (median) brightness.
int ContrastPixels(const graphics::Surface& image, const Rect& box) {
    std::vector<int> levels;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            levels.push_back(editor_test::Luminance(image.Pixel(x, y)));
    if (levels.empty()) return 0;
    std::vector<int> sorted = levels;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const int median = sorted[sorted.size() / 2];
    int count = 0;
    for (int level : levels) count += std::abs(level - median) > 48;
    return count;
}

TEST(PanelCaptions, CaptionsArePaintedWhereTheTablePutsThem) {
    const graphics::Surface back = editor_test::DecodedImage(editor::kImageBack);
    ASSERT_EQ(back.Width(), editor::kEditorWidth);
    for (const PanelCaption& caption : editor::MainViewCaptions()) {
        EXPECT_GE(ContrastPixels(back, caption.box), 8) << "no text painted for " << caption.text;
    }
    // The version label's rectangle stays plain: the editor writes the version there.
    const ControlSpec* version = nullptr;
    for (const ControlSpec& control : EditorControls()) {
        if (control.kind == editor::ControlClass::TextControl) version = &control;
    }
    ASSERT_NE(version, nullptr);
    EXPECT_LT(ContrastPixels(back, version->rect), 3);

    const graphics::Surface browser = editor_test::DecodedImage(editor::kImageBrowser);
    ASSERT_FALSE(browser.Empty());
    const Rect origin = editor::BrowserRect();
    for (const PanelCaption& caption : editor::BrowserCaptions()) {
        const Rect inPicture = caption.box.Offset(-origin.left, -origin.top);
        EXPECT_GE(ContrastPixels(browser, inPicture), 8) << "no text painted for " << caption.text;
    }
}

} // namespace
