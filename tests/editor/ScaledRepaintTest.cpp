// A window asks the editor to repaint device areas of any size and place (an expose after
// another window moved away): at every offered size each pixel of the area is drawn afresh and
// copied to the screen, also where the area starts or ends inside an editor unit.

#include "VornEditorSupport.h"

#include "editor/FBKnobControl.h"
#include "engine/InstrumentParams.h"
#include "graphics/Scale.h"

#include <gtest/gtest.h>

using editor_test::EditorInstance;

TEST(ScaledRepaint, EveryDevicePixelOfARepaintedAreaShowsTheNewPicture) {
    EditorInstance e;
    for (int percent : {100, 125, 150, 175, 200}) {
        SCOPED_TRACE(percent);
        e.ReopenAtScale(percent);
        auto* knob = e.Find<editor::FBKnobControl>(engine::kMasterVolume);
        ASSERT_NE(knob, nullptr);
        const graphics::Rect device = graphics::ScaleRect(knob->DrawRect(), percent);
        // The whole picture with the knob at each end of its range.
        graphics::Surface pictures[2];
        for (int end = 0; end < 2; ++end) {
            e.view().ShowParamValue(engine::kMasterVolume, end, true);
            pictures[end] = e.view().RenderAll();
        }
        int changed = 0;
        for (int y = device.top; y < device.bottom; ++y)
            for (int x = device.left; x < device.right; ++x)
                changed += pictures[0].Pixel(x, y) != pictures[1].Pixel(x, y) ? 1 : 0;
        ASSERT_GT(changed, device.Width());
        // One-pixel columns and rows at every device position across the knob, so that every
        // way a pixel can lie inside its unit is met; the knob turns to its other end before
        // each, so a pixel left out still shows the end before.
        int end = 1;
        for (int x = device.left; x < device.right; ++x) {
            end = 1 - end;
            e.view().ShowParamValue(engine::kMasterVolume, end, true);
            e.view().OnPaint(graphics::Rect(x, device.top, x + 1, device.bottom));
            for (int y = device.top; y < device.bottom; ++y)
                ASSERT_EQ(e.window().Screen().Pixel(x, y), pictures[end].Pixel(x, y))
                    << "column " << x << ", pixel row " << y << " not repainted";
        }
        for (int y = device.top; y < device.bottom; ++y) {
            end = 1 - end;
            e.view().ShowParamValue(engine::kMasterVolume, end, true);
            e.view().OnPaint(graphics::Rect(device.left, y, device.right, y + 1));
            for (int x = device.left; x < device.right; ++x)
                ASSERT_EQ(e.window().Screen().Pixel(x, y), pictures[end].Pixel(x, y))
                    << "row " << y << ", pixel column " << x << " not repainted";
        }
    }
}
