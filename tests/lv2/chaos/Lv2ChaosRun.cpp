// The LV2 chaos host's plumbing: the instance, the call log, run() with the checks of its
// outputs, state saves and round trips, and the choice of the next step.

#include "Lv2ChaosRun.h"

#include <lv2/midi/midi.h>

#include <algorithm>
#include <cstdlib>

namespace lv2chaos {

Run::Run(const std::string& bundle, const Bytes& realBankDump, std::uint64_t seed,
         const std::string& logPath)
    : realBank(realBankDump), rng_(seed) {
    log_ = std::fopen(logPath.c_str(), "w");
    // Line-buffered: a sanitizer abort or a crash still leaves every call made before it.
    if (log_) std::setvbuf(log_, nullptr, _IOLBF, 1 << 16);
    Log("load " + bundle);
    if (!host_.LoadBundle(bundle)) {
        failure_ = host_.Error();
        return;
    }
    // Without the URID map no event can be read: the plug-in must refuse to exist, and say why
    // in the host's log.
    lv2host::InstanceSetup noMap;
    noMap.uridMap = false;
    Log("instantiate without urid:map");
    if (host_.Instantiate(noMap)) {
        failure_ = "instantiated without urid:map";
        return;
    }
    if (host_.LogMessages().empty()) {
        failure_ = "refused to instantiate without urid:map but logged no reason";
        return;
    }
    loaded_ = NewInstance();
}

Run::~Run() {
    if (loaded_) Log("cleanup");
    host_.Cleanup();
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

bool Run::AddMidi(std::int64_t frame, const Bytes& bytes) {
    return host_.AddMidi(frame, bytes);
}

bool Run::RunFrames(std::uint32_t frames, std::vector<lv2host::AtomEvent>* sent) {
    Log("run " + std::to_string(frames));
    const long long worked = host_.WorkerOf() ? host_.WorkerOf()->Worked() : 0;
    host_.Run(frames);
    if (host_.WorkerOf()) count_.work += host_.WorkerOf()->Worked() - worked;
    ++count_.runs;
    count_.frames += frames;
    std::string problem;
    if (!host_.CheckAudio(frames, problem)) return Fail(problem);
    std::vector<lv2host::AtomEvent> events;
    if (!host_.ReadMidiOut(events, problem)) return Fail(problem);
    const LV2_URID midiType = host_.Urid(LV2_MIDI__MidiEvent);
    std::int64_t last = 0;
    for (const lv2host::AtomEvent& event : events) {
        const std::string where = "MIDI out event at frame " + std::to_string(event.frames);
        if (event.type != midiType) return Fail(where + " is not a MIDI event");
        if (event.bytes.empty() || !(event.bytes[0] & 0x80))
            return Fail(where + " has no status byte: " + chaos::Hex(event.bytes));
        if (event.frames < last) return Fail(where + " comes after frame " + std::to_string(last));
        if (event.frames < 0 || (event.frames > 0 && event.frames >= frames))
            return Fail(where + " lies outside the run of " + std::to_string(frames));
        last = event.frames;
    }
    if (sent) sent->insert(sent->end(), events.begin(), events.end());
    return true;
}

bool Run::ConnectAllIfHostile() {
    if (!hostileConnections) return true;
    Log("connect all");
    host_.ConnectAll();
    hostileConnections = false;
    // A parameter port connected again brings its value: taken now, before the step's checks.
    return RunFrames(0);
}

bool Run::Save(lv2host::StateProperties& state) {
    state.clear();
    Log("save");
    const LV2_State_Status status = host_.SaveState(state);
    if (status != LV2_STATE_SUCCESS) return Fail("save failed: status " + std::to_string(status));
    if (state.empty()) return Fail("save stored nothing");
    return true;
}

LV2_State_Status Run::Restore(const lv2host::StateProperties& state, const std::string& what) {
    Log("restore " + what);
    return host_.RestoreState(state);
}

bool Run::RoundTrip() {
    // An imported voice may hold a field beyond its parameter's range; the first restore writes
    // such a program back in range. From then on the state must restore and save to the same
    // properties.
    lv2host::StateProperties state;
    if (!Save(state)) return false;
    for (int trip = 0; trip < 2; ++trip) {
        const LV2_State_Status status = Restore(state, "the state just saved");
        if (status != LV2_STATE_SUCCESS)
            return Fail("the state just saved is refused: status " + std::to_string(status));
        lv2host::StateProperties again;
        if (!Save(again)) return false;
        if (again.size() == state.size() &&
            std::equal(again.begin(), again.end(), state.begin(), [](const auto& a, const auto& b) {
                return a.first == b.first && a.second.type == b.second.type &&
                       a.second.flags == b.second.flags && a.second.bytes == b.second.bytes;
            }))
            return true;
        if (trip == 1) return Fail("the state does not round-trip");
        state.swap(again);
    }
    return true;
}

bool Run::Step() {
    ++stepIndex_;
    // A panic with a few seconds of release now and then: the run must always come back to
    // silence, whatever it was sent before.
    if (stepIndex_ % 700 == 0) return StepPanicSilence(Chance(50));
    bool ok = RandomStep();
    // For hunting a round-trip failure down to its step; changes no random choice.
    if (ok && std::getenv("VORNA_CHAOS_ROUNDTRIP")) ok = RoundTrip();
    return ok;
}

bool Run::RandomStep() {
    const int roll = Uniform(0, 99);
    if (roll < 24) return StepRun();
    if (roll < 36) return StepPorts();
    if (roll < 41) return StepConnections();
    if (roll < 51) return StepMidiStorm();
    if (roll < 62) return StepSysEx();
    if (roll < 65) return StepRealBank();
    if (roll < 80) return StepState();
    if (roll < 89) return StepOptions();
    return StepLifecycle();
}

bool Run::Finish() {
    ++stepIndex_;
    if (!StepPanicSilence(true)) return false;
    return RoundTrip();
}

} // namespace lv2chaos
