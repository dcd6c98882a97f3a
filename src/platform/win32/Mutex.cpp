#include "platform/Mutex.h"

#include <new>
#include <windows.h>

namespace platform {

static_assert(sizeof(CRITICAL_SECTION) <= RecursiveMutex::kStorageSize, "mutex storage");

static CRITICAL_SECTION* Native(unsigned char* storage) {
    return reinterpret_cast<CRITICAL_SECTION*>(storage);
}

RecursiveMutex::RecursiveMutex() { InitializeCriticalSection(new (storage_) CRITICAL_SECTION); }

RecursiveMutex::~RecursiveMutex() { DeleteCriticalSection(Native(storage_)); }

void RecursiveMutex::Lock() { EnterCriticalSection(Native(storage_)); }

void RecursiveMutex::Unlock() { LeaveCriticalSection(Native(storage_)); }

RecursiveMutex& CreationMutex() {
    static RecursiveMutex mutex;
    return mutex;
}

} // namespace platform
