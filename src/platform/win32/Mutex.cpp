#include "platform/Mutex.h"

#include <new>
#include <windows.h>

namespace platform {

static_assert(sizeof(CRITICAL_SECTION) <= RecursiveMutex::kStorageSize, "mutex storage");

static CRITICAL_SECTION* Native(unsigned char* storage) {
    return reinterpret_cast<CRITICAL_SECTION*>(storage);
}

RecursiveMutex::RecursiveMutex() {
    InitializeCriticalSection(new (storage_) CRITICAL_SECTION);
}

RecursiveMutex::~RecursiveMutex() {
    DeleteCriticalSection(Native(storage_));
}

static unsigned long long ThisThread() {
    // Thread ids may be 0 on some systems; shifted by one so that 0 means "nobody".
    return static_cast<unsigned long long>(GetCurrentThreadId()) + 1;
}

void RecursiveMutex::Lock() {
    EnterCriticalSection(Native(storage_));
    Taken();
}

bool RecursiveMutex::TryLock() {
    if (!TryEnterCriticalSection(Native(storage_))) return false;
    Taken();
    return true;
}

void RecursiveMutex::Unlock() {
    if (--depth_ == 0) owner_.store(0, std::memory_order_relaxed);
    LeaveCriticalSection(Native(storage_));
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
