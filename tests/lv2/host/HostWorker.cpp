#include "HostWorker.h"

namespace lv2_test {

namespace {

std::vector<std::uint8_t> Copy(std::uint32_t size, const void* data) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

} // namespace

HostWorker::HostWorker() {
    schedule_.handle = this;
    schedule_.schedule_work = &Schedule;
}

void HostWorker::Bind(LV2_Handle instance, const LV2_Worker_Interface* interface) {
    instance_ = instance;
    interface_ = interface;
}

void HostWorker::Finish(bool endOfRun) {
    if (!interface_) {
        requests_.clear();
        return;
    }
    // A response may schedule further work; each round is finished before the next, and a plug-in
    // that keeps asking forever cannot hang the test.
    for (int round = 0; round < 16 && (!requests_.empty() || !responses_.empty()); ++round) {
        std::vector<std::vector<std::uint8_t>> requests;
        requests.swap(requests_);
        for (const std::vector<std::uint8_t>& request : requests)
            interface_->work(instance_, &Respond, this, static_cast<std::uint32_t>(request.size()),
                             request.data());
        std::vector<std::vector<std::uint8_t>> responses;
        responses.swap(responses_);
        for (const std::vector<std::uint8_t>& response : responses)
            interface_->work_response(instance_, static_cast<std::uint32_t>(response.size()),
                                      response.data());
    }
    if (endOfRun && interface_->end_run) interface_->end_run(instance_);
}

LV2_Worker_Status HostWorker::Schedule(LV2_Worker_Schedule_Handle handle, std::uint32_t size,
                                       const void* data) {
    auto* self = static_cast<HostWorker*>(handle);
    if (!self->interface_) {
        ++self->refusedCount_;
        return LV2_WORKER_ERR_UNKNOWN;
    }
    ++self->scheduledCount_;
    self->requests_.push_back(Copy(size, data));
    return LV2_WORKER_SUCCESS;
}

LV2_Worker_Status HostWorker::Respond(LV2_Worker_Respond_Handle handle, std::uint32_t size,
                                      const void* data) {
    static_cast<HostWorker*>(handle)->responses_.push_back(Copy(size, data));
    return LV2_WORKER_SUCCESS;
}

} // namespace lv2_test
