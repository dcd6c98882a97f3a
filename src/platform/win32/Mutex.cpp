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

unsigned long long RecursiveMutex::ThisThread() {
    // Thread ids may be 0 on some systems; shifted by one so that 0 means "nobody".
    return static_cast<unsigned long long>(GetCurrentThreadId()) + 1;
}

void RecursiveMutex::NativeLock() {
    EnterCriticalSection(Native(storage_));
}

void RecursiveMutex::NativeUnlock() {
    LeaveCriticalSection(Native(storage_));
}

bool RecursiveMutex::NativeTryLock() {
    return TryEnterCriticalSection(Native(storage_)) != 0;
}

} // namespace platform
