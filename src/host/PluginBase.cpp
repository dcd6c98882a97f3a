#include "host/PluginBase.h"

#include "common/NumberText.h"
#include "common/Utf8Text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace host {

std::string CutPresetName(const std::string& name) {
    return common::CutUtf8(name, Preset::kNameCapacity - 1);
}

namespace {

// The host of an instance made without one: every call is answered with "nothing".
HostLink& NoHost() {
    static HostLink* none = new HostLink;
    return *none;
}

} // namespace

PluginBase::PluginBase(const PluginSetup& setup, int paramCount, int presetCount,
                       const char* ioConfiguration)
    : params_(static_cast<std::size_t>(std::max(paramCount, 0))),
      presets_(static_cast<std::size_t>(std::max(presetCount, 0))),
      host_(setup.host ? setup.host : &NoHost()) {
    ParseIoConfigurations(ioConfiguration);
    SetBlockSize(setup.blockSize);
    changedWordCount_ = (ParamCount() + 31) / 32;
    changedWhileBusy_ =
        std::make_unique<std::atomic<std::uint32_t>[]>(static_cast<std::size_t>(changedWordCount_));
    for (int w = 0; w < changedWordCount_; ++w) changedWhileBusy_[w].store(0);
}

PluginBase::~PluginBase() {
    editor_ = nullptr;
}

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

void PluginBase::ResetProcessing() {
    platform::ScopedLock lock(mutex_);
}

void PluginBase::ParamChanged(int index) {
    platform::ScopedLock lock(mutex_);
    ParamNoticed(index);
    if (IsValidParam(index)) ApplyParamToEngine(index, GetParam(index).ClampedValue());
}

void PluginBase::SetParamFromHost(int index, double normalized) {
    if (!IsValidParam(index)) return;
    Param& param = GetParam(index);
    const double value = std::clamp(param.SetFromNormalized(normalized), param.Min(), param.Max());
    ApplyParamToEngine(index, value);
    // The editor and MIDI learn hear of it now when no other thread holds the instance mutex, and
    // otherwise from the next thread that does: the host's thread never waits for them.
    platform::ScopedTryLock lock(mutex_);
    if (!lock.Owns()) {
        changedWhileBusy_[index / 32].fetch_or(1u << (index % 32), std::memory_order_release);
        return;
    }
    ShowParamsChangedWhileBusy();
    if (editor_) editor_->ShowParamValue(index, normalized, true);
    ParamNoticed(index);
}

void PluginBase::ShowParamsChangedWhileBusy() {
    for (int w = 0; w < changedWordCount_; ++w) {
        if (changedWhileBusy_[w].load(std::memory_order_relaxed) == 0) continue;
        std::uint32_t bits = changedWhileBusy_[w].exchange(0, std::memory_order_acquire);
        for (int b = 0; b < 32; ++b) {
            if (!(bits & (1u << b))) continue;
            const int index = 32 * w + b;
            if (editor_) editor_->ShowParamValue(index, GetParam(index).ToNormalized(), true);
            ParamNoticed(index);
        }
    }
}

bool PluginBase::RenderBlockUnlessSilent(double** inputs, double** outputs, int frames) {
    RenderBlock(inputs, outputs, frames);
    return false;
}

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

void PluginBase::ActivationChanged(bool) {
    platform::ScopedLock lock(mutex_);
}

void PluginBase::HandleMidiMessage(const MidiMessage& message) {
    SendMidiMessage(message);
}

void PluginBase::HandleSysEx(const SysExMessage&) {}

bool PluginBase::NoteNameFor(int, std::string& text) {
    text.clear();
    return false;
}

bool PluginBase::WriteState(ChunkBuffer& buffer) {
    return SerializeParams(buffer);
}

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

bool PluginBase::SetParamFromText(int index, const std::string& text) {
    if (!IsValidParam(index)) return false;
    Param& param = GetParam(index);
    double value = 0.0;
    if (param.HasDisplayTexts()) {
        if (!param.ValueOfText(text, value)) return false;
    } else {
        value = common::ParseDouble(text.c_str());
        // Infinity or NaN would be stored as a value no parameter can have.
        if (!std::isfinite(value)) return false;
    }
    value = std::clamp(value, param.Min(), param.Max());
    platform::ScopedLock lock(mutex_);
    if (editor_) editor_->ShowParamValue(index, value, false);
    param.SetClamped(value);
    ParamChanged(index);
    return true;
}

bool PluginBase::OpenEditor(void* parent) {
    platform::ScopedLock lock(mutex_);
    PluginEditor* editor = WindowEditor();
    if (!editor || !editor->OpenWindow(parent)) return false;
    EditorOpened();
    return true;
}

bool PluginBase::CloseEditor() {
    platform::ScopedLock lock(mutex_);
    PluginEditor* editor = WindowEditor();
    if (!editor) return false;
    EditorClosed();
    editor->CloseWindow();
    return true;
}

void PluginBase::EditorIdle() {
    if (PluginEditor* editor = WindowEditor()) editor->Idle();
    IdleTick();
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

int PluginBase::CheckState(const ChunkBuffer& buffer, int position) {
    // The base state is one double per parameter.
    if (position < 0 || buffer.Size() - position < 8 * ParamCount()) return -1;
    return position + 8 * ParamCount();
}

int PluginBase::CheckPresetEntries(const ChunkBuffer& buffer, int position) {
    int p = position;
    for (int i = 0; i < PresetCount() && p >= 0; ++i) {
        std::string name;
        p = buffer.ReadText(name, p);
        std::uint8_t initialised = 0;
        p = buffer.ReadByte(initialised, p);
        if (p >= 0 && initialised != 0) p = CheckState(buffer, p);
    }
    return p;
}

int PluginBase::UnserializePresets(const ChunkBuffer& buffer, int position) {
    platform::ScopedLock lock(mutex_);
    // A truncated or corrupt bank leaves every program as it was: the whole input is checked
    // before the first program is overwritten.
    if (CheckPresetEntries(buffer, position) < 0) return -1;
    int p = position;
    for (int i = 0; i < PresetCount() && p >= 0; ++i) {
        Preset& preset = GetPreset(i);
        std::string name;
        p = buffer.ReadText(name, p);
        preset.name = CutPresetName(name);
        std::uint8_t initialised = 0;
        p = buffer.ReadByte(initialised, p);
        preset.initialised = initialised != 0;
        // Stored in its normal form, stamped with this program's own index and name.
        if (p >= 0 && preset.initialised) p = NormalizeState(i, buffer, p, preset.state);
    }
    RecallPreset(currentPreset_);
    return p;
}

int PluginBase::NormalizeState(int index, const ChunkBuffer& buffer, int position,
                               ChunkBuffer& out) {
    int next = ReadState(buffer, position);
    if (next > 0) {
        out.Clear();
        WriteStateFor(index, out);
    }
    return next;
}

void PluginBase::ModifyCurrentPreset(const char* name) {
    if (!IsValidPreset(currentPreset_)) return;
    Preset& preset = GetPreset(currentPreset_);
    // Renamed first, so that the state carries the program's new name.
    if (name && *name) preset.name = CutPresetName(name);
    preset.state.Clear();
    WriteStateFor(currentPreset_, preset.state);
}

bool PluginBase::WriteStateFor(int index, ChunkBuffer& buffer) {
    int saved = stateOwner_;
    stateOwner_ = index;
    bool ok = WriteState(buffer);
    stateOwner_ = saved;
    return ok;
}

void PluginBase::SetSampleRate(double rate) {
    // A rate that is not finite or implausibly low would make the control tick zero samples long;
    // an absurdly high one would make it longer than any offset can count.
    if (!std::isfinite(rate) || rate < kMinSampleRate || rate > kMaxSampleRate) return;
    platform::ScopedLock render(renderMutex_);
    sampleRate_ = rate;
}

void PluginBase::SetBlockSize(int frames) {
    if (frames <= 0 || frames > kMaxBlockSize) return;
    // The new buffers are made before the render mutex is taken, and swapped in under it: the
    // audio thread reads the channels in every call.
    std::vector<std::vector<double>> fresh;
    if (frames != blockSize_) {
        fresh.resize(inputs_.size() + outputs_.size());
        for (std::vector<double>& buffer : fresh)
            buffer.assign(static_cast<std::size_t>(frames), 0.0);
    }
    {
        platform::ScopedLock render(renderMutex_);
        std::size_t next = 0;
        if (!fresh.empty()) {
            for (Channel& channel : inputs_) channel.scratch.swap(fresh[next++]);
            for (Channel& channel : outputs_) channel.scratch.swap(fresh[next++]);
        }
        blockSize_ = frames;
    }
    // The old buffers go with fresh, after the mutex is released.
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
        success = WriteStateFor(index, preset.state);
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
    for (int i = 0; i < PresetCount(); ++i) {
        Preset& preset = GetPreset(i);
        if (preset.initialised) continue;
        preset.initialised = true;
        preset.name = "Empty";
        preset.state.Clear();
        WriteStateFor(i, preset.state);
    }
}

void PluginBase::AllParamsChanged() {
    // The engine takes all the values at once: no block is rendered from half of them.
    platform::ScopedLock lock(mutex_);
    platform::ScopedLock render(renderMutex_);
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
        if (preset.initialised)
            buffer.AppendBytes(preset.state.Data(), preset.state.Bytes().size());
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
    platform::ScopedLock render(renderMutex_);
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
