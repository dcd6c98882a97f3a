#pragma once
// The host's worker:schedule feature, run as simple hosts run it: a request is copied when the
// plug-in schedules it, and after run() the host calls work() for each request, then
// work_response() for each response, then end_run(). No thread is involved, so every render is
// the same from one run to the next.

#include <lv2/core/lv2.h>
#include <lv2/worker/worker.h>

#include <cstdint>
#include <vector>

namespace lv2_test {

class HostWorker {
public:
    HostWorker();
    HostWorker(const HostWorker&) = delete;
    HostWorker& operator=(const HostWorker&) = delete;

    LV2_Worker_Schedule* Feature() { return &schedule_; }
    // The instance whose worker interface handles the requests; null interface: none offered.
    void Bind(LV2_Handle instance, const LV2_Worker_Interface* interface);
    bool HasInterface() const { return interface_ != nullptr; }

    // Does the scheduled work and delivers the responses. endOfRun: the host's run() has just
    // returned, so end_run() follows.
    void Finish(bool endOfRun);

    int ScheduledCount() const { return scheduledCount_; }
    // Requests refused because the plug-in offered no worker interface.
    int RefusedCount() const { return refusedCount_; }

private:
    static LV2_Worker_Status Schedule(LV2_Worker_Schedule_Handle handle, std::uint32_t size,
                                      const void* data);
    static LV2_Worker_Status Respond(LV2_Worker_Respond_Handle handle, std::uint32_t size,
                                     const void* data);

    LV2_Worker_Schedule schedule_;
    LV2_Handle instance_ = nullptr;
    const LV2_Worker_Interface* interface_ = nullptr;
    std::vector<std::vector<std::uint8_t>> requests_;
    std::vector<std::vector<std::uint8_t>> responses_;
    int scheduledCount_ = 0;
    int refusedCount_ = 0;
};

} // namespace lv2_test
