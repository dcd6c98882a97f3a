#pragma once
// The host-independent core of the plug-in: parameters, the program store, channels, identity,
// sample rate and block size, the instance mutex and the editor link. Everything else drives the
// instrument through the virtual operations declared here; the format adapters (vst2/) translate a
// host format into them and the instrument classes override them.

#include "host/ChunkBuffer.h"
#include "host/EditorLink.h"
#include "host/HostLink.h"
#include "host/MidiTypes.h"
#include "host/Param.h"
#include "platform/Mutex.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace host {

// A four-character identifier as a number, first character in the high byte.
constexpr std::int32_t FourCharCode(char a, char b, char c, char d) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24 |
        static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16 |
        static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8 |
        static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

struct Preset {
    static constexpr std::size_t kNameCapacity = 256; // with terminator

    bool initialised = false;
    std::string name = "empty";
    ChunkBuffer state;
};

struct IoConfiguration {
    int inputs;
    int outputs;
};

struct Channel {
    bool connected = true;
    double* buffer = nullptr;    // the buffer used for the current block
    std::vector<double> scratch; // block-size doubles
    float* hostOutput = nullptr; // outputs only: where the block's floats go
    std::string label;
};

class PluginBase {
public:
    // Marks a call from the host or the OS that runs inside the instance, for its whole run: the
    // format adapter's dispatcher entry and the editor window's own events. The host may destroy
    // the instance from inside one (a host's timer or window message that the loop of a menu or
    // dialog dispatched) or from another thread while the user is being asked (the instance
    // mutex is let go meanwhile); the instance then lives on until the last of them has returned
    // (CloseFromHost). A null plug-in marks nothing.
    class CallScope {
    public:
        explicit CallScope(PluginBase* plugin);
        ~CallScope();
        CallScope(const CallScope&) = delete;
        CallScope& operator=(const CallScope&) = delete;

    private:
        PluginBase* plugin_;
    };

    static constexpr int kPresetCount = 336;
    // The rates and block sizes a host can really run. Anything outside is ignored and the previous
    // value stays: a rate far above the range makes the control tick meaningless, and the scratch
    // buffers are allocated at the block size. A process call longer than the block size is
    // rendered in pieces, so the block-size limit never limits what a host may ask to render.
    static constexpr double kMinSampleRate = 1000.0;
    static constexpr double kMaxSampleRate = 1536000.0;
    static constexpr int kMaxBlockSize = 16384;

    PluginBase(const PluginSetup& setup, int paramCount, int presetCount,
               const char* ioConfiguration);
    PluginBase(int paramCount, int presetCount, const char* ioConfiguration)
        : PluginBase(PluginSetup{}, paramCount, presetCount, ioConfiguration) {}

    // Virtual operations, in slot order.
    virtual ~PluginBase();
    virtual void ResetProcessing();
    // A parameter's value changed: ParamNoticed, then ApplyParamToEngine. Called with the
    // instance mutex held.
    virtual void ParamChanged(int index);
    // What a changed value means outside the sound (MIDI learn, the editor's look). Called with
    // the instance mutex held.
    virtual void ParamNoticed(int) {}
    // Hands a parameter's value (in its range) to the engine, under the render mutex, which it
    // takes itself. It needs nothing else of the instance, so it may run without the instance
    // mutex.
    virtual void ApplyParamToEngine(int, double) {}
    virtual void RenderBlock(double** inputs, double** outputs, int frames);
    // As RenderBlock, but a block whose every output sample is +0 may be left unwritten, which
    // true reports: the outputs then stand for zeros. The float path uses it so that silence
    // costs no conversion. The default renders the block.
    virtual bool RenderBlockUnlessSilent(double** inputs, double** outputs, int frames);
    virtual void EditorOpened() {}
    virtual void EditorClosed() {}
    virtual void IdleTick() {}
    virtual void ActivationChanged(bool active);
    virtual void HandleMidiMessage(const MidiMessage& message);
    virtual void HandleSysEx(const SysExMessage& message);
    // Whether a SysEx message replaces programs wholesale (a bank dump): a format that offers a
    // worker thread hands such a message to HandleSysExOffAudio there instead of decoding it on
    // the audio thread.
    virtual bool SysExReplacesBank(const SysExMessage&) { return false; }
    // A SysEx message handled on a thread that may wait for the instance mutex.
    virtual void HandleSysExOffAudio(const SysExMessage& message) { HandleSysEx(message); }
    virtual bool NoteNameFor(int key, std::string& text);
    virtual bool WriteState(ChunkBuffer& buffer);
    virtual int ReadState(const ChunkBuffer& buffer, int position);
    virtual bool StateEquals(const ChunkBuffer& buffer, int position);
    virtual void HostIdentified() {}
    virtual void SetParamFromEditor(int index, double normalized);
    // What the core asks of the host: passed to the format adapter's HostLink.
    virtual void BeginParamEdit(int index) { host_->BeginParamEdit(index); }
    virtual void NotifyParamChange(int index, double normalized) {
        host_->NotifyParamChange(index, normalized);
    }
    virtual void EndParamEdit(int index) { host_->EndParamEdit(index); }
    virtual void NotifyProgramChange() { host_->NotifyProgramChange(); }
    virtual bool IsOfflineRender() { return host_->IsOfflineRender(); }
    virtual long long GetSamplePosition() { return host_->SamplePosition(); }
    virtual double GetHostTempo() { return host_->Tempo(); }
    virtual void GetHostTimeSignature(int& numerator, int& denominator) {
        host_->TimeSignature(numerator, denominator);
    }
    virtual void GetTransportInfo(TransportInfo& info) { host_->Transport(info); }
    virtual int IdentifyHost() { return host_->HostCode(); }
    // The editor's size changed (no window open, or the host has resized its frame already).
    virtual void ResizeEditor(int width, int height) { host_->EditorSizeChanged(width, height); }
    // Asks the host to resize the frame of the open editor; false when it refuses.
    virtual bool RequestEditorSize(int width, int height) {
        return host_->ResizeEditorFrame(width, height);
    }
    virtual void AttachEditor(PluginEditor* editor);
    virtual void SetLatencySamples(int samples) {
        latency_ = samples;
        host_->LatencyChanged(samples);
    }
    virtual bool SendMidiMessage(const MidiMessage& message) { return host_->SendMidi(message); }
    virtual bool SendSysExMessage(const SysExMessage& message) { return host_->SendSysEx(message); }
    // Draws the editor offscreen into a PNG file, at its own scale or (scalePercent not 0) at an
    // offered one; false when there is no editor, the scale is not offered or differs from that
    // of an open window, or the write failed.
    virtual bool SaveEditorPicture(const std::string&, int /*scalePercent*/ = 0) { return false; }
    virtual void RefreshParamControls();
    virtual int UnserializePresets(const ChunkBuffer& buffer, int position);
    virtual void ModifyCurrentPreset(const char* name = nullptr);
    virtual void ProgramsChanged() {}
    virtual void SetSampleRate(double rate);
    virtual void SetBlockSize(int frames);
    // The position after the readable state at position, or -1; changes nothing. Lets a whole
    // bank be checked before any program is overwritten.
    virtual int CheckState(const ChunkBuffer& buffer, int position);
    // Writes the state read at position into out in its normal form, stamped with program index's
    // number and name, and answers the position after it (-1 when unreadable). The default reads
    // the state into the parameters and writes it back; an instrument that can convert a state on
    // its own overrides it, so that loading a bank leaves the sound alone.
    virtual int NormalizeState(int index, const ChunkBuffer& buffer, int position,
                               ChunkBuffer& out);
    // The audio thread enters and leaves a process call or an event list with the render mutex
    // held; frames is the length of the process call, 0 for an event list. An instrument that put
    // work aside, because it could not take the instance mutex without waiting, does it here once
    // it can.
    virtual void AudioCallStarting(int) {}
    virtual void AudioCallEnded(bool) {}

    // Non-virtual operations.
    // A value from the host (normalised, already in 0..1): stored, and handed to the engine under
    // the render mutex. The editor and MIDI learn hear of it at once when the instance mutex is
    // free, else from the next thread that holds it (ShowParamsChangedWhileBusy): the host's
    // thread never waits for them.
    void SetParamFromHost(int index, double normalized);
    // A value typed by the user in the host, in the parameter's units or one of its display texts;
    // false (nothing changed) when it is neither.
    bool SetParamFromText(int index, const std::string& text);
    // The editor's lifecycle as a host drives it. The editor is offered only when it can open a
    // window of its own here (WindowEditor).
    PluginEditor* WindowEditor() const {
        return editor_ && editor_->HasWindow() ? editor_ : nullptr;
    }
    bool OpenEditor(void* parent);
    bool CloseEditor();
    void EditorIdle();
    // The host is done with the instance. The editor closes first: a menu or dialog that waits for
    // the user is cancelled, and the window goes once that wait has unwound. `destroy`, which
    // deletes the instance and whatever owns it, runs at once when no call runs inside the
    // instance, else on the thread of the last such call as it returns (CallScope).
    void CloseFromHost(std::function<void()> destroy);
    // The state the host saves and restores, as bytes: the whole bank (a version, then every
    // program) or the current program (a version, its state, its name). Saving stores the current
    // sound into its program first.
    bool SaveStateChunk(bool bank, ChunkBuffer& out);
    // Loads such bytes; false (nothing changed) when they cannot be read whole. A bank is checked
    // whole before a program changes. When a program is asked for, bankMayFollow accepts a bank
    // instead (some hosts hand back bank chunks under a program request).
    bool LoadStateChunk(bool bank, bool bankMayFollow, const ChunkBuffer& chunk);
    // With the instance mutex held: tells the editor and MIDI learn of the parameters that
    // SetParamFromHost changed.
    void ShowParamsChangedWhileBusy();
    bool RecallPreset(int index);
    std::string PresetName(int index) const;
    void FillEmptyPresets();
    void AllParamsChanged();
    void ReportAllParamsToHost();
    bool SerializeParams(ChunkBuffer& buffer);
    int UnserializeParams(const ChunkBuffer& buffer, int position);
    bool SerializePresets(ChunkBuffer& buffer);
    // The position after presetCount preset entries that all read completely, or -1.
    int CheckPresetEntries(const ChunkBuffer& buffer, int position);
    // WriteState stamped with program index's own number and name (see StateOwnerIndex).
    bool WriteStateFor(int index, ChunkBuffer& buffer);
    // The program whose index and name a state being written carries: the one WriteStateFor names,
    // else the current program.
    int StateOwnerIndex() const { return stateOwner_ >= 0 ? stateOwner_ : currentPreset_; }

    // Program (FXP) and bank (FXB) files. Saving replaces the file only once the new one is
    // written completely; loading changes nothing unless the whole file was read.
    bool SaveProgramFile(const std::string& path);
    bool SaveBankFile(const std::string& path);
    bool LoadProgramFile(const std::string& path);
    bool LoadBankFile(const std::string& path);
    // The loads on a file's bytes.
    bool LoadProgramData(const std::vector<std::uint8_t>& file);
    bool LoadBankData(const std::vector<std::uint8_t>& file);
    // The file images the saves write.
    std::vector<std::uint8_t> ProgramFileImage();
    std::vector<std::uint8_t> BankFileImage();
    bool LegalIO(int inputs, int outputs) const;
    void LimitToStereo();

    // Accessors.
    int ParamCount() const { return static_cast<int>(params_.size()); }
    bool IsValidParam(int index) const { return index >= 0 && index < ParamCount(); }
    Param& GetParam(int index) { return params_[static_cast<std::size_t>(index)]; }
    const Param& GetParam(int index) const { return params_[static_cast<std::size_t>(index)]; }
    int PresetCount() const { return static_cast<int>(presets_.size()); }
    bool IsValidPreset(int index) const { return index >= 0 && index < PresetCount(); }
    Preset& GetPreset(int index) { return presets_[static_cast<std::size_t>(index)]; }
    const Preset& GetPreset(int index) const { return presets_[static_cast<std::size_t>(index)]; }
    int CurrentPresetIndex() const { return currentPreset_; }
    double SampleRate() const { return sampleRate_; }
    int BlockSize() const { return blockSize_; }
    int InputCount() const { return static_cast<int>(inputs_.size()); }
    int OutputCount() const { return static_cast<int>(outputs_.size()); }
    Channel& Input(int index) { return inputs_[static_cast<std::size_t>(index)]; }
    std::vector<Channel>& Inputs() { return inputs_; }
    std::vector<Channel>& Outputs() { return outputs_; }
    Channel& Output(int index) { return outputs_[static_cast<std::size_t>(index)]; }
    const std::vector<IoConfiguration>& IoConfigurations() const { return ioConfigurations_; }
    PluginEditor* Editor() const { return editor_; }
    // The instance mutex: parameters as the host and the editor see them, the programs, the
    // editor, the settings and learn. The audio thread never waits for it.
    platform::RecursiveMutex& Mutex() { return mutex_; }
    // The render mutex: the engine, the queued MIDI, the channels, the sample rate and the block
    // size. The audio thread holds it for each call; other threads take it only to copy a few
    // values in, never around decoding, drawing, files or a loop over the programs.
    platform::RecursiveMutex& RenderMutex() { return renderMutex_; }
    int Latency() const { return latency_; }
    int TailSize() const { return tailSize_; }
    bool UsesStateChunks() const { return usesStateChunks_; }
    bool IsInstrument() const { return isInstrument_; }
    bool UsesMidi() const { return usesMidi_; }

    const std::string& EffectName() const { return effectName_; }
    const std::string& ProductName() const { return productName_; }
    const std::string& VendorName() const { return vendorName_; }
    std::int32_t UniqueId() const { return uniqueId_; }
    std::int32_t ManufacturerId() const { return manufacturerId_; }
    std::int32_t Version() const { return version_; }
    // major x 10000 + minor x 100 + bugfix.
    int DecimalVersion() const;

private:
    // Declared first so that they are destroyed last, after everything they guard. A thread that
    // holds both took the instance mutex first; the audio thread, which holds the render mutex,
    // only ever tries the instance mutex. The calls mutex guards only the two members after it
    // and is never held while another lock is taken.
    platform::RecursiveMutex mutex_;
    platform::RecursiveMutex renderMutex_;
    platform::RecursiveMutex callsMutex_;
    int calls_ = 0;                 // CallScopes alive
    std::function<void()> destroy_; // set by CloseFromHost while calls run

protected:
    std::vector<Param> params_;
    std::vector<Preset> presets_;
    int currentPreset_ = 0;
    std::vector<IoConfiguration> ioConfigurations_;
    std::vector<Channel> inputs_;
    std::vector<Channel> outputs_;
    std::string effectName_;
    std::string productName_;
    std::string vendorName_;
    std::int32_t uniqueId_ = 0;
    std::int32_t manufacturerId_ = 0;
    std::int32_t version_ = 0;
    bool usesStateChunks_ = true;
    bool isInstrument_ = true;
    bool usesMidi_ = true;
    double sampleRate_ = 44100.0;
    int blockSize_ = 0;
    int latency_ = 0;
    int tailSize_ = 0;
    PluginEditor* editor_ = nullptr;
    int stateOwner_ = -1;
    HostLink* host_;

private:
    void ParseIoConfigurations(const char* text);
    // One bit per parameter that SetParamFromHost changed and the editor has not been shown.
    std::unique_ptr<std::atomic<std::uint32_t>[]> changedWhileBusy_;
    int changedWordCount_ = 0;
};

// Cuts a preset name to what a preset holds (255 characters).
std::string CutPresetName(const std::string& name);

} // namespace host
