// The offscreen render entry of the built plug-in binary, loaded as `vorna screenshot` loads it.

#include "PluginHost.h"
#include "graphics/PngCodec.h"
#include "platform/DynamicLibrary.h"

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
