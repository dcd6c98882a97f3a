#pragma once
// What the tests that call the plug-in from two threads share: a host callback that records
// nothing (so both threads may call it), the dispatcher, and MIDI event lists as hosts send them.

#include "PluginHost.h"
#include "vst2/Vst2Abi.h"

#include <vector>

namespace two_threads {

inline vst2::IntPtr VORNA_VSTCALL QuietHost(vst2::AEffect*, vst2::Int32 opcode, vst2::Int32,
                                            vst2::IntPtr, void*, float) {
    return opcode == vst2::audioMasterVersion ? 2400 : 0;
}

inline vst2::IntPtr Dispatch(vst2::AEffect* effect, vst2::Int32 opcode, vst2::Int32 index = 0,
                             vst2::IntPtr value = 0, void* data = nullptr, float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, data, opt);
}

// A host's event list of up to eight events.
struct EventList {
    vst2::Int32 numEvents = 0;
    vst2::IntPtr reserved = 0;
    vst2::VstEvent* events[8] = {};

    void Add(void* event) {
        if (numEvents < 8) events[numEvents++] = static_cast<vst2::VstEvent*>(event);
    }
};

inline vst2::VstMidiEvent Midi(int offset, int status, int data1, int data2) {
    return hostkit::MidiEvent(offset, status, data1, data2);
}

inline void SendEvents(vst2::AEffect* effect, std::vector<vst2::VstMidiEvent>& midi) {
    EventList list;
    for (vst2::VstMidiEvent& event : midi) list.Add(&event);
    Dispatch(effect, vst2::effProcessEvents, 0, 0, &list);
}

} // namespace two_threads
