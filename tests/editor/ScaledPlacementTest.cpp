// Every control draws at its scaled place and size: drawn alone onto a transparent surface at
// each larger size, the box of its ink is its 100 % ink box scaled, within a few device pixels
// (texts and the stand-in images round on their own). A control that drew at unscaled
// coordinates, or an image or text left at its 100 % size, lands elsewhere.

#include "InkSupport.h"

#include "graphics/Scale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using editor_test::EditorInstance;
using namespace editor_test;

namespace {

// Draws the control alone on the surface (at the surface's scale) around its rectangle.
Ink InkOfControl(graphics::Control* control, graphics::Surface& surface) {
    const graphics::Rect r = control->DrawRect();
    const int margin = 40;
    surface.SetClip(
        graphics::Rect(r.left - margin, r.top - margin, r.right + margin, r.bottom + margin));
    surface.Clear(graphics::Color(0, 0, 0, 0));
    control->Draw(surface);
    // The surface was transparent inside the clip: whatever is not is the control's.
    return InkWhere(surface, surface.Clip(),
                    [&](int x, int y) { return surface.Pixel(x, y) != 0; });
}

// The largest distance between the edges of two boxes.
int EdgeDistance(const graphics::Rect& a, const graphics::Rect& b) {
    return std::max({std::abs(a.left - b.left), std::abs(a.top - b.top),
                     std::abs(a.right - b.right), std::abs(a.bottom - b.bottom)});
}

// Texts rasterised at another size end a pixel or two from where their 100 % ink scales to.
constexpr int kTolerance = 2;

// Every control that draws anything in the editor's present state, at each larger size; answers
// how many controls drew.
int ExpectEveryControlDrawsScaled(EditorInstance& e) {
    const int count = e.view().ControlCount();
    std::vector<Ink> base(static_cast<std::size_t>(count));
    graphics::Surface at100(968, 640);
    int inked = 0;
    for (int i = 1; i < count; ++i) {
        base[static_cast<std::size_t>(i)] = InkOfControl(e.view().GetControl(i), at100);
        inked += base[static_cast<std::size_t>(i)].any ? 1 : 0;
    }
    for (int percent : {125, 150, 175, 200}) {
        SCOPED_TRACE(percent);
        graphics::Surface surface(graphics::ScaleLength(968, percent),
                                  graphics::ScaleLength(640, percent));
        surface.SetScale(percent);
        for (int i = 1; i < count; ++i) {
            const Ink& ink100 = base[static_cast<std::size_t>(i)];
            if (!ink100.any) continue;
            graphics::Control* control = e.view().GetControl(i);
            const Ink ink = InkOfControl(control, surface);
            const graphics::Rect expected = graphics::ScaleRect(ink100.box, percent);
            EXPECT_TRUE(ink.any) << "control " << i << " (id " << control->ParamIndex()
                                 << ") draws nothing";
            if (!ink.any) continue;
            EXPECT_LE(EdgeDistance(ink.box, expected), kTolerance)
                << "control " << i << " (id " << control->ParamIndex() << ") at "
                << Describe(control->DrawRect()) << " draws " << Describe(ink.box)
                << " where its 100 % ink scaled is " << Describe(expected);
        }
    }
    return inked;
}

} // namespace

TEST(ScaledPlacement, EveryControlDrawsItsInkAtTheScaledPlaceAndSize) {
    EditorInstance e;
    // The main view (the browser's controls draw nothing before it is opened).
    EXPECT_GE(ExpectEveryControlDrawsScaled(e), 100);
    // The browser open over it, its lists filled, and every knob showing its value on its disc.
    e.ClickAt(240, 90, editor_test::Left()); // BROWSE
    ASSERT_TRUE(e.view().IsBrowserShown());
    e.plugin().Settings().showAllKnobValues = true;
    EXPECT_GE(ExpectEveryControlDrawsScaled(e), 300);
}

// The check's own check: a knob drawn unscaled into the 200 % picture is told apart.
TEST(ScaledPlacement, AControlDrawnUnscaledIsFarFromItsScaledPlace) {
    EditorInstance e;
    graphics::Control* knob = e.Find(0);
    ASSERT_NE(knob, nullptr);
    graphics::Surface at100(968, 640);
    const Ink base = InkOfControl(knob, at100);
    ASSERT_TRUE(base.any);
    graphics::Surface unscaled(1936, 1280); // the 200 % size, its scale left at 100 %
    const Ink ink = InkOfControl(knob, unscaled);
    ASSERT_TRUE(ink.any);
    EXPECT_GT(EdgeDistance(ink.box, graphics::ScaleRect(base.box, 200)), 10 * kTolerance);
}
