#include "vst2/Vst2Adapter.h"

#include "host/PluginFactory.h"

#include "common/NumberText.h"
#include "common/SlowWork.h"
#include "host/ChunkVersion.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace vst2 {

namespace {

constexpr vst2::IntPtr kVendorSpecificAnswer = 0xBEEF;
constexpr vst2::IntPtr kExtensionAnswer = static_cast<vst2::IntPtr>(0xBEEF0000u);
constexpr vst2::IntPtr kIdentifyAnswer = vst2::FourCC('N', 'v', 'E', 'f');
constexpr vst2::IntPtr kVstVersion = 2400;

// The entry points in the effect record. None lets a C++ exception reach the host.
vst2::IntPtr VORNA_VSTCALL DispatcherEntry(vst2::AEffect* effect, vst2::Int32 opcode,
                                           vst2::Int32 index, vst2::IntPtr value, void* data,
                                           float opt) {
    Adapter* plugin = Adapter::FromEffect(effect);
    if (!plugin) return 0;
    try {
        if (opcode == vst2::effClose) {
            plugin->Close();
            return 0;
        }
        // Events come from the audio thread, which must not wait for the instance mutex.
        if (opcode == vst2::effProcessEvents) return plugin->ProcessEvents(data);
        // A close that arrives while this call runs (from inside a menu's loop, or from another
        // thread while the user is asked) destroys the instance only once it has returned.
        host::PluginBase::CallScope call(&plugin->Core());
        return plugin->Dispatch(opcode, index, value, data, opt);
    } catch (...) {
        return 0;
    }
}

void VORNA_VSTCALL ProcessEntry(vst2::AEffect* effect, float** inputs, float** outputs,
                                vst2::Int32 frames) {
    if (Adapter* plugin = Adapter::FromEffect(effect)) {
        try {
            plugin->ProcessFloat(inputs, outputs, frames, true);
        } catch (...) {
        }
    }
}

void VORNA_VSTCALL ProcessReplacingEntry(vst2::AEffect* effect, float** inputs, float** outputs,
                                         vst2::Int32 frames) {
    if (Adapter* plugin = Adapter::FromEffect(effect)) {
        try {
            plugin->ProcessFloat(inputs, outputs, frames, false);
        } catch (...) {
        }
    }
}

void VORNA_VSTCALL ProcessDoubleEntry(vst2::AEffect* effect, double** inputs, double** outputs,
                                      vst2::Int32 frames) {
    if (Adapter* plugin = Adapter::FromEffect(effect)) {
        try {
            plugin->ProcessDouble(inputs, outputs, frames);
        } catch (...) {
        }
    }
}

float VORNA_VSTCALL GetParameterEntry(vst2::AEffect* effect, vst2::Int32 index) {
    if (Adapter* plugin = Adapter::FromEffect(effect)) {
        try {
            return plugin->GetParameterNormalized(index);
        } catch (...) {
        }
    }
    return 0.0f;
}

void VORNA_VSTCALL SetParameterEntry(vst2::AEffect* effect, vst2::Int32 index, float value) {
    if (Adapter* plugin = Adapter::FromEffect(effect)) {
        try {
            plugin->SetParameterNormalized(index, value);
        } catch (...) {
        }
    }
}

std::string LowerCase(const char* text) {
    std::string lower(text ? text : "");
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

void CopyToHost(void* data, std::size_t capacity, const std::string& text) {
    common::CopyText(static_cast<char*>(data), capacity, text.c_str());
}

vst2::Int32 ArrangementType(int channels) {
    switch (channels) {
    case 0:
        return vst2::kSpeakerArrEmpty;
    case 1:
        return vst2::kSpeakerArrMono;
    case 2:
        return vst2::kSpeakerArrStereo;
    default:
        return vst2::kSpeakerArrUserDefined;
    }
}

void ToDouble(const float* source, double* destination, int frames) {
    int i = 0;
    for (; i + 4 <= frames; i += 4) {
        destination[i] = source[i];
        destination[i + 1] = source[i + 1];
        destination[i + 2] = source[i + 2];
        destination[i + 3] = source[i + 3];
    }
    for (; i < frames; ++i) destination[i] = source[i];
}

void ToFloat(const double* source, float* destination, int frames, bool accumulate) {
    int i = 0;
    if (accumulate) {
        for (; i + 4 <= frames; i += 4) {
            destination[i] += static_cast<float>(source[i]);
            destination[i + 1] += static_cast<float>(source[i + 1]);
            destination[i + 2] += static_cast<float>(source[i + 2]);
            destination[i + 3] += static_cast<float>(source[i + 3]);
        }
        for (; i < frames; ++i) destination[i] += static_cast<float>(source[i]);
    } else {
        for (; i + 4 <= frames; i += 4) {
            destination[i] = static_cast<float>(source[i]);
            destination[i + 1] = static_cast<float>(source[i + 1]);
            destination[i + 2] = static_cast<float>(source[i + 2]);
            destination[i + 3] = static_cast<float>(source[i + 3]);
        }
        for (; i < frames; ++i) destination[i] = static_cast<float>(source[i]);
    }
}

// Some hosts leave garbage in the bytes a message does not use (a program change arriving as
// c0 02 84): the status byte alone says how long a message is.
void ClearUnusedDataBytes(host::MidiMessage& message) {
    std::uint8_t status = message.status;
    if ((status >= 0xC0 && status <= 0xDF) || status == 0xF1 || status == 0xF3) {
        message.data2 = 0;
    } else if (status == 0xF6 || status >= 0xF8) {
        message.data1 = 0;
        message.data2 = 0;
    }
}

struct HostNameCode {
    const char* text;
    int code;
};

// Searched in this order; the first hit names the host.
constexpr HostNameCode kHostNames[] = {
    {"cubase", 3},      {"reaper", 1},      {"nuendo", 4},
    {"cakewalk", 5},    {"samplitude", 8},  {"fruity", 7},
    {"live", 9},        {"melodyne", 12},   {"vstmanlib", 13},
    {"aulab", 14},      {"garageband", 22}, {"forte", 15},
    {"chainer", 16},    {"audition", 17},   {"orion", 18},
    {"sawstudio", 20},  {"logic", 21},      {"digital", 23},
    {"audiomulch", 25}, {"presonus", 26},   {"vst3plugintesthost", 27},
    {"protools", 2},    {"ardour", 28},     {"openmpt", 30},
    {"renoise", 29},    {"standalone", 24},
};

} // namespace

Adapter::Adapter(vst2::HostCallback hostCallback) : hostCallback_(hostCallback) {
    effect_.magic = vst2::kEffectMagic;
    effect_.dispatcher = DispatcherEntry;
    effect_.process = ProcessEntry;
    effect_.setParameter = SetParameterEntry;
    effect_.getParameter = GetParameterEntry;
    effect_.processReplacing = ProcessReplacingEntry;
    effect_.processDoubleReplacing = ProcessDoubleEntry;
    effect_.initialDelay = 0;
    effect_.ioRatio = 1.0f;
    effect_.object = this;
}

Adapter::~Adapter() {
    effect_.object = nullptr;
    core_.reset();
}

void Adapter::Close() {
    // The host's reference is gone: later calls through the record find no instance.
    effect_.object = nullptr;
    if (!core_) {
        delete this;
        return;
    }
    // Destroyed without holding the instance mutex, now or when the last call inside returns.
    core_->CloseFromHost([this] { delete this; });
}

bool Adapter::Start() {
    host::PluginSetup setup;
    setup.host = this;
    setup.blockSize = kDefaultBlockSize;
    core_ = host::CreatePlugin(setup);
    if (!core_) return false;
    core_->FillEmptyPresets();
    effect_.numPrograms = std::max(core_->PresetCount(), 1);
    effect_.numParams = core_->ParamCount();
    effect_.flags = vst2::effFlagsCanReplacing | vst2::effFlagsCanDoubleReplacing;
    if (core_->UsesStateChunks()) effect_.flags |= vst2::effFlagsProgramChunks;
    if (core_->LegalIO(1, -1)) effect_.flags |= vst2::effFlagsCanMono;
    if (core_->IsInstrument()) effect_.flags |= vst2::effFlagsIsSynth;
    if (host::PluginEditor* editor = WindowEditor()) {
        effect_.flags |= vst2::effFlagsHasEditor;
        EditorSizeChanged(editor->Width(), editor->Height());
    }
    effect_.uniqueID = core_->UniqueId();
    effect_.version = core_->DecimalVersion();
    effect_.initialDelay = core_->Latency();
    UpdateChannelCounts();
    inputPointers_.assign(static_cast<std::size_t>(core_->InputCount()), nullptr);
    outputPointers_.assign(static_cast<std::size_t>(core_->OutputCount()), nullptr);
    for (host::Channel& channel : core_->Inputs()) channel.buffer = channel.scratch.data();
    for (host::Channel& channel : core_->Outputs()) channel.buffer = channel.scratch.data();
    return true;
}

Adapter* Adapter::FromEffect(vst2::AEffect* effect) {
    return effect ? static_cast<Adapter*>(effect->object) : nullptr;
}

host::PluginBase* Adapter::CoreOf(vst2::AEffect* effect) {
    Adapter* adapter = FromEffect(effect);
    return adapter ? adapter->core_.get() : nullptr;
}

void Adapter::UpdateChannelCounts() {
    effect_.numInputs = core_->InputCount();
    effect_.numOutputs = core_->OutputCount();
    inputArrangement_.numChannels = core_->InputCount();
    inputArrangement_.type = ArrangementType(core_->InputCount());
    outputArrangement_.numChannels = core_->OutputCount();
    outputArrangement_.type = ArrangementType(core_->OutputCount());
}

vst2::IntPtr Adapter::CallHost(vst2::Int32 opcode, vst2::Int32 index, vst2::IntPtr value,
                               void* data, float opt) {
    if (!hostCallback_) return 0;
    return hostCallback_(&effect_, opcode, index, value, data, opt);
}

vst2::IntPtr Adapter::Dispatch(vst2::Int32 opcode, vst2::Int32 index, vst2::IntPtr value,
                               void* data, float opt) {
    platform::ScopedLock lock(core_->Mutex());
    core_->ShowParamsChangedWhileBusy();
    switch (opcode) {
    case vst2::effOpen:
        HostSpecificSetup();
        core_->AllParamsChanged();
        return 0;
    case vst2::effSetProgram:
        core_->ModifyCurrentPreset();
        core_->RecallPreset(value >= 0 && value < core_->PresetCount() ? static_cast<int>(value)
                                                                       : -1);
        return 0;
    case vst2::effGetProgram:
        return core_->CurrentPresetIndex();
    case vst2::effSetProgramName:
        if (data) {
            // One byte more than a name holds, so that the cut to fit happens between
            // characters (in ModifyCurrentPreset) rather than here by bytes.
            std::string name(static_cast<const char*>(data),
                             strnlen(static_cast<const char*>(data), host::Preset::kNameCapacity));
            core_->ModifyCurrentPreset(name.c_str());
            core_->ProgramsChanged();
        }
        return 0;
    case vst2::effGetProgramName:
        if (data)
            CopyToHost(data, vst2::kMaxProgNameLen, core_->PresetName(core_->CurrentPresetIndex()));
        return 0;
    case vst2::effGetParamLabel:
        if (data && core_->IsValidParam(index))
            CopyToHost(data, vst2::kMaxNameLen, core_->GetParam(index).DisplayLabel());
        return 0;
    case vst2::effGetParamDisplay:
        if (data && core_->IsValidParam(index)) {
            const host::Param& param = core_->GetParam(index);
            CopyToHost(data, vst2::kMaxNameLen, param.FormatDisplay(param.Value(), false, true));
        }
        return 0;
    case vst2::effGetParamName:
        if (data && core_->IsValidParam(index))
            CopyToHost(data, vst2::kMaxNameLen, core_->GetParam(index).Name());
        return 0;
    case vst2::effSetSampleRate:
        core_->SetSampleRate(opt);
        core_->ResetProcessing();
        return 0;
    case vst2::effSetBlockSize:
        // Checked before narrowing: a 64-bit value must not wrap into a plausible size.
        core_->SetBlockSize(
            value > 0 && value <= host::PluginBase::kMaxBlockSize ? static_cast<int>(value) : 0);
        core_->ResetProcessing();
        return 0;
    case vst2::effMainsChanged:
        if (value != 0) {
            core_->ActivationChanged(true);
        } else {
            core_->ActivationChanged(false);
            core_->ResetProcessing();
        }
        return 0;
    case vst2::effEditGetRect:
        if (data && WindowEditor()) {
            *static_cast<vst2::ERect**>(data) = &editorRect_;
            return 1;
        }
        return 0;
    case vst2::effEditOpen:
        return core_->OpenEditor(data) ? 1 : 0;
    case vst2::effEditClose:
        return core_->CloseEditor() ? 1 : 0;
    case vst2::effEditIdle:
        core_->EditorIdle();
        return 0;
    case vst2::effIdle:
        core_->IdleTick();
        return 0;
    case vst2::effIdentify:
        return kIdentifyAnswer;
    case vst2::effGetChunk:
        return GetChunk(index, data);
    case vst2::effSetChunk:
        return SetChunk(index, value, data);
    case vst2::effCanBeAutomated:
        return 1;
    case vst2::effString2Parameter:
        return StringToParameter(index, static_cast<char*>(data));
    case vst2::effGetProgramNameIndexed: {
        if (!data) return 0;
        std::string name = core_->PresetName(index);
        CopyToHost(data, vst2::kMaxProgNameLen, name);
        return name.empty() ? 0 : 1;
    }
    case vst2::effGetInputProperties:
        return PinProperties(true, index, data);
    case vst2::effGetOutputProperties:
        return PinProperties(false, index, data);
    case vst2::effGetPlugCategory:
        return core_->IsInstrument() ? vst2::kPlugCategSynth : vst2::kPlugCategEffect;
    case vst2::effProcessVarIo:
        return 0;
    case vst2::effSetSpeakerArrangement:
        SetSpeakerArrangement(reinterpret_cast<vst2::VstSpeakerArrangement*>(value),
                              core_->Inputs());
        SetSpeakerArrangement(static_cast<vst2::VstSpeakerArrangement*>(data), core_->Outputs());
        return 1;
    case vst2::effGetEffectName:
        if (!data) return 0;
        CopyToHost(data, vst2::kMaxEffectNameLen, core_->EffectName());
        return 1;
    case vst2::effGetVendorString:
        if (!data) return 0;
        CopyToHost(data, vst2::kMaxVendorStrLen, core_->VendorName());
        return 1;
    case vst2::effGetProductString:
        if (!data) return 0;
        CopyToHost(data, vst2::kMaxProductStrLen, core_->ProductName());
        return 1;
    case vst2::effGetVendorVersion:
        return core_->DecimalVersion();
    case vst2::effVendorSpecific:
        return VendorSpecific(index, value, data, opt);
    case vst2::effCanDo:
        return CanDo(static_cast<const char*>(data));
    case vst2::effGetTailSize:
        return core_->TailSize();
    case vst2::effGetVstVersion:
        return kVstVersion;
    case vst2::effGetMidiKeyName: {
        if (!data) return 0;
        auto* key = static_cast<vst2::MidiKeyName*>(data);
        key->keyName[0] = '\0';
        std::string text;
        bool named = core_->NoteNameFor(key->thisKeyNumber, text);
        CopyToHost(key->keyName, sizeof key->keyName, text);
        return named ? 1 : 0;
    }
    case vst2::effGetSpeakerArrangement:
        if (value) *reinterpret_cast<vst2::VstSpeakerArrangement**>(value) = &inputArrangement_;
        if (data) *static_cast<vst2::VstSpeakerArrangement**>(data) = &outputArrangement_;
        return 1;
    default:
        return 0;
    }
}

vst2::IntPtr Adapter::GetChunk(vst2::Int32 index, void* data) {
    if (!data) return 0;
    bool bank = index == 0 && !IsQuirkHost();
    host::ChunkBuffer& buffer = bank ? bankState_ : programState_;
    buffer.Clear();
    if (!core_->SaveStateChunk(bank, buffer)) return 0;
    // The host reads the bytes after the call: they stay here until the next request.
    *static_cast<void**>(data) = buffer.Data();
    return buffer.Size();
}

vst2::IntPtr Adapter::SetChunk(vst2::Int32 index, vst2::IntPtr size, void* data) {
    if (!data || size < 0 || size > 0x7FFFFFFF) return 0;
    bool quirk = IsQuirkHost();
    bool bank = index == 0 && !quirk;
    host::ChunkBuffer& buffer = bank ? bankState_ : programState_;
    buffer.Assign(data, static_cast<std::size_t>(size));
    return core_->LoadStateChunk(bank, quirk, buffer) ? 1 : 0;
}

vst2::IntPtr Adapter::ProcessEvents(void* data) {
    if (!data) return 0;
    platform::ScopedLock render(core_->RenderMutex());
    core_->AudioCallStarting(0);
    auto* list = static_cast<vst2::VstEvents*>(data);
    // The list holds numEvents pointers, however many its declaration shows: they are read
    // through a plain pointer, not as elements of the two-entry array.
    vst2::VstEvent* const* entries = list->events;
    for (vst2::Int32 i = 0; i < list->numEvents; ++i) {
        const vst2::VstEvent* event = entries[i];
        if (!event) continue;
        if (event->type == vst2::kVstMidiType) {
            const auto* midi = reinterpret_cast<const vst2::VstMidiEvent*>(event);
            host::MidiMessage message;
            message.offset = midi->deltaFrames;
            message.status = static_cast<std::uint8_t>(midi->midiData[0]);
            message.data1 = static_cast<std::uint8_t>(midi->midiData[1]);
            message.data2 = static_cast<std::uint8_t>(midi->midiData[2]);
            ClearUnusedDataBytes(message);
            core_->HandleMidiMessage(message);
        } else if (event->type == vst2::kVstSysExType) {
            const auto* sysex = reinterpret_cast<const vst2::VstMidiSysexEvent*>(event);
            host::SysExMessage message;
            message.offset = sysex->deltaFrames;
            message.bytes = reinterpret_cast<const std::uint8_t*>(sysex->sysexDump);
            message.size = message.bytes ? std::max(sysex->dumpBytes, 0) : 0;
            core_->HandleSysEx(message);
        }
    }
    core_->AudioCallEnded(false);
    return 1;
}

vst2::IntPtr Adapter::StringToParameter(vst2::Int32 index, const char* text) {
    if (!core_->IsValidParam(index)) return 0;
    if (!text) return 1;
    return core_->SetParamFromText(index, text) ? 1 : 0;
}

vst2::IntPtr Adapter::PinProperties(bool input, vst2::Int32 index, void* data) {
    std::vector<host::Channel>& channels = input ? core_->Inputs() : core_->Outputs();
    int count = static_cast<int>(channels.size());
    if (!data || index < 0 || index >= count) return 0;
    auto* properties = static_cast<vst2::VstPinProperties*>(data);
    properties->flags = vst2::kVstPinIsActive;
    if (index % 2 == 0 && index < count - 1) properties->flags |= vst2::kVstPinIsStereo;
    const std::string& label = channels[static_cast<std::size_t>(index)].label;
    std::string text = !label.empty()
                           ? label
                           : std::string(input ? "Input " : "Output ") + std::to_string(index + 1);
    CopyToHost(properties->label, sizeof properties->label, text);
    return 1;
}

vst2::IntPtr Adapter::CanDo(const char* text) {
    if (!text) return 0;
    if (std::strcmp(text, "receiveVstTimeInfo") == 0) return 1;
    if (core_->UsesMidi() &&
        (std::strcmp(text, "sendVstEvents") == 0 || std::strcmp(text, "sendVstMidiEvent") == 0 ||
         std::strcmp(text, "receiveVstEvents") == 0 ||
         std::strcmp(text, "receiveVstMidiEvent") == 0))
        return 1;
    if (std::strcmp(text, "hasCockosExtensions") == 0) {
        extensionBits_ |= 1 << 1;
        return kExtensionAnswer;
    }
    if (std::strcmp(text, "hasCockosViewAsConfig") == 0) {
        extensionBits_ |= 1 << 2;
        return kExtensionAnswer;
    }
    return 0;
}

vst2::IntPtr Adapter::VendorSpecific(vst2::Int32 index, vst2::IntPtr value, void* data, float opt) {
    bool validParam = value >= 0 && value < core_->ParamCount();
    if (index == 7) {
        if (!data) return 0;
        if (validParam) {
            const host::Param& param = core_->GetParam(static_cast<int>(value));
            // The caller's buffer has no stated size; the displays here are short.
            CopyToHost(data, vst2::kMaxNameLen, param.FormatDisplay(opt, true, true));
        }
        return kVendorSpecificAnswer;
    }
    if (index == 8) {
        if (validParam &&
            core_->GetParam(static_cast<int>(value)).Kind() != host::ParamKind::Double)
            return kVendorSpecificAnswer;
        return 0;
    }
    return 0;
}

void Adapter::SetSpeakerArrangement(vst2::VstSpeakerArrangement* arrangement,
                                    std::vector<host::Channel>& channels) {
    if (!arrangement) return;
    int connected =
        std::min<int>(std::max(arrangement->numChannels, 0), static_cast<int>(channels.size()));
    platform::ScopedLock render(core_->RenderMutex());
    for (std::size_t c = 0; c < channels.size(); ++c) {
        channels[c].connected = static_cast<int>(c) < connected;
        if (!channels[c].connected) channels[c].buffer = channels[c].scratch.data();
    }
}

float Adapter::GetParameterNormalized(vst2::Int32 index) {
    // The value is read without a lock: some hosts ask from their audio thread.
    if (!core_->IsValidParam(index)) return 0.0f;
    return static_cast<float>(core_->GetParam(index).ToNormalized());
}

void Adapter::SetParameterNormalized(vst2::Int32 index, float value) {
    if (!core_->IsValidParam(index) || !std::isfinite(value)) return;
    core_->SetParamFromHost(index, std::clamp(static_cast<double>(value), 0.0, 1.0));
}

void Adapter::PointAtChannels() {
    for (int c = 0; c < core_->InputCount(); ++c)
        inputPointers_[static_cast<std::size_t>(c)] = core_->Input(c).buffer;
    for (int c = 0; c < core_->OutputCount(); ++c)
        outputPointers_[static_cast<std::size_t>(c)] = core_->Output(c).buffer;
}

bool Adapter::RenderPieceUnlessSilent(int frames) {
    PointAtChannels();
    return core_->RenderBlockUnlessSilent(inputPointers_.data(), outputPointers_.data(), frames);
}

void Adapter::RenderPiece(int frames) {
    PointAtChannels();
    core_->RenderBlock(inputPointers_.data(), outputPointers_.data(), frames);
}

void Adapter::ProcessFloat(float** inputs, float** outputs, vst2::Int32 frames, bool accumulate) {
    platform::ScopedLock render(core_->RenderMutex());
    core_->AudioCallStarting(frames);
    CallHost(vst2::audioMasterWantMidi, 0, 1);
    // A call longer than the block size the host set is rendered in pieces that fit the scratch
    // buffers.
    for (int done = 0; done < frames;) {
        int piece = std::min(frames - done, core_->BlockSize());
        int next = 0;
        for (host::Channel& channel : core_->Inputs()) {
            channel.buffer = channel.scratch.data();
            if (!channel.connected) continue;
            const float* source = inputs ? inputs[next++] : nullptr;
            if (source) {
                ToDouble(source + done, channel.buffer, piece);
            } else {
                std::fill(channel.buffer, channel.buffer + piece, 0.0);
            }
        }
        next = 0;
        for (host::Channel& channel : core_->Outputs()) {
            channel.buffer = channel.scratch.data();
            channel.hostOutput = nullptr;
            if (channel.connected) channel.hostOutput = outputs ? outputs[next++] : nullptr;
        }
        // Silence that the plug-in left unwritten becomes float zeros directly. Accumulating
        // calls add every sample, as adding +0 may still change a host's -0.
        bool silent = false;
        if (accumulate)
            RenderPiece(piece);
        else
            silent = RenderPieceUnlessSilent(piece);
        for (host::Channel& channel : core_->Outputs()) {
            if (!channel.hostOutput) continue;
            if (silent)
                std::fill(channel.hostOutput + done, channel.hostOutput + done + piece, 0.0f);
            else
                ToFloat(channel.buffer, channel.hostOutput + done, piece, accumulate);
        }
        done += piece;
    }
    core_->AudioCallEnded(frames > 0);
}

void Adapter::ProcessDouble(double** inputs, double** outputs, vst2::Int32 frames) {
    platform::ScopedLock render(core_->RenderMutex());
    core_->AudioCallStarting(frames);
    CallHost(vst2::audioMasterWantMidi, 0, 1);
    for (int done = 0; done < frames;) {
        int piece = std::min(frames - done, core_->BlockSize());
        int next = 0;
        for (host::Channel& channel : core_->Inputs()) {
            channel.buffer = channel.scratch.data();
            if (!channel.connected) continue;
            double* source = inputs ? inputs[next++] : nullptr;
            if (source) {
                channel.buffer = source + done;
            } else {
                std::fill(channel.buffer, channel.buffer + piece, 0.0);
            }
        }
        next = 0;
        for (host::Channel& channel : core_->Outputs()) {
            channel.buffer = channel.scratch.data();
            if (!channel.connected) continue;
            double* destination = outputs ? outputs[next++] : nullptr;
            if (destination) channel.buffer = destination + done;
        }
        RenderPiece(piece);
        done += piece;
    }
    core_->AudioCallEnded(frames > 0);
}

void Adapter::BeginParamEdit(int index) {
    CallHost(vst2::audioMasterBeginEdit, index);
}

void Adapter::NotifyParamChange(int index, double normalized) {
    CallHost(vst2::audioMasterAutomate, index, 0, nullptr, static_cast<float>(normalized));
}

void Adapter::EndParamEdit(int index) {
    CallHost(vst2::audioMasterEndEdit, index);
}

void Adapter::NotifyProgramChange() {
    CallHost(vst2::audioMasterUpdateDisplay);
}

bool Adapter::IsOfflineRender() {
    return CallHost(vst2::audioMasterGetCurrentProcessLevel) == vst2::kVstProcessLevelOffline;
}

const vst2::VstTimeInfo* Adapter::HostTime(vst2::Int32 filter) {
    return reinterpret_cast<const vst2::VstTimeInfo*>(
        CallHost(vst2::audioMasterGetTime, 0, filter));
}

long long Adapter::SamplePosition() {
    const vst2::VstTimeInfo* time = HostTime(0);
    if (!time || !(time->samplePos >= 0.0) || time->samplePos > 9.0e18) return 0;
    return static_cast<long long>(std::floor(time->samplePos + 0.5));
}

double Adapter::Tempo() {
    const vst2::VstTimeInfo* time = HostTime(vst2::kVstTempoValid);
    if (time && (time->flags & vst2::kVstTempoValid) && time->tempo >= 0.0) return time->tempo;
    return 0.0;
}

void Adapter::TimeSignature(int& numerator, int& denominator) {
    numerator = 0;
    denominator = 0;
    const vst2::VstTimeInfo* time = HostTime(vst2::kVstTimeSigValid);
    if (time && (time->flags & vst2::kVstTimeSigValid) && time->timeSigNumerator >= 0 &&
        time->timeSigDenominator >= 0) {
        numerator = time->timeSigNumerator;
        denominator = time->timeSigDenominator;
    }
}

void Adapter::Transport(host::TransportInfo& info) {
    constexpr vst2::Int32 kFilter = vst2::kVstPpqPosValid | vst2::kVstTempoValid |
                                    vst2::kVstBarsValid | vst2::kVstCyclePosValid |
                                    vst2::kVstTimeSigValid;
    const vst2::VstTimeInfo* time = HostTime(kFilter);
    if (!time || !(time->flags & kFilter)) return;
    info.samplePosition = time->samplePos;
    if ((time->flags & vst2::kVstPpqPosValid) && time->ppqPos >= 0.0)
        info.ppqPosition = time->ppqPos;
    if ((time->flags & vst2::kVstTempoValid) && time->tempo > 0.0) info.tempo = time->tempo;
    if ((time->flags & vst2::kVstBarsValid) && time->barStartPos >= 0.0)
        info.barStart = time->barStartPos;
    if ((time->flags & vst2::kVstCyclePosValid) && time->cycleStartPos >= 0.0 &&
        time->cycleEndPos >= 0.0) {
        info.cycleStart = time->cycleStartPos;
        info.cycleEnd = time->cycleEndPos;
    }
    if ((time->flags & vst2::kVstTimeSigValid) && time->timeSigNumerator > 0 &&
        time->timeSigDenominator > 0) {
        info.numerator = time->timeSigNumerator;
        info.denominator = time->timeSigDenominator;
    }
    info.playing = (time->flags & vst2::kVstTransportPlaying) != 0;
    info.cycleActive = (time->flags & vst2::kVstTransportCycleActive) != 0;
}

int Adapter::HostCode() {
    if (hostCode_ != -1) return hostCode_;
    char product[256] = {};
    CallHost(vst2::audioMasterGetProductString, 0, 0, product);
    product[sizeof product - 1] = '\0';
    if (product[0]) {
        auto v = static_cast<long long>(CallHost(vst2::audioMasterGetVendorVersion));
        if (v < 0) v = 0;
        hostVersion_ =
            static_cast<int>(((v / 10000) << 16) | (((v % 10000) / 100) << 8) | (v % 100));
    }
    std::string lower = LowerCase(product);
    hostCode_ = 0;
    for (const HostNameCode& entry : kHostNames) {
        if (lower.find(entry.text) != std::string::npos) {
            hostCode_ = entry.code;
            break;
        }
    }
    return hostCode_;
}

bool Adapter::IsQuirkHost() {
    if (!quirkHostKnown_) {
        char vendor[256] = {};
        CallHost(vst2::audioMasterGetVendorString, 0, 0, vendor);
        vendor[sizeof vendor - 1] = '\0';
        std::string lower = LowerCase(vendor);
        quirkHost_ = lower == "native instruments" || lower == "juce vst host";
        quirkHostKnown_ = true;
    }
    return quirkHost_;
}

void Adapter::HostSpecificSetup() {
    if (hostSetupDone_) return;
    hostSetupDone_ = true;
    int code = HostCode();
    if (code == 15 || code == 17 || code == 18 || code == 20) core_->LimitToStereo();
    UpdateChannelCounts();
    core_->HostIdentified();
}

void Adapter::EditorSizeChanged(int width, int height) {
    editorRect_.top = 0;
    editorRect_.left = 0;
    editorRect_.bottom = static_cast<std::int16_t>(height);
    editorRect_.right = static_cast<std::int16_t>(width);
}

bool Adapter::ResizeEditorFrame(int width, int height) {
    // Hosts that ask effEditGetRect while they resize find the new size there already. A host
    // that knows the request answers 1 once its frame has it.
    const vst2::ERect previous = editorRect_;
    EditorSizeChanged(width, height);
    if (CallHost(vst2::audioMasterSizeWindow, width, height) != 0) return true;
    editorRect_ = previous;
    return false;
}

host::PluginEditor* Adapter::WindowEditor() const {
    return core_ ? core_->WindowEditor() : nullptr;
}

void Adapter::LatencyChanged(int samples) {
    effect_.initialDelay = samples;
}

bool Adapter::SendMidi(const host::MidiMessage& message) {
    vst2::VstMidiEvent event{};
    event.type = vst2::kVstMidiType;
    event.byteSize = 32;
    event.deltaFrames = message.offset;
    event.midiData[0] = static_cast<char>(message.status);
    event.midiData[1] = static_cast<char>(message.data1);
    event.midiData[2] = static_cast<char>(message.data2);
    vst2::VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<vst2::VstEvent*>(&event);
    return CallHost(vst2::audioMasterProcessEvents, 0, 0, &events) == 1;
}

bool Adapter::SendSysEx(const host::SysExMessage& message) {
    vst2::VstMidiSysexEvent event{};
    event.type = vst2::kVstSysExType;
    event.byteSize = 48;
    event.deltaFrames = message.offset;
    event.dumpBytes = message.size;
    event.sysexDump = reinterpret_cast<char*>(const_cast<std::uint8_t*>(message.bytes));
    vst2::VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<vst2::VstEvent*>(&event);
    return CallHost(vst2::audioMasterProcessEvents, 0, 0, &events) == 1;
}

} // namespace vst2
