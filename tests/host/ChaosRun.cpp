// The chaos host's plumbing: the instance, the call log, calls with their checks, and the choice
// of the next step.

#include "ChaosHost.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace chaos {

Run::Run(const std::string& pluginPath, std::uint64_t seed, const std::string& logPath)
    : rng_(seed) {
    log_ = std::fopen(logPath.c_str(), "w");
    // Line-buffered: a sanitizer abort or a crash still leaves every call made before it.
    if (log_) std::setvbuf(log_, nullptr, _IOLBF, 1 << 16);
    // Some hosts are told apart by their vendor text; the plug-in treats a few differently.
    quirkHost = Chance(20);
    host_.vendorString = quirkHost ? "Native Instruments" : "Chaos Host";
    Log("load vendor=\"" + host_.vendorString + "\"");
    loaded_ = host_.Load(pluginPath);
    if (!loaded_) {
        failure_ = host_.Error();
        return;
    }
    Dispatch(vst2::effOpen, 0, 0, nullptr, 0.0f, "null");
    Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f, "null");
    Dispatch(vst2::effSetBlockSize, 0, blockSize, nullptr, 0.0f, "null");
    Dispatch(vst2::effMainsChanged, 0, 1, nullptr, 0.0f, "null");
}

Run::~Run() {
    if (loaded_) {
        Log("effClose");
        host_.CloseInstance();
    }
    if (log_) std::fclose(log_);
}

void Run::Log(const std::string& line) {
    ++count_.calls;
    if (log_) std::fprintf(log_, "%lld: %s\n", stepIndex_, line.c_str());
}

bool Run::Fail(const std::string& message) {
    if (failure_.empty()) failure_ = "step " + std::to_string(stepIndex_) + ": " + message;
    if (log_) std::fprintf(log_, "FAILED %s\n", failure_.c_str());
    return false;
}

vst2::IntPtr Run::Dispatch(vst2::Int32 opcode, vst2::Int32 index, vst2::IntPtr value, void* data,
                           float opt, const std::string& dataText) {
    char line[200];
    std::snprintf(line, sizeof line, "dispatch(%d, %d, %lld, %s, %.9g)", opcode, index,
                  static_cast<long long>(value), dataText.c_str(), static_cast<double>(opt));
    Log(line);
    return host_.Dispatch(opcode, index, value, data, opt);
}

void Run::ClearHostRecords() {
    host_.calls.clear();
    host_.receivedEvents.clear();
}

bool Run::Process(int frames, int kind) {
    static const char* const kNames[] = {"processReplacing", "process", "processDoubleReplacing"};
    Log(std::string(kNames[kind]) + " frames=" + std::to_string(frames));
    const std::size_t n = static_cast<std::size_t>(std::max(frames, 0)) + 1;
    vst2::AEffect* effect = host_.Effect();
    count_.frames += std::max(frames, 0);
    if (kind == 2) {
        std::vector<double> in(n, 0.25), left(n, 0.0), right(n, 0.0);
        double* inputs[] = {in.data()};
        double* outputs[] = {left.data(), right.data()};
        effect->processDoubleReplacing(effect, inputs, outputs, frames);
        for (std::size_t i = 0; i < n; ++i)
            if (!std::isfinite(left[i]) || !std::isfinite(right[i]))
                return Fail("output not finite at frame " + std::to_string(i));
        return true;
    }
    std::vector<float> in(n, 0.25f), left(n, 0.0f), right(n, 0.0f);
    float* inputs[] = {in.data()};
    float* outputs[] = {left.data(), right.data()};
    if (kind == 1) {
        effect->process(effect, inputs, outputs, frames);
    } else {
        effect->processReplacing(effect, inputs, outputs, frames);
    }
    for (std::size_t i = 0; i < n; ++i)
        if (!std::isfinite(left[i]) || !std::isfinite(right[i]))
            return Fail("output not finite at frame " + std::to_string(i));
    return true;
}

void Run::SendEvents(const std::vector<vst2::VstEvent*>& events, const std::string& what) {
    std::vector<unsigned char> storage(sizeof(vst2::VstEvents) +
                                       sizeof(vst2::VstEvent*) * (events.size() + 2));
    auto* list = reinterpret_cast<vst2::VstEvents*>(storage.data());
    list->numEvents = static_cast<vst2::Int32>(events.size());
    vst2::VstEvent** entries = list->events; // all of them, beyond the declared two
    for (std::size_t i = 0; i < events.size(); ++i) entries[i] = events[i];
    Dispatch(vst2::effProcessEvents, 0, 0, list, 0.0f,
             "events[" + std::to_string(events.size()) + "] " + what);
}

Bytes Run::BankChunk() {
    void* chunk = nullptr;
    vst2::IntPtr size = Dispatch(vst2::effGetChunk, 0, 0, &chunk, 0.0f, "&pointer");
    if (size <= 0 || !chunk) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(chunk);
    return Bytes(bytes, bytes + size);
}

bool Run::Step() {
    ++stepIndex_;
    ClearHostRecords();
    // A panic with a few seconds of release now and then: the run must always come back to
    // silence, whatever it was sent before.
    if (stepIndex_ % 700 == 0) return StepPanicSilence();
    bool ok = RandomStep();
    // For hunting a round-trip failure down to its step; changes no random choice.
    if (ok && std::getenv("VORNA_CHAOS_ROUNDTRIP")) ok = RoundTrip();
    return ok;
}

bool Run::RoundTrip() {
    // An imported voice may store a field beyond its parameter's range; the first load of the
    // bank writes such a program back in range. From then on the bank must read and write to the
    // same bytes.
    Bytes bank = BankChunk();
    for (int trip = 0; trip < 2; ++trip) {
        if (Dispatch(vst2::effSetChunk, 0, static_cast<vst2::IntPtr>(bank.size()), bank.data(),
                     0.0f, "the bank chunk just given") != 1)
            return Fail("the bank chunk just given is refused");
        Bytes again = BankChunk();
        if (again == bank) return true;
        if (trip == 1)
            return Fail("the bank chunk does not round-trip: " + Difference(bank, again));
        bank.swap(again);
    }
    return true;
}

bool Run::RandomStep() {
    int roll = Uniform(0, 99);
    if (roll < 24) return StepDispatch();
    if (roll < 34) return StepText();
    if (roll < 54) return StepProcess();
    if (roll < 63) return StepParameters();
    if (roll < 71) return StepMidiStorm();
    if (roll < 82) return StepSysEx();
    if (roll < 91) return StepChunk();
    if (roll < 99) return StepRateOrBlock();
    return StepReopen();
}

bool Run::Finish() {
    ++stepIndex_;
    if (!StepPanicSilence()) return false;
    return RoundTrip();
}

} // namespace chaos
