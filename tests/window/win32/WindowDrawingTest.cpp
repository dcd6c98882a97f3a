// The editor window in a host's frame: its place, its class, and the pixels it shows after the
// first redraw ticks, which equal the offscreen render of the same editor state.

#include "WindowTestSupport.h"
#include "graphics/PngCodec.h"

#include <gtest/gtest.h>

namespace window_test {

using EditorWindowDrawing = EditorWindowTest;

TEST_F(EditorWindowDrawing, OpensAsAChildOfTheFrameAtTheEditorSize) {
    EXPECT_TRUE(host.host.Effect()->flags & vst2::effFlagsHasEditor);
    vst2::ERect* rect = nullptr;
    ASSERT_EQ(host.host.Dispatch(vst2::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 968);
    EXPECT_EQ(rect->bottom - rect->top, 640);

    ASSERT_EQ(host.OpenEditor(), 1);
    HWND editor = host.Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(GetParent(editor), host.Frame());
    LONG_PTR style = GetWindowLongPtrW(editor, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_TRUE(style & WS_VISIBLE);
    RECT client = {};
    GetClientRect(editor, &client);
    EXPECT_EQ(client.right, 968);
    EXPECT_EQ(client.bottom, 640);
    POINT corner = {0, 0};
    MapWindowPoints(editor, host.Frame(), &corner, 1);
    EXPECT_EQ(corner.x, 0);
    EXPECT_EQ(corner.y, 0);
    EXPECT_EQ(GetClassLongPtrW(editor, GCL_STYLE) & CS_DBLCLKS, static_cast<ULONG_PTR>(CS_DBLCLKS));
    EXPECT_EQ(GetFocus(), editor);
}

TEST_F(EditorWindowDrawing, ShowsWhatTheOffscreenRenderDraws) {
    host.PointAway();
    ASSERT_EQ(host.OpenEditor(), 1);
    host.Pump(300);
    graphics::Surface shown = host.Capture();
    ASSERT_EQ(shown.Width(), 968);
    ASSERT_EQ(shown.Height(), 640);
    ASSERT_TRUE(graphics::SavePng(shown, "window-capture.png"));

    // There is a picture: many colours, not one background fill.
    std::uint32_t first = shown.Pixel(0, 0);
    int differing = 0;
    for (std::uint32_t pixel : shown.Pixels()) differing += pixel != first ? 1 : 0;
    ASSERT_GT(differing, 968 * 640 / 4);

    graphics::Surface rendered;
    ASSERT_TRUE(host.RenderOffscreen(rendered, "window-offscreen.png"));
    EXPECT_EQ(Mismatches(shown, rendered), "");

    // A knob turned by the wheel repaints only its own area, at its place.
    const graphics::Surface unturned = shown;
    host.Wheel(kVolumeKnob.x, kVolumeKnob.y, -600);
    host.Pump(150);
    shown = host.Capture();
    ASSERT_NE(Mismatches(shown, unturned), "");
    ASSERT_TRUE(host.RenderOffscreen(rendered, "window-offscreen-turned.png"));
    EXPECT_EQ(Mismatches(shown, rendered), "");
}

} // namespace window_test
