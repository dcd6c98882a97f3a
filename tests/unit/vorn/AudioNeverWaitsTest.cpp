// The audio thread never waits for the work of the host's GUI thread. Each kind of slow work
// (drawing the editor, opening its window, decoding a program, parsing a chunk) is made to last
// 300 ms through the plug-in's slow-work hook while a second thread plays as a DAW's audio thread
// does: it must complete at least 20 calls meanwhile, and once the work ends its result must be
// what the host asked for. Nothing here measures time: on the old locking, the audio thread
// completed no call at all while the work ran.

#include "TwoThreadHost.h"
#include "VornTestSupport.h"
#include "vst2/Vst2Adapter.h"

#include "common/SlowWork.h"
#include "editor/VornEditor.h"
#include "graphics/OffscreenWindow.h"
#include "vst2/VstEntry.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace two_threads;

constexpr int kBlock = 64;
constexpr int kHeldNotes = 16;

std::atomic<int> kindToStall{-1};
std::atomic<bool> stalling{false};
std::atomic<int> stallsDone{0};

// Stalls the first work of the chosen kind for 300 ms.
void StallOnce(common::SlowWork kind) {
    int expected = static_cast<int>(kind);
    if (!kindToStall.compare_exchange_strong(expected, -1)) return;
    stalling = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    stalling = false;
    ++stallsDone;
}

class AudioNeverWaits : public testing::Test {
protected:
    void SetUp() override {
        common::SetSlowWorkHook(&StallOnce);
        effect_ = VSTPluginMain(&QuietHost);
        ASSERT_NE(effect_, nullptr);
        Dispatch(effect_, vst2::effOpen);
        Dispatch(effect_, vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
        Dispatch(effect_, vst2::effSetBlockSize, 0, kBlock);
        Dispatch(effect_, vst2::effMainsChanged, 0, 1);
        std::vector<vst2::VstMidiEvent> notes;
        for (int n = 0; n < kHeldNotes; ++n) {
            notes.push_back(Midi(0, 0x90, 40 + 2 * n, 100));
            if (notes.size() == 4) {
                SendEvents(effect_, notes);
                notes.clear();
            }
        }
        // The held notes sound: the audio thread below plays something real.
        float peak = 0.0f;
        for (int b = 0; b < 40; ++b) peak = std::max(peak, RenderBlock());
        ASSERT_GT(peak, 0.001f);
    }

    void TearDown() override {
        common::SetSlowWorkHook(nullptr);
        if (effect_) Dispatch(effect_, vst2::effClose);
    }

    vorn::Vorn& Plugin() { return *static_cast<vorn::Vorn*>(vst2::Adapter::CoreOf(effect_)); }

    float RenderBlock() {
        float* outputs[] = {left_.data(), right_.data()};
        float* inputs[] = {input_.data()};
        effect_->processReplacing(effect_, inputs, outputs, kBlock);
        float peak = 0.0f;
        for (float v : left_) peak = std::max(peak, std::fabs(v));
        return peak;
    }

    // Runs work on this thread with the chosen kind of work stalled once, while an audio thread
    // renders back to back (each call with an event list, as hosts send one every cycle) and does
    // duringStall once while the stall lasts. Returns the audio calls completed during the stall.
    int CallsDuringStall(common::SlowWork kind, const std::function<void()>& work,
                         const std::function<void()>& duringStall = nullptr) {
        stallsDone = 0;
        kindToStall = static_cast<int>(kind);
        std::atomic<bool> stop{false};
        std::atomic<int> completed{0};
        std::thread audio([&] {
            bool didStallWork = false;
            std::vector<vst2::VstMidiEvent> none;
            while (!stop.load()) {
                SendEvents(effect_, none);
                if (stalling && !didStallWork && duringStall) {
                    duringStall();
                    didStallWork = true;
                }
                RenderBlock();
                if (stalling) ++completed;
            }
        });
        work();
        stop = true;
        audio.join();
        EXPECT_EQ(stallsDone.load(), 1) << "the work never reached its slow part";
        return completed.load();
    }

    vst2::AEffect* effect_ = nullptr;
    std::vector<float> left_ = std::vector<float>(kBlock), right_ = std::vector<float>(kBlock),
                       input_ = std::vector<float>(kBlock);
};

// A bank chunk with program 5 renamed, from a second instance.
std::vector<char> RenamedBankChunk() {
    vst2::AEffect* other = VSTPluginMain(&QuietHost);
    Dispatch(other, vst2::effSetProgram, 0, 5);
    char name[] = "Chunked";
    Dispatch(other, vst2::effSetProgramName, 0, 0, name);
    void* data = nullptr;
    vst2::IntPtr size = Dispatch(other, vst2::effGetChunk, 0, 0, &data);
    std::vector<char> chunk(static_cast<const char*>(data), static_cast<const char*>(data) + size);
    Dispatch(other, vst2::effClose);
    return chunk;
}

} // namespace

TEST_F(AudioNeverWaits, WhileABankChunkIsParsed) {
    std::vector<char> chunk = RenamedBankChunk();
    ASSERT_GT(chunk.size(), 1000u);
    vst2::IntPtr answer = 0;
    int calls = CallsDuringStall(common::SlowWork::ChunkParsing, [&] {
        answer = Dispatch(effect_, vst2::effSetChunk, 0, static_cast<vst2::IntPtr>(chunk.size()),
                          chunk.data());
    });
    EXPECT_GE(calls, 20);
    EXPECT_EQ(answer, 1);
    char name[vst2::kMaxProgNameLen + 1] = {};
    Dispatch(effect_, vst2::effGetProgramNameIndexed, 5, 0, name);
    EXPECT_STREQ(name, "Chunked");
}

TEST_F(AudioNeverWaits, WhileAProgramIsDecoded) {
    // What program 7 gives the parameters, from an instance of its own.
    vst2::AEffect* reference = VSTPluginMain(&QuietHost);
    Dispatch(reference, vst2::effSetProgram, 0, 7);
    std::vector<float> expected;
    for (int i = 0; i < 91; ++i) expected.push_back(reference->getParameter(reference, i));
    Dispatch(reference, vst2::effClose);

    int calls = CallsDuringStall(common::SlowWork::ProgramDecoding,
                                 [&] { Dispatch(effect_, vst2::effSetProgram, 0, 7); });
    EXPECT_GE(calls, 20);
    EXPECT_EQ(Dispatch(effect_, vst2::effGetProgram), 7);
    for (int i = 0; i < 91; ++i) EXPECT_EQ(effect_->getParameter(effect_, i), expected[i]) << i;
}

TEST_F(AudioNeverWaits, WhileTheEditorDraws) {
    editor::VornEditor& view = *Plugin().EditorView();
    ASSERT_TRUE(view.OpenWindowWith(std::make_unique<graphics::OffscreenWindow>(view)));
    // The first timer tick draws the whole editor, as the window's redraw timer does.
    float automated = -1.0f;
    int calls = CallsDuringStall(
        common::SlowWork::Drawing, [&] { view.OnTimer(); },
        // Host automation from the audio thread meanwhile reaches the plug-in at once.
        [&] {
            effect_->setParameter(effect_, 0, 0.25f);
            automated = effect_->getParameter(effect_, 0);
        });
    EXPECT_GE(calls, 20);
    EXPECT_FLOAT_EQ(automated, 0.25f);
    const auto* window = static_cast<graphics::OffscreenWindow*>(view.Window());
    ASSERT_NE(window, nullptr);
    int lit = 0;
    for (std::uint32_t pixel : window->Screen().Pixels()) lit += (pixel & 0xFFFFFF) != 0;
    EXPECT_GT(lit, 100000) << "the editor was not drawn";
    view.CloseWindow();
}

TEST_F(AudioNeverWaits, WhileTheEditorWindowOpens) {
    editor::VornEditor& view = *Plugin().EditorView();
    bool opened = false;
    int calls = CallsDuringStall(common::SlowWork::WindowOpen, [&] {
        // As the dispatcher opens it: with the instance mutex held.
        platform::ScopedLock lock(Plugin().Mutex());
        opened = view.OpenWindowWith(std::make_unique<graphics::OffscreenWindow>(view));
    });
    EXPECT_GE(calls, 20);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(view.IsWindowOpen());
    view.CloseWindow();
}

// MIDI that needs the instance mutex (a program change) arrives while the GUI thread holds it:
// it waits, and the notes behind it with it, and takes effect once the mutex is free, after the
// GUI thread's own program change.
TEST_F(AudioNeverWaits, AProgramChangeWaitsForItsTurnAndKeepsItsOrder) {
    int calls = CallsDuringStall(
        common::SlowWork::ProgramDecoding, [&] { Dispatch(effect_, vst2::effSetProgram, 0, 3); },
        [&] {
            std::vector<vst2::VstMidiEvent> events = {Midi(0, 0xC0, 10, 0), Midi(1, 0x90, 72, 100)};
            SendEvents(effect_, events);
            EXPECT_EQ(Plugin().DeferredEventCount(), 2u);
        });
    EXPECT_GE(calls, 20);
    RenderBlock();
    EXPECT_EQ(Plugin().DeferredEventCount(), 0u);
    EXPECT_EQ(Dispatch(effect_, vst2::effGetProgram), 10);
}
