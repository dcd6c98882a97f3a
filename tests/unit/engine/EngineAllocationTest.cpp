// The voice engine runs on the host's audio thread and must never allocate there: the global
// allocation functions of the engine test program count calls while a test has armed them.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "VoiceTestSupport.h"
#include "engine/RenderLoop.h"

#include <vector>

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
} // namespace

#if !defined(VORNA_SANITIZED)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1);
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

TEST(EngineAllocation, NotesControlAndChipSamplesAllocateNothing) {
#if defined(VORNA_SANITIZED)
    GTEST_SKIP() << "allocations are counted in the plain builds";
#endif
    auto* e = new engine::VoiceEngine();
    enginetest::ApplyOrgan(*e);
    // The counter works: an allocation while armed is seen.
    gCounting = true;
    ::operator delete(::operator new(16));
    gCounting = false;
    ASSERT_EQ(gAllocations.exchange(0), 1);

    gCounting = true;
    for (int round = 0; round < 3; ++round) {
        for (int n = 0; n < 70; ++n) e->NoteOn(30 + n % 80, 100);
        e->SustainPedal(true);
        for (int i = 0; i < 2000; ++i) {
            if (i % 62 == 0) e->ControlUpdate(64, 12.5);
            e->ChipSample(64, true);
        }
        for (int n = 0; n < 70; ++n) e->NoteOff(30 + n % 80);
        e->SustainPedal(false);
        e->SetMono(round == 1);
        e->AllNotesOff();
        e->SetVoiceParam(23 + 11, 0, 20);
        e->SetLfoSpeed(100);
    }
    gCounting = false;
    EXPECT_EQ(gAllocations.load(), 0);
    delete e;
}

TEST(EngineAllocation, RenderLoopThroughSilenceAndEveryKernelAllocatesNothing) {
#if defined(VORNA_SANITIZED)
    GTEST_SKIP() << "allocations are counted in the plain builds";
#endif
    auto* voices = new engine::VoiceEngine();
    auto* midi = new engine::MidiEventQueue();
    auto* clock = new engine::TickClock();
    auto* loop = new engine::RenderLoop(*voices, *midi, *clock);
    clock->tickInterval = 44;
    loop->Reset(44100.0);
    enginetest::ApplyOrgan(*voices);
    std::vector<double> left(512), right(512);
    auto event = [&](int offset, int status, int data1, int data2) {
        engine::MidiEvent e;
        e.offset = offset;
        e.status = static_cast<uint8_t>(status);
        e.data1 = static_cast<uint8_t>(data1);
        e.data2 = static_cast<uint8_t>(data2);
        midi->Add(e);
    };
    const engine::ChipKernel kernels[] = {engine::ChipKernel::Reference, engine::ChipKernel::Sse2,
                                          engine::ChipKernel::Avx2};
    gCounting = true;
    for (engine::ChipKernel kernel : kernels) {
        voices->SetChipKernel(kernel);
        for (int n = 0; n < 3; ++n) event(10 + n, 0x90, 50 + n, 100);
        for (int b = 0; b < 30; ++b) loop->RenderBlock(left.data(), right.data(), 512);
        for (int n = 0; n < 3; ++n) event(5, 0x80, 50 + n, 0);
        // Long enough for the filters to settle and the silence to be skipped.
        for (int b = 0; b < 15 * 87; ++b) loop->RenderBlock(left.data(), right.data(), 512);
    }
    gCounting = false;
    EXPECT_EQ(gAllocations.load(), 0);
    EXPECT_GT(loop->SkippedFrames(), 0);
    delete loop;
    delete clock;
    delete midi;
    delete voices;
}
