#pragma once
// The audio thread of an LV2 host: every period of blockFrames / 44 100 s it puts what the GUI
// thread posted into the MIDI input (and, when asked, new values into every control port), then
// calls the plug-in's run() and times that call alone with a steady clock. The host's own work
// around it (the worker's after-run calls, clearing the input) is not timed. The durations go
// into an array allocated before the thread starts.

#include "Lv2BenchSession.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace realtime {

class Lv2AudioThread {
public:
    Lv2AudioThread(Lv2BenchSession& session, int blockFrames, std::size_t capacity);
    ~Lv2AudioThread();
    Lv2AudioThread(const Lv2AudioThread&) = delete;
    Lv2AudioThread& operator=(const Lv2AudioThread&) = delete;

    void Start();
    void Stop();

    std::vector<std::int64_t> Durations() const;
    std::size_t SilentCalls() const { return silentCalls_; }
    std::size_t LateStarts() const { return lateStarts_; }
    std::size_t UnrecordedCalls() const { return unrecordedCalls_; }
    const std::string& Priority() const { return priority_; }

private:
    void Run();
    bool RunWasSilent() const;

    Lv2BenchSession& session_;
    int blockFrames_;
    std::chrono::nanoseconds period_;
    std::vector<std::int64_t> durations_;
    std::size_t recorded_ = 0;
    std::size_t silentCalls_ = 0;
    std::size_t lateStarts_ = 0;
    std::size_t unrecordedCalls_ = 0;
    std::string priority_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace realtime
