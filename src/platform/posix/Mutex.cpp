#include "platform/Mutex.h"

#include <new>
#include <pthread.h>

namespace platform {

static_assert(sizeof(pthread_mutex_t) <= RecursiveMutex::kStorageSize, "mutex storage");

static pthread_mutex_t* Native(unsigned char* storage) {
    return reinterpret_cast<pthread_mutex_t*>(storage);
}

RecursiveMutex::RecursiveMutex() {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(new (storage_) pthread_mutex_t, &attributes);
    pthread_mutexattr_destroy(&attributes);
}

RecursiveMutex::~RecursiveMutex() {
    pthread_mutex_destroy(Native(storage_));
}

static unsigned long long ThisThread() {
    // pthread_t is an integer on the systems we build for, and never 0 for a live thread.
    return static_cast<unsigned long long>(pthread_self());
}

void RecursiveMutex::Lock() {
    pthread_mutex_lock(Native(storage_));
    Taken();
}

bool RecursiveMutex::TryLock() {
    if (pthread_mutex_trylock(Native(storage_)) != 0) return false;
    Taken();
    return true;
}

void RecursiveMutex::Unlock() {
    if (--depth_ == 0) owner_.store(0, std::memory_order_relaxed);
    pthread_mutex_unlock(Native(storage_));
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
