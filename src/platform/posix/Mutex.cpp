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

unsigned long long RecursiveMutex::ThisThread() {
    // pthread_t is an integer on the systems we build for, and never 0 for a live thread.
    return static_cast<unsigned long long>(pthread_self());
}

void RecursiveMutex::NativeLock() {
    pthread_mutex_lock(Native(storage_));
}

void RecursiveMutex::NativeUnlock() {
    pthread_mutex_unlock(Native(storage_));
}

bool RecursiveMutex::NativeTryLock() {
    return pthread_mutex_trylock(Native(storage_)) == 0;
}

} // namespace platform
