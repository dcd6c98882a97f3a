// vorna_lv2ttl BUNDLE_FOLDER DEFAULTS_SOURCE: writes the LV2 bundle's description (manifest.ttl,
// Vorn.ttl, presets.ttl) and the ports' defaults for the plug-in binary, from a plug-in instance
// made here. Run by the build with private data and config folders, so that the start-up set is
// the factory one whatever the user's settings hold. A file whose text is unchanged is not
// rewritten, so that nothing rebuilds for nothing.

#include "PortTable.h"
#include "TtlWriter.h"

#include "host/PluginFactory.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

bool WriteIfChanged(const std::string& path, const std::string& text) {
    std::ifstream old(path, std::ios::binary);
    if (old) {
        std::ostringstream current;
        current << old.rdbuf();
        if (current.str() == text) return true;
    }
    std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.good()) return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vorna_lv2ttl BUNDLE_FOLDER DEFAULTS_SOURCE\n");
        return 2;
    }
    std::string folder = argv[1];
    std::unique_ptr<host::PluginBase> plugin = host::CreatePlugin(host::PluginSetup{});
    if (!plugin) {
        std::fprintf(stderr, "vorna_lv2ttl: no plug-in instance\n");
        return 1;
    }
    plugin->FillEmptyPresets();
    std::string error;
    std::vector<lv2ttl::ControlPort> ports = lv2ttl::ReadControlPorts(*plugin, error);
    if (ports.empty()) {
        std::fprintf(stderr, "vorna_lv2ttl: %s\n", error.c_str());
        return 1;
    }
    std::vector<lv2ttl::ProgramPreset> programs = lv2ttl::ReadPrograms(*plugin);
    lv2ttl::BundleText bundle = lv2ttl::WriteBundle(ports, programs, plugin->EffectName(),
                                                    plugin->VendorName(), plugin->DecimalVersion());
    bool ok = WriteIfChanged(folder + "/manifest.ttl", bundle.manifest) &&
              WriteIfChanged(folder + "/Vorn.ttl", bundle.plugin) &&
              WriteIfChanged(folder + "/presets.ttl", bundle.presets) &&
              WriteIfChanged(argv[2], bundle.defaultsSource);
    if (!ok) {
        std::fprintf(stderr, "vorna_lv2ttl: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
