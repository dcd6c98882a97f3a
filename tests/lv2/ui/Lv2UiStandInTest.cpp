// The UI embedded by suil without instance access: the editor opens on a stand-in that shows the
// host's port values, writes what it edits, and answers the commands on programs with a message
// instead of acting (a zenity stand-in records the message boxes).

#include "editor/ControlLayout.h"
#include "editor/FBKnobControl.h"
#include "editor/FBSwitchMidiLearn.h"
#include "editor/FBUtilityKick.h"
#include "engine/InstrumentParams.h"
#include "graphics/PngCodec.h"
#include "lv2/Lv2Identity.h"
#include "window/x11menus/DialogTestSupport.h"

#include "OffscreenReference.h"
#include "SuilEmbedding.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lv2_ui_test;

namespace {

constexpr std::uint32_t kVolumePort = lv2::kFirstParamPort + engine::kMasterVolume;
constexpr const char* kRefusal =
    "--text=This needs a host that gives the editor access to the plug-in (LV2 instance access).";

bool AsksWithRefusal(const std::vector<std::string>& call) {
    return std::find(call.begin(), call.end(), kRefusal) != call.end();
}

TEST(Lv2UiWithoutInstanceAccess, TheStandInShowsThePortsWritesItsEditsAndRefusesPrograms) {
    VORNA_LV2_REQUIRE_DISPLAY();
    x11menus_test::TempFolder temp;
    ASSERT_FALSE(temp.Path().empty());
    x11menus_test::StandIn zenity(temp, "zenity");
    x11menus_test::ScopedPath path(zenity.Folder());

    Lv2PluginHost plugin(VORNA_LV2_BUNDLE_DIR);
    ASSERT_TRUE(plugin.Ready()) << plugin.Error();
    // The host's ports, which the plug-in (never run here) has not even seen.
    plugin.SetControl(kVolumePort, 0.5f);
    plugin.SetControl(lv2::kFirstParamPort + engine::kMasterTune, 0.75f);
    plugin.SetControl(lv2::kFirstParamPort + engine::kAlgorithm, 3.0f);

    SuilEmbedding ui(plugin, false);
    ASSERT_TRUE(ui.Ready()) << ui.Error();
    ASSERT_TRUE(ui.Error().empty()) << ui.Error();
    EXPECT_EQ(ui.RequestedWidth(), 968);
    ui.SendAllPortValues();
    ASSERT_TRUE(ui.PumpFor(500));
    // The stand-in's own program is not the plug-in's: nothing of it reached the host.
    EXPECT_TRUE(ui.Writes().empty());

    ui.ParkPointer();
    const graphics::Surface shown = ui.Capture();
    EXPECT_TRUE(graphics::SavePng(shown, "lv2-standin-editor.png"));
    ASSERT_GT(CountDrawnPixels(shown), 968 * 640 / 2) << "the window shows no editor";
    OffscreenReference reference;
    for (std::uint32_t p = lv2::kFirstParamPort; p < plugin.PortCount(); ++p)
        if (plugin.Control(p) != plugin.Default(p))
            reference.SetParam(static_cast<int>(p - lv2::kFirstParamPort), plugin.Control(p));
    const graphics::Surface expected = reference.Picture("lv2-standin-offscreen-editor.png");
    ASSERT_GT(CountDrawnPixels(expected), 968 * 640 / 2);
    EXPECT_EQ(CountDifferentPixels(shown, expected), 0);

    // A knob drag writes the port.
    const auto* knob = reference.Find<editor::FBKnobControl>(engine::kMasterVolume);
    ASSERT_NE(knob, nullptr);
    ui.Drag(OffscreenReference::CenterX(*knob), OffscreenReference::CenterY(*knob), -10, 4);
    const std::vector<float> writes = ui.WritesTo(kVolumePort);
    ASSERT_FALSE(writes.empty()) << "the drag wrote nothing to the volume port";
    EXPECT_EQ(writes.size(), ui.Writes().size());
    EXPECT_GT(writes.back(), 0.5f);
    EXPECT_EQ(plugin.Control(kVolumePort), writes.back());

    // A port the host changes shows at once.
    ui.SendPortValue(kVolumePort, 2.0f);
    ui.ClearRecords();
    ui.ParkPointer();
    reference.SetParam(engine::kMasterVolume, 2.0f);
    EXPECT_EQ(CountDifferentPixels(ui.Capture(), reference.Picture("lv2-standin-after.png")), 0);

    // The program arrow, the browser, MIDI learn and copy say what they need and change nothing.
    const auto* next = reference.Find<editor::FBUtilityKick>(editor::kIdNextProgram);
    const auto* browse = reference.Find<editor::FBUtilityKick>(editor::kIdBrowse);
    const auto* learn = reference.FindFirst<editor::FBSwitchMidiLearn>();
    const auto* copy = reference.Find<editor::FBUtilityKick>(editor::kIdCopy);
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(next, nullptr);
    ASSERT_NE(browse, nullptr);
    ASSERT_NE(learn, nullptr);
    ui.Click(OffscreenReference::CenterX(*next), OffscreenReference::CenterY(*next));
    ASSERT_EQ(zenity.Calls().size(), 1u) << "no message for the program arrow";
    EXPECT_TRUE(AsksWithRefusal(zenity.LastCall()));
    ui.Click(OffscreenReference::CenterX(*browse), OffscreenReference::CenterY(*browse));
    ASSERT_EQ(zenity.Calls().size(), 2u) << "no message for the browser";
    EXPECT_TRUE(AsksWithRefusal(zenity.LastCall()));
    ui.Click(OffscreenReference::CenterX(*learn), OffscreenReference::CenterY(*learn));
    ASSERT_EQ(zenity.Calls().size(), 3u) << "no message for MIDI learn";
    EXPECT_TRUE(AsksWithRefusal(zenity.LastCall()));
    // The copy button acts on its press and its release: one message all the same.
    ui.Click(OffscreenReference::CenterX(*copy), OffscreenReference::CenterY(*copy));
    ASSERT_EQ(zenity.Calls().size(), 4u) << "not one message for the copy button";
    EXPECT_TRUE(AsksWithRefusal(zenity.LastCall()));
    // A program recalled would have written all 91 ports; the browser would cover the knobs, and
    // the learn switch, clicked on, is to be off again.
    EXPECT_TRUE(ui.Writes().empty());
    ui.ParkPointer();
    EXPECT_EQ(CountDifferentPixels(ui.Capture(), reference.Picture("lv2-standin-after.png")), 0);
}

} // namespace
