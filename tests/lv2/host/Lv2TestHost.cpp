#include "Lv2TestHost.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/parameters/parameters.h>

#include <algorithm>
#include <cstring>

namespace lv2_test {

namespace {

constexpr std::size_t kAtomBufferBytes = 1 << 16;

} // namespace

Lv2TestHost::Lv2TestHost(Lv2Bundle& bundle, const HostSetup& setup)
    : bundle_(bundle), setup_(setup), log_(bundle.Urids()) {
    if (!bundle_.Ok()) {
        error_ = bundle_.Error();
        return;
    }
    BuildFeatures();
    instance_ = lilv_plugin_instantiate(bundle_.Plugin(), setup_.sampleRate, Features());
    if (!instance_) {
        error_ = "the plug-in did not instantiate";
        return;
    }
    const LV2_Descriptor* descriptor = lilv_instance_get_descriptor(instance_);
    if (descriptor->extension_data) {
        stateInterface_ = static_cast<const LV2_State_Interface*>(
            descriptor->extension_data(LV2_STATE__interface));
        optionsInterface_ = static_cast<const LV2_Options_Interface*>(
            descriptor->extension_data(LV2_OPTIONS__interface));
        worker_.Bind(lilv_instance_get_handle(instance_),
                     static_cast<const LV2_Worker_Interface*>(
                         descriptor->extension_data(LV2_WORKER__interface)));
    }
    ConnectPorts();
    lilv_instance_activate(instance_);
}

Lv2TestHost::~Lv2TestHost() {
    if (!instance_) return;
    lilv_instance_deactivate(instance_);
    lilv_instance_free(instance_);
}

void Lv2TestHost::BuildFeatures() {
    UridMap& urids = bundle_.Urids();
    maxBlock_ = setup_.maxBlockLength;
    nominalBlock_ = setup_.maxBlockLength;
    sampleRate_ = static_cast<float>(setup_.sampleRate);
    LV2_URID intType = urids.Map(LV2_ATOM__Int);
    options_ = {
        {LV2_OPTIONS_INSTANCE, 0, urids.Map(LV2_BUF_SIZE__maxBlockLength), sizeof maxBlock_,
         intType, &maxBlock_},
        {LV2_OPTIONS_INSTANCE, 0, urids.Map(LV2_BUF_SIZE__nominalBlockLength), sizeof nominalBlock_,
         intType, &nominalBlock_},
        {LV2_OPTIONS_INSTANCE, 0, urids.Map(LV2_PARAMETERS__sampleRate), sizeof sampleRate_,
         urids.Map(LV2_ATOM__Float), &sampleRate_},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr},
    };
    if (setup_.offerUridMap) {
        features_.push_back({LV2_URID__map, urids.MapFeature()});
        features_.push_back({LV2_URID__unmap, urids.UnmapFeature()});
    }
    if (setup_.offerOptions) features_.push_back({LV2_OPTIONS__options, options_.data()});
    if (setup_.offerWorker) features_.push_back({LV2_WORKER__schedule, worker_.Feature()});
    if (setup_.offerLog) features_.push_back({LV2_LOG__log, log_.Feature()});
    for (const LV2_Feature& feature : features_) featureList_.push_back(&feature);
    featureList_.push_back(nullptr);
}

void Lv2TestHost::ConnectPorts() {
    const std::vector<PortInfo>& ports = bundle_.Ports();
    portValues_.assign(ports.size(), 0.0f);
    midiInBuffer_.assign(kAtomBufferBytes / sizeof(std::uint64_t), 0);
    midiOutBuffer_.assign(kAtomBufferBytes / sizeof(std::uint64_t), 0);
    bool midiInConnected = false;
    bool midiOutConnected = false;
    for (const PortInfo& port : ports) {
        if (port.isControl) {
            portValues_[port.index] = port.defaultValue;
            lilv_instance_connect_port(instance_, port.index, &portValues_[port.index]);
        } else if (port.isAtom && port.isInput && !midiInConnected) {
            lilv_instance_connect_port(instance_, port.index, midiInBuffer_.data());
            midiInConnected = true;
        } else if (port.isAtom && !port.isInput && !midiOutConnected) {
            lilv_instance_connect_port(instance_, port.index, midiOutBuffer_.data());
            midiOutConnected = true;
        }
    }
    // An empty sequence until the first run writes one.
    WriteMidiIn();
}

void Lv2TestHost::SetPort(std::uint32_t port, float value) {
    if (port < portValues_.size()) portValues_[port] = value;
}

float Lv2TestHost::Port(std::uint32_t port) const {
    return port < portValues_.size() ? portValues_[port] : 0.0f;
}

void Lv2TestHost::SetParam(int param, float value) {
    SetPort(lv2::kFirstParamPort + static_cast<std::uint32_t>(param), value);
}

float Lv2TestHost::Param(int param) const {
    return Port(lv2::kFirstParamPort + static_cast<std::uint32_t>(param));
}

void Lv2TestHost::SendMidi(std::uint32_t frame, std::vector<std::uint8_t> bytes) {
    MidiMessage message;
    message.frame = frame;
    message.bytes = std::move(bytes);
    auto later = std::upper_bound(
        pendingMidi_.begin(), pendingMidi_.end(), message.frame,
        [](std::int64_t frame, const MidiMessage& queued) { return frame < queued.frame; });
    pendingMidi_.insert(later, std::move(message));
}

void Lv2TestHost::WriteMidiIn() {
    UridMap& urids = bundle_.Urids();
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(midiInBuffer_.data());
    sequence->atom.type = urids.Map(LV2_ATOM__Sequence);
    sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
    sequence->body.unit = 0;
    sequence->body.pad = 0;
    LV2_URID midiType = urids.Map(LV2_MIDI__MidiEvent);
    const std::size_t capacity = midiInBuffer_.size() * sizeof(std::uint64_t);
    for (const MidiMessage& message : pendingMidi_) {
        std::size_t used = sizeof(LV2_Atom) + sequence->atom.size;
        std::size_t needed = lv2_atom_pad_size(
            static_cast<std::uint32_t>(sizeof(LV2_Atom_Event) + message.bytes.size()));
        if (used + needed > capacity) {
            error_ = "MIDI for one run exceeds the host's input buffer";
            break;
        }
        auto* event =
            reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<std::uint8_t*>(sequence) + used);
        event->time.frames = message.frame;
        event->body.type = midiType;
        event->body.size = static_cast<std::uint32_t>(message.bytes.size());
        std::memcpy(event + 1, message.bytes.data(), message.bytes.size());
        sequence->atom.size += static_cast<std::uint32_t>(needed);
    }
    pendingMidi_.clear();
}

void Lv2TestHost::ReadMidiOut() {
    UridMap& urids = bundle_.Urids();
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(midiOutBuffer_.data());
    if (sequence->atom.type != urids.Map(LV2_ATOM__Sequence)) {
        ++malformedMidiOut_;
        return;
    }
    LV2_URID midiType = urids.Map(LV2_MIDI__MidiEvent);
    LV2_ATOM_SEQUENCE_FOREACH(sequence, event) {
        if (event->body.type != midiType) continue;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(event + 1);
        midiOut_.push_back(MidiMessage{framesRendered_ + event->time.frames,
                                       std::vector<std::uint8_t>(bytes, bytes + event->body.size)});
    }
}

void Lv2TestHost::Run(std::uint32_t frames, float* left, float* right) {
    if (!instance_) return;
    WriteMidiIn();
    // An output sequence is handed over as free space of the buffer's size.
    auto* out = reinterpret_cast<LV2_Atom_Sequence*>(midiOutBuffer_.data());
    out->atom.type = bundle_.Urids().Map(LV2_ATOM__Chunk);
    out->atom.size = static_cast<std::uint32_t>(midiOutBuffer_.size() * sizeof(std::uint64_t) -
                                                sizeof(LV2_Atom));
    lilv_instance_connect_port(instance_, lv2::kLeftOutPort, left);
    lilv_instance_connect_port(instance_, lv2::kRightOutPort, right);
    lilv_instance_run(instance_, frames);
    ReadMidiOut();
    framesRendered_ += frames;
    worker_.Finish(true);
}

std::uint32_t Lv2TestHost::ChangeOptions(float sampleRate, std::int32_t maxBlockLength) {
    if (!optionsInterface_ || !optionsInterface_->set) return LV2_OPTIONS_ERR_UNKNOWN;
    UridMap& urids = bundle_.Urids();
    sampleRate_ = sampleRate;
    maxBlock_ = maxBlockLength;
    nominalBlock_ = maxBlockLength;
    const LV2_Options_Option changes[] = {
        {LV2_OPTIONS_INSTANCE, 0, urids.Map(LV2_PARAMETERS__sampleRate), sizeof sampleRate_,
         urids.Map(LV2_ATOM__Float), &sampleRate_},
        {LV2_OPTIONS_INSTANCE, 0, urids.Map(LV2_BUF_SIZE__maxBlockLength), sizeof maxBlock_,
         urids.Map(LV2_ATOM__Int), &maxBlock_},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr},
    };
    std::uint32_t answer = optionsInterface_->set(lilv_instance_get_handle(instance_), changes);
    if (answer == LV2_OPTIONS_SUCCESS) {
        setup_.sampleRate = sampleRate;
        setup_.maxBlockLength = maxBlockLength;
    }
    return answer;
}

StateProperties Lv2TestHost::SaveProperties() {
    StateProperties properties;
    if (!stateInterface_ || !stateInterface_->save) return properties;
    saving_ = &properties;
    stateInterface_->save(lilv_instance_get_handle(instance_), &StoreProperty, this,
                          LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, Features());
    saving_ = nullptr;
    return properties;
}

LV2_State_Status Lv2TestHost::RestoreProperties(const StateProperties& properties) {
    if (!stateInterface_ || !stateInterface_->restore) return LV2_STATE_ERR_NO_FEATURE;
    restoring_ = &properties;
    LV2_State_Status status =
        stateInterface_->restore(lilv_instance_get_handle(instance_), &RetrieveProperty, this,
                                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, Features());
    restoring_ = nullptr;
    // Work that the restore scheduled is done before the next run, as after a run.
    worker_.Finish(false);
    return status;
}

LV2_State_Status Lv2TestHost::StoreProperty(LV2_State_Handle handle, std::uint32_t key,
                                            const void* value, std::size_t size, std::uint32_t type,
                                            std::uint32_t flags) {
    auto* self = static_cast<Lv2TestHost*>(handle);
    UridMap& urids = self->bundle_.Urids();
    if (!self->saving_) return LV2_STATE_ERR_UNKNOWN;
    const char* keyUri = urids.Unmap(key);
    const char* typeUri = urids.Unmap(type);
    if (!keyUri || !typeUri) return LV2_STATE_ERR_BAD_TYPE;
    const auto* bytes = static_cast<const std::uint8_t*>(value);
    self->saving_->push_back(
        StateProperty{keyUri, typeUri, flags, std::vector<std::uint8_t>(bytes, bytes + size)});
    return LV2_STATE_SUCCESS;
}

const void* Lv2TestHost::RetrieveProperty(LV2_State_Handle handle, std::uint32_t key,
                                          std::size_t* size, std::uint32_t* type,
                                          std::uint32_t* flags) {
    auto* self = static_cast<Lv2TestHost*>(handle);
    UridMap& urids = self->bundle_.Urids();
    const char* keyUri = urids.Unmap(key);
    if (!self->restoring_ || !keyUri) return nullptr;
    for (const StateProperty& property : *self->restoring_) {
        if (property.key != keyUri) continue;
        *size = property.value.size();
        *type = urids.Map(property.type.c_str());
        *flags = property.flags;
        // An empty value still needs an address that is not null.
        static const std::uint8_t kNothing = 0;
        return property.value.empty() ? &kNothing : property.value.data();
    }
    return nullptr;
}

const void* Lv2TestHost::PortValueForLilv(const char* symbol, void* host, std::uint32_t* size,
                                          std::uint32_t* type) {
    auto* self = static_cast<Lv2TestHost*>(host);
    for (const PortInfo& port : self->bundle_.Ports()) {
        if (port.symbol != symbol || !port.isControl || !port.isInput) continue;
        *size = sizeof(float);
        *type = self->bundle_.Urids().Map(LV2_ATOM__Float);
        return &self->portValues_[port.index];
    }
    *size = 0;
    *type = 0;
    return nullptr;
}

void Lv2TestHost::SetPortFromLilv(const char* symbol, void* host, const void* value,
                                  std::uint32_t size, std::uint32_t type) {
    auto* self = static_cast<Lv2TestHost*>(host);
    UridMap& urids = self->bundle_.Urids();
    float number = 0.0f;
    if (type == urids.Map(LV2_ATOM__Float) && size == sizeof(float)) {
        std::memcpy(&number, value, sizeof number);
    } else if (type == urids.Map(LV2_ATOM__Double) && size == sizeof(double)) {
        double d;
        std::memcpy(&d, value, sizeof d);
        number = static_cast<float>(d);
    } else if ((type == urids.Map(LV2_ATOM__Int) || type == urids.Map(LV2_ATOM__Bool)) &&
               size == sizeof(std::int32_t)) {
        std::int32_t i;
        std::memcpy(&i, value, sizeof i);
        number = static_cast<float>(i);
    } else if (type == urids.Map(LV2_ATOM__Long) && size == sizeof(std::int64_t)) {
        std::int64_t i;
        std::memcpy(&i, value, sizeof i);
        number = static_cast<float>(i);
    } else {
        self->error_ = std::string("a state gave port ") + symbol + " a value of an unknown type";
        return;
    }
    for (const PortInfo& port : self->bundle_.Ports())
        if (port.symbol == symbol && port.isControl && port.isInput)
            self->portValues_[port.index] = number;
}

StatePtr Lv2TestHost::SaveState() {
    return StatePtr(lilv_state_new_from_instance(
        bundle_.Plugin(), instance_, bundle_.Urids().MapFeature(), nullptr, nullptr, nullptr,
        nullptr, &PortValueForLilv, this, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, Features()));
}

void Lv2TestHost::RestoreState(const LilvState* state) {
    lilv_state_restore(state, instance_, &SetPortFromLilv, this,
                       LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, Features());
    worker_.Finish(false);
}

std::string Lv2TestHost::StateToString(const LilvState* state) {
    UridMap& urids = bundle_.Urids();
    char* text = lilv_state_to_string(bundle_.World(), urids.MapFeature(), urids.UnmapFeature(),
                                      state, "urn:vorna:test-state", nullptr);
    std::string result = text ? text : "";
    lilv_free(text);
    return result;
}

StatePtr Lv2TestHost::StateFromString(const std::string& text) {
    return StatePtr(
        lilv_state_new_from_string(bundle_.World(), bundle_.Urids().MapFeature(), text.c_str()));
}

bool Lv2TestHost::ApplyPreset(const std::string& uri) {
    LilvNode* node = lilv_new_uri(bundle_.World(), uri.c_str());
    StatePtr state(lilv_state_new_from_world(bundle_.World(), bundle_.Urids().MapFeature(), node));
    lilv_node_free(node);
    if (!state) return false;
    RestoreState(state.get());
    return true;
}

} // namespace lv2_test
