#pragma once
// A recursive mutex backed by the OS (critical section or recursive pthread mutex). The storage
// is reserved here so that no OS header reaches portable code.

#include <cstddef>

namespace platform {

class RecursiveMutex {
public:
    RecursiveMutex();
    ~RecursiveMutex();
    RecursiveMutex(const RecursiveMutex&) = delete;
    RecursiveMutex& operator=(const RecursiveMutex&) = delete;

    void Lock();
    void Unlock();

    static constexpr std::size_t kStorageSize = 64;

private:
    alignas(16) unsigned char storage_[kStorageSize];
};

class ScopedLock {
public:
    explicit ScopedLock(RecursiveMutex& mutex) : mutex_(mutex) { mutex_.Lock(); }
    ~ScopedLock() { mutex_.Unlock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    RecursiveMutex& mutex_;
};

// The process-wide mutex that serialises instance creation. It is created on first use and lives
// until the library is unloaded.
RecursiveMutex& CreationMutex();

} // namespace platform
