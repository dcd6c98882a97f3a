#include "vorn/Vorn.h"

#include "engine/InstrumentParams.h"
#include "host/PluginFactory.h"

#include <algorithm>

namespace vorn {

Vorn::Vorn(vst2::HostCallback hostCallback)
    : Synth(hostCallback, engine::kParamCount, host::PluginBase::kPresetCount, kIoConfiguration) {
    effectName_ = "Vorna";
    vendorName_ = "Tarnwell Music";
    productName_.clear();
    uniqueId_ = vst2::FourCC('v', 'o', 'r', 'n');
    manufacturerId_ = vst2::FourCC('T', 'a', 'R', 'n');
    version_ = 0x00010101;
    Effect()->version = DecimalVersion();
    CreateParameters();
}

Vorn::~Vorn() = default;

void Vorn::CreateParameters() {
    const auto& table = engine::InstrumentParamDefinitions();
    for (int i = 0; i < engine::kParamCount; ++i) {
        const engine::ParamDefinition& definition = table[static_cast<std::size_t>(i)];
        host::Param& param = GetParam(i);
        switch (definition.type) {
        case engine::ParamType::Int:
            param.InitInt(definition.name, definition.defaultValue, definition.min, definition.max);
            break;
        case engine::ParamType::Enum:
            param.InitEnum(definition.name, static_cast<int>(definition.defaultValue),
                           definition.texts);
            break;
        case engine::ParamType::Double:
            param.Init(definition.name, definition.defaultValue, definition.min, definition.max,
                       definition.step);
            break;
        }
        if (definition.display) param.SetDisplayFunction(definition.display);
    }
}

void Vorn::RenderBlock(double**, double** outputs, int frames) {
    if (frames <= 0) return;
    for (int c = 0; c < OutputCount(); ++c) {
        if (outputs[c]) std::fill(outputs[c], outputs[c] + frames, 0.0);
    }
}

void Vorn::HandleMidiMessage(const host::MidiMessage& message) {
    midiLog_[static_cast<std::size_t>(midiReceived_ % kMidiLogSize)] = message;
    ++midiReceived_;
}

void Vorn::HandleSysEx(const host::SysExMessage& message) {
    // The bytes belong to the host and are valid only during this call.
    lastSysEx_.assign(message.bytes, message.bytes + message.size);
    ++sysExReceived_;
}

} // namespace vorn

host::VstPlugin* host::CreatePlugin(vst2::HostCallback hostCallback) {
    return new vorn::Vorn(hostCallback);
}
