#pragma once
// One instance of the LV2 plug-in as a host sets it up for playing: the built bundle's binary
// loaded through the host kit, instantiated at 44 100 Hz with the benchmark's block length as
// both the maximum and the nominal one, every port connected, activated, and holding 16 notes
// that are checked to sound before anything is timed. The worker is polled by the GUI thread.
//
// MIDI from the GUI thread (a dump, notes again after an options change) goes through a ring the
// audio thread empties into the next run's input, as a host's own MIDI queue does.

#include "Lv2ByteRing.h"
#include "Lv2Host.h"

#include <atomic>
#include <string>

namespace realtime {

class Lv2BenchSession {
public:
    Lv2BenchSession();
    ~Lv2BenchSession();
    Lv2BenchSession(const Lv2BenchSession&) = delete;
    Lv2BenchSession& operator=(const Lv2BenchSession&) = delete;

    // False with the reason when the bundle did not load or the held notes make no sound.
    bool Open(const std::string& bundle, int blockFrames, std::string& error);
    lv2host::Lv2Host& Host() { return host_; }

    // GUI thread: MIDI for the next run; false when the ring is full.
    bool PostMidi(const std::vector<std::uint8_t>& bytes);
    // GUI thread: the 16 held notes again (an options change resets the voices).
    void PostHeldNotes();
    // Audio thread, before a run: what the GUI thread posted, into the input.
    void TakePostedMidi();

    // While set, the audio thread gives every control port a new value before each run.
    std::atomic<bool> automatePorts{false};
    std::atomic<std::int64_t> automatedRuns{0};
    // Audio thread: the next values of every control port.
    void AutomatePorts(std::int64_t round);

private:
    bool HoldNotesAndCheckSound(int blockFrames, std::string& error);

    lv2host::Lv2Host host_;
    lv2host::ByteRing posted_;
    std::vector<std::uint8_t> message_; // the audio thread's, reused
};

} // namespace realtime
