#include "host/VstPlugin.h"

#include "common/NumberText.h"
#include "common/SlowWork.h"
#include "host/ChunkVersion.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace host {

namespace {

constexpr vst2::IntPtr kVendorSpecificAnswer = 0xBEEF;
constexpr vst2::IntPtr kExtensionAnswer = static_cast<vst2::IntPtr>(0xBEEF0000u);
constexpr vst2::IntPtr kIdentifyAnswer = vst2::FourCC('N', 'v', 'E', 'f');
constexpr vst2::IntPtr kVstVersion = 2400;

// The entry points in the effect record. None lets a C++ exception reach the host.
vst2::IntPtr VORNA_VSTCALL DispatcherEntry(vst2::AEffect* effect, vst2::Int32 opcode,
                                           vst2::Int32 index, vst2::IntPtr value, void* data,
                                           float opt) {
    VstPlugin* plugin = VstPlugin::FromEffect(effect);
    if (!plugin) return 0;
    try {
        if (opcode == vst2::effClose) {
            // The host's reference is gone after this call: destroy without holding the lock.
            delete plugin;
            return 0;
        }
        // Events come from the audio thread, which must not wait for the instance mutex.
        if (opcode == vst2::effProcessEvents) return plugin->ProcessEvents(data);
        return plugin->Dispatch(opcode, index, value, data, opt);
    } catch (...) {
        return 0;
    }
}

void VORNA_VSTCALL ProcessEntry(vst2::AEffect* effect, float** inputs, float** outputs,
                                vst2::Int32 frames) {
    if (VstPlugin* plugin = VstPlugin::FromEffect(effect)) {
        try {
            plugin->ProcessFloat(inputs, outputs, frames, true);
        } catch (...) {
        }
    }
}

void VORNA_VSTCALL ProcessReplacingEntry(vst2::AEffect* effect, float** inputs, float** outputs,
                                         vst2::Int32 frames) {
    if (VstPlugin* plugin = VstPlugin::FromEffect(effect)) {
        try {
            plugin->ProcessFloat(inputs, outputs, frames, false);
        } catch (...) {
        }
    }
}

void VORNA_VSTCALL ProcessDoubleEntry(vst2::AEffect* effect, double** inputs, double** outputs,
                                      vst2::Int32 frames) {
    if (VstPlugin* plugin = VstPlugin::FromEffect(effect)) {
        try {
            plugin->ProcessDouble(inputs, outputs, frames);
        } catch (...) {
        }
    }
}

float VORNA_VSTCALL GetParameterEntry(vst2::AEffect* effect, vst2::Int32 index) {
    if (VstPlugin* plugin = VstPlugin::FromEffect(effect)) {
        try {
            return plugin->GetParameterNormalized(index);
        } catch (...) {
        }
    }
    return 0.0f;
}

void VORNA_VSTCALL SetParameterEntry(vst2::AEffect* effect, vst2::Int32 index, float value) {
    if (VstPlugin* plugin = VstPlugin::FromEffect(effect)) {
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
void ClearUnusedDataBytes(MidiMessage& message) {
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

VstPlugin::VstPlugin(vst2::HostCallback hostCallback, int paramCount, int presetCount,
                     const char* ioConfiguration)
    : PluginBase(paramCount, presetCount, ioConfiguration), hostCallback_(hostCallback) {
    effect_.magic = vst2::kEffectMagic;
    effect_.dispatcher = DispatcherEntry;
    effect_.process = ProcessEntry;
    effect_.setParameter = SetParameterEntry;
    effect_.getParameter = GetParameterEntry;
    effect_.processReplacing = ProcessReplacingEntry;
    effect_.processDoubleReplacing = ProcessDoubleEntry;
    effect_.numPrograms = PresetCount();
    effect_.numParams = ParamCount();
    effect_.flags = vst2::effFlagsCanReplacing | vst2::effFlagsCanDoubleReplacing;
    if (UsesStateChunks()) effect_.flags |= vst2::effFlagsProgramChunks;
    if (LegalIO(1, -1)) effect_.flags |= vst2::effFlagsCanMono;
    if (IsInstrument()) effect_.flags |= vst2::effFlagsIsSynth;
    effect_.initialDelay = 0;
    effect_.ioRatio = 1.0f;
    effect_.object = this;
    effect_.uniqueID = vst2::FourCC('v', 'o', 'r', 'n');
    UpdateChannelCounts();
    inputPointers_.assign(static_cast<std::size_t>(InputCount()), nullptr);
    outputPointers_.assign(static_cast<std::size_t>(OutputCount()), nullptr);
    SetBlockSize(kDefaultBlockSize);
    for (Channel& channel : inputs_) channel.buffer = channel.scratch.data();
    for (Channel& channel : outputs_) channel.buffer = channel.scratch.data();
}

VstPlugin::~VstPlugin() {
    effect_.object = nullptr;
}

VstPlugin* VstPlugin::FromEffect(vst2::AEffect* effect) {
    return effect ? static_cast<VstPlugin*>(effect->object) : nullptr;
}

void VstPlugin::UpdateChannelCounts() {
    effect_.numInputs = InputCount();
    effect_.numOutputs = OutputCount();
    inputArrangement_.numChannels = InputCount();
    inputArrangement_.type = ArrangementType(InputCount());
    outputArrangement_.numChannels = OutputCount();
    outputArrangement_.type = ArrangementType(OutputCount());
}

vst2::IntPtr VstPlugin::CallHost(vst2::Int32 opcode, vst2::Int32 index, vst2::IntPtr value,
                                 void* data, float opt) {
    if (!hostCallback_) return 0;
    return hostCallback_(&effect_, opcode, index, value, data, opt);
}

vst2::IntPtr VstPlugin::Dispatch(vst2::Int32 opcode, vst2::Int32 index, vst2::IntPtr value,
                                 void* data, float opt) {
    platform::ScopedLock lock(Mutex());
    ShowParamsChangedWhileBusy();
    switch (opcode) {
    case vst2::effOpen:
        HostSpecificSetup();
        AllParamsChanged();
        return 0;
    case vst2::effSetProgram:
        ModifyCurrentPreset();
        RecallPreset(value >= 0 && value < PresetCount() ? static_cast<int>(value) : -1);
        return 0;
    case vst2::effGetProgram:
        return CurrentPresetIndex();
    case vst2::effSetProgramName:
        if (data) {
            // One byte more than a name holds, so that the cut to fit happens between
            // characters (in ModifyCurrentPreset) rather than here by bytes.
            std::string name(static_cast<const char*>(data),
                             strnlen(static_cast<const char*>(data), Preset::kNameCapacity));
            ModifyCurrentPreset(name.c_str());
            ProgramsChanged();
        }
        return 0;
    case vst2::effGetProgramName:
        if (data) CopyToHost(data, vst2::kMaxProgNameLen, PresetName(CurrentPresetIndex()));
        return 0;
    case vst2::effGetParamLabel:
        if (data && IsValidParam(index))
            CopyToHost(data, vst2::kMaxNameLen, GetParam(index).DisplayLabel());
        return 0;
    case vst2::effGetParamDisplay:
        if (data && IsValidParam(index)) {
            const Param& param = GetParam(index);
            CopyToHost(data, vst2::kMaxNameLen, param.FormatDisplay(param.Value(), false, true));
        }
        return 0;
    case vst2::effGetParamName:
        if (data && IsValidParam(index))
            CopyToHost(data, vst2::kMaxNameLen, GetParam(index).Name());
        return 0;
    case vst2::effSetSampleRate:
        SetSampleRate(opt);
        ResetProcessing();
        return 0;
    case vst2::effSetBlockSize:
        // Checked before narrowing: a 64-bit value must not wrap into a plausible size.
        SetBlockSize(value > 0 && value <= kMaxBlockSize ? static_cast<int>(value) : 0);
        ResetProcessing();
        return 0;
    case vst2::effMainsChanged:
        if (value != 0) {
            ActivationChanged(true);
        } else {
            ActivationChanged(false);
            ResetProcessing();
        }
        return 0;
    case vst2::effEditGetRect:
        if (data && WindowEditor()) {
            *static_cast<vst2::ERect**>(data) = &editorRect_;
            return 1;
        }
        return 0;
    case vst2::effEditOpen:
        if (WindowEditor() && WindowEditor()->OpenWindow(data)) {
            EditorOpened();
            return 1;
        }
        return 0;
    case vst2::effEditClose:
        if (WindowEditor()) {
            EditorClosed();
            Editor()->CloseWindow();
            return 1;
        }
        return 0;
    case vst2::effEditIdle:
        if (WindowEditor()) WindowEditor()->Idle();
        IdleTick();
        return 0;
    case vst2::effIdle:
        IdleTick();
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
        std::string name = PresetName(index);
        CopyToHost(data, vst2::kMaxProgNameLen, name);
        return name.empty() ? 0 : 1;
    }
    case vst2::effGetInputProperties:
        return PinProperties(true, index, data);
    case vst2::effGetOutputProperties:
        return PinProperties(false, index, data);
    case vst2::effGetPlugCategory:
        return IsInstrument() ? vst2::kPlugCategSynth : vst2::kPlugCategEffect;
    case vst2::effProcessVarIo:
        return 0;
    case vst2::effSetSpeakerArrangement:
        SetSpeakerArrangement(reinterpret_cast<vst2::VstSpeakerArrangement*>(value), inputs_);
        SetSpeakerArrangement(static_cast<vst2::VstSpeakerArrangement*>(data), outputs_);
        return 1;
    case vst2::effGetEffectName:
        if (!data) return 0;
        CopyToHost(data, vst2::kMaxEffectNameLen, EffectName());
        return 1;
    case vst2::effGetVendorString:
        if (!data) return 0;
        CopyToHost(data, vst2::kMaxVendorStrLen, VendorName());
        return 1;
    case vst2::effGetProductString:
        if (!data) return 0;
        CopyToHost(data, vst2::kMaxProductStrLen, ProductName());
        return 1;
    case vst2::effGetVendorVersion:
        return DecimalVersion();
    case vst2::effVendorSpecific:
        return VendorSpecific(index, value, data, opt);
    case vst2::effCanDo:
        return CanDo(static_cast<const char*>(data));
    case vst2::effGetTailSize:
        return TailSize();
    case vst2::effGetVstVersion:
        return kVstVersion;
    case vst2::effGetMidiKeyName: {
        if (!data) return 0;
        auto* key = static_cast<vst2::MidiKeyName*>(data);
        key->keyName[0] = '\0';
        std::string text;
        bool named = NoteNameFor(key->thisKeyNumber, text);
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

vst2::IntPtr VstPlugin::GetChunk(vst2::Int32 index, void* data) {
    if (!data) return 0;
    bool bank = index == 0 && !IsQuirkHost();
    ChunkBuffer& buffer = bank ? bankState_ : programState_;
    StartChunkWithVersion(buffer);
    bool ok;
    if (bank) {
        ModifyCurrentPreset();
        ok = SerializePresets(buffer);
    } else {
        ok = WriteState(buffer);
        buffer.AppendText(PresetName(CurrentPresetIndex()));
        ok = ok && !buffer.Empty();
    }
    if (!ok || buffer.Empty()) return 0;
    *static_cast<void**>(data) = buffer.Data();
    return buffer.Size();
}

vst2::IntPtr VstPlugin::SetChunk(vst2::Int32 index, vst2::IntPtr size, void* data) {
    if (!data || size < 0 || size > 0x7FFFFFFF) return 0;
    bool quirk = IsQuirkHost();
    bool bank = index == 0 && !quirk;
    ChunkBuffer& buffer = bank ? bankState_ : programState_;
    common::SlowWorkStarts(common::SlowWork::ChunkParsing);
    buffer.Assign(data, static_cast<std::size_t>(size));
    int position = 0;
    std::int32_t version = ReadChunkVersion(buffer, position);
    if (bank && version < kFrameworkVersion) bank = false;
    if (bank) {
        // Checks the whole bank first: a corrupt one changes no program and answers 0.
        position = UnserializePresets(buffer, position);
    } else {
        position = CheckState(buffer, position) < 0 ? -1 : ReadState(buffer, position);
        if (position >= 0) {
            // A length-prefixed name may follow; an empty or unreadable one keeps the old name.
            std::string name;
            int next = position < buffer.Size() ? buffer.ReadText(name, position) : -1;
            if (next >= 0) position = next;
            if (next >= 0 && !name.empty()) {
                ModifyCurrentPreset(CutPresetName(name).c_str());
            } else {
                ModifyCurrentPreset();
            }
        }
        if (quirk) {
            if (position == buffer.Size()) {
                RefreshParamControls();
                return 1;
            }
            // Such hosts also hand back bank chunks under a program request.
            bool programRead = position >= 0;
            bankState_.Assign(data, static_cast<std::size_t>(size));
            int bankPosition = 0;
            if (ReadChunkVersion(bankState_, bankPosition) >= kFrameworkVersion) {
                position = UnserializePresets(bankState_, bankPosition);
            } else {
                // Neither a program read whole nor a bank: a failure, not a success.
                position = programRead ? bankPosition : -1;
            }
        }
    }
    if (position < 0) return 0;
    RefreshParamControls();
    return 1;
}

vst2::IntPtr VstPlugin::ProcessEvents(void* data) {
    if (!data) return 0;
    platform::ScopedLock render(RenderMutex());
    AudioCallStarting();
    auto* list = static_cast<vst2::VstEvents*>(data);
    // The list holds numEvents pointers, however many its declaration shows: they are read
    // through a plain pointer, not as elements of the two-entry array.
    vst2::VstEvent* const* entries = list->events;
    for (vst2::Int32 i = 0; i < list->numEvents; ++i) {
        const vst2::VstEvent* event = entries[i];
        if (!event) continue;
        if (event->type == vst2::kVstMidiType) {
            const auto* midi = reinterpret_cast<const vst2::VstMidiEvent*>(event);
            MidiMessage message;
            message.offset = midi->deltaFrames;
            message.status = static_cast<std::uint8_t>(midi->midiData[0]);
            message.data1 = static_cast<std::uint8_t>(midi->midiData[1]);
            message.data2 = static_cast<std::uint8_t>(midi->midiData[2]);
            ClearUnusedDataBytes(message);
            HandleMidiMessage(message);
        } else if (event->type == vst2::kVstSysExType) {
            const auto* sysex = reinterpret_cast<const vst2::VstMidiSysexEvent*>(event);
            SysExMessage message;
            message.offset = sysex->deltaFrames;
            message.bytes = reinterpret_cast<const std::uint8_t*>(sysex->sysexDump);
            message.size = message.bytes ? std::max(sysex->dumpBytes, 0) : 0;
            HandleSysEx(message);
        }
    }
    AudioCallEnded(false);
    return 1;
}

vst2::IntPtr VstPlugin::StringToParameter(vst2::Int32 index, const char* text) {
    if (!IsValidParam(index)) return 0;
    if (!text) return 1;
    Param& param = GetParam(index);
    double value = 0.0;
    if (param.HasDisplayTexts()) {
        if (!param.ValueOfText(text, value)) return 0;
    } else {
        value = common::ParseDouble(text);
        // Infinity or NaN would be stored as a value no parameter can have.
        if (!std::isfinite(value)) return 0;
    }
    value = std::clamp(value, param.Min(), param.Max());
    if (Editor()) Editor()->ShowParamValue(index, value, false);
    param.SetClamped(value);
    ParamChanged(index);
    return 1;
}

vst2::IntPtr VstPlugin::PinProperties(bool input, vst2::Int32 index, void* data) {
    std::vector<Channel>& channels = input ? inputs_ : outputs_;
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

vst2::IntPtr VstPlugin::CanDo(const char* text) {
    if (!text) return 0;
    if (std::strcmp(text, "receiveVstTimeInfo") == 0) return 1;
    if (UsesMidi() &&
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

vst2::IntPtr VstPlugin::VendorSpecific(vst2::Int32 index, vst2::IntPtr value, void* data,
                                       float opt) {
    bool validParam = value >= 0 && value < ParamCount();
    if (index == 7) {
        if (!data) return 0;
        if (validParam) {
            const Param& param = GetParam(static_cast<int>(value));
            // The caller's buffer has no stated size; the displays here are short.
            CopyToHost(data, vst2::kMaxNameLen, param.FormatDisplay(opt, true, true));
        }
        return kVendorSpecificAnswer;
    }
    if (index == 8) {
        if (validParam && GetParam(static_cast<int>(value)).Kind() != ParamKind::Double)
            return kVendorSpecificAnswer;
        return 0;
    }
    return 0;
}

void VstPlugin::SetSpeakerArrangement(vst2::VstSpeakerArrangement* arrangement,
                                      std::vector<Channel>& channels) {
    if (!arrangement) return;
    int connected =
        std::min<int>(std::max(arrangement->numChannels, 0), static_cast<int>(channels.size()));
    platform::ScopedLock render(RenderMutex());
    for (std::size_t c = 0; c < channels.size(); ++c) {
        channels[c].connected = static_cast<int>(c) < connected;
        if (!channels[c].connected) channels[c].buffer = channels[c].scratch.data();
    }
}

float VstPlugin::GetParameterNormalized(vst2::Int32 index) {
    // The value is read without a lock: some hosts ask from their audio thread.
    if (!IsValidParam(index)) return 0.0f;
    return static_cast<float>(GetParam(index).ToNormalized());
}

void VstPlugin::SetParameterNormalized(vst2::Int32 index, float value) {
    if (!IsValidParam(index) || !std::isfinite(value)) return;
    double normalized = std::clamp(static_cast<double>(value), 0.0, 1.0);
    // Hosts automate from their audio thread too. While another thread holds the instance mutex
    // (the editor drawing, a bank loading), the value still reaches the engine at once.
    platform::ScopedTryLock lock(Mutex());
    if (!lock.Owns()) {
        SetParamWhileBusy(index, normalized);
        return;
    }
    ShowParamsChangedWhileBusy();
    if (Editor()) Editor()->ShowParamValue(index, normalized, true);
    GetParam(index).SetFromNormalized(normalized);
    ParamChanged(index);
}

void VstPlugin::PointAtChannels() {
    for (int c = 0; c < InputCount(); ++c)
        inputPointers_[static_cast<std::size_t>(c)] = Input(c).buffer;
    for (int c = 0; c < OutputCount(); ++c)
        outputPointers_[static_cast<std::size_t>(c)] = Output(c).buffer;
}

bool VstPlugin::RenderPieceUnlessSilent(int frames) {
    PointAtChannels();
    return RenderBlockUnlessSilent(inputPointers_.data(), outputPointers_.data(), frames);
}

void VstPlugin::RenderPiece(int frames) {
    PointAtChannels();
    RenderBlock(inputPointers_.data(), outputPointers_.data(), frames);
}

void VstPlugin::ProcessFloat(float** inputs, float** outputs, vst2::Int32 frames, bool accumulate) {
    platform::ScopedLock render(RenderMutex());
    AudioCallStarting();
    CallHost(vst2::audioMasterWantMidi, 0, 1);
    // A call longer than the block size the host set is rendered in pieces that fit the scratch
    // buffers.
    for (int done = 0; done < frames;) {
        int piece = std::min(frames - done, BlockSize());
        int next = 0;
        for (Channel& channel : inputs_) {
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
        for (Channel& channel : outputs_) {
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
        for (Channel& channel : outputs_) {
            if (!channel.hostOutput) continue;
            if (silent)
                std::fill(channel.hostOutput + done, channel.hostOutput + done + piece, 0.0f);
            else
                ToFloat(channel.buffer, channel.hostOutput + done, piece, accumulate);
        }
        done += piece;
    }
    AudioCallEnded(true);
}

void VstPlugin::ProcessDouble(double** inputs, double** outputs, vst2::Int32 frames) {
    platform::ScopedLock render(RenderMutex());
    AudioCallStarting();
    CallHost(vst2::audioMasterWantMidi, 0, 1);
    for (int done = 0; done < frames;) {
        int piece = std::min(frames - done, BlockSize());
        int next = 0;
        for (Channel& channel : inputs_) {
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
        for (Channel& channel : outputs_) {
            channel.buffer = channel.scratch.data();
            if (!channel.connected) continue;
            double* destination = outputs ? outputs[next++] : nullptr;
            if (destination) channel.buffer = destination + done;
        }
        RenderPiece(piece);
        done += piece;
    }
    AudioCallEnded(true);
}

void VstPlugin::BeginParamEdit(int index) {
    CallHost(vst2::audioMasterBeginEdit, index);
}

void VstPlugin::NotifyParamChange(int index, double normalized) {
    CallHost(vst2::audioMasterAutomate, index, 0, nullptr, static_cast<float>(normalized));
}

void VstPlugin::EndParamEdit(int index) {
    CallHost(vst2::audioMasterEndEdit, index);
}

void VstPlugin::NotifyProgramChange() {
    CallHost(vst2::audioMasterUpdateDisplay);
}

bool VstPlugin::IsOfflineRender() {
    return CallHost(vst2::audioMasterGetCurrentProcessLevel) == vst2::kVstProcessLevelOffline;
}

const vst2::VstTimeInfo* VstPlugin::HostTime(vst2::Int32 filter) {
    return reinterpret_cast<const vst2::VstTimeInfo*>(
        CallHost(vst2::audioMasterGetTime, 0, filter));
}

long long VstPlugin::GetSamplePosition() {
    const vst2::VstTimeInfo* time = HostTime(0);
    if (!time || !(time->samplePos >= 0.0) || time->samplePos > 9.0e18) return 0;
    return static_cast<long long>(std::floor(time->samplePos + 0.5));
}

double VstPlugin::GetHostTempo() {
    const vst2::VstTimeInfo* time = HostTime(vst2::kVstTempoValid);
    if (time && (time->flags & vst2::kVstTempoValid) && time->tempo >= 0.0) return time->tempo;
    return 0.0;
}

void VstPlugin::GetHostTimeSignature(int& numerator, int& denominator) {
    numerator = 0;
    denominator = 0;
    const vst2::VstTimeInfo* time = HostTime(vst2::kVstTimeSigValid);
    if (time && (time->flags & vst2::kVstTimeSigValid) && time->timeSigNumerator >= 0 &&
        time->timeSigDenominator >= 0) {
        numerator = time->timeSigNumerator;
        denominator = time->timeSigDenominator;
    }
}

void VstPlugin::GetTransportInfo(TransportInfo& info) {
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

int VstPlugin::IdentifyHost() {
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

bool VstPlugin::IsQuirkHost() {
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

void VstPlugin::HostSpecificSetup() {
    if (hostSetupDone_) return;
    hostSetupDone_ = true;
    int code = IdentifyHost();
    if (code == 15 || code == 17 || code == 18 || code == 20) LimitToStereo();
    UpdateChannelCounts();
    HostIdentified();
}

void VstPlugin::ResizeEditor(int width, int height) {
    editorRect_.top = 0;
    editorRect_.left = 0;
    editorRect_.bottom = static_cast<std::int16_t>(height);
    editorRect_.right = static_cast<std::int16_t>(width);
}

void VstPlugin::AttachEditor(PluginEditor* editor) {
    platform::ScopedLock lock(Mutex());
    PluginBase::AttachEditor(editor);
    if (WindowEditor()) {
        effect_.flags |= vst2::effFlagsHasEditor;
        ResizeEditor(editor->Width(), editor->Height());
    } else {
        effect_.flags &= ~vst2::effFlagsHasEditor;
    }
}

PluginEditor* VstPlugin::WindowEditor() const {
    PluginEditor* editor = Editor();
    return editor && editor->HasWindow() ? editor : nullptr;
}

void VstPlugin::SetLatencySamples(int samples) {
    PluginBase::SetLatencySamples(samples);
    effect_.initialDelay = samples;
}

bool VstPlugin::SendMidiMessage(const MidiMessage& message) {
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

bool VstPlugin::SendSysExMessage(const SysExMessage& message) {
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

} // namespace host
