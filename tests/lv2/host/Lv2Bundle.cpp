#include "Lv2Bundle.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/port-props/port-props.h>
#include <lv2/presets/presets.h>

#include <algorithm>

namespace lv2_test {

namespace {

// Takes a node that lilv handed over, and gives its text (empty for none).
std::string TakeString(LilvNode* node) {
    std::string text = node && (lilv_node_is_string(node) || lilv_node_is_uri(node))
                           ? lilv_node_as_string(node)
                           : "";
    lilv_node_free(node);
    return text;
}

float TakeFloat(LilvNode* node, float fallback) {
    float value = node && (lilv_node_is_float(node) || lilv_node_is_int(node))
                      ? lilv_node_as_float(node)
                      : fallback;
    lilv_node_free(node);
    return value;
}

} // namespace

Lv2Bundle::Lv2Bundle(const std::string& bundleFolder, const std::string& pluginUri)
    : folder_(bundleFolder) {
    if (folder_.empty() || folder_.back() != '/') folder_ += '/';
    world_ = lilv_world_new();
    if (!world_) {
        error_ = "lilv_world_new failed";
        return;
    }
    LilvNode* bundle = lilv_new_file_uri(world_, nullptr, folder_.c_str());
    std::string bundleUri = lilv_node_as_uri(bundle);
    lilv_node_free(bundle);
    // lilv takes a bundle URI only with its final slash.
    if (bundleUri.back() != '/') bundleUri += '/';
    LilvNode* bundleNode = lilv_new_uri(world_, bundleUri.c_str());
    lilv_world_load_bundle(world_, bundleNode);
    lilv_node_free(bundleNode);

    const LilvPlugins* plugins = lilv_world_get_all_plugins(world_);
    plugin_ = lilv_plugins_get_by_uri(plugins, Uri(pluginUri.c_str()));
    if (!plugin_) {
        error_ = "no plug-in " + pluginUri + " in " + folder_;
        return;
    }
    ReadPorts();
}

Lv2Bundle::~Lv2Bundle() {
    for (LilvNode* node : nodes_) lilv_node_free(node);
    if (world_) lilv_world_free(world_);
}

const LilvNode* Lv2Bundle::Uri(const char* uri) {
    nodes_.push_back(lilv_new_uri(world_, uri));
    return nodes_.back();
}

void Lv2Bundle::ReadPorts() {
    const LilvNode* inputClass = Uri(LV2_CORE__InputPort);
    const LilvNode* controlClass = Uri(LV2_CORE__ControlPort);
    const LilvNode* audioClass = Uri(LV2_CORE__AudioPort);
    const LilvNode* atomClass = Uri(LV2_ATOM__AtomPort);
    const LilvNode* integer = Uri(LV2_CORE__integer);
    const LilvNode* enumeration = Uri(LV2_CORE__enumeration);
    std::uint32_t count = lilv_plugin_get_num_ports(plugin_);
    for (std::uint32_t i = 0; i < count; ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin_, i);
        PortInfo info;
        info.index = i;
        info.symbol = lilv_node_as_string(lilv_port_get_symbol(plugin_, port));
        info.name = TakeString(lilv_port_get_name(plugin_, port));
        info.isInput = lilv_port_is_a(plugin_, port, inputClass);
        info.isControl = lilv_port_is_a(plugin_, port, controlClass);
        info.isAudio = lilv_port_is_a(plugin_, port, audioClass);
        info.isAtom = lilv_port_is_a(plugin_, port, atomClass);
        info.isInteger = lilv_port_has_property(plugin_, port, integer);
        info.isEnumeration = lilv_port_has_property(plugin_, port, enumeration);
        LilvNode* defaultNode = nullptr;
        LilvNode* minimumNode = nullptr;
        LilvNode* maximumNode = nullptr;
        lilv_port_get_range(plugin_, port, &defaultNode, &minimumNode, &maximumNode);
        info.defaultValue = TakeFloat(defaultNode, 0.0f);
        info.minimum = TakeFloat(minimumNode, 0.0f);
        info.maximum = TakeFloat(maximumNode, 1.0f);
        if (LilvScalePoints* points = lilv_port_get_scale_points(plugin_, port)) {
            LILV_FOREACH(scale_points, it, points) {
                const LilvScalePoint* point = lilv_scale_points_get(points, it);
                info.scalePoints.push_back(
                    ScalePoint{lilv_node_as_string(lilv_scale_point_get_label(point)),
                               lilv_node_as_float(lilv_scale_point_get_value(point))});
            }
            lilv_scale_points_free(points);
            // lilv keeps scale points in no particular order; by value they read as the texts do.
            std::stable_sort(
                info.scalePoints.begin(), info.scalePoints.end(),
                [](const ScalePoint& a, const ScalePoint& b) { return a.value < b.value; });
        }
        ports_.push_back(std::move(info));
    }
}

const PortInfo* Lv2Bundle::PortNamed(const std::string& name) const {
    for (const PortInfo& port : ports_)
        if (port.isControl && port.isInput && port.name == name) return &port;
    return nullptr;
}

const std::vector<PresetInfo>& Lv2Bundle::Presets() {
    if (presetsRead_ || !plugin_) return presets_;
    presetsRead_ = true;
    const LilvNode* label = Uri(LILV_NS_RDFS "label");
    LilvNodes* related = lilv_plugin_get_related(plugin_, Uri(LV2_PRESETS__Preset));
    LILV_FOREACH(nodes, it, related) {
        const LilvNode* preset = lilv_nodes_get(related, it);
        lilv_world_load_resource(world_, preset);
        PresetInfo info;
        info.uri = lilv_node_as_uri(preset);
        info.label = TakeString(lilv_world_get(world_, preset, label, nullptr));
        presets_.push_back(std::move(info));
    }
    lilv_nodes_free(related);
    return presets_;
}

} // namespace lv2_test
