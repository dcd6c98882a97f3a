#include "Lv2Host.h"

#include "lv2/Lv2Identity.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/parameters/parameters.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>

namespace lv2host {

namespace {

// What the host leaves past each run's end: any other value there means the plug-in wrote there.
constexpr float kGuardValue = 12345.0f;

} // namespace

Lv2Host::Lv2Host() : midiIn_(1 << 16), midiOut_(16384) {
    sequenceType_ = map_.Map(LV2_ATOM__Sequence);
    chunkType_ = map_.Map(LV2_ATOM__Chunk);
    midiType_ = map_.Map(LV2_MIDI__MidiEvent);
    log_.handle = this;
    log_.printf = &Lv2Host::LogPrintf;
    log_.vprintf = &Lv2Host::LogVprintf;
}

Lv2Host::~Lv2Host() {
    Cleanup();
}

bool Lv2Host::TakeDescriptor(LV2_Descriptor_Function function, const std::string& from) {
    descriptor_ = function ? function(0) : nullptr;
    if (!descriptor_ || !descriptor_->instantiate || !descriptor_->run ||
        !descriptor_->connect_port || !descriptor_->cleanup) {
        descriptor_ = nullptr;
        error_ = from + " gives no usable descriptor at index 0";
        return false;
    }
    return true;
}

bool Lv2Host::LoadBundle(const std::string& folder) {
    Cleanup();
    const std::string binary = folder + "/" + lv2::kDspBinary;
    if (!library_.Open(binary)) {
        error_ = "cannot load " + binary + ": " + library_.Error();
        return false;
    }
    controlPorts_ = ReadControlPortRanges(folder + "/Vorn.ttl", error_);
    if (controlPorts_.empty()) return false;
    return TakeDescriptor(library_.Function<LV2_Descriptor_Function>("lv2_descriptor"), binary);
}

bool Lv2Host::UseDescriptorFunction(LV2_Descriptor_Function function,
                                    std::vector<ControlPortRange> controls) {
    Cleanup();
    controlPorts_ = std::move(controls);
    return TakeDescriptor(function, "the linked descriptor function");
}

std::uint32_t Lv2Host::PortCount() const {
    return lv2::kFirstParamPort + static_cast<std::uint32_t>(controlPorts_.size());
}

void Lv2Host::BuildFeatures() {
    features_.clear();
    mapFeature_ = {LV2_URID__map, map_.MapFeature()};
    unmapFeature_ = {LV2_URID__unmap, map_.UnmapFeature()};
    logFeature_ = {LV2_LOG__log, &log_};
    boundedFeature_ = {LV2_BUF_SIZE__boundedBlockLength, nullptr};
    optionSampleRate_ = static_cast<float>(setup_.sampleRate);
    const LV2_URID atomInt = map_.Map(LV2_ATOM__Int);
    optionList_ = {
        {LV2_OPTIONS_INSTANCE, 0, map_.Map(LV2_BUF_SIZE__maxBlockLength), sizeof(std::int32_t),
         atomInt, &setup_.maxBlockLength},
        {LV2_OPTIONS_INSTANCE, 0, map_.Map(LV2_BUF_SIZE__nominalBlockLength), sizeof(std::int32_t),
         atomInt, &setup_.nominalBlockLength},
        {LV2_OPTIONS_INSTANCE, 0, map_.Map(LV2_PARAMETERS__sampleRate), sizeof(float),
         map_.Map(LV2_ATOM__Float), &optionSampleRate_},
    };
    optionList_.insert(optionList_.end(), setup_.extraOptions.begin(), setup_.extraOptions.end());
    optionList_.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});
    optionsFeature_ = {LV2_OPTIONS__options, optionList_.data()};
    worker_ = std::make_unique<Worker>(setup_.workerMode, setup_.workQueueBytes);
    workerFeature_ = {LV2_WORKER__schedule, worker_->Feature()};

    if (setup_.uridMap) features_.push_back(&mapFeature_);
    if (setup_.uridUnmap) features_.push_back(&unmapFeature_);
    if (setup_.log) features_.push_back(&logFeature_);
    if (setup_.options) features_.push_back(&optionsFeature_);
    if (setup_.options) features_.push_back(&boundedFeature_);
    if (setup_.worker) features_.push_back(&workerFeature_);
    features_.push_back(nullptr);
}

bool Lv2Host::Instantiate(const InstanceSetup& setup) {
    Cleanup();
    if (!descriptor_) return false;
    setup_ = setup;
    BuildFeatures();
    instance_ = descriptor_->instantiate(descriptor_, setup_.sampleRate, "", features_.data());
    if (!instance_) return false;
    const auto extension = descriptor_->extension_data;
    state_ = extension ? static_cast<const LV2_State_Interface*>(extension(LV2_STATE__interface))
                       : nullptr;
    options_ = extension
                   ? static_cast<const LV2_Options_Interface*>(extension(LV2_OPTIONS__interface))
                   : nullptr;
    worker_->Attach(instance_, extension ? static_cast<const LV2_Worker_Interface*>(
                                               extension(LV2_WORKER__interface))
                                         : nullptr);
    controls_.clear();
    for (const ControlPortRange& port : controlPorts_) controls_.push_back(port.defaultValue);
    midiIn_ = AtomBuffer(setup_.midiInBytes);
    midiIn_.Clear(sequenceType_);
    midiOut_ = AtomBuffer(setup_.midiOutBytes);
    connectedAudio_[0] = connectedAudio_[1] = nullptr;
    connectedMidiOut_ = nullptr;
    // A block length the host announces may be garbage on purpose; the buffers grow per run.
    GrowAudio(static_cast<std::uint32_t>(std::clamp(setup_.maxBlockLength, 1, 1 << 16)));
    return true;
}

void Lv2Host::Cleanup() {
    if (!instance_) return;
    worker_->Detach();
    descriptor_->cleanup(instance_);
    instance_ = nullptr;
    state_ = nullptr;
    options_ = nullptr;
}

void Lv2Host::Activate() {
    if (instance_ && descriptor_->activate) descriptor_->activate(instance_);
}

void Lv2Host::Deactivate() {
    if (instance_ && descriptor_->deactivate) descriptor_->deactivate(instance_);
}

void Lv2Host::ConnectPort(std::uint32_t port, void* data) {
    if (!instance_) return;
    if (port == lv2::kLeftOutPort || port == lv2::kRightOutPort)
        connectedAudio_[port - lv2::kLeftOutPort] = data;
    if (port == lv2::kMidiOutPort) connectedMidiOut_ = data;
    descriptor_->connect_port(instance_, port, data);
}

void Lv2Host::ConnectAll() {
    ConnectPort(lv2::kMidiInPort, midiIn_.Sequence());
    ConnectPort(lv2::kMidiOutPort, midiOut_.Sequence());
    ConnectPort(lv2::kLeftOutPort, audio_[0].data());
    ConnectPort(lv2::kRightOutPort, audio_[1].data());
    for (std::size_t i = 0; i < controls_.size(); ++i)
        ConnectPort(lv2::kFirstParamPort + static_cast<std::uint32_t>(i), &controls_[i]);
}

bool Lv2Host::AddMidi(std::int64_t frame, const std::vector<std::uint8_t>& bytes) {
    return AddEvent(frame, midiType_, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

bool Lv2Host::AddEvent(std::int64_t frame, LV2_URID type, const void* body, std::uint32_t size) {
    return midiIn_.Append(frame, type, body, size);
}

void Lv2Host::GrowAudio(std::uint32_t frames) {
    const std::size_t needed = static_cast<std::size_t>(frames) + kGuardFrames;
    if (audio_[0].size() >= needed && audio_[1].size() >= needed) return;
    const float* old[2] = {audio_[0].data(), audio_[1].data()};
    for (auto& channel : audio_) channel.assign(needed, 0.0f);
    // The host's own buffers moved: every port connected to one of them follows it (both
    // outputs may share one), as a host reconnects before a longer run.
    for (std::uint32_t port = 0; port < 2; ++port)
        for (int c = 0; c < 2; ++c)
            if (connectedAudio_[port] && connectedAudio_[port] == old[c])
                ConnectPort(lv2::kLeftOutPort + port, audio_[c].data());
}

void Lv2Host::Run(std::uint32_t frames) {
    if (!instance_) return;
    BeginRun(frames);
    RunInstance(frames);
    EndRun();
}

void Lv2Host::BeginRun(std::uint32_t frames) {
    GrowAudio(frames);
    for (auto& channel : audio_) {
        std::fill(channel.begin(), channel.begin() + frames,
                  std::numeric_limits<float>::quiet_NaN());
        std::fill(channel.begin() + frames, channel.begin() + frames + kGuardFrames, kGuardValue);
    }
    midiOut_.OfferForOutput(chunkType_);
}

void Lv2Host::EndRun() {
    worker_->AfterRun();
    midiIn_.Clear(sequenceType_);
}

bool Lv2Host::CheckAudio(std::uint32_t frames, std::string& problem) const {
    for (int c = 0; c < 2; ++c) {
        if (connectedAudio_[c] != audio_[c].data()) continue;
        for (std::uint32_t i = 0; i < frames; ++i) {
            if (!std::isfinite(audio_[c][i])) {
                problem = "channel " + std::to_string(c) + " frame " + std::to_string(i) + " of " +
                          std::to_string(frames) + " is " + std::to_string(audio_[c][i]);
                return false;
            }
        }
        for (std::size_t i = frames; i < frames + kGuardFrames; ++i) {
            if (audio_[c][i] != kGuardValue) {
                problem = "channel " + std::to_string(c) + " written at frame " +
                          std::to_string(i) + ", past the run's " + std::to_string(frames);
                return false;
            }
        }
    }
    return true;
}

bool Lv2Host::ReadMidiOut(std::vector<AtomEvent>& events, std::string& problem) {
    events.clear();
    if (connectedMidiOut_ != midiOut_.Sequence()) return true;
    return midiOut_.Read(sequenceType_, events, problem);
}

namespace {

struct StoreContext {
    StateProperties* properties;
    LV2_State_Status answer;
};

LV2_State_Status Store(LV2_State_Handle handle, std::uint32_t key, const void* value,
                       std::size_t size, std::uint32_t type, std::uint32_t flags) {
    auto* context = static_cast<StoreContext*>(handle);
    if (context->answer != LV2_STATE_SUCCESS) return context->answer;
    if (key == 0 || (size > 0 && !value)) return LV2_STATE_ERR_UNKNOWN;
    StateProperty& property = (*context->properties)[key];
    property.type = type;
    property.flags = flags;
    const auto* bytes = static_cast<const std::uint8_t*>(value);
    property.bytes.assign(bytes, bytes + size);
    property.claimedSize.reset();
    return LV2_STATE_SUCCESS;
}

const void* Retrieve(LV2_State_Handle handle, std::uint32_t key, std::size_t* size,
                     std::uint32_t* type, std::uint32_t* flags) {
    const auto* properties = static_cast<const StateProperties*>(handle);
    auto found = properties->find(key);
    if (found == properties->end()) return nullptr;
    const StateProperty& property = found->second;
    if (size) *size = property.claimedSize.value_or(property.bytes.size());
    if (type) *type = property.type;
    if (flags) *flags = property.flags;
    // A present but empty value still has an address, as a host's storage gives one.
    static const std::uint8_t kNothing = 0;
    return property.bytes.empty() ? &kNothing : property.bytes.data();
}

} // namespace

LV2_State_Status Lv2Host::SaveState(StateProperties& properties, LV2_State_Status storeAnswer) {
    if (!instance_ || !state_ || !state_->save) return LV2_STATE_ERR_UNKNOWN;
    StoreContext context{&properties, storeAnswer};
    const LV2_Feature* none[] = {nullptr};
    return state_->save(instance_, &Store, &context, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE,
                        none);
}

LV2_State_Status Lv2Host::RestoreState(const StateProperties& properties) {
    if (!instance_ || !state_ || !state_->restore) return LV2_STATE_ERR_UNKNOWN;
    const LV2_Feature* none[] = {nullptr};
    return state_->restore(instance_, &Retrieve, const_cast<StateProperties*>(&properties),
                           LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, none);
}

std::uint32_t Lv2Host::SetOptions(std::vector<LV2_Options_Option> options) {
    if (!instance_ || !options_ || !options_->set) return LV2_OPTIONS_ERR_UNKNOWN;
    options.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});
    return options_->set(instance_, options.data());
}

int Lv2Host::LogPrintf(LV2_Log_Handle handle, LV2_URID type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int written = LogVprintf(handle, type, format, args);
    va_end(args);
    return written;
}

int Lv2Host::LogVprintf(LV2_Log_Handle handle, LV2_URID, const char* format, va_list args) {
    auto* host = static_cast<Lv2Host*>(handle);
    char text[1024];
    const int written = std::vsnprintf(text, sizeof text, format ? format : "", args);
    std::lock_guard<std::mutex> lock(host->logMutex_);
    host->logMessages_.emplace_back(text);
    return written;
}

std::vector<std::string> Lv2Host::LogMessages() {
    std::lock_guard<std::mutex> lock(logMutex_);
    return logMessages_;
}

void Lv2Host::ClearLog() {
    std::lock_guard<std::mutex> lock(logMutex_);
    logMessages_.clear();
}

} // namespace lv2host
