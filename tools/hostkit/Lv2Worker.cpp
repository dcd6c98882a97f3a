#include "Lv2Worker.h"

namespace lv2host {

Worker::Worker(WorkerMode mode, std::size_t queueBytes)
    : mode_(mode), requests_(queueBytes), responses_(queueBytes) {
    schedule_.handle = this;
    schedule_.schedule_work = &Worker::Schedule;
    workMessage_.reserve(queueBytes);
    responseMessage_.reserve(queueBytes);
    sem_init(&wake_, 0, 0);
}

Worker::~Worker() {
    Detach();
    sem_destroy(&wake_);
}

void Worker::Attach(LV2_Handle instance, const LV2_Worker_Interface* interface) {
    Detach();
    instance_ = instance;
    interface_ = interface && interface->work ? interface : nullptr;
    if (mode_ == WorkerMode::Thread && interface_) {
        stop_ = false;
        thread_ = std::thread(&Worker::ThreadLoop, this);
    }
}

void Worker::Detach() {
    if (thread_.joinable()) {
        stop_ = true;
        sem_post(&wake_);
        thread_.join();
    }
    std::vector<std::uint8_t> dropped;
    while (requests_.Read(dropped)) {
    }
    while (responses_.Read(dropped)) {
    }
    instance_ = nullptr;
    interface_ = nullptr;
}

LV2_Worker_Status Worker::Schedule(LV2_Worker_Schedule_Handle handle, std::uint32_t size,
                                   const void* data) {
    auto* worker = static_cast<Worker*>(handle);
    if (!worker->interface_ || (size > 0 && !data)) {
        ++worker->refused_;
        return LV2_WORKER_ERR_UNKNOWN;
    }
    if (worker->mode_ == WorkerMode::DuringSchedule) {
        ++worker->scheduled_;
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        worker->workMessage_.assign(bytes, bytes + size);
        worker->Work(worker->workMessage_);
        return LV2_WORKER_SUCCESS;
    }
    if (!worker->requests_.Write(data, size)) {
        ++worker->refused_;
        return LV2_WORKER_ERR_NO_SPACE;
    }
    ++worker->scheduled_;
    if (worker->mode_ == WorkerMode::Thread) sem_post(&worker->wake_);
    return LV2_WORKER_SUCCESS;
}

LV2_Worker_Status Worker::Respond(LV2_Worker_Respond_Handle handle, std::uint32_t size,
                                  const void* data) {
    auto* worker = static_cast<Worker*>(handle);
    if (size > 0 && !data) return LV2_WORKER_ERR_UNKNOWN;
    return worker->responses_.Write(data, size) ? LV2_WORKER_SUCCESS : LV2_WORKER_ERR_NO_SPACE;
}

void Worker::Work(const std::vector<std::uint8_t>& message) {
    interface_->work(instance_, &Worker::Respond, this, static_cast<std::uint32_t>(message.size()),
                     message.empty() ? nullptr : message.data());
    ++worked_;
}

void Worker::ThreadLoop() {
    std::vector<std::uint8_t> message;
    message.reserve(workMessage_.capacity());
    for (;;) {
        sem_wait(&wake_);
        if (stop_) return;
        while (requests_.Read(message)) Work(message);
    }
}

void Worker::AfterRun() {
    if (!interface_) return;
    if (mode_ == WorkerMode::AfterRun)
        while (requests_.Read(workMessage_)) Work(workMessage_);
    if (interface_->work_response)
        while (responses_.Read(responseMessage_))
            interface_->work_response(instance_,
                                      static_cast<std::uint32_t>(responseMessage_.size()),
                                      responseMessage_.empty() ? nullptr : responseMessage_.data());
    if (interface_->end_run) interface_->end_run(instance_);
}

int Worker::DoPendingWork() {
    int count = 0;
    if (mode_ != WorkerMode::Polled || !interface_) return count;
    while (requests_.Read(workMessage_)) {
        Work(workMessage_);
        ++count;
    }
    return count;
}

bool Worker::WaitUntilIdle(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (worked_ < scheduled_) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

} // namespace lv2host
