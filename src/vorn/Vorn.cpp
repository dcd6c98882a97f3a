#include "vorn/Vorn.h"

#include "editor/EditorBuilder.h"
#include "editor/VornEditor.h"
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
    render_.SetMappedControllerHandler(&Vorn::MappedController, this);
    voices_.SetTuningSource(&TuningClient());
    // The engine follows the parameters from the start, and the chip-rate pipeline is prepared for
    // the default rate, so that a host that renders before it sets a rate still gets sound.
    AllParamsChanged();
    ResetProcessing();
    // The editor's controls, handed every parameter's value once when attached: the values are
    // still the defaults, so they become the controls' default values too.
    editorView_ = std::make_unique<editor::VornEditor>(*this);
    editor::BuildEditor(*editorView_);
    AttachEditor(editorView_.get());
    SetUiServices(&editorView_->Ui());
    browser_.needsRedraw = true;
    // Last: the programs are read through the parameters and the engine set up above.
    LoadStartupOrFactoryBank();
}

Vorn::~Vorn() {
    // The editor link goes first, so that nothing reaches the controls while they go.
    SetUiServices(nullptr);
    AttachEditor(nullptr);
}

void Vorn::IdleTick() {
    if (editorView_) editorView_->Refresh();
}

void Vorn::EditorOpened() {
    platform::ScopedLock lock(Mutex());
    browser_.needsRedraw = true;
}

void Vorn::LearnSwitchedOff() {
    if (editorView_) editorView_->LearnSwitchedOff();
}

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

} // namespace vorn

host::VstPlugin* host::CreatePlugin(vst2::HostCallback hostCallback) {
    return new vorn::Vorn(hostCallback);
}
