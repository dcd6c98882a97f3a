#include "lv2/Lv2Adapter.h"

#include "host/PluginFactory.h"
#include "lv2/Lv2Identity.h"
#include "lv2/Lv2PortDefaults.h"

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace lv2 {

namespace {

template <typename T> T* FindFeature(const LV2_Feature* const* features, const char* uri) {
    if (!features) return nullptr;
    for (const LV2_Feature* const* f = features; *f; ++f)
        if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0) return static_cast<T*>((*f)->data);
    return nullptr;
}

// A block length from the host's options, 0 when it gives none that the core can use.
int BlockLengthOption(const LV2_Options_Option* option, const Uris& uris) {
    if (option->type != uris.atomInt || option->size != sizeof(std::int32_t) || !option->value)
        return 0;
    std::int32_t value = *static_cast<const std::int32_t*>(option->value);
    return value > 0 && value <= host::PluginBase::kMaxBlockSize ? value : 0;
}

// Some hosts leave garbage in the bytes a message does not use: the status byte alone says how
// long a message is.
host::MidiMessage ShortMessage(std::uint32_t frame, const std::uint8_t* bytes, std::uint32_t size) {
    host::MidiMessage message;
    message.offset = static_cast<int>(frame);
    message.status = bytes[0];
    std::uint8_t status = message.status;
    bool oneDataByte = (status >= 0xC0 && status <= 0xDF) || status == 0xF1 || status == 0xF3;
    bool noDataByte = status == 0xF6 || status >= 0xF8;
    if (!noDataByte && size > 1) message.data1 = bytes[1];
    if (!noDataByte && !oneDataByte && size > 2) message.data2 = bytes[2];
    return message;
}

// A port's float cannot hold a value such as 1.13 exactly, which the programs hold as a double:
// a value on a decimal parameter's step grid is taken as the grid's own double, so that a preset
// sounds exactly as its program.
double PortToNormalized(const host::Param& param, float port) {
    double value = port;
    if (param.Kind() == host::ParamKind::Double && param.Step() > 0.0) {
        double perUnit = std::round(1.0 / param.Step());
        double steps = std::round(value * perUnit);
        if (std::fabs(steps / perUnit - value) < 1e-4 * param.Step()) value = steps / perUnit;
    }
    return std::clamp(param.ToNormalized(value), 0.0, 1.0);
}

void ToFloat(const double* source, float* destination, std::uint32_t frames) {
    for (std::uint32_t i = 0; i < frames; ++i) destination[i] = static_cast<float>(source[i]);
}

} // namespace

Adapter::Adapter(const Uris& uris, const LV2_Feature* const* features) : uris_(uris) {
    log_ = FindFeature<LV2_Log_Log>(features, LV2_LOG__log);
    worker_ = FindFeature<LV2_Worker_Schedule>(features, LV2_WORKER__schedule);
}

Adapter* Adapter::Create(double sampleRate, const LV2_Feature* const* features) {
    auto* map = FindFeature<LV2_URID_Map>(features, LV2_URID__map);
    if (!map) {
        // Without the URID map no MIDI event can be read: the host's log hears why.
        const char* text = "Vorna: the host does not offer the required feature " LV2_URID__map
                           "; the plug-in is not instantiated.\n";
        if (auto* log = FindFeature<LV2_Log_Log>(features, LV2_LOG__log)) {
            // Without a map there is no URID for the message type either; 0 leaves it to the
            // host.
            log->printf(log->handle, 0, "%s", text);
        } else {
            std::fputs(text, stderr);
        }
        return nullptr;
    }
    Uris uris = Uris::Map(map);
    std::unique_ptr<Adapter> adapter(new Adapter(uris, features));
    int blockSize = kDefaultBlockSize;
    if (auto* options = FindFeature<const LV2_Options_Option>(features, LV2_OPTIONS__options)) {
        int nominal = 0;
        int maximum = 0;
        for (const LV2_Options_Option* o = options; o->key; ++o) {
            if (o->key == uris.maxBlockLength) maximum = BlockLengthOption(o, uris);
            if (o->key == uris.nominalBlockLength) nominal = BlockLengthOption(o, uris);
        }
        if (maximum > 0)
            blockSize = maximum;
        else if (nominal > 0)
            blockSize = nominal;
    }
    if (!adapter->Start(sampleRate, blockSize)) {
        adapter->Log("Vorna: the plug-in could not be made.\n");
        return nullptr;
    }
    return adapter.release();
}

bool Adapter::Start(double sampleRate, int blockSize) {
    host::PluginSetup setup;
    setup.host = this;
    setup.blockSize = blockSize;
    core_ = host::CreatePlugin(setup);
    if (!core_) return false;
    core_->FillEmptyPresets();
    {
        platform::ScopedLock lock(core_->Mutex());
        // What a VST2 host's effOpen, effSetSampleRate and effSetBlockSize do, in that order,
        // each with its reset: the control tick depends on the order (the reset after a new rate
        // rounds the rate to whole milliseconds, a later reset truncates), and the LV2 plug-in
        // is to sound exactly as the VST2 one in a host that opens it so.
        core_->HostIdentified();
        core_->AllParamsChanged();
        core_->SetSampleRate(sampleRate);
        core_->ResetProcessing();
        core_->SetBlockSize(blockSize);
        core_->ResetProcessing();
    }
    int params = core_->ParamCount();
    paramPorts_.assign(static_cast<std::size_t>(params), nullptr);
    // A host that leaves a port at its default has not set it: the plug-in keeps the start-up
    // program's value (the same unless the user chose a start-up bank of their own).
    portSeen_.assign(static_cast<std::size_t>(params), std::nanf(""));
    for (int i = 0; i < params && i < kPortDefaultCount; ++i)
        portSeen_[static_cast<std::size_t>(i)] = kPortDefaults[i];
    uiPending_ = std::make_unique<std::atomic<bool>[]>(static_cast<std::size_t>(params));
    uiPendingValue_ = std::make_unique<std::atomic<double>[]>(static_cast<std::size_t>(params));
    for (int i = 0; i < params; ++i) {
        uiPending_[static_cast<std::size_t>(i)] = false;
        uiPendingValue_[static_cast<std::size_t>(i)] = 0.0;
    }
    inputPointers_.assign(static_cast<std::size_t>(core_->InputCount()), nullptr);
    outputPointers_.assign(static_cast<std::size_t>(core_->OutputCount()), nullptr);
    return true;
}

Adapter::~Adapter() = default;

void Adapter::Log(const char* text) {
    if (log_)
        log_->printf(log_->handle, 0, "%s", text);
    else
        std::fputs(text, stderr);
}

void Adapter::Cleanup() {
    // Destroyed without holding the instance mutex, now or when the last call inside returns
    // (the editor's, when the host closes the plug-in while a menu of it waits for the user).
    core_->CloseFromHost([this] { delete this; });
}

void Adapter::ConnectPort(std::uint32_t port, void* data) {
    switch (port) {
    case kMidiInPort:
        midiIn_ = static_cast<const LV2_Atom_Sequence*>(data);
        return;
    case kMidiOutPort:
        midiOutPort_ = static_cast<LV2_Atom_Sequence*>(data);
        return;
    case kLeftOutPort:
    case kRightOutPort:
        audioOut_[port - kLeftOutPort] = static_cast<float*>(data);
        return;
    default:
        if (port >= kFirstParamPort && port - kFirstParamPort < paramPorts_.size())
            paramPorts_[port - kFirstParamPort] = static_cast<const float*>(data);
        return;
    }
}

void Adapter::Activate() {
    platform::ScopedLock lock(core_->Mutex());
    core_->ActivationChanged(true);
}

void Adapter::Deactivate() {
    platform::ScopedLock lock(core_->Mutex());
    core_->ActivationChanged(false);
    core_->ResetProcessing();
}

void Adapter::ApplyChangedPorts() {
    bool adopt = adoptPorts_.exchange(false);
    for (std::size_t i = 0; i < paramPorts_.size(); ++i) {
        const float* port = paramPorts_[i];
        if (!port) continue;
        float value = *port;
        if (value == portSeen_[i] || !std::isfinite(value)) continue;
        portSeen_[i] = value;
        if (adopt) continue;
        int index = static_cast<int>(i);
        core_->SetParamFromHost(index, PortToNormalized(core_->GetParam(index), value));
    }
}

void Adapter::HandleMidiEvent(std::uint32_t frame, const std::uint8_t* bytes, std::uint32_t size) {
    if (size == 0 || !(bytes[0] & 0x80)) return;
    if (bytes[0] != 0xF0) {
        core_->HandleMidiMessage(ShortMessage(frame, bytes, size));
        return;
    }
    host::SysExMessage message;
    message.offset = static_cast<int>(frame);
    message.bytes = bytes;
    message.size = static_cast<int>(std::min<std::uint32_t>(size, 0x7FFFFFFF));
    // A bank dump rewrites 48 programs: the host's worker thread decodes it, not this one. The
    // worker copies the bytes.
    if (worker_ && (messagesAtWorker_.load() > 0 || core_->SysExReplacesBank(message))) {
        ++messagesAtWorker_;
        if (worker_->schedule_work(worker_->handle, size, bytes) == LV2_WORKER_SUCCESS) return;
        --messagesAtWorker_;
    }
    core_->HandleSysEx(message);
}

bool Adapter::HandleInput() {
    // The events first, as a VST2 host delivers them before the audio: the core queues notes and
    // controllers at their frames and renders them with the block.
    bool any = false;
    core_->AudioCallStarting(0);
    if (midiIn_) {
        LV2_ATOM_SEQUENCE_FOREACH(midiIn_, event) {
            if (event->body.type != uris_.midiEvent) continue;
            any = true;
            std::int64_t frame = std::max<std::int64_t>(event->time.frames, 0);
            HandleMidiEvent(static_cast<std::uint32_t>(std::min<std::int64_t>(frame, 0x7FFFFFFF)),
                            static_cast<const std::uint8_t*>(LV2_ATOM_BODY_CONST(&event->body)),
                            event->body.size);
        }
    }
    core_->AudioCallEnded(false);
    return any;
}

void Adapter::Render(std::uint32_t frames, bool closeCall) {
    core_->AudioCallStarting(static_cast<int>(frames));
    std::uint32_t done = 0;
    while (done < frames) {
        auto piece =
            std::min<std::uint32_t>(frames - done, static_cast<std::uint32_t>(core_->BlockSize()));
        for (std::size_t c = 0; c < inputPointers_.size(); ++c) {
            host::Channel& channel = core_->Input(static_cast<int>(c));
            channel.buffer = channel.scratch.data();
            std::fill(channel.buffer, channel.buffer + piece, 0.0);
            inputPointers_[c] = channel.buffer;
        }
        for (std::size_t c = 0; c < outputPointers_.size(); ++c) {
            host::Channel& channel = core_->Output(static_cast<int>(c));
            channel.buffer = channel.scratch.data();
            outputPointers_[c] = channel.buffer;
        }
        bool silent = core_->RenderBlockUnlessSilent(inputPointers_.data(), outputPointers_.data(),
                                                     static_cast<int>(piece));
        for (std::size_t c = 0; c < 2 && c < outputPointers_.size(); ++c) {
            float* out = audioOut_[c];
            if (!out) continue;
            if (silent)
                std::fill(out + done, out + done + piece, 0.0f);
            else
                ToFloat(outputPointers_[c], out + done, piece);
        }
        done += piece;
    }
    core_->AudioCallEnded(frames > 0 || closeCall);
}

void Adapter::Run(std::uint32_t frames) {
    runThread_ = std::this_thread::get_id();
    ApplyChangedPorts();
    {
        platform::ScopedLock render(core_->RenderMutex());
        midiOut_.BeginRun(midiOutPort_, uris_.atomSequence, uris_.midiEvent);
        // A run of no frames still ends a call when it brought events: what the next run brings
        // must queue after them, so that a panic there follows the notes sent here.
        const bool events = HandleInput();
        Render(frames, events);
        midiOut_.EndRun();
    }
    runThread_ = std::thread::id();
}

LV2_State_Status Adapter::Save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    host::ChunkBuffer bank;
    std::int32_t program;
    {
        platform::ScopedLock lock(core_->Mutex());
        if (!core_->SaveStateChunk(true, bank)) return LV2_STATE_ERR_UNKNOWN;
        program = core_->CurrentPresetIndex();
    }
    const std::uint32_t flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    LV2_State_Status status =
        store(handle, uris_.stateBank, bank.Data(), bank.Size(), uris_.atomChunk, flags);
    if (status != LV2_STATE_SUCCESS) return status;
    return store(handle, uris_.stateProgram, &program, sizeof program, uris_.atomInt, flags);
}

LV2_State_Status Adapter::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
    std::size_t size = 0;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    const void* bank = retrieve(handle, uris_.stateBank, &size, &type, &flags);
    if (!bank) return LV2_STATE_ERR_NO_PROPERTY;
    if (type != uris_.atomChunk) return LV2_STATE_ERR_BAD_TYPE;
    if (size == 0 || size > 0x7FFFFFFF) return LV2_STATE_ERR_UNKNOWN;
    // The program is checked before anything changes: a state is taken whole or not at all.
    std::size_t programSize = 0;
    const void* programData = retrieve(handle, uris_.stateProgram, &programSize, &type, &flags);
    if (!programData) return LV2_STATE_ERR_NO_PROPERTY;
    if (type != uris_.atomInt || programSize != sizeof(std::int32_t)) return LV2_STATE_ERR_BAD_TYPE;
    std::int32_t program;
    std::memcpy(&program, programData, sizeof program);
    if (!core_->IsValidPreset(program)) return LV2_STATE_ERR_UNKNOWN;
    host::ChunkBuffer chunk;
    chunk.Assign(bank, size);
    platform::ScopedLock lock(core_->Mutex());
    if (!core_->LoadStateChunk(true, false, chunk)) {
        Log("Vorna: the saved state cannot be read; nothing was changed.\n");
        return LV2_STATE_ERR_UNKNOWN;
    }
    if (program != core_->CurrentPresetIndex()) core_->RecallPreset(program);
    core_->NotifyProgramChange();
    // The ports still hold what the host saved beside the state; the state holds the sound.
    adoptPorts_ = true;
    return LV2_STATE_SUCCESS;
}

LV2_Worker_Status Adapter::Work(LV2_Worker_Respond_Function, LV2_Worker_Respond_Handle,
                                std::uint32_t size, const void* data) {
    // Every call takes one of the messages handed over (the plug-in schedules nothing else).
    struct Taken {
        std::atomic<int>& count;
        ~Taken() {
            int value = count.load();
            while (value > 0 && !count.compare_exchange_weak(value, value - 1)) {
            }
        }
    } taken{messagesAtWorker_};
    if (!data || size == 0 || size > 0x7FFFFFFF) return LV2_WORKER_ERR_UNKNOWN;
    host::SysExMessage message;
    message.bytes = static_cast<const std::uint8_t*>(data);
    message.size = static_cast<int>(size);
    // A host may run the work at once, inside run(), where the render mutex is held: waiting for
    // the instance mutex there would take the two locks in the wrong order. The audio thread's
    // own path tries it and puts the message aside when it is busy.
    if (core_->RenderMutex().HeldByThisThread())
        core_->HandleSysEx(message);
    else
        core_->HandleSysExOffAudio(message);
    return LV2_WORKER_SUCCESS;
}

std::uint32_t Adapter::SetOptions(const LV2_Options_Option* options) {
    if (!options) return LV2_OPTIONS_SUCCESS;
    std::uint32_t result = LV2_OPTIONS_SUCCESS;
    float rate = 0.0f;
    int maximum = 0;
    int nominal = 0;
    for (const LV2_Options_Option* o = options; o->key; ++o) {
        if (o->key == uris_.maxBlockLength || o->key == uris_.nominalBlockLength) {
            int frames = BlockLengthOption(o, uris_);
            if (frames == 0) result |= LV2_OPTIONS_ERR_BAD_VALUE;
            (o->key == uris_.maxBlockLength ? maximum : nominal) = frames;
        } else if (o->key == uris_.sampleRate) {
            float value = o->type == uris_.atomFloat && o->size == sizeof(float) && o->value
                              ? *static_cast<const float*>(o->value)
                              : 0.0f;
            if (value >= host::PluginBase::kMinSampleRate &&
                value <= host::PluginBase::kMaxSampleRate)
                rate = value;
            else
                result |= LV2_OPTIONS_ERR_BAD_VALUE;
        } else {
            result |= LV2_OPTIONS_ERR_BAD_KEY;
        }
    }
    // The rate before the block length, each with its reset, as a VST2 host sends them: the
    // same settings then give the same control tick in both formats, whatever order the host
    // listed them in.
    platform::ScopedLock lock(core_->Mutex());
    if (rate > 0.0f) {
        core_->SetSampleRate(rate);
        core_->ResetProcessing();
    }
    // The core renders a longer run in pieces; only a larger maximum needs new buffers.
    int frames = maximum > 0 ? maximum : nominal > core_->BlockSize() ? nominal : 0;
    if (frames > 0) {
        core_->SetBlockSize(frames);
        core_->ResetProcessing();
    }
    return result;
}

bool Adapter::OnUiThread() const {
    return ui_ && std::this_thread::get_id() == uiThread_;
}

void Adapter::AttachUi(const VornaLv2UiHost* host) {
    platform::ScopedLock lock(uiMutex_);
    ui_ = host;
    uiThread_ = std::this_thread::get_id();
}

bool Adapter::ResizeEditorFrame(int width, int height) {
    // Asked by the editor on the UI thread, the thread the host's resize function belongs to and
    // the only one that attaches and detaches the UI, so the link stays valid for the call, which
    // runs without the lock (the host may call back into the UI).
    const VornaLv2UiHost* ui = nullptr;
    {
        platform::ScopedLock lock(uiMutex_);
        ui = ui_;
    }
    return ui && ui->resize && ui->resize(ui->context, width, height) == 0;
}

void Adapter::DetachUi() {
    platform::ScopedLock lock(uiMutex_);
    ui_ = nullptr;
    uiThread_ = std::thread::id();
}

void Adapter::SendUiWrite(int index) {
    const host::Param& param = core_->GetParam(index);
    double value = param.FromNormalized(uiPendingValue_[static_cast<std::size_t>(index)]);
    ui_->writeParam(ui_->context, index, static_cast<float>(value));
}

void Adapter::FlushUiWrites() {
    platform::ScopedLock lock(uiMutex_);
    if (!OnUiThread()) return;
    for (int i = 0; i < core_->ParamCount(); ++i)
        if (uiPending_[static_cast<std::size_t>(i)].exchange(false)) SendUiWrite(i);
}

void Adapter::BeginParamEdit(int index) {
    platform::ScopedTryLock lock(uiMutex_);
    if (lock.Owns() && OnUiThread() && ui_->touchParam && core_->IsValidParam(index))
        ui_->touchParam(ui_->context, index, true);
}

void Adapter::NotifyParamChange(int index, double normalized) {
    if (!core_->IsValidParam(index)) return;
    // Kept first: a notice from another thread (MIDI learn on the audio thread) waits for the
    // UI's idle call. The audio thread never waits for the UI's lock.
    uiPendingValue_[static_cast<std::size_t>(index)] = normalized;
    uiPending_[static_cast<std::size_t>(index)] = true;
    platform::ScopedTryLock lock(uiMutex_);
    if (lock.Owns() && OnUiThread() && uiPending_[static_cast<std::size_t>(index)].exchange(false))
        SendUiWrite(index);
}

void Adapter::EndParamEdit(int index) {
    platform::ScopedTryLock lock(uiMutex_);
    if (lock.Owns() && OnUiThread() && ui_->touchParam && core_->IsValidParam(index))
        ui_->touchParam(ui_->context, index, false);
}

bool Adapter::SendMidi(const host::MidiMessage& message) {
    std::uint8_t bytes[3] = {message.status, message.data1, message.data2};
    std::uint8_t status = message.status;
    std::uint32_t size = 3;
    if ((status >= 0xC0 && status <= 0xDF) || status == 0xF1 || status == 0xF3)
        size = 2;
    else if (status == 0xF6 || status >= 0xF8)
        size = 1;
    if (std::this_thread::get_id() == runThread_.load())
        return midiOut_.Write(std::max(message.offset, 0), bytes, size);
    return midiOut_.Queue(bytes, size);
}

bool Adapter::SendSysEx(const host::SysExMessage& message) {
    if (!message.bytes || message.size <= 0) return false;
    auto size = static_cast<std::uint32_t>(message.size);
    if (std::this_thread::get_id() == runThread_.load())
        return midiOut_.Write(std::max(message.offset, 0), message.bytes, size);
    return midiOut_.Queue(message.bytes, size);
}

} // namespace lv2
