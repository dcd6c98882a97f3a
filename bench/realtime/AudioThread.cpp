#include "AudioThread.h"

#include "AudioThreadScheduling.h"
#include "BenchHost.h"

#include <algorithm>

namespace realtime {

namespace {

using Clock = std::chrono::steady_clock;

} // namespace

AudioThread::AudioThread(vst2::AEffect* effect, int blockFrames, std::size_t capacity)
    : effect_(effect), blockFrames_(blockFrames),
      period_(std::chrono::nanoseconds(
          static_cast<std::int64_t>(blockFrames * 1.0e9 / kSampleRate + 0.5))),
      durations_(capacity), outputs_(static_cast<std::size_t>(std::max(effect->numOutputs, 1)),
                                     std::vector<float>(static_cast<std::size_t>(blockFrames))),
      inputs_(static_cast<std::size_t>(std::max(effect->numInputs, 1)),
              std::vector<float>(static_cast<std::size_t>(blockFrames))) {
    for (auto& channel : outputs_) outputPointers_.push_back(channel.data());
    for (auto& channel : inputs_) inputPointers_.push_back(channel.data());
    noEvents_.numEvents = 0;
}

AudioThread::~AudioThread() {
    Stop();
}

void AudioThread::Start() {
    stop_ = false;
    running_ = false;
    thread_ = std::thread(&AudioThread::Run, this);
    while (!running_) std::this_thread::sleep_for(std::chrono::microseconds(200));
}

void AudioThread::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

std::vector<std::int64_t> AudioThread::Durations() const {
    return std::vector<std::int64_t>(durations_.begin(),
                                     durations_.begin() + static_cast<std::ptrdiff_t>(recorded_));
}

bool AudioThread::BlockIsSilent() const {
    for (const auto& channel : outputs_)
        for (float sample : channel)
            if (sample != 0.0f) return false;
    return true;
}

void AudioThread::Run() {
    priority_ = RaiseAudioThreadPriority();
    running_ = true;
    Clock::time_point deadline = Clock::now();
    while (!stop_.load(std::memory_order_relaxed)) {
        const Clock::time_point begin = Clock::now();
        effect_->dispatcher(effect_, vst2::effProcessEvents, 0, 0, &noEvents_, 0.0f);
        effect_->processReplacing(effect_, inputPointers_.data(), outputPointers_.data(),
                                  blockFrames_);
        const Clock::time_point end = Clock::now();
        if (recorded_ < durations_.size())
            durations_[recorded_++] =
                std::chrono::duration_cast<std::chrono::nanoseconds>(end - begin).count();
        else
            ++unrecordedCalls_;
        if (BlockIsSilent()) ++silentCalls_;
        // Absolute deadlines, so the periods do not drift by the call times. A period already
        // over starts at once, as a DAW's next callback does after a late one; the deadlines
        // then count from there rather than rushing to catch up.
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
