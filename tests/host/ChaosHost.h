#pragma once
// A seeded random host: drives the built plug-in binary through its VST2 entry with the calls a
// broken or hostile host may make, and checks after every step what must hold whatever it sent.
// Every call is written to a log file as it is made, so a failing seed (a broken invariant, a
// sanitizer report or a crash) leaves the call list that reproduces it.

#include "ChaosSysEx.h"
#include "PluginHost.h"

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace chaos {

// How much one run tried; printed at the end.
struct Counters {
    long long calls = 0;
    long long chunks = 0;
    long long sysex = 0;
    long long midi = 0;
    long long frames = 0;
};

class Run {
public:
    Run(const std::string& pluginPath, std::uint64_t seed, const std::string& logPath);
    ~Run();
    bool Loaded() const { return loaded_; }
    // One random step and the checks after it; false with a message once something broke.
    bool Step();
    // The closing checks: panic and release end in silence, the bank round-trips.
    bool Finish();
    const std::string& Failure() const { return failure_; }
    const Counters& Count() const { return count_; }

    // Building blocks, shared by the step and check files.
    std::mt19937_64& Rng() { return rng_; }
    int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool Chance(int percent) { return Uniform(0, 99) < percent; }
    void Log(const std::string& line);
    bool Fail(const std::string& message);
    hostkit::PluginHost& Host() { return host_; }
    vst2::IntPtr Dispatch(vst2::Int32 opcode, vst2::Int32 index, vst2::IntPtr value, void* data,
                          float opt, const std::string& dataText);
    bool Process(int frames, int kind);
    void SendEvents(const std::vector<vst2::VstEvent*>& events, const std::string& what);
    Bytes BankChunk();
    void ClearHostRecords();
    // The bank chunk given now is taken back and gives the same bytes again.
    bool RoundTrip();

    // What the run told the plug-in, as far as it must have taken it.
    int blockSize = 1024;
    double sampleRate = 44100.0;
    int sampleRateLimit = 40000; // the most frames one process call renders at this rate
    bool quirkHost = false;      // a vendor text for which bank requests are program requests
    Counters count_;
    SysExOracle oracle;

private:
    bool RandomStep();
    bool StepDispatch();
    bool StepText();
    bool StepProcess();
    bool StepParameters();
    bool StepMidiStorm();
    bool StepSysEx();
    bool StepChunk();
    bool StepRateOrBlock();
    bool StepPanicSilence();
    bool StepReopen();

    hostkit::PluginHost host_;
    std::mt19937_64 rng_;
    std::FILE* log_ = nullptr;
    std::string failure_;
    bool loaded_ = false;
    long long stepIndex_ = 0;
};

} // namespace chaos
