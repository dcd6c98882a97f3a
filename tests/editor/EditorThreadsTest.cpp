// The editor on one thread while the host's other threads go on: a menu or dialog waiting for the
// user must not hold the instance lock (audio keeps rendering), and mouse handling on the editor
// thread must not race with parameter values the host sets meanwhile (this file also runs under
// ThreadSanitizer).

#include "editor/ControlLayout.h"
#include "editor/VornEditor.h"
#include "engine/InstrumentParams.h"
#include "graphics/OffscreenWindow.h"
#include "graphics/PopupMenu.h"
#include "vorn/Vorn.h"
#include "vst2/Vst2Adapter.h"
#include "vst2/VstEntry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Host calls may come from any thread here: counted atomically, nothing else kept.
std::atomic<int> hostCalls{0};
vst2::IntPtr VORNA_VSTCALL Callback(vst2::AEffect*, vst2::Int32 opcode, vst2::Int32, vst2::IntPtr,
                                    void*, float) {
    ++hostCalls;
    return opcode == vst2::audioMasterVersion ? 2400 : 0;
}

// An instance as a host makes it, with its editor opened on the offscreen window.
class ThreadedInstance {
public:
    ThreadedInstance() {
        effect_ = VSTPluginMain(&Callback);
        plugin_ = static_cast<vorn::Vorn*>(vst2::Adapter::CoreOf(effect_));
        plugin_->Settings().configurationPath = "editor-threads-test-vorn.ini";
        Dispatch(vst2::effOpen);
        Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 48000.0f);
        Dispatch(vst2::effSetBlockSize, 0, 256);
        Dispatch(vst2::effMainsChanged, 0, 1);
        view_ = plugin_->EditorView();
        auto offscreen = std::make_unique<graphics::OffscreenWindow>(*view_);
        window_ = offscreen.get();
        view_->OpenWindowWith(std::move(offscreen));
        view_->OnTimer();
    }
    ~ThreadedInstance() {
        if (!effect_) return;
        view_->CloseWindow();
        Close();
    }
    // effClose; nothing of the instance may be used afterwards.
    void Close() {
        Dispatch(vst2::effClose);
        effect_ = nullptr;
    }
    vst2::IntPtr Dispatch(vst2::Int32 opcode, vst2::Int32 index = 0, vst2::IntPtr value = 0,
                          void* data = nullptr, float opt = 0.0f) {
        return effect_->dispatcher(effect_, opcode, index, value, data, opt);
    }
    void Process() {
        std::vector<float> left(256), right(256);
        float* outputs[2] = {left.data(), right.data()};
        effect_->processReplacing(effect_, nullptr, outputs, 256);
    }
    void SetParameter(int index, float value) { effect_->setParameter(effect_, index, value); }
    vorn::Vorn& plugin() { return *plugin_; }
    editor::VornEditor& view() { return *view_; }
    graphics::OffscreenWindow& window() { return *window_; }
    graphics::Control* Find(int id) {
        for (int i = 0; i < view_->ControlCount(); ++i)
            if (view_->GetControl(i)->ParamIndex() == id) return view_->GetControl(i);
        return nullptr;
    }

private:
    vst2::AEffect* effect_ = nullptr;
    vorn::Vorn* plugin_ = nullptr;
    editor::VornEditor* view_ = nullptr;
    graphics::OffscreenWindow* window_ = nullptr;
};

// A user who takes their time: every dialog and message box waits until released.
class WaitingUser : public platform::UiServices {
public:
    platform::MessageAnswer ShowMessage(platform::MessageKind, const std::string&,
                                        const std::string&) override {
        Wait();
        return platform::MessageAnswer::Ok;
    }
    bool ChooseFile(const platform::FileDialogRequest&, std::string& path) override {
        Wait();
        path = chosenFile;
        return !path.empty();
    }
    bool ChooseFolder(const std::string&, const std::string&, std::string&) override {
        Wait();
        return false;
    }
    bool OpenWebAddress(const std::string&) override {
        Wait();
        return true;
    }
    bool InternetAvailable() override { return false; }

    void Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        waiting_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return released_; });
        released_ = false;
        waiting_ = false;
    }
    bool WaitUntilWaiting() {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [this] { return waiting_; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

    std::string chosenFile; // what the file dialogs answer once released

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool waiting_ = false;
    bool released_ = false;
};

// Renders blocks on another thread while the user waits; false when the audio thread stayed
// blocked (the lock was held).
bool AudioRunsWhileTheUserWaits(ThreadedInstance& vorna, WaitingUser& user) {
    if (!user.WaitUntilWaiting()) return false;
    std::atomic<int> blocks{0};
    auto audio = std::async(std::launch::async, [&] {
        for (int i = 0; i < 20; ++i) {
            vorna.Process();
            ++blocks;
        }
    });
    bool finished = audio.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    user.Release(); // unblocks the audio thread too, if the lock was held after all
    audio.wait();
    return finished && blocks == 20;
}

TEST(EditorThreads, AnOpenDialogOrMenuDoesNotHoldTheInstanceLock) {
    ThreadedInstance vorna;
    WaitingUser user;
    vorna.window().SetUi(&user);

    // A dialog asked for while the editor thread is inside a host call (holding the lock, once
    // or nested, as the adapter and the core take it).
    std::thread dialog([&] {
        platform::ScopedLock outer(vorna.plugin().Mutex());
        platform::ScopedLock inner(vorna.plugin().Mutex());
        std::string path;
        platform::FileDialogRequest request;
        vorna.view().Ui().ChooseFile(request, path);
        // The lock is back at its depth afterwards: releasing both levels must work.
    });
    EXPECT_TRUE(AudioRunsWhileTheUserWaits(vorna, user));
    dialog.join();
    EXPECT_FALSE(vorna.plugin().Mutex().HeldByThisThread());

    // A menu opened by a click: the click arrives inside a host call (effEditIdle).
    vorna.window().SetMenuChooser([&](const graphics::PopupMenu&) {
        user.Wait();
        return 0;
    });
    graphics::Control* number = vorna.Find(editor::kIdProgramNumber);
    ASSERT_NE(number, nullptr);
    const graphics::Rect& r = number->TargetRect();
    std::thread menu([&] {
        platform::ScopedLock lock(vorna.plugin().Mutex());
        graphics::Modifiers left;
        left.left = true;
        vorna.view().OnMouseDown((r.left + r.right) / 2, (r.top + r.bottom) / 2, left);
        vorna.view().OnMouseUp((r.left + r.right) / 2, (r.top + r.bottom) / 2, left);
    });
    EXPECT_TRUE(AudioRunsWhileTheUserWaits(vorna, user));
    menu.join();
    EXPECT_EQ(vorna.window().MenusShown(), 1);
}

TEST(EditorThreads, AHostClosingTheEditorDuringAWaitClosesItAtTheNextIdleCall) {
    ThreadedInstance vorna;
    WaitingUser user;
    vorna.window().SetUi(&user);
    std::thread dialog([&] {
        platform::ScopedLock lock(vorna.plugin().Mutex());
        vorna.view().Ui().ShowMessage(platform::MessageKind::Information, "text", "caption");
    });
    ASSERT_TRUE(user.WaitUntilWaiting());
    // The window is still in use by the waiting dialog: it stays until the wait is over.
    vorna.view().CloseWindow();
    EXPECT_TRUE(vorna.view().IsWindowOpen());
    vorna.view().Idle();
    EXPECT_TRUE(vorna.view().IsWindowOpen());
    user.Release();
    dialog.join();
    vorna.view().Idle();
    EXPECT_FALSE(vorna.view().IsWindowOpen());
}

TEST(EditorThreads, AHostDestroyingThePluginDuringAWaitCancelsItAndDestroysItAfterwards) {
    auto vorna = std::make_unique<ThreadedInstance>();
    WaitingUser user;
    user.chosenFile = "chosen.fxp";
    std::atomic<bool> cancelled{false};
    vorna->window().SetUi(&user);
    vorna->window().SetOnCancelWaits([&] {
        cancelled = true;
        user.Release();
    });
    graphics::Graphics& view = vorna->view();
    platform::RecursiveMutex& instanceMutex = vorna->plugin().Mutex();
    bool chosen = true;
    std::string path;
    // A file dialog asked from a window message of the OS on the editor thread.
    std::thread editor([&] {
        graphics::Graphics::WindowEvent event(view);
        platform::ScopedLock lock(instanceMutex);
        chosen = view.Ui().ChooseFile(platform::FileDialogRequest(), path);
    });
    ASSERT_TRUE(user.WaitUntilWaiting());
    // effClose from the host's other thread returns while the editor thread is still inside the
    // instance; the instance goes when the editor thread's event ends.
    vorna->Close();
    EXPECT_TRUE(cancelled) << "the close did not cancel the dialog";
    if (!cancelled) user.Release();
    editor.join();
    EXPECT_FALSE(chosen);
    EXPECT_TRUE(path.empty()) << "the cancelled dialog still answered " << path;
}

TEST(EditorThreads, MouseHandlingDoesNotRaceWithAutomation) {
    ThreadedInstance vorna;
    graphics::Control* volume = vorna.Find(engine::kMasterVolume);
    graphics::Control* speed = vorna.Find(engine::kLfoSpeed);
    ASSERT_NE(volume, nullptr);
    ASSERT_NE(speed, nullptr);
    const graphics::Rect v = volume->TargetRect(), s = speed->TargetRect();
    const int vx = (v.left + v.right) / 2, vy = (v.top + v.bottom) / 2;
    const int sx = (s.left + s.right) / 2, sy = (s.top + s.bottom) / 2;

    std::atomic<bool> stop{false};
    std::atomic<int> automated{0};
    // The host's automation (and a mapped controller, a received dump) set values meanwhile.
    std::thread automation([&] {
        for (int i = 0; !stop; ++i) {
            float x = static_cast<float>(i % 100) / 100.0f;
            vorna.SetParameter(engine::kMasterVolume, x);
            vorna.SetParameter(engine::kLfoSpeed, 1.0f - x);
            ++automated;
        }
    });
    graphics::Modifiers left;
    left.left = true;
    graphics::Modifiers none;
    for (int round = 0; round < 60; ++round) {
        vorna.view().OnMouseDown(vx, vy, left);
        for (int step = 1; step <= 5; ++step) vorna.view().OnMouseMove(vx, vy - 4 * step, left);
        vorna.view().OnMouseUp(vx, vy - 20, left);
        vorna.view().OnWheel(sx, sy, none, round % 2 ? 120 : -120);
        vorna.view().OnMouseMove(sx, sy, none);
        vorna.view().OnTimer();
    }
    stop = true;
    automation.join();
    EXPECT_GT(automated.load(), 0);
    // The last word is the host's: the knob shows the value the parameter holds.
    vorna.SetParameter(engine::kMasterVolume, 0.25f);
    EXPECT_NEAR(volume->Value(), 0.25, 1e-6);
    EXPECT_GT(hostCalls.load(), 0);
}

} // namespace
