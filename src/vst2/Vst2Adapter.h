#pragma once
// The VST2 adapter: it owns the effect record handed to the host and one plug-in core, answers
// the dispatcher's opcodes, runs the process and parameter callbacks, and translates all of it
// into the core's format-free operations. It is also the core's HostLink: automation, program
// notices, time info and MIDI out go back to the host through the host callback. No other class
// knows an opcode number, and nothing derives from this one.

#include "host/ChunkBuffer.h"
#include "host/HostLink.h"
#include "host/PluginBase.h"
#include "vst2/Vst2Abi.h"

#include <memory>
#include <vector>

namespace vst2 {

class Adapter : public host::HostLink {
public:
    static constexpr int kDefaultBlockSize = 1024;

    explicit Adapter(HostCallback hostCallback);
    ~Adapter() override;
    Adapter(const Adapter&) = delete;
    Adapter& operator=(const Adapter&) = delete;

    // Makes the core through the product's factory and fills the effect record from it; false
    // when no core could be made.
    bool Start();
    // effClose: the instance is deleted, this adapter with it, at once or once the calls still
    // running inside it have returned. Nothing may touch the adapter afterwards.
    void Close();

    AEffect* Effect() { return &effect_; }
    host::PluginBase& Core() { return *core_; }
    static Adapter* FromEffect(AEffect* effect);
    // The core behind an effect record, or nullptr (for tools and tests that need the instrument).
    static host::PluginBase* CoreOf(AEffect* effect);

    // Entry points reached through the effect record. Dispatch holds the core's instance mutex;
    // the audio thread's calls (events and processing) hold only the render mutex, and parameter
    // changes only the render mutex while the engine takes the value.
    IntPtr Dispatch(Int32 opcode, Int32 index, IntPtr value, void* data, float opt);
    IntPtr ProcessEvents(void* data);
    void ProcessFloat(float** inputs, float** outputs, Int32 frames, bool accumulate);
    void ProcessDouble(double** inputs, double** outputs, Int32 frames);
    float GetParameterNormalized(Int32 index);
    void SetParameterNormalized(Int32 index, float value);

    // HostLink: what the core asks of the host.
    void BeginParamEdit(int index) override;
    void NotifyParamChange(int index, double normalized) override;
    void EndParamEdit(int index) override;
    void NotifyProgramChange() override;
    bool IsOfflineRender() override;
    long long SamplePosition() override;
    double Tempo() override;
    void TimeSignature(int& numerator, int& denominator) override;
    void Transport(host::TransportInfo& info) override;
    int HostCode() override;
    void EditorSizeChanged(int width, int height) override;
    bool ResizeEditorFrame(int width, int height) override;
    void LatencyChanged(int samples) override;
    bool SendMidi(const host::MidiMessage& message) override;
    bool SendSysEx(const host::SysExMessage& message) override;

    bool IsQuirkHost();
    int HostVersion() const { return hostVersion_; }
    int VendorExtensionBits() const { return extensionBits_; }

private:
    IntPtr CallHost(Int32 opcode, Int32 index = 0, IntPtr value = 0, void* data = nullptr,
                    float opt = 0.0f);
    IntPtr GetChunk(Int32 index, void* data);
    IntPtr SetChunk(Int32 index, IntPtr size, void* data);
    IntPtr StringToParameter(Int32 index, const char* text);
    IntPtr PinProperties(bool input, Int32 index, void* data);
    IntPtr CanDo(const char* text);
    IntPtr VendorSpecific(Int32 index, IntPtr value, void* data, float opt);
    void SetSpeakerArrangement(VstSpeakerArrangement* arrangement,
                               std::vector<host::Channel>& channels);
    void HostSpecificSetup();
    void UpdateChannelCounts();
    const VstTimeInfo* HostTime(Int32 filter);
    // Renders up to one block from the channel buffers prepared by the caller.
    void RenderPiece(int frames);
    // RenderPiece through RenderBlockUnlessSilent: true when the piece is silence left unwritten.
    bool RenderPieceUnlessSilent(int frames);
    void PointAtChannels();
    // The core's editor when it can open a window of its own: the one the host is offered.
    host::PluginEditor* WindowEditor() const;

    std::unique_ptr<host::PluginBase> core_;
    AEffect effect_{};
    HostCallback hostCallback_ = nullptr;
    bool hostSetupDone_ = false;
    int hostCode_ = -1;
    int hostVersion_ = 0;
    host::ChunkBuffer programState_;
    host::ChunkBuffer bankState_;
    int extensionBits_ = 0;
    bool quirkHostKnown_ = false;
    bool quirkHost_ = false;
    VstSpeakerArrangement inputArrangement_{};
    VstSpeakerArrangement outputArrangement_{};
    ERect editorRect_{};
    std::vector<double*> inputPointers_;
    std::vector<double*> outputPointers_;
};

} // namespace vst2
