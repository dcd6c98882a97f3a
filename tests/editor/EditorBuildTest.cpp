// The editor as the instrument builds it: attach order and registry, the default values taken
// from the parameter table, ShowParamValue and RefreshParamControls reaching the controls, the
// washed-out look of a switched-off operator at the next idle call, what the host is offered
// without a native window, and the whole editor against its golden picture.

#include "GoldenPicture.h"
#include "GoldenUpdate.h"
#include "VornEditorSupport.h"

#include "editor/ControlLayout.h"
#include "editor/FBKnobControl.h"
#include "editor/FBScrollItemControl.h"
#include "engine/InstrumentParams.h"
#include "graphics/PngCodec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

using editor_test::EditorInstance;
using namespace editor;

namespace {

bool SameBlend(const graphics::Blend& a, const graphics::Blend& b) {
    return a.mode == b.mode && a.weight == b.weight;
}

} // namespace

TEST(EditorBuild, ControlsAreAttachedInTableOrderOverTheBackgroundAndRegisteredByKey) {
    EditorInstance e;
    const std::vector<ControlSpec>& table = EditorControls();
    ASSERT_EQ(e.view().ControlCount(), 1 + static_cast<int>(table.size()));
    EXPECT_EQ(e.view().GetControl(0)->DrawRect(), graphics::Rect(0, 0, 968, 640));
    EXPECT_EQ(e.view().Width(), 968);
    EXPECT_EQ(e.view().Height(), 640);
    for (std::size_t i = 0; i < table.size(); ++i) {
        graphics::Control* control = e.view().GetControl(static_cast<int>(i) + 1);
        EXPECT_EQ(control->ParamIndex(), table[i].id) << i;
        EXPECT_EQ(control->DrawRect(), table[i].rect) << i;
        if (table[i].key >= 0) {
            EXPECT_EQ(e.view().Lookup(table[i].key), control) << i;
        }
    }
    // The common section is not registered; browser keys run to 373 and no further.
    EXPECT_EQ(e.view().Lookup(engine::kMasterVolume), nullptr);
    EXPECT_EQ(e.view().Lookup(engine::kAlgorithm), nullptr);
    EXPECT_NE(e.Key<FBScrollItemControl>(200), nullptr);
    EXPECT_EQ(e.view().Lookup(374), nullptr);
    // A knob reacts below its top 13 pixels only.
    graphics::Control* knob = e.Find(engine::kMasterVolume);
    EXPECT_EQ(knob->TargetRect().top, knob->DrawRect().top + 13);
    EXPECT_EQ(e.view().FindControl(60, knob->DrawRect().top + 5), 0);
}

TEST(EditorBuild, DefaultsComeFromTheParameterTableAndValuesFromTheLoadedProgram) {
    EditorInstance e;
    for (int i = 0; i < e.view().ControlCount(); ++i) {
        graphics::Control* control = e.view().GetControl(i);
        const int index = control->ParamIndex();
        if (index < 0) {
            EXPECT_LT(control->DefaultValue(), 0.0) << i; // nothing reached it
            continue;
        }
        const host::Param& param = e.plugin().GetParam(index);
        EXPECT_DOUBLE_EQ(control->DefaultValue(), param.ToNormalized(param.Default())) << index;
        EXPECT_DOUBLE_EQ(control->Value(), param.ToNormalized()) << index;
    }
}

TEST(EditorBuild, ShowParamValueClampsAndNormalisesAndOnlyMarksForRedraw) {
    EditorInstance e;
    graphics::Control* knob = e.Find(engine::kMasterVolume);
    e.view().ShowParamValue(engine::kMasterVolume, 0.0, false);
    e.view().OnTimer(); // everything drawn, nothing dirty
    ASSERT_FALSE(knob->IsDirty());
    const graphics::Surface before = e.window().Screen();

    e.view().ShowParamValue(engine::kMasterVolume, 5.0, false);
    EXPECT_DOUBLE_EQ(knob->Value(), 1.0);
    EXPECT_TRUE(knob->IsDirty());
    // Nothing is drawn until the user-interface thread's next timer tick.
    EXPECT_EQ(e.window().Screen().Pixels(), before.Pixels());
    e.view().OnTimer();
    EXPECT_NE(e.window().Screen().Pixels(), before.Pixels());

    e.view().ShowParamValue(engine::kMasterVolume, -3.0, false);
    EXPECT_DOUBLE_EQ(knob->Value(), 0.0);
    e.view().ShowParamValue(engine::kMasterVolume, 0.5, false);
    EXPECT_DOUBLE_EQ(knob->Value(), 0.25);
    e.view().ShowParamValue(engine::kMasterVolume, 0.75, true);
    EXPECT_DOUBLE_EQ(knob->Value(), 0.75);

    // Negative ids and indices outside the table reach no control.
    graphics::Control* bank = e.Find(kIdBankNumber);
    e.view().OnTimer();
    e.view().ShowParamValue(kIdBankNumber, 1.0, true);
    e.view().ShowParamValue(91, 1.0, true);
    EXPECT_FALSE(bank->IsDirty());
    EXPECT_LT(bank->DefaultValue(), 0.0);

    // The host's setParameter lands in the knob the same way.
    e.host().SetParameter(engine::kMasterVolume, 0.125f);
    EXPECT_DOUBLE_EQ(knob->Value(), 0.125);
    // So does a program refresh after a direct change.
    e.plugin().GetParam(engine::kMasterVolume).SetClamped(1.5);
    e.plugin().RefreshParamControls();
    EXPECT_DOUBLE_EQ(knob->Value(), 0.75);
}

TEST(EditorBuild, ASwitchedOffOperatorIsWashedOutFromTheNextIdleCall) {
    EditorInstance e;
    const int enable2 = engine::OperatorParamIndex(2, engine::kOpEnable); // 40
    const graphics::Blend dodge(graphics::BlendMode::ColorDodge, 1.0);
    const graphics::Blend normal;
    e.plugin().SetParamFromEditor(enable2, 0.0);
    EXPECT_TRUE(e.plugin().Browser().needsRedraw);
    EXPECT_TRUE(SameBlend(e.view().Lookup(enable2 + 1)->GetBlend(), normal));

    e.plugin().IdleTick();
    EXPECT_FALSE(e.plugin().Browser().needsRedraw);
    EXPECT_TRUE(SameBlend(e.view().Lookup(engine::kOp1Wave + 1)->GetBlend(), dodge));
    for (int p = enable2 + 1; p < enable2 + 17; ++p)
        EXPECT_TRUE(SameBlend(e.view().Lookup(p)->GetBlend(), dodge)) << p;
    EXPECT_TRUE(SameBlend(e.view().Lookup(enable2)->GetBlend(), normal));
    EXPECT_TRUE(SameBlend(e.view().Lookup(enable2 - 1)->GetBlend(), normal));  // OP1's release
    EXPECT_TRUE(SameBlend(e.view().Lookup(enable2 + 17)->GetBlend(), normal)); // OP3's switch
    EXPECT_TRUE(SameBlend(e.view().Lookup(engine::kOp1Wave)->GetBlend(), normal));

    // Switched on again: back to normal at the next idle call, and only then.
    e.plugin().SetParamFromEditor(enable2, 1.0);
    EXPECT_TRUE(SameBlend(e.view().Lookup(enable2 + 1)->GetBlend(), dodge));
    e.plugin().IdleTick();
    EXPECT_TRUE(SameBlend(e.view().Lookup(enable2 + 1)->GetBlend(), normal));
}

TEST(EditorBuild, TheHostIsOfferedTheEditorAndAnOpenWithoutParentIsRefused) {
    EditorInstance e;
    EXPECT_NE(e.plugin().Editor(), nullptr);
    EXPECT_NE(e.host().Effect()->flags & vst2::effFlagsHasEditor, 0);
    vst2::ERect* rect = nullptr;
    ASSERT_EQ(e.host().Dispatch(vst2::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 968);
    EXPECT_EQ(rect->bottom - rect->top, 640);
    EXPECT_EQ(e.host().Dispatch(vst2::effEditOpen), 0);
    // The offscreen window stays open: the refused opcode did not close it.
    EXPECT_TRUE(e.view().IsWindowOpen());
}

TEST(EditorBuild, TheBrowserOverlayIsHiddenAtStartAndOpensAndClosesWithItsButtons) {
    EditorInstance e;
    for (int key = kFirstBrowserKey; key <= kLastBrowserKey; ++key) {
        graphics::Control* control = e.view().Lookup(key);
        if (!control) continue; // ids -108 (BROWSE) and the unused numbers have no key
        EXPECT_TRUE(control->IsHidden()) << key;
    }
    e.ClickAt(240, 90, editor_test::Left()); // BROWSE, painted on the background
    EXPECT_TRUE(e.view().IsBrowserShown());
    EXPECT_FALSE(e.view().Lookup(kLastBrowserKey)->IsHidden());
    // A click now lands on the overlay, not on the knob under it.
    EXPECT_EQ(e.view().GetControl(e.view().FindControl(70, 250)),
              e.view().Lookup(kFirstBankListKey + 1));
    e.ClickAt(940, 24, editor_test::Left()); // close
    EXPECT_FALSE(e.view().IsBrowserShown());
    EXPECT_TRUE(e.view().Lookup(kLastBrowserKey)->IsHidden());
}

TEST(EditorGolden, TheWholeEditorAtTheDefaultProgram) {
    EditorInstance e;
    e.plugin().SelectProgram(0);
    e.plugin().InitializeProgram();
    e.plugin().EditorOpened();
    e.plugin().IdleTick();
    editor_test::ExpectMatchesGoldenPicture(e.view().RenderAll(), "editor_default.png");
}
