#include "platform/Mutex.h"

// The holder and depth bookkeeping, the same on every OS; the OS's part locks and names threads.

namespace platform {

void RecursiveMutex::Lock() {
    NativeLock();
    Taken();
}

bool RecursiveMutex::TryLock() {
    if (!NativeTryLock()) return false;
    Taken();
    return true;
}

void RecursiveMutex::Unlock() {
    if (--depth_ == 0) owner_.store(0, std::memory_order_relaxed);
    NativeUnlock();
}

void RecursiveMutex::Taken() {
    if (depth_++ == 0) owner_.store(ThisThread(), std::memory_order_relaxed);
}

bool RecursiveMutex::HeldByThisThread() const {
    return owner_.load(std::memory_order_relaxed) == ThisThread();
}

int RecursiveMutex::UnlockFully() {
    if (!HeldByThisThread()) return 0;
    int depth = depth_;
    for (int i = 0; i < depth; ++i) Unlock();
    return depth;
}

void RecursiveMutex::Relock(int depth) {
    for (int i = 0; i < depth; ++i) Lock();
}

RecursiveMutex& CreationMutex() {
    static RecursiveMutex mutex;
    return mutex;
}

} // namespace platform
