#pragma once
// A recursive mutex backed by the OS (critical section or recursive pthread mutex). The storage
// is reserved here so that no OS header reaches portable code.

#include <atomic>
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
    // Takes the mutex only when no other thread holds it.
    bool TryLock();
    // Whether the calling thread holds the mutex.
    bool HeldByThisThread() const;
    // Releases every level the calling thread holds and answers how many that were (0 when it
    // holds none), so that a wait for the user (a menu, a dialog) does not keep other threads
    // out. Relock takes the mutex again to that depth.
    int UnlockFully();
    void Relock(int depth);

    static constexpr std::size_t kStorageSize = 64;

private:
    // The OS's part (posix/ and win32/): the lock itself and the calling thread's id, never 0.
    void NativeLock();
    void NativeUnlock();
    bool NativeTryLock();
    static unsigned long long ThisThread();
    void Taken();

    alignas(16) unsigned char storage_[kStorageSize];
    // The holder's OS thread id (0 when free) and its depth. The depth is only touched by the
    // holder; the owner is atomic because other threads read it to learn they are not it.
    std::atomic<unsigned long long> owner_{0};
    int depth_ = 0;
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

// Takes the mutex for the lifetime of the scope only when no other thread holds it.
class ScopedTryLock {
public:
    explicit ScopedTryLock(RecursiveMutex& mutex) : mutex_(mutex), owns_(mutex.TryLock()) {}
    ~ScopedTryLock() {
        if (owns_) mutex_.Unlock();
    }
    ScopedTryLock(const ScopedTryLock&) = delete;
    ScopedTryLock& operator=(const ScopedTryLock&) = delete;
    bool Owns() const { return owns_; }

private:
    RecursiveMutex& mutex_;
    bool owns_;
};

// Lets go of a mutex for the lifetime of the scope, whatever the depth the calling thread holds
// it at, and takes it back to that depth afterwards. Does nothing when the thread does not hold it.
class ScopedRelease {
public:
    explicit ScopedRelease(RecursiveMutex& mutex) : mutex_(mutex), depth_(mutex.UnlockFully()) {}
    ~ScopedRelease() { mutex_.Relock(depth_); }
    ScopedRelease(const ScopedRelease&) = delete;
    ScopedRelease& operator=(const ScopedRelease&) = delete;

private:
    RecursiveMutex& mutex_;
    int depth_;
};

// The process-wide mutex that serialises instance creation. It is created on first use and lives
// until the library is unloaded.
RecursiveMutex& CreationMutex();

} // namespace platform
