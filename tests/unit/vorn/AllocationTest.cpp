// The audio callbacks must never allocate: a host's audio thread cannot wait for the heap. The
// global allocation functions of this test program count calls while a test has armed them.

#include "VornTestSupport.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
} // namespace

// Sanitizers bring allocation functions of their own; the count is taken in the plain builds.
#if !defined(VORNA_SANITIZED)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#endif

TEST(Allocation, ProcessCallbacksAllocateNothing) {
#if defined(VORNA_SANITIZED)
    GTEST_SKIP() << "allocations are counted in the plain builds";
#endif
    VornInstance vorn;
    vorn.host.Open(44100, 512);
    std::vector<float> inF(2048, 0.0f), leftF(2048), rightF(2048);
    std::vector<double> inD(2048, 0.0), leftD(2048), rightD(2048);
    float* inputsF[] = {inF.data()};
    float* outputsF[] = {leftF.data(), rightF.data()};
    double* inputsD[] = {inD.data()};
    double* outputsD[] = {leftD.data(), rightD.data()};
    vst2::AEffect* effect = vorn.Effect();
    // Warm up once: the host's own call log may grow.
    effect->processReplacing(effect, inputsF, outputsF, 512);
    vorn.host.calls.reserve(vorn.host.calls.size() + 64);

    allocations = 0;
    counting = true;
    effect->processReplacing(effect, inputsF, outputsF, 512);
    effect->process(effect, inputsF, outputsF, 512);
    effect->processDoubleReplacing(effect, inputsD, outputsD, 512);
    effect->processReplacing(effect, inputsF, outputsF, 2048); // longer than the block: pieces
    effect->processReplacing(effect, inputsF, outputsF, 1);
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
}
