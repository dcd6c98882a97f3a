#include "Lv2BenchSession.h"

#include "realtime/BenchHost.h"

#include <algorithm>
#include <cmath>

namespace realtime {

namespace {

constexpr int kHeldNotes = 16;
constexpr int kLowestNote = 48;
// Runs after the note-ons before the peak is read, so that the attacks have begun.
constexpr int kRunsBeforeSoundCheck = 16;
// Port values step through 32 levels of each port's range, each port at its own phase, so that
// consecutive runs change every port.
constexpr int kAutomationLevels = 32;
// Room for a few bank dumps from the GUI thread.
constexpr std::size_t kPostedBytes = 1 << 16;

} // namespace

Lv2BenchSession::Lv2BenchSession() : posted_(kPostedBytes) {
    message_.reserve(kPostedBytes);
}

Lv2BenchSession::~Lv2BenchSession() {
    if (!host_.HasInstance()) return;
    host_.Deactivate();
    host_.Cleanup();
}

bool Lv2BenchSession::Open(const std::string& bundle, int blockFrames, std::string& error) {
    if (!host_.LoadBundle(bundle)) {
        error = host_.Error();
        return false;
    }
    lv2host::InstanceSetup setup;
    setup.sampleRate = kSampleRate;
    setup.maxBlockLength = blockFrames;
    setup.nominalBlockLength = blockFrames;
    setup.workerMode = lv2host::WorkerMode::Polled;
    if (!host_.Instantiate(setup)) {
        error = "the LV2 plug-in gave no instance";
        return false;
    }
    host_.ConnectAll();
    host_.Activate();
    return HoldNotesAndCheckSound(blockFrames, error);
}

bool Lv2BenchSession::HoldNotesAndCheckSound(int blockFrames, std::string& error) {
    PostHeldNotes();
    float peak = 0.0f;
    for (int run = 0; run < kRunsBeforeSoundCheck; ++run) {
        TakePostedMidi();
        host_.Run(static_cast<std::uint32_t>(blockFrames));
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < blockFrames; ++i)
                peak = std::max(peak, std::abs(host_.Audio(c)[i]));
    }
    if (peak > 0.0f && std::isfinite(peak)) return true;
    error = "the 16 held notes make no sound (peak " + std::to_string(peak) + ")";
    return false;
}

bool Lv2BenchSession::PostMidi(const std::vector<std::uint8_t>& bytes) {
    return posted_.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

void Lv2BenchSession::PostHeldNotes() {
    for (int n = 0; n < kHeldNotes; ++n)
        PostMidi({0x90, static_cast<std::uint8_t>(kLowestNote + n), 100});
}

void Lv2BenchSession::TakePostedMidi() {
    while (posted_.Read(message_)) host_.AddMidi(0, message_);
}

void Lv2BenchSession::AutomatePorts(std::int64_t round) {
    const auto& ranges = host_.ControlPorts();
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        const auto level =
            static_cast<int>((round + static_cast<std::int64_t>(i) * 7) % kAutomationLevels);
        const float span = ranges[i].maximum - ranges[i].minimum;
        float value = ranges[i].minimum +
                      span * static_cast<float>(level) / static_cast<float>(kAutomationLevels - 1);
        host_.Control(i) = ranges[i].integer ? std::round(value) : value;
    }
    automatedRuns.fetch_add(1, std::memory_order_relaxed);
}

} // namespace realtime
