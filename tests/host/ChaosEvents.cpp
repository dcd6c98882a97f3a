// The chaos host's data steps: MIDI storms, damaged SysEx dumps, damaged chunks, and the panic
// that must end in silence, each with the invariants that follow from what was sent.

#include "ChaosHost.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <memory>

namespace chaos {

namespace {

// Events of one effProcessEvents call, kept alive until the call returns.
struct EventList {
    std::vector<std::unique_ptr<vst2::VstMidiEvent>> midi;
    std::vector<std::unique_ptr<vst2::VstMidiSysexEvent>> sysex;
    std::deque<Bytes> dumps; // growing at the back moves none of them
    std::vector<vst2::VstEvent*> pointers;

    void AddMidi(int offset, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
        auto event =
            std::make_unique<vst2::VstMidiEvent>(hostkit::MidiEvent(offset, status, data1, data2));
        pointers.push_back(reinterpret_cast<vst2::VstEvent*>(event.get()));
        midi.push_back(std::move(event));
    }
    void AddSysEx(int offset, const Bytes& bytes, int claimedSize) {
        dumps.push_back(bytes);
        auto event = std::make_unique<vst2::VstMidiSysexEvent>();
        std::memset(event.get(), 0, sizeof *event);
        event->type = vst2::kVstSysExType;
        event->byteSize = sizeof *event;
        event->deltaFrames = offset;
        event->dumpBytes = claimedSize;
        event->sysexDump =
            dumps.back().empty() ? nullptr : reinterpret_cast<char*>(dumps.back().data());
        pointers.push_back(reinterpret_cast<vst2::VstEvent*>(event.get()));
        sysex.push_back(std::move(event));
    }
};

int AnyOffset(Run& run) {
    int roll = run.Uniform(0, 99);
    if (roll < 60) return run.Uniform(0, run.blockSize - 1);
    if (roll < 75) return run.Uniform(run.blockSize, 4 * run.blockSize); // beyond the block
    if (roll < 85) return run.Chance(50) ? -run.Uniform(1, 5000) : -0x7FFFFFFF - 1;
    if (roll < 90) return run.Uniform(1 << 28, 0x7FFFFFFF); // far beyond: at the call's end
    return 0;
}

std::uint8_t AnyStatus(Run& run) {
    static const std::uint8_t kKinds[] = {0x80, 0x90, 0x90, 0x90, 0xA0, 0xB0,
                                          0xB0, 0xC0, 0xD0, 0xE0, 0xE0};
    int roll = run.Uniform(0, 99);
    if (roll < 75)
        return static_cast<std::uint8_t>(kKinds[run.Uniform(0, 10)] | run.Uniform(0, 15));
    if (roll < 85) return static_cast<std::uint8_t>(run.Uniform(0xF0, 0xFF)); // system, real time
    return static_cast<std::uint8_t>(run.Uniform(0, 0x7F));                   // a bare data byte
}

std::uint8_t AnyData(Run& run, std::uint8_t status) {
    if ((status & 0xF0) == 0xB0 && run.Chance(40)) {
        static const std::uint8_t kControllers[] = {1, 2, 4, 7, 64, 120, 121, 123, 127, 0};
        return kControllers[run.Uniform(0, 9)];
    }
    return static_cast<std::uint8_t>(run.Chance(90) ? run.Uniform(0, 127) : run.Uniform(0, 255));
}

} // namespace

bool Run::StepMidiStorm() {
    EventList list;
    int count = Chance(10) ? Uniform(1000, 5000) : Uniform(1, 200);
    int messages = 0;
    for (int i = 0; i < count; ++i) {
        if (Chance(3)) {
            list.pointers.push_back(nullptr); // a host's hole in the list
        } else if (Chance(4)) {
            Bytes bytes(static_cast<std::size_t>(Uniform(0, 40)));
            for (auto& b : bytes) b = static_cast<std::uint8_t>(Uniform(0, 255));
            if (Chance(50) && !bytes.empty()) bytes.front() = 0xF0;
            if (Chance(50) && !bytes.empty()) bytes.back() = 0xF7;
            int claimed = Chance(90) ? static_cast<int>(bytes.size()) : -Uniform(1, 9);
            list.AddSysEx(AnyOffset(*this), bytes, claimed);
            if (claimed > 0) oracle.Feed(bytes);
            ++messages;
        } else {
            std::uint8_t status = AnyStatus(*this);
            list.AddMidi(AnyOffset(*this), status, AnyData(*this, status), AnyData(*this, status));
        }
    }
    count_.midi += static_cast<long long>(list.midi.size());
    count_.sysex += messages;
    SendEvents(list.pointers, "storm of " + std::to_string(list.midi.size()) + " MIDI, " +
                                  std::to_string(messages) + " SysEx");
    return StepProcess();
}

bool Run::StepSysEx() {
    std::string how;
    Bytes intact = Chance(70) ? RandomVoiceDump(Rng()) : RandomBankDump(Rng());
    Bytes message = Mutate(intact, Rng(), how);
    std::vector<Bytes> events = Chance(60) ? std::vector<Bytes>{message} : Split(message, Rng());
    ++count_.sysex;

    Bytes before = BankChunk();
    EventList list;
    int voiceData = 0;
    bool changes = false;
    for (const Bytes& event : events) {
        list.AddSysEx(Uniform(0, 100), event, static_cast<int>(event.size()));
        SysExOracle::Verdict verdict = oracle.Feed(event);
        voiceData += verdict == SysExOracle::Verdict::VoiceData ? 1 : 0;
        changes = changes || verdict == SysExOracle::Verdict::ParamChange;
    }
    // Every event its own call, or all in one list, as hosts do either.
    std::string what = std::to_string(message.size()) + "-byte dump (" + how + ") in " +
                       std::to_string(events.size()) + " events: " + Hex(message);
    if (Chance(50)) {
        SendEvents(list.pointers, what);
    } else {
        for (std::size_t i = 0; i < list.pointers.size(); ++i)
            SendEvents({list.pointers[i]}, "piece " + std::to_string(i) + " of " + what);
    }
    int sentVoices = 0;
    for (const hostkit::ReceivedEvent& event : Host().receivedEvents)
        if (event.type == vst2::kVstSysExType && event.bytes.size() == 139) ++sentVoices;
    if (sentVoices != voiceData)
        return Fail("a dump the module would take was " +
                    std::string(sentVoices < voiceData ? "refused" : "taken wrongly") + ": " +
                    std::to_string(voiceData) + " expected, " + std::to_string(sentVoices) +
                    " applied (" + how + ")");
    if (voiceData == 0 && !changes && BankChunk() != before)
        return Fail("a refused dump changed the programs (" + how + ")");
    return true;
}

bool Run::StepChunk() {
    const bool bank = Chance(60);
    const vst2::Int32 index = bank ? 0 : Uniform(1, 3);
    void* pointer = nullptr;
    vst2::IntPtr size = Dispatch(vst2::effGetChunk, index, 0, &pointer, 0.0f, "&pointer");
    if (size <= 0 || !pointer) return Fail("no chunk given for index " + std::to_string(index));
    Bytes chunk(static_cast<const std::uint8_t*>(pointer),
                static_cast<const std::uint8_t*>(pointer) + size);
    ++count_.chunks;

    std::string how = "intact";
    switch (Uniform(0, 6)) {
    case 0:
        break;
    case 1: { // flipped bits
        int flips = Uniform(1, 8);
        for (int f = 0; f < flips; ++f)
            chunk[static_cast<std::size_t>(Uniform(0, static_cast<int>(chunk.size()) - 1))] ^=
                static_cast<std::uint8_t>(1 << Uniform(0, 7));
        how = std::to_string(flips) + " flipped bits";
        break;
    }
    case 2: // cut short at any point
        chunk.resize(static_cast<std::size_t>(Uniform(0, static_cast<int>(chunk.size()))));
        how = "cut to " + std::to_string(chunk.size());
        break;
    case 3: { // a length or count field: any 32-bit word of the first kilobyte
        std::size_t at = static_cast<std::size_t>(
            Uniform(0, std::max(0, std::min(1024, static_cast<int>(chunk.size())) - 4)));
        static const std::uint32_t kWords[] = {0,          1,   0x7FFFFFFF, 0x80000000,
                                               0xFFFFFFFF, 157, 336,        100000};
        std::uint32_t word = kWords[Uniform(0, 7)];
        if (at + 4 <= chunk.size()) std::memcpy(&chunk[at], &word, 4);
        how = "word at " + std::to_string(at) + " = " + std::to_string(word);
        break;
    }
    case 4: // garbage of any size
        chunk.assign(static_cast<std::size_t>(Uniform(0, 3000)), 0);
        for (auto& b : chunk) b = static_cast<std::uint8_t>(Uniform(0, 255));
        how = "garbage of " + std::to_string(chunk.size());
        break;
    case 5: // trailing bytes
        chunk.resize(chunk.size() + static_cast<std::size_t>(Uniform(1, 100)), 0xAB);
        how = "longer by trailing bytes";
        break;
    default: { // another chunk's header on this body
        if (chunk.size() > 8) std::swap(chunk[0], chunk[chunk.size() / 2]);
        how = "swapped header byte";
        break;
    }
    }
    Bytes before = BankChunk();
    bool none = Chance(3);
    vst2::IntPtr result =
        Dispatch(vst2::effSetChunk, index, static_cast<vst2::IntPtr>(chunk.size()),
                 none || chunk.empty() ? nullptr : chunk.data(), 0.0f,
                 (none ? std::string("null") : "chunk of " + std::to_string(chunk.size())) + " (" +
                     how + ")");
    // A bank is checked whole before the first program is written. A program chunk is read
    // value by value, and the values read before the damage stay: only a refused bank must leave
    // everything as it was.
    if (result == 0 && bank && !quirkHost && BankChunk() != before)
        return Fail("a refused " + std::string(bank ? "bank" : "program") +
                    " chunk changed the state (" + how + ")");
    // Whatever was taken, the state as it is now must round-trip.
    if (Chance(30)) return RoundTrip();
    return true;
}

bool Run::StepPanicSilence() {
    // A sane rate, so that a few seconds are a bounded amount of work.
    if (sampleRate < 8000.0 || sampleRate > 200000.0) {
        Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 48000.0f, "null");
        sampleRate = 48000.0;
        sampleRateLimit = 40000;
    }
    // The fastest release on every operator, as a host automates it: the slowest takes far
    // longer than a few seconds, and what matters here is that every note is let go.
    vst2::AEffect* effect = Host().Effect();
    for (int op = 0; op < 4; ++op) {
        const int release = 23 + 17 * op + 16;
        Log("setParameter(" + std::to_string(release) + ", 1)");
        effect->setParameter(effect, release, 1.0f);
    }
    // A host's stop: pedal up and a panic on every channel, early in the next call. Whatever a
    // storm dated beyond its calls acted within them, so nothing may outlive this.
    const int panicAt = Uniform(0, 64);
    const int panic = Chance(50) ? 123 : 120;
    EventList list;
    for (int channel = 0; channel < 16; ++channel) {
        list.AddMidi(panicAt, static_cast<std::uint8_t>(0xB0 | channel), 64, 0);
        list.AddMidi(panicAt, static_cast<std::uint8_t>(0xB0 | channel),
                     static_cast<std::uint8_t>(panic), 0);
    }
    count_.midi += 32;
    SendEvents(list.pointers, "pedal up and controller " + std::to_string(panic) +
                                  " on every channel at " + std::to_string(panicAt));
    const int release = static_cast<int>(sampleRate) * 4;
    const int tail = static_cast<int>(sampleRate) / 4;
    int remaining = panicAt + release;
    double peak = 0.0;
    // Calls of up to 4096 frames; the plug-in renders longer ones than its block size in pieces.
    const int call = 4096;
    std::vector<double> in(call, 0.0), left(call), right(call);
    double* inputs[] = {in.data()};
    double* outputs[] = {left.data(), right.data()};
    Log("processDoubleReplacing x " + std::to_string(remaining) + " frames in calls of 4096");
    while (remaining > 0) {
        int frames = std::min(remaining, call);
        effect->processDoubleReplacing(effect, inputs, outputs, frames);
        count_.frames += frames;
        for (int i = 0; i < frames; ++i) {
            const double l = left[static_cast<std::size_t>(i)];
            const double r = right[static_cast<std::size_t>(i)];
            // Both channels are checked before the peak takes them: std::max drops a NaN.
            if (!std::isfinite(l) || !std::isfinite(r))
                return Fail("output not finite during the release");
            if (remaining - i - 1 < tail) peak = std::max({peak, std::fabs(l), std::fabs(r)});
        }
        remaining -= frames;
    }
    if (peak > 1e-4)
        return Fail("still sounding after the panic and four seconds: peak " +
                    std::to_string(peak));
    return true;
}

} // namespace chaos
