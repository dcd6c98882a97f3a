#include "vorn/Vorn.h"

#include "vorn/StandInEditorHost.h"
#include "vorn/VornEditorHost.h"

#include "editor/EditorBuilder.h"
#include "editor/VornEditor.h"
#include "engine/InstrumentParams.h"
#include "graphics/OffscreenWindow.h"
#include "graphics/PngCodec.h"
#include "window/NativeWindows.h"

#include <algorithm>

namespace vorn {

Vorn::Vorn(const host::PluginSetup& setup)
    : Synth(setup, engine::kParamCount, host::PluginBase::kPresetCount, kIoConfiguration) {
    effectName_ = "Vorna";
    vendorName_ = "Tarnwell Music";
    productName_.clear();
    uniqueId_ = host::FourCharCode('v', 'o', 'r', 'n');
    manufacturerId_ = host::FourCharCode('T', 'a', 'R', 'n');
    version_ = 0x00010101;
    CreateParameters();
    render_.SetMappedControllerHandler(&Vorn::MappedController, this);
    voices_.SetTuningSource(&TuningClient());
    // The engine follows the parameters from the start, and the chip-rate pipeline is prepared for
    // the default rate, so that a host that renders before it sets a rate still gets sound.
    AllParamsChanged();
    ResetProcessing();
    // The editor's controls, handed every parameter's value once when attached: the values are
    // still the defaults, so they become the controls' default values too.
    // The editor opens windows of this OS's kind.
    graphics::InstallNativeWindowSystem(&window::NativeWindows());
    // A stand-in's editor reaches nothing but the parameters (StandInEditorHost).
    if (setup.standIn)
        editorHost_ = std::make_unique<StandInEditorHost>(*this);
    else
        editorHost_ = std::make_unique<VornEditorHost>(*this);
    editorView_ = std::make_unique<editor::VornEditor>(*editorHost_);
    editor::BuildEditor(*editorView_);
    AttachEditor(editorView_.get());
    SetUiServices(&editorView_->Ui());
    ApplyEditorSize();
    browser_.needsRedraw = true;
    // Last: the programs are read through the parameters and the engine set up above.
    LoadStartupOrFactoryBank();
}

Vorn::~Vorn() {
    // The editor link goes first, so that nothing reaches the controls while they go.
    SetUiServices(nullptr);
    AttachEditor(nullptr);
}

bool Vorn::SaveEditorPicture(const std::string& path, int scalePercent) {
    platform::ScopedLock lock(Mutex());
    graphics::Surface picture;
    const int ownScale = editorView_ ? editorView_->ScalePercent() : 100;
    if (scalePercent == 0) scalePercent = ownScale;
    if (!graphics::IsOfferedScale(scalePercent)) return false;
    if (editorView_ && scalePercent != ownScale) {
        // An open window keeps its size; a closed editor draws at that scale and goes back.
        if (editorView_->IsWindowOpen()) return false;
        const bool follows = editorView_->FollowsSystemScale();
        editorView_->SetScale(scalePercent);
        const bool saved = SaveEditorPicture(path, scalePercent);
        editorView_->SetScale(ownScale);
        editorView_->SetFollowsSystemScale(follows);
        return saved;
    }
    if (editorView_) {
        // Opened offscreen like a window, so that the editor refreshes itself as on screen.
        bool opened = false;
        if (!editorView_->IsWindowOpen()) {
            opened = editorView_->OpenWindowWith(
                std::make_unique<graphics::OffscreenWindow>(*editorView_));
            if (opened) EditorOpened();
        }
        IdleTick();
        picture = editorView_->RenderAll();
        if (opened) {
            EditorClosed();
            editorView_->CloseWindow();
        }
    } else {
        picture.Resize(graphics::ScaleLength(graphics::Graphics::kDefaultWidth, scalePercent),
                       graphics::ScaleLength(graphics::Graphics::kDefaultHeight, scalePercent));
        picture.Clear(graphics::Color(255, 0, 0, 0));
    }
    return graphics::SavePng(picture, path);
}

bool Vorn::ApplyEditorSize() {
    if (!editorView_) return true;
    int size = 0;
    {
        platform::ScopedLock lock(Mutex());
        size = Settings().editorSize;
    }
    editorView_->SetFollowsSystemScale(size == 0);
    return editorView_->SetScale(size != 0 ? size : editorView_->SystemScale());
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
