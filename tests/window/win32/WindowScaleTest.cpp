// The Win32 editor window at the editor's scale, with the plug-in linked into this program so that
// the test can set the scale: opened at 200 % it is twice the size and shows the offscreen render
// at 200 %; a knob dragged with window messages at its scaled place turns; the text entry's font
// is scaled; a scale change while open resizes the window when the host agrees; and the system's
// scale is the DPI of the monitor, 96 dpi being 100 %.

#include "WindowHost.h"

#include "editor/ControlLayout.h"
#include "editor/FBKnobControl.h"
#include "editor/FBPresetName.h"
#include "editor/VornEditor.h"
#include "engine/InstrumentParams.h"
#include "graphics/PngCodec.h"
#include "graphics/Scale.h"
#include "vorn/Vorn.h"
#include "vst2/Vst2Adapter.h"
#include "vst2/VstEntry.h"
#include "window/NativeWindows.h"
#include "window/win32/Win32SystemScale.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

// The offscreen render entry, linked in with the plug-in.
extern "C" int VornaRenderEditor(vst2::AEffect* effect, const char* pngPath);

namespace window_test {
namespace {

constexpr int kWidth = 968, kHeight = 640;

// The host side: what the plug-in asked for, and whether a frame resize is granted (the frame
// then takes the size, as a host's does).
struct HostState {
    bool acceptResize = false;
    HWND frame = nullptr;
    std::vector<std::pair<vst2::Int32, vst2::Int32>> calls;
};
HostState& Host() {
    static HostState state;
    return state;
}

vst2::IntPtr VORNA_VSTCALL HostCallback(vst2::AEffect*, vst2::Int32 opcode, vst2::Int32 index,
                                        vst2::IntPtr value, void*, float) {
    Host().calls.emplace_back(opcode, index);
    if (opcode == vst2::audioMasterVersion) return 2400;
    if (opcode == vst2::audioMasterSizeWindow) {
        if (!Host().acceptResize || !Host().frame) return 0;
        RECT outer = {0, 0, index, static_cast<LONG>(value)};
        AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
        SetWindowPos(Host().frame, nullptr, 0, 0, outer.right - outer.left,
                     outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 1;
    }
    return 0;
}

struct Size {
    int width = 0, height = 0;
};

class WindowScale : public ::testing::Test {
protected:
    void SetUp() override {
        VORNA_REQUIRE_WINDOW_DISPLAY();
        Host() = HostState();
        effect_ = VSTPluginMain(&HostCallback);
        ASSERT_NE(effect_, nullptr);
        Dispatch(vst2::effOpen);
        Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
        Dispatch(vst2::effSetBlockSize, 0, 512);
        Dispatch(vst2::effMainsChanged, 0, 1);
    }
    void TearDown() override {
        if (!effect_) return;
        Dispatch(vst2::effEditClose);
        Dispatch(vst2::effClose);
        if (frame_ && IsWindow(frame_)) DestroyWindow(frame_);
        Pump(20);
    }
    vst2::IntPtr Dispatch(vst2::Int32 opcode, vst2::Int32 index = 0, vst2::IntPtr value = 0,
                          void* data = nullptr, float opt = 0.0f) {
        return effect_->dispatcher(effect_, opcode, index, value, data, opt);
    }
    editor::VornEditor& View() {
        return *static_cast<vorn::Vorn*>(vst2::Adapter::CoreOf(effect_))->EditorView();
    }
    // Sets the scale, then opens the editor in a frame of the editor's size.
    bool OpenAt(int scale) {
        // As a size the user picked: the opening does not take the system's instead.
        View().SetFollowsSystemScale(false);
        if (!View().SetScale(scale)) return false;
        frame_ = CreateFrame(graphics::ScaleLength(kWidth, scale),
                             graphics::ScaleLength(kHeight, scale));
        Host().frame = frame_;
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
        if (Dispatch(vst2::effEditOpen, 0, 0, frame_) != 1 || !Editor()) return false;
        Pump(300);
        return true;
    }
    HWND Editor() const {
        return frame_ ? FindWindowExW(frame_, nullptr, L"VornaWndClass", L"Vorna") : nullptr;
    }
    Size ClientSize() const {
        RECT client = {};
        if (!GetClientRect(Editor(), &client)) return Size();
        return Size{client.right, client.bottom};
    }
    void Post(UINT message, WPARAM keys, int x, int y) {
        PostMessageW(Editor(), message, keys, MAKELPARAM(x, y));
        Pump(30);
    }
    // The window's pixels against the offscreen render at the editor's scale.
    std::string CompareWithOffscreen(const std::string& shownPng, const std::string& renderedPng) {
        const graphics::Surface shown = CaptureWindow(Editor());
        EXPECT_TRUE(graphics::SavePng(shown, shownPng));
        // There is a picture: many colours, not one background fill.
        int differing = 0;
        for (std::uint32_t pixel : shown.Pixels()) differing += pixel != shown.Pixel(0, 0);
        EXPECT_GT(differing, shown.Width() * shown.Height() / 4) << "the window shows no editor";
        if (VornaRenderEditor(effect_, renderedPng.c_str()) != 1) return "no offscreen render";
        std::ifstream file(renderedPng, std::ios::binary);
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                         std::istreambuf_iterator<char>());
        graphics::Surface rendered;
        if (!graphics::DecodePng(bytes.data(), bytes.size(), rendered)) return "unreadable render";
        return Mismatches(shown, rendered);
    }
    template <class T> T* Find(int param) {
        for (int i = 0; i < View().ControlCount(); ++i) {
            T* control = dynamic_cast<T*>(View().GetControl(i));
            if (control && control->ParamIndex() == param) return control;
        }
        return nullptr;
    }

    vst2::AEffect* effect_ = nullptr;
    HWND frame_ = nullptr;
};

TEST_F(WindowScale, AtTwoHundredPercentTheWindowIsTwiceAsLargeAndShowsTheOffscreenRender) {
    ASSERT_TRUE(OpenAt(200));
    vst2::ERect* rect = nullptr;
    ASSERT_EQ(Dispatch(vst2::effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 1936);
    EXPECT_EQ(rect->bottom - rect->top, 1280);
    ASSERT_EQ(ClientSize().width, 1936);
    ASSERT_EQ(ClientSize().height, 1280);
    EXPECT_EQ(CompareWithOffscreen("window-capture-200.png", "window-offscreen-200.png"), "");
}

TEST_F(WindowScale, AtTwoHundredPercentADragOnTheVolumeKnobAtItsScaledPlaceTurnsIt) {
    ASSERT_TRUE(OpenAt(200));
    auto* knob = Find<editor::FBKnobControl>(engine::kMasterVolume);
    ASSERT_NE(knob, nullptr);
    const graphics::Rect place = graphics::ScaleRect(knob->TargetRect(), 200);
    const int x = (place.left + place.right) / 2, y = (place.top + place.bottom) / 2;
    // The knob's 100 % centre lies outside its 200 % rectangle: only the scaled place reaches it.
    ASSERT_FALSE(place.Contains(x / 2, y / 2));
    effect_->setParameter(effect_, engine::kMasterVolume, 0.5f);
    Pump(50);
    Host().calls.clear();
    Post(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    for (int step = 1; step <= 4; ++step) Post(WM_MOUSEMOVE, MK_LBUTTON, x, y - 20 * step);
    Post(WM_LBUTTONUP, 0, x, y - 80);
    Pump(60);
    EXPECT_GT(effect_->getParameter(effect_, engine::kMasterVolume), 0.5f);
    int automated = 0;
    for (auto& call : Host().calls) {
        if (call.first != vst2::audioMasterAutomate) continue;
        EXPECT_EQ(call.second, engine::kMasterVolume);
        ++automated;
    }
    EXPECT_GT(automated, 0);
}

TEST_F(WindowScale, AtTwoHundredPercentTheTextEntryCoversTheScaledNameInAScaledFont) {
    ASSERT_TRUE(OpenAt(200));
    auto* name = Find<editor::FBPresetName>(editor::kNoId);
    ASSERT_NE(name, nullptr);
    const graphics::Rect place = graphics::ScaleRect(name->TargetRect(), 200);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, (place.left + place.right) / 2,
         (place.top + place.bottom) / 2);
    Post(WM_LBUTTONUP, 0, (place.left + place.right) / 2, (place.top + place.bottom) / 2);
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] { return (box = FindWindowExW(Editor(), nullptr, L"Edit", nullptr)) != nullptr; },
        1000));
    RECT rect = {};
    GetWindowRect(box, &rect);
    MapWindowPoints(nullptr, Editor(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, place.left);
    EXPECT_EQ(rect.top, place.top);
    EXPECT_EQ(rect.right, place.right);
    EXPECT_EQ(rect.bottom, place.bottom);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW look = {};
    ASSERT_GT(GetObjectW(font, sizeof look, &look), 0);
    EXPECT_EQ(look.lfHeight, -2 * name->EntryStyle().size);
    PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(PumpUntil(
        [&] { return FindWindowExW(Editor(), nullptr, L"Edit", nullptr) == nullptr; }, 1000));
}

TEST_F(WindowScale, AScaleChangeWhileOpenResizesTheWindowWhenTheHostAgrees) {
    ASSERT_TRUE(OpenAt(100));
    ASSERT_EQ(ClientSize().width, kWidth);
    Host().acceptResize = true;
    ASSERT_TRUE(View().SetScale(200));
    Pump(300);
    EXPECT_EQ(ClientSize().width, 1936);
    EXPECT_EQ(ClientSize().height, 1280);
    EXPECT_EQ(CompareWithOffscreen("window-resized-200.png", "window-offscreen-resized-200.png"),
              "");

    // A host that refuses: the window keeps its size and its picture.
    Host().acceptResize = false;
    EXPECT_FALSE(View().SetScale(150));
    Pump(100);
    EXPECT_EQ(ClientSize().width, 1936);
    EXPECT_EQ(ClientSize().height, 1280);
    EXPECT_EQ(View().ScalePercent(), 200);
}

TEST_F(WindowScale, TheSystemsScaleIsTheMonitorsDpiAndBadWindowsFallBack) {
    EXPECT_DOUBLE_EQ(platform::win32::PercentOfDpi(96), 100.0);
    EXPECT_DOUBLE_EQ(platform::win32::PercentOfDpi(120), 125.0);
    EXPECT_DOUBLE_EQ(platform::win32::PercentOfDpi(144), 150.0);
    EXPECT_DOUBLE_EQ(platform::win32::PercentOfDpi(192), 200.0);
    EXPECT_EQ(platform::win32::PercentOfDpi(0), 0.0);
    EXPECT_EQ(platform::win32::PercentOfDpi(100000), 0.0);

    // The screen's DPI as this process sees it: every way of asking gives the same answer.
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    const double expected = GetDeviceCaps(screen, LOGPIXELSX) * 100.0 / 96.0;
    ReleaseDC(nullptr, screen);
    frame_ = CreateFrame(300, 200);
    const auto systemScale = window::NativeWindows().systemScale;
    EXPECT_DOUBLE_EQ(systemScale(frame_), expected);
    EXPECT_DOUBLE_EQ(systemScale(nullptr), expected);
    // A child's monitor is its top-level's; a handle that names no window counts as none.
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, frame_,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_DOUBLE_EQ(systemScale(child), expected);
    DestroyWindow(child);
    EXPECT_DOUBLE_EQ(systemScale(child), expected);
    EXPECT_DOUBLE_EQ(systemScale(reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x7FFF0))),
                     expected);
}

} // namespace
} // namespace window_test
