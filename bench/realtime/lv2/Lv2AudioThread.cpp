#include "Lv2AudioThread.h"

#include "realtime/AudioThreadScheduling.h"
#include "realtime/BenchHost.h"

namespace realtime {

namespace {

using Clock = std::chrono::steady_clock;

} // namespace

Lv2AudioThread::Lv2AudioThread(Lv2BenchSession& session, int blockFrames, std::size_t capacity)
    : session_(session), blockFrames_(blockFrames),
      period_(std::chrono::nanoseconds(
          static_cast<std::int64_t>(blockFrames * 1.0e9 / kSampleRate + 0.5))),
      durations_(capacity) {}

Lv2AudioThread::~Lv2AudioThread() {
    Stop();
}

void Lv2AudioThread::Start() {
    stop_ = false;
    running_ = false;
    thread_ = std::thread(&Lv2AudioThread::Run, this);
    while (!running_) std::this_thread::sleep_for(std::chrono::microseconds(200));
}

void Lv2AudioThread::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

std::vector<std::int64_t> Lv2AudioThread::Durations() const {
    return std::vector<std::int64_t>(durations_.begin(),
                                     durations_.begin() + static_cast<std::ptrdiff_t>(recorded_));
}

bool Lv2AudioThread::RunWasSilent() const {
    lv2host::Lv2Host& host = session_.Host();
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < blockFrames_; ++i)
            if (host.Audio(c)[i] != 0.0f) return false;
    return true;
}

void Lv2AudioThread::Run() {
    priority_ = RaiseAudioThreadPriority();
    running_ = true;
    lv2host::Lv2Host& host = session_.Host();
    const auto frames = static_cast<std::uint32_t>(blockFrames_);
    std::int64_t round = 0;
    Clock::time_point deadline = Clock::now();
    while (!stop_.load(std::memory_order_relaxed)) {
        session_.TakePostedMidi();
        if (session_.automatePorts.load(std::memory_order_relaxed)) session_.AutomatePorts(round++);
        host.BeginRun(frames);
        const Clock::time_point begin = Clock::now();
        host.RunInstance(frames);
        const Clock::time_point end = Clock::now();
        host.EndRun();
        if (recorded_ < durations_.size())
            durations_[recorded_++] =
                std::chrono::duration_cast<std::chrono::nanoseconds>(end - begin).count();
        else
            ++unrecordedCalls_;
        if (RunWasSilent()) ++silentCalls_;
        // Absolute deadlines, as the VST2 audio thread keeps them (see AudioThread.cpp).
        deadline += period_;
        const Clock::time_point now = Clock::now();
        if (now >= deadline) {
            ++lateStarts_;
            deadline = now;
        } else {
            std::this_thread::sleep_until(deadline);
        }
    }
}

} // namespace realtime
