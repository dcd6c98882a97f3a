#pragma once
// The LV2 adapter: owns one plug-in core and translates the LV2 instance's calls into its
// operations, as the VST2 adapter does for the effect record. Ports are read in run(); the state
// is the VST2 bank chunk plus the current program; SysEx bank dumps are decoded by the host's
// worker thread; MIDI the core sends leaves through the output port.

#include "host/HostLink.h"
#include "host/PluginBase.h"
#include "lv2/Lv2EditorLink.h"
#include "lv2/Lv2MidiOut.h"
#include "lv2/Lv2Uris.h"

#include <lv2/core/lv2.h>
#include <lv2/log/log.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace lv2 {

class Adapter : public host::HostLink {
public:
    // A default block size until the host says one (options), the same as the VST2 adapter's.
    static constexpr int kDefaultBlockSize = 1024;

    // Null, with a message in the host's log, when a required feature is missing.
    static Adapter* Create(double sampleRate, const LV2_Feature* const* features);
    ~Adapter() override;

    static Adapter* FromHandle(void* handle) { return static_cast<Adapter*>(handle); }
    host::PluginBase& Core() { return *core_; }

    // The instance's entry points.
    void ConnectPort(std::uint32_t port, void* data);
    void Activate();
    void Deactivate();
    void Run(std::uint32_t frames);
    // The host is done: the core goes once no call runs inside it.
    void Cleanup();
    LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);
    LV2_Worker_Status Work(LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle handle,
                           std::uint32_t size, const void* data);
    std::uint32_t SetOptions(const LV2_Options_Option* options);

    // The editor's link to the host's UI: while one is attached, parameter notices go to its
    // write function. Calls from another thread than the one that attached it are kept, newest
    // value per parameter, and sent by FlushUiWrites on the UI thread.
    void AttachUi(const VornaLv2UiHost* host);
    void DetachUi();
    void FlushUiWrites();

    // host::HostLink
    void BeginParamEdit(int index) override;
    void NotifyParamChange(int index, double normalized) override;
    void EndParamEdit(int index) override;
    bool ResizeEditorFrame(int width, int height) override;
    bool SendMidi(const host::MidiMessage& message) override;
    bool SendSysEx(const host::SysExMessage& message) override;

private:
    Adapter(const Uris& uris, const LV2_Feature* const* features);
    bool Start(double sampleRate, int blockSize);
    void Log(const char* text);
    void ApplyChangedPorts();
    // The MIDI input's events into the core; whether there was any.
    bool HandleInput();
    void HandleMidiEvent(std::uint32_t frame, const std::uint8_t* bytes, std::uint32_t size);
    // closeCall: the events taken belong to this call even when it renders nothing.
    void Render(std::uint32_t frames, bool closeCall);
    void SendUiWrite(int index);
    bool OnUiThread() const;

    Uris uris_;
    LV2_Log_Log* log_ = nullptr;
    LV2_Worker_Schedule* worker_ = nullptr;
    std::unique_ptr<host::PluginBase> core_;

    const LV2_Atom_Sequence* midiIn_ = nullptr;
    LV2_Atom_Sequence* midiOutPort_ = nullptr;
    float* audioOut_[2] = {nullptr, nullptr};
    std::vector<const float*> paramPorts_;
    // The last value of each parameter port that the plug-in saw. A port whose value differs is a
    // change from the host.
    std::vector<float> portSeen_;
    // Set by a state restore: the next run takes the ports' values as seen without applying them,
    // since the restored state holds the sound.
    std::atomic<bool> adoptPorts_{false};

    // Messages handed to the worker and not yet taken by work(). While any waits, later SysEx
    // follows it through the worker: a voice dump after a bank dump is applied after it, as the
    // host sent them, not overwritten by it.
    std::atomic<int> messagesAtWorker_{0};

    // What the core sends: straight into the output port during run(), else kept until the next.
    MidiOut midiOut_;
    std::atomic<std::thread::id> runThread_{};

    std::vector<double*> inputPointers_;
    std::vector<double*> outputPointers_;

    // The UI link and the parameter writes waiting for the UI thread.
    platform::RecursiveMutex uiMutex_;
    const VornaLv2UiHost* ui_ = nullptr;
    std::thread::id uiThread_{};
    std::unique_ptr<std::atomic<bool>[]> uiPending_;
    std::unique_ptr<std::atomic<double>[]> uiPendingValue_;
};

} // namespace lv2
