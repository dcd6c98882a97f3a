#pragma once
// The VST2 host adapter: it owns the effect record handed to the host, answers the dispatcher's
// opcodes, runs the process and parameter callbacks, and turns all of it into PluginBase
// operations. No other class knows an opcode number.

#include "host/PluginBase.h"
#include "host/Vst2Abi.h"

#include <string>

namespace host {

class VstPlugin : public PluginBase {
public:
    static constexpr int kDefaultBlockSize = 1024;

    VstPlugin(vst2::HostCallback hostCallback, int paramCount, int presetCount,
              const char* ioConfiguration);
    ~VstPlugin() override;

    vst2::AEffect* Effect() { return &effect_; }
    static VstPlugin* FromEffect(vst2::AEffect* effect);

    // The adapter's side of the virtual operations.
    void BeginParamEdit(int index) override;
    void NotifyParamChange(int index, double normalized) override;
    void EndParamEdit(int index) override;
    void NotifyProgramChange() override;
    bool IsOfflineRender() override;
    long long GetSamplePosition() override;
    double GetHostTempo() override;
    void GetHostTimeSignature(int& numerator, int& denominator) override;
    void GetTransportInfo(TransportInfo& info) override;
    int IdentifyHost() override;
    void ResizeEditor(int width, int height) override;
    void HostSpecificSetup() override;
    void AttachEditor(PluginEditor* editor) override;
    void SetLatencySamples(int samples) override;
    bool SendMidiMessage(const MidiMessage& message) override;
    bool SendSysExMessage(const SysExMessage& message) override;

    bool IsQuirkHost();
    int HostVersion() const { return hostVersion_; }
    int VendorExtensionBits() const { return extensionBits_; }

    // Entry points reached through the effect record. Dispatch holds the instance mutex; the
    // audio thread's calls (events and processing) hold only the render mutex.
    vst2::IntPtr Dispatch(vst2::Int32 opcode, vst2::Int32 index, vst2::IntPtr value, void* data,
                          float opt);
    vst2::IntPtr ProcessEvents(void* data);
    void ProcessFloat(float** inputs, float** outputs, vst2::Int32 frames, bool accumulate);
    void ProcessDouble(double** inputs, double** outputs, vst2::Int32 frames);
    float GetParameterNormalized(vst2::Int32 index);
    void SetParameterNormalized(vst2::Int32 index, float value);

protected:
    vst2::IntPtr CallHost(vst2::Int32 opcode, vst2::Int32 index = 0, vst2::IntPtr value = 0,
                          void* data = nullptr, float opt = 0.0f);

private:
    vst2::IntPtr GetChunk(vst2::Int32 index, void* data);
    vst2::IntPtr SetChunk(vst2::Int32 index, vst2::IntPtr size, void* data);
    vst2::IntPtr StringToParameter(vst2::Int32 index, const char* text);
    vst2::IntPtr PinProperties(bool input, vst2::Int32 index, void* data);
    vst2::IntPtr CanDo(const char* text);
    vst2::IntPtr VendorSpecific(vst2::Int32 index, vst2::IntPtr value, void* data, float opt);
    void SetSpeakerArrangement(vst2::VstSpeakerArrangement* arrangement,
                               std::vector<Channel>& channels);
    void UpdateChannelCounts();
    const vst2::VstTimeInfo* HostTime(vst2::Int32 filter);
    // Renders up to one block from the channel buffers prepared by the caller.
    void RenderPiece(int frames);
    // RenderPiece through RenderBlockUnlessSilent: true when the piece is silence left unwritten.
    bool RenderPieceUnlessSilent(int frames);
    void PointAtChannels();
    // The attached editor when it can open a window of its own: the one the host is offered.
    PluginEditor* WindowEditor() const;

    vst2::AEffect effect_{};
    vst2::HostCallback hostCallback_ = nullptr;
    bool hostSetupDone_ = false;
    ChunkBuffer programState_;
    ChunkBuffer bankState_;
    int extensionBits_ = 0;
    bool quirkHostKnown_ = false;
    bool quirkHost_ = false;
    vst2::VstSpeakerArrangement inputArrangement_{};
    vst2::VstSpeakerArrangement outputArrangement_{};
    vst2::ERect editorRect_{};
    std::vector<double*> inputPointers_;
    std::vector<double*> outputPointers_;
};

} // namespace host
