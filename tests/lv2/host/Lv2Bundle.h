#pragma once
// The built bundle as a host sees it: a lilv world that holds only this bundle (whatever LV2_PATH
// says), the plug-in found by its URI, its ports and its presets as the bundle's data describe
// them, and the URID table that all instances share.

#include "UridMap.h"

#include <lilv/lilv.h>

#include <memory>
#include <string>
#include <vector>

namespace lv2_test {

struct ScalePoint {
    std::string label;
    float value = 0.0f;
};

struct PortInfo {
    std::uint32_t index = 0;
    std::string symbol;
    std::string name;
    bool isInput = false;
    bool isControl = false;
    bool isAudio = false;
    bool isAtom = false;
    bool isInteger = false;
    bool isEnumeration = false;
    float minimum = 0.0f;
    float maximum = 1.0f;
    float defaultValue = 0.0f;
    std::vector<ScalePoint> scalePoints;
};

struct PresetInfo {
    std::string uri;
    std::string label;
};

class Lv2Bundle {
public:
    // bundleFolder: the built bundle's folder (with or without a final slash).
    Lv2Bundle(const std::string& bundleFolder, const std::string& pluginUri);
    ~Lv2Bundle();
    Lv2Bundle(const Lv2Bundle&) = delete;
    Lv2Bundle& operator=(const Lv2Bundle&) = delete;

    bool Ok() const { return plugin_ != nullptr; }
    const std::string& Error() const { return error_; }

    LilvWorld* World() const { return world_; }
    const LilvPlugin* Plugin() const { return plugin_; }
    UridMap& Urids() { return urids_; }
    const std::string& Folder() const { return folder_; }

    const std::vector<PortInfo>& Ports() const { return ports_; }
    // The control input whose name is exactly name, else null.
    const PortInfo* PortNamed(const std::string& name) const;
    // Every preset of the plug-in, each loaded, in the order lilv lists them.
    const std::vector<PresetInfo>& Presets();

    // A node made from a URI, freed with the bundle.
    const LilvNode* Uri(const char* uri);

private:
    void ReadPorts();

    std::string folder_;
    std::string error_;
    UridMap urids_;
    LilvWorld* world_ = nullptr;
    const LilvPlugin* plugin_ = nullptr;
    std::vector<PortInfo> ports_;
    std::vector<PresetInfo> presets_;
    bool presetsRead_ = false;
    std::vector<LilvNode*> nodes_;
};

} // namespace lv2_test
