#pragma once
// A value that one thread may write while another reads it, without a lock: every access is a
// single relaxed atomic load or store. It orders nothing else, so it suits a value that stands on
// its own (a parameter's value, an option switch), not one that must agree with other data.
// Unlike std::atomic it can be copied, so records that hold one stay plain records.

#include <atomic>

namespace common {

template <typename T> class Relaxed {
public:
    Relaxed() = default;
    Relaxed(T value) : value_(value) {} // NOLINT: converts like the plain value it stands for
    Relaxed(const Relaxed& other) : value_(other.Load()) {}
    Relaxed& operator=(const Relaxed& other) {
        Store(other.Load());
        return *this;
    }
    Relaxed& operator=(T value) {
        Store(value);
        return *this;
    }
    operator T() const { return Load(); } // NOLINT: reads like the plain value

    T Load() const { return value_.load(std::memory_order_relaxed); }
    void Store(T value) { value_.store(value, std::memory_order_relaxed); }

private:
    static_assert(std::atomic<T>::is_always_lock_free, "a relaxed value must never take a lock");
    std::atomic<T> value_{};
};

} // namespace common
