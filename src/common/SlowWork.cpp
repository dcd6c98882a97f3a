#include "common/SlowWork.h"

#include <atomic>

namespace common {

namespace {

std::atomic<SlowWorkHook> installedHook{nullptr};

} // namespace

void SetSlowWorkHook(SlowWorkHook hook) {
    installedHook.store(hook);
}

void SlowWorkStarts(SlowWork kind) {
    if (SlowWorkHook hook = installedHook.load(std::memory_order_acquire)) hook(kind);
}

} // namespace common
