// The offscreen render entry of the built plug-in binary, loaded as `vorna screenshot` loads it.

#include "PluginHost.h"
#include "editor/ControlLayout.h"
#include "editor/ImageTable.h"
#include "graphics/PngCodec.h"
#include "platform/DynamicLibrary.h"
#include "platform/Resources.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

using RenderEditorFunction = int (*)(vst2::AEffect*, const char*);

struct LoadedPlugin {
    LoadedPlugin() {
        EXPECT_TRUE(host.Load(VORNA_PLUGIN_FILE)) << host.Error();
        EXPECT_TRUE(library.Open(VORNA_PLUGIN_FILE)) << library.Error();
        render = library.Function<RenderEditorFunction>("VornaRenderEditor");
    }
    hostkit::PluginHost host;
    platform::DynamicLibrary library;
    RenderEditorFunction render = nullptr;
};

// The picture shows the editor, not an empty or black frame: most of it is the background image
// itself, and the knobs are drawn over it.
void ExpectTheEditorPanel(const graphics::Surface& picture) {
    platform::Resource resource;
    ASSERT_TRUE(
        platform::FindResource("PNG", editor::FindImage(editor::kImageBack)->key, resource));
    graphics::Surface back;
    ASSERT_TRUE(graphics::DecodePng(resource.data, resource.size, back));
    ASSERT_EQ(back.Width(), picture.Width());
    ASSERT_EQ(back.Height(), picture.Height());
    std::size_t same = 0;
    for (std::size_t i = 0; i < back.Pixels().size(); ++i)
        same += back.Pixels()[i] == picture.Pixels()[i];
    EXPECT_GT(same, back.Pixels().size() / 2) << "the background does not show";

    int knobs = 0;
    for (const editor::ControlSpec& control : editor::EditorControls()) {
        if (control.image != editor::kImageKnob || control.section == editor::Section::Browser)
            continue;
        const graphics::Rect& r = control.rect;
        int drawn = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) drawn += picture.Pixel(x, y) != back.Pixel(x, y);
        EXPECT_GT(drawn, r.Width() * r.Height() / 10)
            << "no knob drawn at " << r.left << ", " << r.top;
        ++knobs;
    }
    EXPECT_GT(knobs, 10);
}

} // namespace

TEST(RenderEntry, WritesTheEditorAsA968By640Png) {
    LoadedPlugin plugin;
    ASSERT_NE(plugin.render, nullptr);
    plugin.host.Dispatch(vst2::effOpen);
    const char* path = "render-entry.png";
    std::remove(path);
    ASSERT_EQ(plugin.render(plugin.host.Effect(), path), 1);
    std::ifstream file(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    graphics::Surface picture;
    ASSERT_TRUE(graphics::DecodePng(bytes.data(), bytes.size(), picture));
    EXPECT_EQ(picture.Width(), 968);
    EXPECT_EQ(picture.Height(), 640);
    // Opaque everywhere: the background, or black where nothing is drawn yet.
    for (std::uint32_t pixel : picture.Pixels()) ASSERT_EQ(pixel >> 24, 0xFFu);
    ExpectTheEditorPanel(picture);

    // The entry leaves the editor closed, as it found it: the host can still open it.
    EXPECT_EQ(plugin.render(plugin.host.Effect(), path), 1);
}

TEST(RenderEntry, RefusesMissingArgumentsAndUnwritablePaths) {
    LoadedPlugin plugin;
    ASSERT_NE(plugin.render, nullptr);
    EXPECT_EQ(plugin.render(nullptr, "x.png"), 0);
    EXPECT_EQ(plugin.render(plugin.host.Effect(), nullptr), 0);
    EXPECT_EQ(plugin.render(plugin.host.Effect(), ""), 0);
    EXPECT_EQ(plugin.render(plugin.host.Effect(), "/nonexistent-folder/deeper/x.png"), 0);
}
