#pragma once
// The audio thread of a DAW: every period of blockFrames / 44 100 s it calls effProcessEvents
// (with an empty list, as hosts do every cycle) and processReplacing, and times the pair with a
// steady clock. The durations go into an array allocated before the thread starts, so the thread
// itself allocates nothing while it measures.

#include "vst2/Vst2Abi.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace realtime {

class AudioThread {
public:
    // capacity: the most calls recorded; later calls still run but are not recorded.
    AudioThread(vst2::AEffect* effect, int blockFrames, std::size_t capacity);
    ~AudioThread();
    AudioThread(const AudioThread&) = delete;
    AudioThread& operator=(const AudioThread&) = delete;

    // Starts the thread and returns once its first period is about to be timed.
    void Start();
    // Lets the current call finish and joins the thread.
    void Stop();

    std::chrono::nanoseconds Period() const { return period_; }
    // The timed calls, in nanoseconds, in call order. Read after Stop.
    std::vector<std::int64_t> Durations() const;
    // Calls whose whole output block was zero: a workload that silenced the notes would make the
    // calls cheaper than a sounding instrument's.
    std::size_t SilentCalls() const { return silentCalls_; }
    // Periods whose call began late because the previous call, or the thread's wake-up, overran.
    std::size_t LateStarts() const { return lateStarts_; }
    // Calls made after the array was full, not part of the figures.
    std::size_t UnrecordedCalls() const { return unrecordedCalls_; }
    const std::string& Priority() const { return priority_; }

private:
    void Run();
    bool BlockIsSilent() const;

    vst2::AEffect* effect_;
    int blockFrames_;
    std::chrono::nanoseconds period_;
    std::vector<std::int64_t> durations_;
    std::size_t recorded_ = 0;
    std::vector<std::vector<float>> outputs_;
    std::vector<std::vector<float>> inputs_;
    std::vector<float*> outputPointers_;
    std::vector<float*> inputPointers_;
    vst2::VstEvents noEvents_{};
    std::size_t silentCalls_ = 0;
    std::size_t lateStarts_ = 0;
    std::size_t unrecordedCalls_ = 0;
    std::string priority_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace realtime
