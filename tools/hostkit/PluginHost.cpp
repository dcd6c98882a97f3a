#include "PluginHost.h"

#include <cstring>

namespace hostkit {

namespace {
// The host whose entry call is running: the plug-in may call back before its record is known.
PluginHost* constructingHost = nullptr;
} // namespace

PluginHost::PluginHost() = default;

PluginHost::~PluginHost() {
    Unload();
}

bool PluginHost::Load(const std::string& path) {
    Unload();
    if (!library_.Open(path)) {
        error_ = "cannot load " + path + ": " + library_.Error();
        return false;
    }
    entry_ = library_.Function<EntryFunction>("VSTPluginMain");
    if (!entry_) entry_ = library_.Function<EntryFunction>("main");
    if (!entry_) {
        error_ = path + " exports neither VSTPluginMain nor main";
        return false;
    }
    if (!CreateInstance()) {
        error_ = "the entry function of " + path + " returned no effect";
        return false;
    }
    return true;
}

bool PluginHost::UseEntry(EntryFunction entry) {
    Unload();
    entry_ = entry;
    if (!CreateInstance()) {
        error_ = "the entry function returned no effect";
        return false;
    }
    return true;
}

vst2::AEffect* PluginHost::CreateInstance() {
    CloseInstance();
    if (!entry_) return nullptr;
    constructingHost = this;
    effect_ = entry_(&PluginHost::Callback);
    constructingHost = nullptr;
    if (effect_) effect_->user = this;
    return effect_;
}

void PluginHost::CloseInstance() {
    if (effect_) effect_->dispatcher(effect_, vst2::effClose, 0, 0, nullptr, 0.0f);
    effect_ = nullptr;
}

void PluginHost::Unload() {
    CloseInstance();
    entry_ = nullptr;
    library_.Close();
}

vst2::IntPtr PluginHost::Dispatch(vst2::Int32 opcode, vst2::Int32 index, vst2::IntPtr value,
                                  void* data, float opt) {
    return effect_ ? effect_->dispatcher(effect_, opcode, index, value, data, opt) : 0;
}

std::string PluginHost::DispatchText(vst2::Int32 opcode, vst2::Int32 index) {
    char text[512];
    std::memset(text, 0, sizeof text);
    Dispatch(opcode, index, 0, text);
    text[sizeof text - 1] = '\0';
    return text;
}

float PluginHost::GetParameter(int index) {
    return effect_ ? effect_->getParameter(effect_, index) : 0.0f;
}

void PluginHost::SetParameter(int index, float value) {
    if (effect_) effect_->setParameter(effect_, index, value);
}

void PluginHost::Open(double sampleRate, int blockSize) {
    Dispatch(vst2::effOpen);
    Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    Dispatch(vst2::effSetBlockSize, 0, blockSize);
    Dispatch(vst2::effMainsChanged, 0, 1);
}

void PluginHost::SendEvents(const std::vector<vst2::VstMidiEvent>& events) {
    std::vector<unsigned char> storage(sizeof(vst2::VstEvents) +
                                       sizeof(vst2::VstEvent*) * (events.size() + 2));
    auto* list = reinterpret_cast<vst2::VstEvents*>(storage.data());
    list->numEvents = static_cast<vst2::Int32>(events.size());
    // The storage holds all entries; they are written through a plain pointer, not as elements
    // of the declared two-entry array.
    vst2::VstEvent** entries = list->events;
    for (std::size_t i = 0; i < events.size(); ++i)
        entries[i] = reinterpret_cast<vst2::VstEvent*>(const_cast<vst2::VstMidiEvent*>(&events[i]));
    Dispatch(vst2::effProcessEvents, 0, 0, list);
}

vst2::VstMidiEvent MidiEvent(int offset, int status, int data1, int data2) {
    vst2::VstMidiEvent event{};
    event.type = vst2::kVstMidiType;
    event.byteSize = sizeof event;
    event.deltaFrames = offset;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    return event;
}

void PluginHost::SendMidi(int offset, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    SendEvents({MidiEvent(offset, status, data1, data2)});
}

int PluginHost::CountCalls(vst2::Int32 opcode) const {
    int count = 0;
    for (const HostCall& call : calls) count += call.opcode == opcode ? 1 : 0;
    return count;
}

vst2::IntPtr VORNA_VSTCALL PluginHost::Callback(vst2::AEffect* effect, vst2::Int32 opcode,
                                                vst2::Int32 index, vst2::IntPtr value, void* data,
                                                float opt) {
    PluginHost* host =
        effect && effect->user ? static_cast<PluginHost*>(effect->user) : constructingHost;
    if (opcode == vst2::audioMasterVersion) return 2400;
    if (!host) return 0;
    return host->Answer(opcode, index, value, data, opt);
}

static void CopyOut(void* data, const std::string& text) {
    if (!data) return;
    std::size_t length = std::min<std::size_t>(text.size(), 63);
    std::memcpy(data, text.data(), length);
    static_cast<char*>(data)[length] = '\0';
}

vst2::IntPtr PluginHost::Answer(vst2::Int32 opcode, vst2::Int32 index, vst2::IntPtr value,
                                void* data, float opt) {
    calls.push_back(HostCall{opcode, index, value, opt});
    switch (opcode) {
    case vst2::audioMasterGetVendorString:
        CopyOut(data, vendorString);
        return 1;
    case vst2::audioMasterGetProductString:
        CopyOut(data, productString);
        return 1;
    case vst2::audioMasterGetVendorVersion:
        return vendorVersion;
    case vst2::audioMasterGetCurrentProcessLevel:
        return processLevel;
    case vst2::audioMasterSizeWindow:
        return sizeWindowAnswer;
    case vst2::audioMasterGetTime:
        return reinterpret_cast<vst2::IntPtr>(timeInfo);
    case vst2::audioMasterProcessEvents: {
        const auto* list = static_cast<const vst2::VstEvents*>(data);
        vst2::VstEvent* const* entries = list ? list->events : nullptr;
        for (vst2::Int32 i = 0; list && i < list->numEvents; ++i) {
            const vst2::VstEvent* event = entries[i];
            if (!event) continue;
            ReceivedEvent copy{event->type, event->byteSize, event->deltaFrames, {}};
            if (event->type == vst2::kVstMidiType) {
                const auto* midi = reinterpret_cast<const vst2::VstMidiEvent*>(event);
                copy.bytes.assign(midi->midiData, midi->midiData + 4);
            } else if (event->type == vst2::kVstSysExType) {
                const auto* sysex = reinterpret_cast<const vst2::VstMidiSysexEvent*>(event);
                if (sysex->sysexDump && sysex->dumpBytes > 0)
                    copy.bytes.assign(sysex->sysexDump, sysex->sysexDump + sysex->dumpBytes);
            }
            receivedEvents.push_back(std::move(copy));
        }
        return processEventsAnswer;
    }
    default:
        return 0;
    }
}

} // namespace hostkit
