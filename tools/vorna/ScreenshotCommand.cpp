// vorna screenshot: loads the plug-in binary as a host does, has it draw its editor offscreen
// through Vorna's own exported render entry and writes the picture as a PNG file.

#include "Commands.h"

#include "PluginHost.h"
#include "graphics/Scale.h"
#include "platform/DynamicLibrary.h"

#include <cstdio>
#include <string>

namespace vorna_tool {

namespace {

using RenderEditorFunction = int (*)(vst2::AEffect*, const char*, int);

constexpr const char* kUsage =
    "usage: vorna screenshot <out.png> [plugin binary] [--scale PERCENT]\n";

// "--scale PERCENT" anywhere after the output name; the editor's sizes only.
bool TakeScale(std::vector<std::string>& arguments, int& percent) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] != "--scale") continue;
        if (i + 1 >= arguments.size()) return false;
        const std::string& text = arguments[i + 1];
        percent = 0;
        for (int offered : graphics::kScalePercents)
            if (text == std::to_string(offered)) percent = offered;
        if (percent == 0) return false;
        arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i),
                        arguments.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        return true;
    }
    return true;
}

#if defined(VORNA_DEFAULT_PLUGIN)
const char* const kDefaultPlugin = VORNA_DEFAULT_PLUGIN;
#else
const char* const kDefaultPlugin = "";
#endif

} // namespace

int RunScreenshot(const std::vector<std::string>& given) {
    std::vector<std::string> arguments = given;
    int scale = 0; // the editor's own size
    if (!TakeScale(arguments, scale)) {
        std::fprintf(stderr, "vorna: the scale is one of 100, 125, 150, 175 and 200\n%s", kUsage);
        return 2;
    }
    if (arguments.empty() || arguments.size() > 2 || (arguments.size() == 1 && !*kDefaultPlugin)) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    const std::string& output = arguments[0];
    std::string plugin = PluginPath(arguments.size() == 2 ? arguments[1] : kDefaultPlugin);

    hostkit::PluginHost host;
    if (!host.Load(plugin)) {
        std::fprintf(stderr, "vorna: %s\n", host.Error().c_str());
        return 1;
    }
    // The same binary again: the OS hands back the already loaded library.
    platform::DynamicLibrary library;
    RenderEditorFunction render = nullptr;
    if (library.Open(plugin))
        render = library.Function<RenderEditorFunction>("VornaRenderEditorAtScale");
    if (!render) {
        std::fprintf(stderr, "vorna: %s has no offscreen editor render\n", plugin.c_str());
        return 1;
    }
    host.Dispatch(vst2::effOpen);
    host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.Dispatch(vst2::effSetBlockSize, 0, 512);
    if (!render(host.Effect(), output.c_str(), scale)) {
        std::fprintf(stderr, "vorna: cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("Wrote %s\n", output.c_str());
    return 0;
}

} // namespace vorna_tool
