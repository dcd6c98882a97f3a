#pragma once
// A small VST2 host: loads a plug-in binary as a DAW does, answers and records every call the
// plug-in makes back, and offers typed helpers around the dispatcher. The host harness tests and
// the vorna command-line tool are built on it.

#include "platform/DynamicLibrary.h"
#include "vst2/Vst2Abi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hostkit {

// A short MIDI message as a host puts it into its event list.
vst2::VstMidiEvent MidiEvent(int offset, int status, int data1, int data2);

struct HostCall {
    vst2::Int32 opcode;
    vst2::Int32 index;
    vst2::IntPtr value;
    float opt;
};

struct ReceivedEvent {
    vst2::Int32 type;
    vst2::Int32 byteSize;
    vst2::Int32 deltaFrames;
    std::vector<std::uint8_t> bytes; // MIDI data (4 bytes) or the SysEx dump
};

class PluginHost {
public:
    PluginHost();
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Loads the binary and calls its entry function ("VSTPluginMain", else "main").
    bool Load(const std::string& path);
    using EntryFunction = vst2::AEffect*(VORNA_VSTCALL*)(vst2::HostCallback);
    // Uses an entry function linked into this program instead of a loaded binary.
    bool UseEntry(EntryFunction entry);
    // Creates another instance from the already loaded binary.
    vst2::AEffect* CreateInstance();
    // effClose on the current instance, if any.
    void CloseInstance();
    void Unload();
    const std::string& Error() const { return error_; }
    vst2::AEffect* Effect() const { return effect_; }

    vst2::IntPtr Dispatch(vst2::Int32 opcode, vst2::Int32 index = 0, vst2::IntPtr value = 0,
                          void* data = nullptr, float opt = 0.0f);
    std::string DispatchText(vst2::Int32 opcode, vst2::Int32 index = 0);
    std::string ParamName(int index) { return DispatchText(vst2::effGetParamName, index); }
    std::string ParamDisplay(int index) { return DispatchText(vst2::effGetParamDisplay, index); }
    std::string ParamLabel(int index) { return DispatchText(vst2::effGetParamLabel, index); }
    float GetParameter(int index);
    void SetParameter(int index, float value);
    void Open(double sampleRate, int blockSize);
    void SendEvents(const std::vector<vst2::VstMidiEvent>& events);
    void SendMidi(int offset, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

    // What the host answers.
    std::string vendorString = "Vorna Test Host";
    std::string productString = "Vorna Harness";
    vst2::IntPtr vendorVersion = 10000;
    vst2::IntPtr processLevel = 0;
    vst2::IntPtr processEventsAnswer = 1;
    vst2::VstTimeInfo* timeInfo = nullptr;
    // audioMasterSizeWindow: 1 takes the size (the frame resizes), 0 refuses it.
    vst2::IntPtr sizeWindowAnswer = 1;

    // What the plug-in sent.
    std::vector<HostCall> calls;
    std::vector<ReceivedEvent> receivedEvents;
    int CountCalls(vst2::Int32 opcode) const;

private:
    static vst2::IntPtr VORNA_VSTCALL Callback(vst2::AEffect* effect, vst2::Int32 opcode,
                                               vst2::Int32 index, vst2::IntPtr value, void* data,
                                               float opt);
    vst2::IntPtr Answer(vst2::Int32 opcode, vst2::Int32 index, vst2::IntPtr value, void* data,
                        float opt);

    platform::DynamicLibrary library_;
    EntryFunction entry_ = nullptr;
    vst2::AEffect* effect_ = nullptr;
    std::string error_;
};

} // namespace hostkit
