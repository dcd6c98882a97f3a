#pragma once
// The host's side of the worker: the schedule_work feature a plug-in calls from run(), and the
// calls of its work(), work_response() and end_run(). Three ways a host does it:
//   AfterRun        work() on the audio thread once run() has returned, as simple hosts do;
//   DuringSchedule  work() inside schedule_work(), as a free-wheeling (offline) host may;
//   Thread          work() on a thread of the host's, concurrently with run(), as real-time
//                   hosts do. schedule_work() then neither allocates nor waits;
//   Polled          the same, on a thread that calls DoPendingWork() (a host's GUI thread).
// Responses are handed to work_response() after the next run() in every mode.

#include "Lv2ByteRing.h"

#include <lv2/core/lv2.h>
#include <lv2/worker/worker.h>

#include <atomic>
#include <chrono>
#include <semaphore.h>
#include <thread>

namespace lv2host {

enum class WorkerMode { AfterRun, DuringSchedule, Thread, Polled };

class Worker {
public:
    // queueBytes: room for the messages that wait; schedule_work() refuses what does not fit.
    Worker(WorkerMode mode, std::size_t queueBytes);
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    WorkerMode Mode() const { return mode_; }
    LV2_Worker_Schedule* Feature() { return &schedule_; }
    // The instance whose work() is called; a null interface refuses every schedule. Starts the
    // thread in Thread mode.
    void Attach(LV2_Handle instance, const LV2_Worker_Interface* interface);
    // Stops the thread and drops what still waits; the instance may then be cleaned up.
    void Detach();

    // On the audio thread after each run(): the pending work in AfterRun mode, then the
    // responses and end_run().
    void AfterRun();
    // Polled mode: works on every message that waits; how many there were.
    int DoPendingWork();
    // Thread and Polled modes: true once every accepted message has been worked on.
    bool WaitUntilIdle(std::chrono::milliseconds timeout);

    long long Scheduled() const { return scheduled_; }
    long long Refused() const { return refused_; }
    long long Worked() const { return worked_; }

private:
    static LV2_Worker_Status Schedule(LV2_Worker_Schedule_Handle handle, std::uint32_t size,
                                      const void* data);
    static LV2_Worker_Status Respond(LV2_Worker_Respond_Handle handle, std::uint32_t size,
                                     const void* data);
    void Work(const std::vector<std::uint8_t>& message);
    void ThreadLoop();

    WorkerMode mode_;
    LV2_Worker_Schedule schedule_;
    LV2_Handle instance_ = nullptr;
    const LV2_Worker_Interface* interface_ = nullptr;
    ByteRing requests_;
    ByteRing responses_;
    std::vector<std::uint8_t> workMessage_;     // the worker side's message, reused
    std::vector<std::uint8_t> responseMessage_; // the audio side's, reused
    std::atomic<long long> scheduled_{0};
    std::atomic<long long> refused_{0};
    std::atomic<long long> worked_{0};
    sem_t wake_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace lv2host
