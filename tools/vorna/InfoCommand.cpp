#include "Commands.h"

#include "PluginHost.h"

#include <cstdio>

namespace vorna_tool {

static std::string FourCharacters(vst2::Int32 value) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((static_cast<std::uint32_t>(value) >> shift) & 0xFF);
        text += (c >= 32 && c < 127) ? c : '?';
    }
    return text;
}

int RunInfo(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: vorna info <plugin binary>\n");
        return 2;
    }
    hostkit::PluginHost host;
    if (!host.Load(PluginPath(arguments[0]))) {
        std::fprintf(stderr, "vorna: %s\n", host.Error().c_str());
        return 1;
    }
    vst2::AEffect* effect = host.Effect();
    host.Dispatch(vst2::effOpen);
    std::printf("Effect:      %s\n", host.DispatchText(vst2::effGetEffectName).c_str());
    std::printf("Vendor:      %s\n", host.DispatchText(vst2::effGetVendorString).c_str());
    std::printf("Product:     %s\n", host.DispatchText(vst2::effGetProductString).c_str());
    std::printf("Unique ID:   %s\n", FourCharacters(effect->uniqueID).c_str());
    std::printf("Version:     %d (vendor version %ld)\n", effect->version,
                static_cast<long>(host.Dispatch(vst2::effGetVendorVersion)));
    std::printf("VST version: %ld\n", static_cast<long>(host.Dispatch(vst2::effGetVstVersion)));
    std::printf("Category:    %ld\n", static_cast<long>(host.Dispatch(vst2::effGetPlugCategory)));
    std::printf("IO:          %d in, %d out\n", effect->numInputs, effect->numOutputs);
    for (int i = 0; i < effect->numOutputs; ++i) {
        vst2::VstPinProperties pin{};
        host.Dispatch(vst2::effGetOutputProperties, i, 0, &pin);
        std::printf("  output %d: \"%s\" flags %d\n", i + 1, pin.label, pin.flags);
    }
    std::printf("Flags:       0x%X\n", static_cast<unsigned>(effect->flags));
    std::printf("Programs:    %d (current: \"%s\")\n", effect->numPrograms,
                host.DispatchText(vst2::effGetProgramName).c_str());
    std::printf("Parameters:  %d\n", effect->numParams);
    for (int i = 0; i < effect->numParams; ++i) {
        std::string label = host.ParamLabel(i);
        std::printf("  %2d  %-26s %s%s%s\n", i, host.ParamName(i).c_str(),
                    host.ParamDisplay(i).c_str(), label.empty() ? "" : " ", label.c_str());
    }
    return 0;
}

} // namespace vorna_tool
