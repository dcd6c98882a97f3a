// MIDI and SysEx event lists as a careless or hostile host hands them over with effProcessEvents:
// any offsets (negative, far beyond the block), null entries, unknown event types, SysEx dumps
// without data or with negative lengths, split over process calls. The instrument takes them
// without a crash and its output stays finite.

#include "FuzzSupport.h"

#include <cmath>

namespace {

vst2::AEffect* Effect() {
    static vst2::AEffect* effect = [] {
        vst2::AEffect* e = VSTPluginMain(&fuzz::Host<false>);
        if (!e) std::abort();
        e->dispatcher(e, vst2::effOpen, 0, 0, nullptr, 0.0f);
        e->dispatcher(e, vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
        e->dispatcher(e, vst2::effSetBlockSize, 0, 256, nullptr, 0.0f);
        e->dispatcher(e, vst2::effMainsChanged, 0, 1, nullptr, 0.0f);
        return e;
    }();
    return effect;
}

void Process(vst2::AEffect* effect, int frames) {
    static float left[512], right[512], input[512];
    float* inputs[1] = {input};
    float* outputs[2] = {left, right};
    effect->processReplacing(effect, inputs, outputs, frames);
    for (int i = 0; i < frames; ++i)
        fuzz::Require(std::isfinite(left[i]) && std::isfinite(right[i]), "the output is finite");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vst2::AEffect* effect = Effect();
    constexpr std::size_t kMaxEvents = 256;
    std::vector<vst2::VstMidiEvent> midi(kMaxEvents);
    std::vector<vst2::VstMidiSysexEvent> sysex(kMaxEvents);
    std::vector<std::vector<char>> dumps(kMaxEvents);
    std::vector<vst2::VstEvent*> pointers;
    std::vector<std::size_t> splits; // list positions where a process call comes in between

    std::size_t p = 0;
    auto next = [&]() -> std::uint8_t { return p < size ? data[p++] : 0; };
    while (p < size && pointers.size() < kMaxEvents) {
        const std::size_t n = pointers.size();
        const std::uint8_t kind = next();
        // Offsets from -32768 to 32767 frames: late, negative and far-future ones included.
        const vst2::Int32 offset = static_cast<std::int16_t>(next() | (next() << 8));
        switch (kind % 6) {
        case 0:
        case 1: { // a short MIDI message, any bytes
            vst2::VstMidiEvent& event = midi[n];
            event = vst2::VstMidiEvent{};
            event.type = vst2::kVstMidiType;
            event.byteSize = sizeof event;
            event.deltaFrames = offset;
            for (int i = 0; i < 4; ++i) event.midiData[i] = static_cast<char>(next());
            pointers.push_back(reinterpret_cast<vst2::VstEvent*>(&event));
            break;
        }
        case 2: { // a SysEx dump of the bytes that follow, its length in the next byte
            std::size_t length = next();
            if (length & 0x80) length = (length & 0x7F) * 64;
            length = std::min(length, size - p);
            dumps[n].assign(data + p, data + p + length);
            p += length;
            vst2::VstMidiSysexEvent& event = sysex[n];
            event = vst2::VstMidiSysexEvent{};
            event.type = vst2::kVstSysExType;
            event.byteSize = sizeof event;
            event.deltaFrames = offset;
            event.dumpBytes = static_cast<vst2::Int32>(length);
            event.sysexDump = dumps[n].empty() ? nullptr : dumps[n].data();
            pointers.push_back(reinterpret_cast<vst2::VstEvent*>(&event));
            break;
        }
        case 3: { // a SysEx event whose length lies: negative, or no data at all
            vst2::VstMidiSysexEvent& event = sysex[n];
            event = vst2::VstMidiSysexEvent{};
            event.type = vst2::kVstSysExType;
            event.byteSize = sizeof event;
            event.deltaFrames = offset;
            event.dumpBytes = (kind & 0x80) ? -static_cast<vst2::Int32>(next()) - 1 : next();
            event.sysexDump = nullptr;
            pointers.push_back(reinterpret_cast<vst2::VstEvent*>(&event));
            break;
        }
        case 4: { // an event of a type the instrument does not know
            vst2::VstMidiEvent& event = midi[n];
            event = vst2::VstMidiEvent{};
            event.type = static_cast<vst2::Int32>(next());
            event.byteSize = static_cast<vst2::Int32>(next());
            event.deltaFrames = offset;
            pointers.push_back(reinterpret_cast<vst2::VstEvent*>(&event));
            break;
        }
        default: // a null entry, or a process call between two lists
            if (kind & 0x80)
                splits.push_back(n);
            else
                pointers.push_back(nullptr);
            break;
        }
    }
    splits.push_back(pointers.size());

    std::size_t from = 0;
    for (std::size_t to : splits) {
        if (to < from) continue;
        // The list header with room for every entry, as hosts allocate it.
        std::vector<unsigned char> storage(sizeof(vst2::VstEvents) +
                                           (to - from) * sizeof(vst2::VstEvent*));
        auto* list = reinterpret_cast<vst2::VstEvents*>(storage.data());
        list->numEvents = static_cast<vst2::Int32>(to - from);
        vst2::VstEvent** entries = list->events;
        for (std::size_t i = from; i < to; ++i) entries[i - from] = pointers[i];
        effect->dispatcher(effect, vst2::effProcessEvents, 0, 0, list, 0.0f);
        Process(effect, 256);
        from = to;
    }
    // Whatever came, All Sound Off leaves the instrument quiet for the next input.
    vst2::VstMidiEvent silence{};
    silence.type = vst2::kVstMidiType;
    silence.byteSize = sizeof silence;
    silence.midiData[0] = static_cast<char>(0xB0);
    silence.midiData[1] = 120;
    vst2::VstEvents last{};
    last.numEvents = 1;
    last.events[0] = reinterpret_cast<vst2::VstEvent*>(&silence);
    effect->dispatcher(effect, vst2::effProcessEvents, 0, 0, &last, 0.0f);
    Process(effect, 16);
    return 0;
}
