// The UI embedded by suil with instance access: the editor opens on the plug-in instance itself,
// shows what the offscreen renderer draws for the instance's state, tells the host's ports the
// instance's values, and a knob drag reaches both the host's port and the instance.

#include "editor/FBKnobControl.h"
#include "engine/InstrumentParams.h"
#include "graphics/PngCodec.h"
#include "lv2/Lv2Identity.h"

#include "OffscreenReference.h"
#include "SuilEmbedding.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lv2_ui_test;

namespace {

constexpr std::uint32_t kVolumePort = lv2::kFirstParamPort + engine::kMasterVolume;
constexpr std::uint32_t kTunePort = lv2::kFirstParamPort + engine::kMasterTune;

TEST(Lv2UiWithInstanceAccess, TheEditorShowsTheInstanceAndTellsTheHostItsValues) {
    VORNA_LV2_REQUIRE_DISPLAY();
    Lv2PluginHost plugin(VORNA_LV2_BUNDLE_DIR);
    ASSERT_TRUE(plugin.Ready()) << plugin.Error();
    // The host moved two ports before the editor opened; the instance took them in run().
    plugin.SetControl(kVolumePort, 1.5f);
    plugin.SetControl(kTunePort, -0.5f);
    plugin.Run();
    std::vector<float> ports(plugin.PortCount());
    for (std::uint32_t p = 0; p < plugin.PortCount(); ++p) ports[p] = plugin.Control(p);

    SuilEmbedding ui(plugin, true);
    ASSERT_TRUE(ui.Ready()) << ui.Error();
    ASSERT_TRUE(ui.Error().empty()) << ui.Error();
    EXPECT_EQ(ui.RequestedWidth(), 968);
    EXPECT_EQ(ui.RequestedHeight(), 640);
    // The widget is the editor's own window, a child of the host's.
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(ui.display(), ui.Widget(), &root, &parent, &children, &count));
    if (children) XFree(children);
    EXPECT_EQ(parent, ui.Parent());

    // On open, each of the 91 parameters reported the instance's value to its port.
    for (int i = 0; i < engine::kParamCount; ++i) {
        const std::uint32_t port = lv2::kFirstParamPort + static_cast<std::uint32_t>(i);
        const std::vector<float> writes = ui.WritesTo(port);
        ASSERT_EQ(writes.size(), 1u) << "port " << port;
        EXPECT_NEAR(writes[0], ports[port], 1e-4 * (1.0 + std::fabs(ports[port])))
            << "port " << port;
    }
    EXPECT_EQ(ui.Writes().size(), static_cast<std::size_t>(engine::kParamCount));

    // The host's port values change nothing: the editor follows the instance.
    ui.SendAllPortValues();
    ASSERT_TRUE(ui.PumpFor(500));
    ui.ParkPointer();
    const graphics::Surface shown = ui.Capture();
    ASSERT_EQ(shown.Width(), 968);
    ASSERT_EQ(shown.Height(), 640);
    EXPECT_TRUE(graphics::SavePng(shown, "lv2-embedded-editor.png"));
    ASSERT_GT(CountDrawnPixels(shown), 968 * 640 / 2) << "the window shows no editor";

    OffscreenReference reference;
    for (std::uint32_t p = lv2::kFirstParamPort; p < plugin.PortCount(); ++p)
        if (ports[p] != plugin.Default(p))
            reference.SetParam(static_cast<int>(p - lv2::kFirstParamPort), ports[p]);
    const graphics::Surface expected = reference.Picture("lv2-offscreen-editor.png");
    ASSERT_GT(CountDrawnPixels(expected), 968 * 640 / 2);
    EXPECT_EQ(CountDifferentPixels(shown, expected), 0);
}

TEST(Lv2UiWithInstanceAccess, AKnobDragWritesTheVolumePortAndTheInstanceFollows) {
    VORNA_LV2_REQUIRE_DISPLAY();
    Lv2PluginHost plugin(VORNA_LV2_BUNDLE_DIR);
    ASSERT_TRUE(plugin.Ready()) << plugin.Error();
    const float before = plugin.Control(kVolumePort);
    const float quiet = plugin.PlayNote(60, 8);
    ASSERT_GT(quiet, 1e-3f) << "the plug-in plays nothing";

    OffscreenReference reference;
    const auto* knob = reference.Find<editor::FBKnobControl>(engine::kMasterVolume);
    ASSERT_NE(knob, nullptr);
    float dragged = 0.0f;
    {
        SuilEmbedding ui(plugin, true);
        ASSERT_TRUE(ui.Ready()) << ui.Error();
        ASSERT_TRUE(ui.PumpFor(300));
        ui.ClearRecords();
        ui.Drag(OffscreenReference::CenterX(*knob), OffscreenReference::CenterY(*knob), -10, 4);

        const std::vector<float> writes = ui.WritesTo(kVolumePort);
        ASSERT_FALSE(writes.empty()) << "the drag wrote nothing to the volume port";
        EXPECT_EQ(writes.size(), ui.Writes().size()) << "the drag wrote to other ports";
        dragged = writes.back();
        EXPECT_GT(dragged, before);
        // One gesture, as the host's automation sees it.
        const std::vector<Touch> touches = ui.Touches();
        ASSERT_GE(touches.size(), 2u);
        EXPECT_EQ(touches.front().port, kVolumePort);
        EXPECT_TRUE(touches.front().grabbed);
        EXPECT_EQ(touches.back().port, kVolumePort);
        EXPECT_FALSE(touches.back().grabbed);
    }
    // The instance took the value from the editor itself, before any run(): a new editor reports
    // it.
    {
        SuilEmbedding ui(plugin, true);
        ASSERT_TRUE(ui.Ready()) << ui.Error();
        const std::vector<float> writes = ui.WritesTo(kVolumePort);
        ASSERT_EQ(writes.size(), 1u);
        EXPECT_NEAR(writes[0], dragged, 1e-4);
    }
    // And it sounds louder.
    EXPECT_GT(plugin.PlayNote(60, 8), quiet * 1.1f);
}

} // namespace
