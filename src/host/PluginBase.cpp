#include "host/PluginBase.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace host {

std::string CutPresetName(const std::string& name) {
    return name.size() < Preset::kNameCapacity ? name : name.substr(0, Preset::kNameCapacity - 1);
}

PluginBase::PluginBase(int paramCount, int presetCount, const char* ioConfiguration)
    : params_(static_cast<std::size_t>(std::max(paramCount, 0))),
      presets_(static_cast<std::size_t>(std::max(presetCount, 0))) {
    ParseIoConfigurations(ioConfiguration);
}

PluginBase::~PluginBase() { editor_ = nullptr; }

void PluginBase::ParseIoConfigurations(const char* text) {
    int maxInputs = 0;
    int maxOutputs = 0;
    const char* p = text ? text : "";
    while (*p) {
        while (*p == ' ') ++p;
        if (!*p) break;
        int inputs = 0;
        int outputs = 0;
        if (std::sscanf(p, "%d-%d", &inputs, &outputs) == 2) {
            ioConfigurations_.push_back(IoConfiguration{inputs, outputs});
            maxInputs = std::max(maxInputs, inputs);
            maxOutputs = std::max(maxOutputs, outputs);
        }
        while (*p && *p != ' ') ++p;
    }
    inputs_.resize(static_cast<std::size_t>(maxInputs));
    outputs_.resize(static_cast<std::size_t>(maxOutputs));
}

void PluginBase::ResetProcessing() { platform::ScopedLock lock(mutex_); }

void PluginBase::ParamChanged(int) { platform::ScopedLock lock(mutex_); }

void PluginBase::RenderBlock(double** inputs, double** outputs, int frames) {
    if (frames <= 0) return;
    int common = std::min(InputCount(), OutputCount());
    for (int c = 0; c < OutputCount(); ++c) {
        double* out = outputs[c];
        if (!out) continue;
        if (c < common && inputs[c]) {
            std::memmove(out, inputs[c], sizeof(double) * static_cast<std::size_t>(frames));
        } else {
            std::fill(out, out + frames, 0.0);
        }
    }
}

void PluginBase::ActivationChanged(bool) { platform::ScopedLock lock(mutex_); }

void PluginBase::HandleMidiMessage(const MidiMessage& message) { SendMidiMessage(message); }

void PluginBase::HandleSysEx(const SysExMessage&) {}

bool PluginBase::NoteNameFor(int, std::string& text) {
    text.clear();
    return false;
}

bool PluginBase::WriteState(ChunkBuffer& buffer) { return SerializeParams(buffer); }

int PluginBase::ReadState(const ChunkBuffer& buffer, int position) {
    return UnserializeParams(buffer, position);
}

bool PluginBase::StateEquals(const ChunkBuffer& buffer, int position) {
    for (const Param& param : params_) {
        double stored = 0.0;
        position = buffer.ReadDouble(stored, position);
        if (position < 0) return false;
        if (std::fabs(stored - param.Value()) > 1e-9) return false;
    }
    return true;
}

void PluginBase::SetParamFromEditor(int index, double normalized) {
    platform::ScopedLock lock(mutex_);
    if (!IsValidParam(index)) return;
    GetParam(index).SetFromNormalized(normalized);
    NotifyParamChange(index, normalized);
    ParamChanged(index);
}

void PluginBase::AttachEditor(PluginEditor* editor) {
    platform::ScopedLock lock(mutex_);
    if (editor) {
        for (int i = 0; i < ParamCount(); ++i)
            editor->ShowParamValue(i, GetParam(i).ToNormalized(), true);
        editor->CreateSurfaces(editor->Width(), editor->Height());
    }
    editor_ = editor;
}

void PluginBase::RefreshParamControls() {
    if (!editor_) return;
    for (int i = 0; i < ParamCount(); ++i) editor_->ShowParamValue(i, GetParam(i).Value(), false);
}

int PluginBase::UnserializePresets(const ChunkBuffer& buffer, int position) {
    int p = position;
    for (int i = 0; i < PresetCount() && p >= 0; ++i) {
        Preset& preset = GetPreset(i);
        std::string name;
        p = buffer.ReadText(name, p);
        if (p < 0) break;
        preset.name = CutPresetName(name);
        std::uint8_t initialised = 0;
        p = buffer.ReadByte(initialised, p);
        if (p < 0) break;
        preset.initialised = initialised != 0;
        if (preset.initialised) {
            p = ReadState(buffer, p);
            if (p > 0) {
                preset.state.Clear();
                WriteState(preset.state);
            }
        }
    }
    RecallPreset(currentPreset_);
    return p;
}

void PluginBase::ModifyCurrentPreset(const char* name) {
    if (!IsValidPreset(currentPreset_)) return;
    Preset& preset = GetPreset(currentPreset_);
    preset.state.Clear();
    WriteState(preset.state);
    if (name && *name) preset.name = CutPresetName(name);
}

void PluginBase::SetSampleRate(double rate) {
    // A rate that is not finite or implausibly low would make the control tick zero samples long.
    if (!std::isfinite(rate) || rate < kMinSampleRate) return;
    sampleRate_ = rate;
}

void PluginBase::SetBlockSize(int frames) {
    if (frames <= 0) return;
    if (frames != blockSize_) {
        for (Channel& channel : inputs_) channel.scratch.assign(static_cast<std::size_t>(frames), 0.0);
        for (Channel& channel : outputs_)
            channel.scratch.assign(static_cast<std::size_t>(frames), 0.0);
    }
    blockSize_ = frames;
}

bool PluginBase::RecallPreset(int index) {
    if (!IsValidPreset(index)) return false;
    Preset& preset = GetPreset(index);
    bool success;
    if (preset.initialised) {
        success = ReadState(preset.state, 0) > 0;
    } else {
        preset.initialised = true;
        int count = 0;
        for (const Preset& other : presets_) {
            if (other.name.find("user preset") != std::string::npos) ++count;
        }
        preset.name = "user preset " + std::to_string(count + 1);
        preset.state.Clear();
        success = WriteState(preset.state);
    }
    if (success) {
        currentPreset_ = index;
        ProgramsChanged();
        RefreshParamControls();
    }
    return success;
}

std::string PluginBase::PresetName(int index) const {
    return IsValidPreset(index) ? GetPreset(index).name : std::string();
}

void PluginBase::FillEmptyPresets() {
    for (Preset& preset : presets_) {
        if (preset.initialised) continue;
        preset.initialised = true;
        preset.name = "Empty";
        preset.state.Clear();
        WriteState(preset.state);
    }
}

void PluginBase::AllParamsChanged() {
    for (int i = 0; i < ParamCount(); ++i) ParamChanged(i);
}

void PluginBase::ReportAllParamsToHost() {
    platform::ScopedLock lock(mutex_);
    for (int i = 0; i < ParamCount(); ++i) NotifyParamChange(i, GetParam(i).ToNormalized());
}

bool PluginBase::SerializeParams(ChunkBuffer& buffer) {
    platform::ScopedLock lock(mutex_);
    for (const Param& param : params_) buffer.AppendDouble(param.Value());
    return !buffer.Empty();
}

int PluginBase::UnserializeParams(const ChunkBuffer& buffer, int position) {
    platform::ScopedLock lock(mutex_);
    int p = position;
    for (int i = 0; i < ParamCount() && p >= 0; ++i) {
        double value = 0.0;
        p = buffer.ReadDouble(value, p);
        if (p < 0) value = 0.0;
        GetParam(i).SetClamped(value);
    }
    AllParamsChanged();
    return p;
}

bool PluginBase::SerializePresets(ChunkBuffer& buffer) {
    bool ok = true;
    for (const Preset& preset : presets_) {
        buffer.AppendText(preset.name);
        buffer.AppendByte(preset.initialised ? 1 : 0);
        if (preset.initialised) buffer.AppendBytes(preset.state.Data(), preset.state.Bytes().size());
        ok = ok && !buffer.Empty();
    }
    return ok;
}

bool PluginBase::LegalIO(int inputs, int outputs) const {
    for (const IoConfiguration& configuration : ioConfigurations_) {
        if (configuration.inputs == inputs && (outputs < 0 || configuration.outputs == outputs))
            return true;
    }
    return false;
}

void PluginBase::LimitToStereo() {
    // Only channels beyond the second are touched: they are marked disconnected.
    for (std::size_t c = 2; c < inputs_.size(); ++c) inputs_[c].connected = false;
    for (std::size_t c = 2; c < outputs_.size(); ++c) outputs_[c].connected = false;
}

int PluginBase::DecimalVersion() const {
    int major = (version_ >> 16) & 0xFFFF;
    int minor = (version_ >> 8) & 0xFF;
    int bugfix = version_ & 0xFF;
    return major * 10000 + minor * 100 + bugfix;
}

} // namespace host
