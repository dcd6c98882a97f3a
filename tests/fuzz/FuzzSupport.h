#pragma once
// What the reader fuzz targets share: one Vorna instance per process (made once, reused by every
// input, as a host keeps one), snapshots of everything a refused input must leave unchanged, and
// a check that stops the run when a rule is broken.

#include "vorn/Vorn.h"
#include "vst2/Vst2Adapter.h"
#include "vst2/VstEntry.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace fuzz {

// The host callback: answers the vendor text, so a quirk host can be played; nothing else.
template <bool Quirk>
vst2::IntPtr VORNA_VSTCALL Host(vst2::AEffect*, vst2::Int32 opcode, vst2::Int32, vst2::IntPtr,
                                void* data, float) {
    if (opcode == vst2::audioMasterGetVendorString && data) {
        std::strcpy(static_cast<char*>(data), Quirk ? "Native Instruments" : "Fuzz Host");
        return 1;
    }
    if (opcode == vst2::audioMasterVersion) return 2400;
    return 0;
}

template <bool Quirk = false> vst2::AEffect* InstanceEffect() {
    static vst2::AEffect* effect = VSTPluginMain(&Host<Quirk>);
    if (!effect) std::abort();
    return effect;
}

template <bool Quirk = false> vorn::Vorn& Instance() {
    return *static_cast<vorn::Vorn*>(vst2::Adapter::CoreOf(InstanceEffect<Quirk>()));
}

// Every program's name, flag and state, the current index and every parameter value.
struct Snapshot {
    std::vector<std::string> names;
    std::vector<std::vector<std::uint8_t>> states;
    std::vector<bool> initialised;
    std::vector<double> values;
    int current = 0;

    explicit Snapshot(vorn::Vorn& plugin) {
        for (int i = 0; i < plugin.PresetCount(); ++i) {
            names.push_back(plugin.GetPreset(i).name);
            states.push_back(plugin.GetPreset(i).state.Bytes());
            initialised.push_back(plugin.GetPreset(i).initialised);
        }
        for (int p = 0; p < plugin.ParamCount(); ++p) values.push_back(plugin.GetParam(p).Value());
        current = plugin.CurrentPresetIndex();
    }
    bool operator==(const Snapshot& other) const {
        return names == other.names && states == other.states && initialised == other.initialised &&
               values == other.values && current == other.current;
    }
};

inline void Require(bool condition, const char* rule) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s\n", rule);
    std::abort();
}

} // namespace fuzz
