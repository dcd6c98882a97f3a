#pragma once
// A seeded random LV2 host: drives the built plug-in binary through its LV2 entry points with the
// calls a broken or hostile host may make, and checks after every step what must hold whatever it
// sent: no crash, every output frame written and finite and none past the run, a MIDI output that
// is a well-formed sequence, silence after a panic, and a state that a refused restore leaves as
// it was. Every call is written to a log file as it is made, so a failing seed (a broken
// invariant, a sanitizer report or a crash) leaves the call list that reproduces it.

#include "ChaosSysEx.h"
#include "Lv2Host.h"

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace lv2chaos {

using chaos::Bytes;

// How much one run tried; printed at the end.
struct Counters {
    long long calls = 0;
    long long runs = 0;
    long long frames = 0;
    long long midi = 0;
    long long sysex = 0;
    long long states = 0;
    long long refusedStates = 0;
    long long options = 0;
    long long instances = 0;
    long long work = 0;
};

class Run {
public:
    Run(const std::string& bundle, const Bytes& realBank, std::uint64_t seed,
        const std::string& logPath);
    ~Run();
    bool Loaded() const { return loaded_; }
    // One random step and the checks after it; false with a message once something broke.
    bool Step();
    // The closing checks: a panic ends in silence, the state round-trips.
    bool Finish();
    const std::string& Failure() const { return failure_; }
    const Counters& Count() const { return count_; }

    // Building blocks, shared by the step files.
    std::mt19937_64& Rng() { return rng_; }
    int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool Chance(int percent) { return Uniform(0, 99) < percent; }
    void Log(const std::string& line);
    bool Fail(const std::string& message);
    lv2host::Lv2Host& Host() { return host_; }
    // run() and the checks of its outputs; the MIDI it sent is added to sent when given.
    bool RunFrames(std::uint32_t frames, std::vector<lv2host::AtomEvent>* sent = nullptr);
    bool AddMidi(std::int64_t frame, const Bytes& bytes);
    // The steps whose checks need every port back on the host's buffers call this first.
    bool ConnectAllIfHostile();
    // The state as the plug-in saves it now; a failed save is a failure of the run.
    bool Save(lv2host::StateProperties& state);
    LV2_State_Status Restore(const lv2host::StateProperties& state, const std::string& what);
    // The state saved now is taken back and saves to the same properties again.
    bool RoundTrip();
    // Frames of an ordinary run at the announced block length.
    std::uint32_t AnyFrames();

    // What the run told the plug-in, as far as it must have taken it.
    int announcedBlock = 1024; // the block length the plug-in was told (or assumes)
    double sampleRate = 44100.0;
    std::uint32_t frameLimit = 40000; // the most frames one run renders at this rate
    bool hostileConnections = false;  // ports left null or unconnected, against the rules
    chaos::SysExOracle oracle;
    const Bytes& realBank;
    Counters count_;

private:
    bool RandomStep();
    bool NewInstance();
    bool StepRun();
    bool StepPorts();
    bool StepConnections();
    bool StepMidiStorm();
    bool StepSysEx();
    bool StepRealBank();
    bool StepState();
    bool StepOptions();
    bool StepLifecycle();
    // soundFirst: the fresh instance's state comes back and a chord must sound before the panic,
    // so that the silence after it means something.
    bool StepPanicSilence(bool soundFirst);
    bool SoundCheck();

    lv2host::Lv2Host host_;
    std::mt19937_64 rng_;
    std::FILE* log_ = nullptr;
    std::string failure_;
    bool loaded_ = false;
    bool active_ = false;
    long long stepIndex_ = 0;
    lv2host::StateProperties freshState_; // saved right after the instance was made
};

// Setups a host may instantiate with, garbage included; logged as text.
lv2host::InstanceSetup RandomSetup(Run& run, std::string& text);
// A control port value: in range mostly, else out of range, NaN, infinite or huge.
float AnyPortValue(Run& run, const lv2host::ControlPortRange& range);

} // namespace lv2chaos
