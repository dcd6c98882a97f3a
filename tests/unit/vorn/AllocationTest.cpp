// The audio callbacks must never allocate: a host's audio thread cannot wait for the heap. The
// global allocation functions of this test program count calls while a test has armed them.

#include "VornTestSupport.h"

#include <algorithm>
#include <atomic>
#include <cmath>
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
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
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

TEST(Allocation, RenderingNotesAndMidiAllocatesNothingInSteadyState) {
#if defined(VORNA_SANITIZED)
    GTEST_SKIP() << "allocations are counted in the plain builds";
#endif
    VornInstance vorn;
    vorn.host.Open(44100, 512);
    std::vector<float> in(512, 0.0f), left(512), right(512);
    float* inputs[] = {in.data()};
    float* outputs[] = {left.data(), right.data()};
    vst2::AEffect* effect = vorn.Effect();
    // The host's event list, built before counting starts: a chord, controllers, bend, pedal.
    std::vector<vst2::VstMidiEvent> events;
    auto add = [&](int offset, int status, int data1, int data2) {
        events.push_back(hostkit::MidiEvent(offset, status, data1, data2));
    };
    for (int n = 0; n < 70; ++n) add(n * 7 % 512, 0x90, 30 + n, 100); // more notes than voices
    add(100, 0xB0, 1, 90);
    add(130, 0xE0, 0, 80);
    add(200, 0xB0, 64, 127);
    add(300, 0xD0, 70, 0);
    add(400, 0xB0, 64, 0);
    for (int n = 0; n < 30; ++n) add(450 + n, 0x80, 30 + n, 0);
    std::vector<unsigned char> storage(sizeof(vst2::VstEvents) +
                                       sizeof(vst2::VstEvent*) * (events.size() + 2));
    auto* list = reinterpret_cast<vst2::VstEvents*>(storage.data());
    list->numEvents = static_cast<vst2::Int32>(events.size());
    for (std::size_t i = 0; i < events.size(); ++i)
        list->events[i] = reinterpret_cast<vst2::VstEvent*>(&events[i]);

    // Warm up: the first blocks may grow the queues to what this traffic needs.
    for (int b = 0; b < 3; ++b) {
        effect->dispatcher(effect, vst2::effProcessEvents, 0, 0, list, 0.0f);
        effect->processReplacing(effect, inputs, outputs, 512);
    }
    vorn.host.calls.reserve(vorn.host.calls.size() + 256);

    allocations = 0;
    counting = true;
    for (int b = 0; b < 8; ++b) {
        effect->dispatcher(effect, vst2::effProcessEvents, 0, 0, list, 0.0f);
        effect->processReplacing(effect, inputs, outputs, 512);
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
    float peak = 0.0f;
    for (float v : left) peak = std::max(peak, std::fabs(v));
    EXPECT_GT(peak, 0.0f); // notes were really sounding
}
