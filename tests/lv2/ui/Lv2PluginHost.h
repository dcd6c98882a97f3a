#pragma once
// A small LV2 host of the tests' own, built on lilv: it loads the bundle from the build folder,
// makes one instance of the plug-in with the URID map it requires, connects every port to memory
// of its own and runs it from the test's thread, with MIDI notes on the input port. The control
// ports start at their defaults from the bundle's description.

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace lv2_ui_test {

// The URID map and unmap features, over one list of URIs.
class UridMap {
public:
    UridMap();
    std::uint32_t Map(const char* uri);
    const LV2_Feature* MapFeature() const { return &mapFeature_; }
    const LV2_Feature* UnmapFeature() const { return &unmapFeature_; }

private:
    std::vector<std::string> uris_;
    LV2_URID_Map map_;
    LV2_URID_Unmap unmap_;
    LV2_Feature mapFeature_;
    LV2_Feature unmapFeature_;
};

class Lv2PluginHost {
public:
    static constexpr std::uint32_t kBlock = 256;

    // Loads the bundle and instantiates the plug-in at 48 kHz; Ready() tells whether it worked,
    // Error() why not.
    explicit Lv2PluginHost(const std::string& bundlePath);
    ~Lv2PluginHost();
    Lv2PluginHost(const Lv2PluginHost&) = delete;
    Lv2PluginHost& operator=(const Lv2PluginHost&) = delete;

    bool Ready() const { return instance_ != nullptr; }
    const std::string& Error() const { return error_; }
    LilvWorld* World() const { return world_; }
    const LilvPlugin* Plugin() const { return plugin_; }
    // The plug-in's LV2_Handle, which instance access hands to the UI.
    void* Handle() const;
    UridMap& Urids() { return urids_; }

    std::uint32_t PortCount() const { return static_cast<std::uint32_t>(controls_.size()); }
    bool IsControlInput(std::uint32_t port) const;
    float Control(std::uint32_t port) const { return controls_[port]; }
    float Default(std::uint32_t port) const { return defaults_[port]; }
    void SetControl(std::uint32_t port, float value) { controls_[port] = value; }
    std::uint32_t PortIndex(const char* symbol) const;

    // Runs one block; the peak of both outputs over it.
    float Run(std::uint32_t frames = kBlock);
    // A note held for `blocks` blocks then released and let ring out: the loudest sample heard.
    float PlayNote(int key, int blocks);

private:
    void QueueMidi(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

    std::string error_;
    UridMap urids_;
    LilvWorld* world_ = nullptr;
    const LilvPlugin* plugin_ = nullptr;
    LilvInstance* instance_ = nullptr;
    std::vector<float> controls_;
    std::vector<float> defaults_;
    std::vector<bool> controlInputs_;
    std::vector<float> left_, right_;
    // Atom sequences: 8-byte aligned buffers.
    std::vector<std::uint64_t> midiIn_, midiOut_;
    std::vector<std::vector<std::uint8_t>> pendingMidi_;
};

} // namespace lv2_ui_test
