// The LV2 chaos host's MIDI steps: storms of odd events at odd frames, damaged module dumps, the
// real bank dump through the worker, and the panic that must end in silence.

#include "Lv2ChaosRun.h"
#include "lv2/Lv2Identity.h"

#include <lv2/atom/atom.h>
#include <lv2/parameters/parameters.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace lv2chaos {

namespace {

constexpr std::size_t kVoiceDumpSize = 139;
// The output size the description asks for: with less, messages may be dropped for want of room.
constexpr std::size_t kDescribedMidiOut = 16384;

std::int64_t AnyEventFrame(Run& run, std::uint32_t frames) {
    const int roll = run.Uniform(0, 99);
    if (roll < 60) return frames > 0 ? run.Uniform(0, static_cast<int>(frames) - 1) : 0;
    if (roll < 72) return static_cast<std::int64_t>(frames) + run.Uniform(0, 5000); // beyond
    if (roll < 82) {
        const std::int64_t kNegative[] = {-1, -1000000000000LL,
                                          std::numeric_limits<std::int64_t>::min()};
        return kNegative[run.Uniform(0, 2)];
    }
    if (roll < 90) {
        const std::int64_t kHuge[] = {0x7FFFFFFFLL, 0x80000000LL, 1LL << 40,
                                      std::numeric_limits<std::int64_t>::max()};
        return kHuge[run.Uniform(0, 3)];
    }
    return 0;
}

Bytes RandomBytes(Run& run, int low, int high) {
    Bytes bytes(static_cast<std::size_t>(run.Uniform(low, high)));
    for (auto& b : bytes) b = static_cast<std::uint8_t>(run.Uniform(0, 255));
    return bytes;
}

// One MIDI event body of the kinds hosts and devices send, broken ones included.
Bytes AnyMidiEvent(Run& run, bool& sysEx) {
    static const std::uint8_t kKinds[] = {0x80, 0x90, 0x90, 0x90, 0xA0, 0xB0,
                                          0xB0, 0xC0, 0xD0, 0xE0, 0xE0};
    sysEx = false;
    const int roll = run.Uniform(0, 99);
    if (roll < 6) return {}; // no bytes at all
    if (roll < 11) {         // running status: data bytes without their status
        Bytes bytes = RandomBytes(run, 1, 3);
        for (auto& b : bytes) b &= 0x7F;
        return bytes;
    }
    if (roll < 16) { // a status byte with any number of bytes after it
        Bytes bytes = RandomBytes(run, 1, 7);
        bytes[0] |= 0x80;
        return bytes;
    }
    if (roll < 20) { // system and real-time messages
        return {static_cast<std::uint8_t>(run.Uniform(0xF1, 0xFF))};
    }
    if (roll < 25) { // a short SysEx, with or without its end
        Bytes bytes = RandomBytes(run, 0, 30);
        for (auto& b : bytes) b &= 0x7F;
        bytes.insert(bytes.begin(), 0xF0);
        if (run.Chance(50)) bytes.push_back(0xF7);
        sysEx = true;
        return bytes;
    }
    std::uint8_t status =
        static_cast<std::uint8_t>(kKinds[run.Uniform(0, 10)] | run.Uniform(0, 15));
    std::uint8_t data1 = static_cast<std::uint8_t>(run.Uniform(0, 127));
    if ((status & 0xF0) == 0xB0 && run.Chance(40)) {
        static const std::uint8_t kControllers[] = {1, 2, 4, 7, 64, 120, 121, 123, 127, 0};
        data1 = kControllers[run.Uniform(0, 9)];
    }
    const auto data2 = static_cast<std::uint8_t>(run.Uniform(0, 127));
    const bool twoBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0;
    if (run.Chance(10)) return {status, data1}; // cut short
    return twoBytes ? Bytes{status, data1} : Bytes{status, data1, data2};
}

int CountVoiceDumps(const std::vector<lv2host::AtomEvent>& events) {
    int count = 0;
    for (const lv2host::AtomEvent& event : events)
        if (event.bytes.size() == kVoiceDumpSize && event.bytes[0] == 0xF0) ++count;
    return count;
}

bool SameProperty(const lv2host::StateProperties& a, const lv2host::StateProperties& b,
                  LV2_URID key) {
    auto x = a.find(key);
    auto y = b.find(key);
    if (x == a.end() || y == b.end()) return x == a.end() && y == b.end();
    return x->second.bytes == y->second.bytes;
}

bool Contains(const Bytes& haystack, const char* needle) {
    const std::size_t length = std::strlen(needle);
    return std::search(haystack.begin(), haystack.end(), needle, needle + length) != haystack.end();
}

} // namespace

bool Run::StepMidiStorm() {
    const std::uint32_t frames = AnyFrames();
    const int count = Chance(10) ? Uniform(500, 3000) : Uniform(1, 200);
    int sysEx = 0;
    for (int i = 0; i < count; ++i) {
        const std::int64_t frame = AnyEventFrame(*this, frames);
        if (Chance(4)) {
            // Not MIDI: the plug-in must pass over other atoms in its input.
            const LV2_URID types[] = {0, host_.Urid(LV2_ATOM__Float), host_.Urid(LV2_ATOM__Chunk)};
            Bytes body = RandomBytes(*this, 0, 16);
            host_.AddEvent(frame, types[Uniform(0, 2)], body.data(),
                           static_cast<std::uint32_t>(body.size()));
            continue;
        }
        bool isSysEx = false;
        Bytes event = AnyMidiEvent(*this, isSysEx);
        if (!AddMidi(frame, event)) break;
        // An event that starts with F0 is SysEx to the plug-in, however it goes on.
        if (!event.empty() && event[0] == 0xF0) oracle.Feed(event);
        sysEx += isSysEx ? 1 : 0;
        ++count_.midi;
    }
    count_.sysex += sysEx;
    Log("a storm of " + std::to_string(count) + " events (" + std::to_string(sysEx) +
        " SysEx) at frames in any order");
    return RunFrames(frames);
}

bool Run::StepSysEx() {
    std::string how;
    const Bytes intact = Chance(70) ? chaos::RandomVoiceDump(Rng()) : chaos::RandomBankDump(Rng());
    const Bytes message = chaos::Mutate(intact, Rng(), how);
    // An LV2 MIDI event holds a whole message; some hosts still pass a device's pieces on.
    const std::vector<Bytes> events =
        Chance(70) ? std::vector<Bytes>{message} : chaos::Split(message, Rng());
    ++count_.sysex;
    if (!ConnectAllIfHostile()) return false;

    const LV2_URID bankKey = host_.Urid(lv2::kStateBankUri);
    lv2host::StateProperties before;
    if (!Save(before)) return false;
    int voiceData = 0;
    bool changes = false;
    std::uint32_t frames = std::max<std::uint32_t>(AnyFrames(), 1);
    for (const Bytes& event : events) {
        AddMidi(Uniform(0, static_cast<int>(frames) - 1), event);
        if (!event.empty() && event[0] == 0xF0) {
            const chaos::SysExOracle::Verdict verdict = oracle.Feed(event);
            voiceData += verdict == chaos::SysExOracle::Verdict::VoiceData ? 1 : 0;
            changes = changes || verdict == chaos::SysExOracle::Verdict::ParamChange;
        } else if (!event.empty() && (event[0] & 0x80)) {
            changes = true; // a piece that starts with a status byte acts as a MIDI message
        }
    }
    Log(std::to_string(message.size()) + "-byte dump (" + how + ") in " +
        std::to_string(events.size()) + " events: " + chaos::Hex(message));
    // The run that holds the dump, then one that takes what the worker sent after it.
    std::vector<lv2host::AtomEvent> sent;
    if (!RunFrames(frames, &sent) || !RunFrames(Uniform(0, 64), &sent)) return false;
    const int sentVoices = CountVoiceDumps(sent);
    if (host_.Setup().midiOutBytes >= kDescribedMidiOut && sentVoices != voiceData)
        return Fail("a dump the module would take was " +
                    std::string(sentVoices < voiceData ? "refused" : "taken wrongly") + ": " +
                    std::to_string(voiceData) + " expected, " + std::to_string(sentVoices) +
                    " applied (" + how + ")");
    lv2host::StateProperties after;
    if (!Save(after)) return false;
    if (voiceData == 0 && !changes && !SameProperty(before, after, bankKey))
        return Fail("a refused dump changed the programs (" + how + ")");
    return true;
}

bool Run::StepRealBank() {
    if (realBank.empty()) return StepSysEx();
    // The real bank dump in one event, as a host plays a .syx file: the plug-in hands it to the
    // worker (or decodes it itself when there is none or its queue is full). Notes around it
    // keep the audio thread busy.
    if (!ConnectAllIfHostile()) return false;
    const std::uint32_t frames = std::max<std::uint32_t>(AnyFrames(), 2);
    const int at = Uniform(0, static_cast<int>(frames) - 1);
    AddMidi(0, {0x90, 60, 100});
    AddMidi(at, realBank);
    if (Chance(30)) AddMidi(at, realBank); // the same dump twice in one run
    AddMidi(frames - 1, {0x80, 60, 0});
    oracle.Feed(realBank);
    ++count_.sysex;
    Log("the real bank dump at frame " + std::to_string(at));
    std::vector<lv2host::AtomEvent> sent;
    if (!RunFrames(frames, &sent) || !RunFrames(Uniform(0, 64), &sent)) return false;
    if (host_.Setup().midiOutBytes >= kDescribedMidiOut && CountVoiceDumps(sent) == 0)
        return Fail("the real bank dump sent no voice back");
    lv2host::StateProperties state;
    if (!Save(state)) return false;
    const auto bank = state.find(host_.Urid(lv2::kStateBankUri));
    if (bank == state.end() || !Contains(bank->second.bytes, "Piano 1"))
        return Fail("the state holds no program of the real bank after it was loaded");
    return true;
}

bool Run::SoundCheck() {
    if (Restore(freshState_, "the state the instance started with") != LV2_STATE_SUCCESS)
        return Fail("the state the instance started with is refused");
    // The run after a restore takes the ports as they are. Then every port to its default (the
    // start-up program's values, and the global ones a restore leaves), each first through
    // another value: a parameter changed inside the plug-in (a SysEx parameter change, a mapped
    // controller) leaves its port at a value the plug-in has seen, and the same value again is
    // no change to take.
    if (!RunFrames(0)) return false;
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < host_.ControlCount(); ++i) {
            const lv2host::ControlPortRange& range = host_.ControlPorts()[i];
            const float other = range.defaultValue != range.minimum ? range.minimum : range.maximum;
            host_.Control(i) = pass == 0 ? other : range.defaultValue;
        }
        if (!RunFrames(0)) return false;
    }
    // Notes a storm left held (the pedal down) are let go at once, so that the chord finds
    // its voices free.
    for (int channel = 0; channel < 16; ++channel) {
        AddMidi(0, {static_cast<std::uint8_t>(0xB0 | channel), 64, 0});
        AddMidi(0, {static_cast<std::uint8_t>(0xB0 | channel), 120, 0});
    }
    AddMidi(0, {0xE0, 0x00, 0x40});
    Log("every port through another value to its default, all sound off, bend centred");
    if (!RunFrames(64)) return false;
    for (std::uint8_t note : {60, 64, 67}) AddMidi(0, {0x90, note, 110});
    Log("a chord on channel 1");
    double peak = 0.0;
    for (int left = static_cast<int>(sampleRate) / 4; left > 0; left -= 256) {
        const int frames = std::min(left, 256);
        if (!RunFrames(static_cast<std::uint32_t>(frames))) return false;
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < frames; ++i)
                peak = std::max<double>(peak, std::fabs(host_.Audio(c)[i]));
    }
    if (peak < 1e-3)
        return Fail("the start-up program plays no sound: peak " + std::to_string(peak));
    return true;
}

bool Run::StepPanicSilence(bool soundFirst) {
    // The host's own buffers, an active instance and a sane rate, so that a few seconds are a
    // bounded amount of work.
    Log("connect all");
    host_.ConnectAll();
    hostileConnections = false;
    if (!active_) {
        Log("activate");
        host_.Activate();
        active_ = true;
    }
    if (sampleRate < 8000.0 || sampleRate > 200000.0) {
        const float rate = 48000.0f;
        Log("options set: sampleRate 48000");
        host_.SetOptions({{LV2_OPTIONS_INSTANCE, 0, host_.Urid(LV2_PARAMETERS__sampleRate),
                           sizeof rate, host_.Urid(LV2_ATOM__Float), &rate}});
        sampleRate = rate;
        frameLimit = 40000;
    }
    if (soundFirst && !SoundCheck()) return false;
    // The fastest release on every operator, as a host automates it: the slowest takes far
    // longer than a few seconds, and what matters here is that every note is let go.
    for (int op = 0; op < 4; ++op) {
        const auto param = static_cast<std::size_t>(23 + 17 * op + 16);
        host_.Control(param) = host_.ControlPorts()[param].maximum;
        Log("port " + std::to_string(lv2::kFirstParamPort + param) + " = its maximum");
    }
    // A host's stop: pedal up and a panic on every channel, early in the next run. Whatever a
    // storm dated beyond its runs acted within them, so nothing may outlive this.
    const int panicAt = Uniform(0, 64);
    const auto panic = static_cast<std::uint8_t>(Chance(50) ? 123 : 120);
    for (int channel = 0; channel < 16; ++channel) {
        AddMidi(panicAt, {static_cast<std::uint8_t>(0xB0 | channel), 64, 0});
        AddMidi(panicAt, {static_cast<std::uint8_t>(0xB0 | channel), panic, 0});
    }
    count_.midi += 32;
    Log("pedal up and controller " + std::to_string(panic) + " on every channel at " +
        std::to_string(panicAt));
    const int release = static_cast<int>(sampleRate) * 4;
    const int tail = static_cast<int>(sampleRate) / 4;
    int remaining = panicAt + release;
    const int call = std::clamp(announcedBlock, 256, 4096);
    double peak = 0.0;
    while (remaining > 0) {
        const int frames = std::min(remaining, call);
        if (!RunFrames(static_cast<std::uint32_t>(frames))) return false;
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < frames; ++i)
                if (remaining - i - 1 < tail)
                    peak = std::max<double>(peak, std::fabs(host_.Audio(c)[i]));
        remaining -= frames;
    }
    if (peak > 1e-4)
        return Fail("still sounding after the panic and four seconds: peak " +
                    std::to_string(peak));
    return true;
}

} // namespace lv2chaos
