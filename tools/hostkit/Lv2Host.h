#pragma once
// A small LV2 host without an RDF library: loads a plug-in binary (or takes a descriptor function
// linked into the program), instantiates it with the features this project's plug-in knows (URID
// map and unmap, options, log, worker), connects its ports by the fixed layout of Lv2Identity.h,
// runs it, and calls its state and options interfaces. The test hosts and the real-time benchmark
// are built on it.
//
// Threads: Run() belongs to one audio thread, the state, options and lifecycle calls to one other
// thread (or the same); the URID map, the log and, in Thread mode, the worker are safe from any.

#include "Lv2AtomBuffer.h"
#include "Lv2PortRanges.h"
#include "Lv2UridMap.h"
#include "Lv2Worker.h"
#include "platform/DynamicLibrary.h"

#include <lv2/core/lv2.h>
#include <lv2/log/log.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>

#include <cstdarg>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace lv2host {

// What the host offers when it instantiates the plug-in.
struct InstanceSetup {
    double sampleRate = 44100.0;
    std::int32_t maxBlockLength = 1024;
    std::int32_t nominalBlockLength = 1024;
    bool uridMap = true;
    bool uridUnmap = true;
    bool options = true;
    bool log = true;
    bool worker = true;
    WorkerMode workerMode = WorkerMode::AfterRun;
    std::size_t workQueueBytes = 1 << 16;
    // Options given besides the block lengths and the sample rate (garbage included).
    std::vector<LV2_Options_Option> extraOptions;
    // The MIDI output buffer, header included; the description asks for at least 16 KB.
    std::size_t midiOutBytes = 16384;
    std::size_t midiInBytes = 1 << 16;
};

// One saved property as the plug-in stored it. A claimed size, when set, is what retrieve
// reports instead of the true size of the bytes (a host that lies about it).
struct StateProperty {
    LV2_URID type = 0;
    std::uint32_t flags = 0;
    std::vector<std::uint8_t> bytes;
    std::optional<std::size_t> claimedSize;
};
using StateProperties = std::map<LV2_URID, StateProperty>;

class Lv2Host {
public:
    // Frames past each run's end whose samples must stay as the host left them.
    static constexpr std::size_t kGuardFrames = 64;

    Lv2Host();
    ~Lv2Host();
    Lv2Host(const Lv2Host&) = delete;
    Lv2Host& operator=(const Lv2Host&) = delete;

    // Loads the bundle's plug-in binary and reads its control ports from the description.
    bool LoadBundle(const std::string& folder);
    // A descriptor function linked into this program, with the control ports it has.
    bool UseDescriptorFunction(LV2_Descriptor_Function function,
                               std::vector<ControlPortRange> controls);
    const std::string& Error() const { return error_; }
    const LV2_Descriptor* Descriptor() const { return descriptor_; }
    const std::vector<ControlPortRange>& ControlPorts() const { return controlPorts_; }
    UridMap& Map() { return map_; }
    LV2_URID Urid(const char* uri) { return map_.Map(uri); }

    // Instance lifecycle. Instantiate() cleans up an instance first; false when the plug-in gave
    // none. The control ports start at their defaults; no port is connected yet.
    bool Instantiate(const InstanceSetup& setup);
    bool HasInstance() const { return instance_ != nullptr; }
    LV2_Handle Instance() const { return instance_; }
    const InstanceSetup& Setup() const { return setup_; }
    void Cleanup();
    void Activate();
    void Deactivate();

    // Ports. ConnectAll() connects every port to the host's own buffers.
    void ConnectAll();
    void ConnectPort(std::uint32_t port, void* data);
    std::uint32_t PortCount() const;
    float& Control(std::size_t param) { return controls_[param]; }
    std::size_t ControlCount() const { return controls_.size(); }
    AtomBuffer& MidiIn() { return midiIn_; }
    // Appends a MIDI event (any bytes) to the next run's input; false when it does not fit.
    bool AddMidi(std::int64_t frame, const std::vector<std::uint8_t>& bytes);
    bool AddEvent(std::int64_t frame, LV2_URID type, const void* body, std::uint32_t size);

    // One run: the audio outputs are filled with NaN up to frames and guarded after, the MIDI
    // output offered whole; the worker's after-run calls follow, and the MIDI input is emptied.
    void Run(std::uint32_t frames);
    // The same in three parts, for a benchmark that times the plug-in's run() alone.
    void BeginRun(std::uint32_t frames);
    void RunInstance(std::uint32_t frames) { descriptor_->run(instance_, frames); }
    void EndRun();
    const float* Audio(int channel) const { return audio_[channel].data(); }
    // Every frame of the last run written and finite, nothing after it touched (for channels
    // connected to the host's buffers).
    bool CheckAudio(std::uint32_t frames, std::string& problem) const;
    // The MIDI the last run sent, checked against its buffer.
    bool ReadMidiOut(std::vector<AtomEvent>& events, std::string& problem);

    // The state interface, with a store that keeps the properties in memory. storeAnswer is what
    // store() says to every call (a host whose storage fails).
    LV2_State_Status SaveState(StateProperties& properties,
                               LV2_State_Status storeAnswer = LV2_STATE_SUCCESS);
    LV2_State_Status RestoreState(const StateProperties& properties);
    bool HasStateInterface() const { return state_ != nullptr; }
    // The options interface's set(); the terminating empty option is added here.
    std::uint32_t SetOptions(std::vector<LV2_Options_Option> options);

    Worker* WorkerOf() { return worker_.get(); }
    std::vector<std::string> LogMessages();
    void ClearLog();

private:
    bool TakeDescriptor(LV2_Descriptor_Function function, const std::string& from);
    void BuildFeatures();
    void GrowAudio(std::uint32_t frames);
    static int LogPrintf(LV2_Log_Handle handle, LV2_URID type, const char* format, ...);
    static int LogVprintf(LV2_Log_Handle handle, LV2_URID type, const char* format, va_list args);

    platform::DynamicLibrary library_;
    const LV2_Descriptor* descriptor_ = nullptr;
    std::vector<ControlPortRange> controlPorts_;
    std::string error_;
    UridMap map_;

    InstanceSetup setup_;
    LV2_Handle instance_ = nullptr;
    const LV2_State_Interface* state_ = nullptr;
    const LV2_Options_Interface* options_ = nullptr;
    std::unique_ptr<Worker> worker_;

    // The features of the current instance and what they point to.
    LV2_Log_Log log_;
    std::vector<LV2_Options_Option> optionList_;
    float optionSampleRate_ = 0.0f;
    LV2_Feature mapFeature_, unmapFeature_, optionsFeature_, logFeature_, workerFeature_,
        boundedFeature_;
    std::vector<const LV2_Feature*> features_;

    std::vector<float> controls_;
    std::vector<float> audio_[2];
    void* connectedAudio_[2] = {nullptr, nullptr};
    void* connectedMidiOut_ = nullptr;
    AtomBuffer midiIn_;
    AtomBuffer midiOut_;
    LV2_URID sequenceType_ = 0;
    LV2_URID chunkType_ = 0;
    LV2_URID midiType_ = 0;

    std::mutex logMutex_;
    std::vector<std::string> logMessages_;
};

} // namespace lv2host
