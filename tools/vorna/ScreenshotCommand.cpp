// vorna screenshot: loads the plug-in binary as a host does, has it draw its editor offscreen
// through Vorna's own exported render entry and writes the picture as a PNG file.

#include "Commands.h"

#include "PluginHost.h"
#include "platform/DynamicLibrary.h"

#include <cstdio>

namespace vorna_tool {

namespace {

using RenderEditorFunction = int (*)(vst2::AEffect*, const char*);

#if defined(VORNA_DEFAULT_PLUGIN)
const char* const kDefaultPlugin = VORNA_DEFAULT_PLUGIN;
#else
const char* const kDefaultPlugin = "";
#endif

} // namespace

int RunScreenshot(const std::vector<std::string>& arguments) {
    if (arguments.empty() || arguments.size() > 2 || (arguments.size() == 1 && !*kDefaultPlugin)) {
        std::fprintf(stderr, "usage: vorna screenshot <out.png> [plugin binary]\n");
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
    if (library.Open(plugin)) render = library.Function<RenderEditorFunction>("VornaRenderEditor");
    if (!render) {
        std::fprintf(stderr, "vorna: %s has no offscreen editor render\n", plugin.c_str());
        return 1;
    }
    host.Dispatch(vst2::effOpen);
    host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.Dispatch(vst2::effSetBlockSize, 0, 512);
    if (!render(host.Effect(), output.c_str())) {
        std::fprintf(stderr, "vorna: cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("Wrote %s\n", output.c_str());
    return 0;
}

} // namespace vorna_tool
