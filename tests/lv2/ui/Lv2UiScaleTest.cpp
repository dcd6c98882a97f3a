// The embedded editor at a size chosen in the configuration file: the UI asks the host for the
// scaled size through the resize feature, and the window shows what the offscreen renderer draws
// at that size.

#include "graphics/PngCodec.h"
#include "platform/Files.h"
#include "platform/UserFolders.h"
#include "window/x11menus/DialogTestSupport.h"

#include "OffscreenReference.h"
#include "SuilEmbedding.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace lv2_ui_test;

namespace {

// Points the instances made meanwhile at a configuration file of their own.
class ConfigurationHome {
public:
    explicit ConfigurationHome(const std::string& ini) {
        const char* saved = std::getenv("XDG_DATA_HOME");
        hadSaved_ = saved != nullptr;
        if (saved) saved_ = saved;
        const std::string folder = platform::JoinPath(temp_.Path(), "TarnwellMusic");
        platform::CreateFolder(folder);
        platform::WriteFileSafely(platform::JoinPath(folder, "vorn.ini"), ini.data(), ini.size());
        setenv("XDG_DATA_HOME", temp_.Path().c_str(), 1);
    }
    ~ConfigurationHome() {
        if (hadSaved_)
            setenv("XDG_DATA_HOME", saved_.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }

private:
    x11menus_test::TempFolder temp_;
    std::string saved_;
    bool hadSaved_ = false;
};

TEST(Lv2UiScale, TheEditorOpensAtTheChosenSizeAndAsksTheHostForIt) {
    VORNA_LV2_REQUIRE_DISPLAY();
    ConfigurationHome home("[Editor]\nEditor Size=150\n");
    Lv2PluginHost plugin(VORNA_LV2_BUNDLE_DIR);
    ASSERT_TRUE(plugin.Ready()) << plugin.Error();
    plugin.Run();

    SuilEmbedding ui(plugin, true);
    ASSERT_TRUE(ui.Ready()) << ui.Error();
    EXPECT_EQ(ui.RequestedWidth(), 1452);
    EXPECT_EQ(ui.RequestedHeight(), 960);
    ASSERT_TRUE(ui.PumpFor(500));
    ui.ParkPointer();
    const graphics::Surface shown = ui.Capture();
    ASSERT_EQ(shown.Width(), 1452);
    ASSERT_EQ(shown.Height(), 960);
    EXPECT_TRUE(graphics::SavePng(shown, "lv2-embedded-editor-150.png"));
    ASSERT_GT(CountDrawnPixels(shown), 1452 * 960 / 2) << "the window shows no editor";

    OffscreenReference reference;
    const graphics::Surface expected = reference.Picture("lv2-offscreen-editor-150.png");
    ASSERT_EQ(expected.Width(), 1452);
    EXPECT_EQ(CountDifferentPixels(shown, expected), 0);
}

} // namespace
