#include "Lv2PluginHost.h"

#include "lv2/Lv2Identity.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lv2_ui_test {

namespace {
constexpr std::size_t kAtomBufferWords = 1024;
}

UridMap::UridMap() {
    map_.handle = this;
    map_.map = [](LV2_URID_Map_Handle handle, const char* uri) -> LV2_URID {
        return static_cast<UridMap*>(handle)->Map(uri);
    };
    unmap_.handle = this;
    unmap_.unmap = [](LV2_URID_Unmap_Handle handle, LV2_URID urid) -> const char* {
        auto& uris = static_cast<UridMap*>(handle)->uris_;
        return urid >= 1 && urid <= uris.size() ? uris[urid - 1].c_str() : nullptr;
    };
    mapFeature_ = {LV2_URID__map, &map_};
    unmapFeature_ = {LV2_URID__unmap, &unmap_};
}

std::uint32_t UridMap::Map(const char* uri) {
    for (std::size_t i = 0; i < uris_.size(); ++i)
        if (uris_[i] == uri) return static_cast<std::uint32_t>(i + 1);
    uris_.emplace_back(uri);
    return static_cast<std::uint32_t>(uris_.size());
}

Lv2PluginHost::Lv2PluginHost(const std::string& bundlePath) {
    world_ = lilv_world_new();
    LilvNode* bundle = lilv_new_file_uri(world_, nullptr, bundlePath.c_str());
    lilv_world_load_bundle(world_, bundle);
    lilv_node_free(bundle);
    LilvNode* uri = lilv_new_uri(world_, lv2::kPluginUri);
    plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), uri);
    lilv_node_free(uri);
    if (!plugin_) {
        error_ = "the bundle " + bundlePath + " describes no plug-in " + lv2::kPluginUri;
        return;
    }
    const std::uint32_t ports = lilv_plugin_get_num_ports(plugin_);
    controls_.assign(ports, 0.0f);
    defaults_.assign(ports, 0.0f);
    controlInputs_.assign(ports, false);
    lilv_plugin_get_port_ranges_float(plugin_, nullptr, nullptr, defaults_.data());
    LilvNode* control = lilv_new_uri(world_, LV2_CORE__ControlPort);
    LilvNode* input = lilv_new_uri(world_, LV2_CORE__InputPort);
    for (std::uint32_t p = 0; p < ports; ++p) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin_, p);
        controlInputs_[p] =
            lilv_port_is_a(plugin_, port, control) && lilv_port_is_a(plugin_, port, input);
        if (std::isnan(defaults_[p])) defaults_[p] = 0.0f;
        controls_[p] = defaults_[p];
    }
    lilv_node_free(control);
    lilv_node_free(input);

    const LV2_Feature* features[] = {urids_.MapFeature(), urids_.UnmapFeature(), nullptr};
    instance_ = lilv_plugin_instantiate(plugin_, 48000.0, features);
    if (!instance_) {
        error_ = "the plug-in did not instantiate";
        return;
    }
    left_.assign(kBlock * 16, 0.0f);
    right_.assign(kBlock * 16, 0.0f);
    midiIn_.assign(kAtomBufferWords, 0);
    midiOut_.assign(kAtomBufferWords, 0);
    for (std::uint32_t p = 0; p < ports; ++p) {
        void* data = &controls_[p];
        if (p == lv2::kMidiInPort) data = midiIn_.data();
        if (p == lv2::kMidiOutPort) data = midiOut_.data();
        if (p == lv2::kLeftOutPort) data = left_.data();
        if (p == lv2::kRightOutPort) data = right_.data();
        lilv_instance_connect_port(instance_, p, data);
    }
    lilv_instance_activate(instance_);
}

Lv2PluginHost::~Lv2PluginHost() {
    if (instance_) {
        lilv_instance_deactivate(instance_);
        lilv_instance_free(instance_);
    }
    lilv_world_free(world_);
}

void* Lv2PluginHost::Handle() const {
    return instance_ ? lilv_instance_get_handle(instance_) : nullptr;
}

bool Lv2PluginHost::IsControlInput(std::uint32_t port) const {
    return port < controlInputs_.size() && controlInputs_[port];
}

std::uint32_t Lv2PluginHost::PortIndex(const char* symbol) const {
    LilvNode* node = lilv_new_string(world_, symbol);
    const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin_, node);
    lilv_node_free(node);
    return port ? lilv_port_get_index(plugin_, port) : 0xFFFFFFFFu;
}

void Lv2PluginHost::QueueMidi(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    pendingMidi_.push_back({status, data1, data2});
}

float Lv2PluginHost::Run(std::uint32_t frames) {
    frames = std::min<std::uint32_t>(frames, static_cast<std::uint32_t>(left_.size()));
    // The input sequence: the queued messages at frame 0.
    auto* in = reinterpret_cast<LV2_Atom_Sequence*>(midiIn_.data());
    in->atom.type = urids_.Map(LV2_ATOM__Sequence);
    in->atom.size = sizeof(LV2_Atom_Sequence_Body);
    in->body.unit = 0;
    in->body.pad = 0;
    const std::uint32_t midiType = urids_.Map(LV2_MIDI__MidiEvent);
    for (const auto& message : pendingMidi_) {
        auto* event = reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<std::uint8_t*>(&in->body) +
                                                        in->atom.size);
        event->time.frames = 0;
        event->body.type = midiType;
        event->body.size = static_cast<std::uint32_t>(message.size());
        std::memcpy(event + 1, message.data(), message.size());
        in->atom.size +=
            lv2_atom_pad_size(static_cast<std::uint32_t>(sizeof(LV2_Atom_Event) + message.size()));
    }
    pendingMidi_.clear();
    // The output sequence: its capacity, as hosts hand it over.
    auto* out = reinterpret_cast<LV2_Atom_Sequence*>(midiOut_.data());
    out->atom.type = urids_.Map(LV2_ATOM__Chunk);
    out->atom.size = static_cast<std::uint32_t>(midiOut_.size() * 8 - sizeof(LV2_Atom));
    lilv_instance_run(instance_, frames);
    float peak = 0.0f;
    for (std::uint32_t i = 0; i < frames; ++i)
        peak = std::max({peak, std::fabs(left_[i]), std::fabs(right_[i])});
    return peak;
}

float Lv2PluginHost::PlayNote(int key, int blocks) {
    QueueMidi(0x90, static_cast<std::uint8_t>(key), 100);
    float peak = 0.0f;
    for (int b = 0; b < blocks; ++b) peak = std::max(peak, Run());
    QueueMidi(0x80, static_cast<std::uint8_t>(key), 0);
    // Three seconds: any release has ended before the next note.
    for (int b = 0; b < 3 * 48000 / static_cast<int>(kBlock); ++b) Run();
    return peak;
}

} // namespace lv2_ui_test
