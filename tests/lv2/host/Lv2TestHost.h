#pragma once
// One instance of the plug-in, driven as a simple host drives it: features offered at
// instantiation (urid:map and unmap, options with the block length and sample rate, a worker run
// after each run(), a log that keeps what it is told), ports connected to buffers the host owns,
// MIDI sent as an atom sequence at frame offsets, MIDI received from the output sequence, and the
// state saved and restored both through lilv and through the plug-in's own state interface.

#include "HostWorker.h"
#include "LogCollector.h"
#include "Lv2Bundle.h"
#include "lv2/Lv2Identity.h"

#include <lilv/lilv.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lv2_test {

// Which optional parts of the host an instance is made with.
struct HostSetup {
    double sampleRate = 44100.0;
    int maxBlockLength = 1024;
    bool offerUridMap = true;
    bool offerOptions = true;
    bool offerWorker = true;
    bool offerLog = true;
};

struct MidiMessage {
    std::int64_t frame = 0; // within its run, or from the instance's first frame for MidiOut()
    std::vector<std::uint8_t> bytes;
};

// One state property as the plug-in stores it.
struct StateProperty {
    std::string key;  // URI
    std::string type; // URI
    std::uint32_t flags = 0;
    std::vector<std::uint8_t> value;
};
using StateProperties = std::vector<StateProperty>;

struct LilvStateDeleter {
    void operator()(LilvState* state) const { lilv_state_free(state); }
};
using StatePtr = std::unique_ptr<LilvState, LilvStateDeleter>;

class Lv2TestHost {
public:
    explicit Lv2TestHost(Lv2Bundle& bundle, const HostSetup& setup = HostSetup());
    ~Lv2TestHost();
    Lv2TestHost(const Lv2TestHost&) = delete;
    Lv2TestHost& operator=(const Lv2TestHost&) = delete;

    // False when the plug-in refused to instantiate (or the bundle was not loaded).
    bool Ok() const { return instance_ != nullptr; }
    const std::string& Error() const { return error_; }
    LogCollector& Log() { return log_; }
    HostWorker& Worker() { return worker_; }
    Lv2Bundle& Bundle() { return bundle_; }
    const HostSetup& Setup() const { return setup_; }

    // Control input ports, by port index or by parameter (0..90, from lv2::kFirstParamPort).
    void SetPort(std::uint32_t port, float value);
    float Port(std::uint32_t port) const;
    void SetParam(int param, float value);
    float Param(int param) const;

    // MIDI for the next run, at a frame offset within it. Messages keep the order they were sent
    // in at equal offsets.
    void SendMidi(std::uint32_t frame, std::vector<std::uint8_t> bytes);
    // One run of frames (at most the setup's block length) into the two channels, then the worker's
    // work. The instance counts the frames it has rendered; MIDI out is dated from its start.
    void Run(std::uint32_t frames, float* left, float* right);
    const std::vector<MidiMessage>& MidiOut() const { return midiOut_; }
    // A run whose output port held something other than an atom sequence.
    int MalformedMidiOutRuns() const { return malformedMidiOut_; }

    // The state through the plug-in's own interface: save gives what it stores, restore hands it
    // exactly the given properties and returns its answer.
    StateProperties SaveProperties();
    LV2_State_Status RestoreProperties(const StateProperties& properties);
    // The state as a host keeps it: lilv_state_new_from_instance with the control ports' values,
    // lilv_state_restore setting them.
    StatePtr SaveState();
    void RestoreState(const LilvState* state);
    std::string StateToString(const LilvState* state);
    StatePtr StateFromString(const std::string& text);
    // A new sample rate and block length through the plug-in's options interface, as a host
    // announces a change while the instance lives; the interface's answer (LV2_OPTIONS_SUCCESS
    // is 0), or LV2_OPTIONS_ERR_UNKNOWN when the plug-in offers none.
    std::uint32_t ChangeOptions(float sampleRate, std::int32_t maxBlockLength);
    // Restores a preset of the bundle, by its URI; false when lilv has no such state.
    bool ApplyPreset(const std::string& uri);

private:
    const LV2_Feature* const* Features() const { return featureList_.data(); }
    void BuildFeatures();
    void ConnectPorts();
    void WriteMidiIn();
    void ReadMidiOut();

    static const void* PortValueForLilv(const char* symbol, void* host, std::uint32_t* size,
                                        std::uint32_t* type);
    static void SetPortFromLilv(const char* symbol, void* host, const void* value,
                                std::uint32_t size, std::uint32_t type);
    static LV2_State_Status StoreProperty(LV2_State_Handle handle, std::uint32_t key,
                                          const void* value, std::size_t size, std::uint32_t type,
                                          std::uint32_t flags);
    static const void* RetrieveProperty(LV2_State_Handle handle, std::uint32_t key,
                                        std::size_t* size, std::uint32_t* type,
                                        std::uint32_t* flags);

    Lv2Bundle& bundle_;
    HostSetup setup_;
    std::string error_;
    LogCollector log_;
    HostWorker worker_;

    std::int32_t maxBlock_ = 0;
    std::int32_t nominalBlock_ = 0;
    float sampleRate_ = 0.0f;
    std::vector<LV2_Options_Option> options_;
    std::vector<LV2_Feature> features_;
    std::vector<const LV2_Feature*> featureList_;

    LilvInstance* instance_ = nullptr;
    const LV2_State_Interface* stateInterface_ = nullptr;
    const LV2_Options_Interface* optionsInterface_ = nullptr;

    std::vector<float> portValues_;
    // 8-byte words, as atoms are aligned.
    std::vector<std::uint64_t> midiInBuffer_;
    std::vector<std::uint64_t> midiOutBuffer_;
    std::vector<MidiMessage> pendingMidi_;
    std::vector<MidiMessage> midiOut_;
    int malformedMidiOut_ = 0;
    std::int64_t framesRendered_ = 0;

    // What RetrieveProperty hands out during RestoreProperties.
    const StateProperties* restoring_ = nullptr;
    StateProperties* saving_ = nullptr;
};

} // namespace lv2_test
