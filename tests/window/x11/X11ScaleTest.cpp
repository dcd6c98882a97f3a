// The editor window at the editor's scale: opened at 200 % it is twice the size and shows what
// the offscreen renderer draws at 200 %; a knob dragged through the X server at its scaled place
// turns; a scale change while the window is open resizes it when the host agrees; and the
// desktop's scale comes from the X server's Xft.dpi resource, else GDK_SCALE, else 100.

#include "editor/ControlLayout.h"
#include "editor/FBKnobControl.h"
#include "editor/FBUtilityKick.h"
#include "engine/InstrumentParams.h"
#include "graphics/Scale.h"
#include "window/NativeWindows.h"

#include "X11TestSupport.h"

#include <X11/Xatom.h>

#include <optional>
#include <vector>

using namespace x11_test;

extern "C" int VornaRenderEditor(vst2::AEffect* effect, const char* pngPath);

namespace {

constexpr int kWidth = 968, kHeight = 640;

struct Size {
    int width = 0, height = 0;
};

Size SizeOf(Display* display, Window window) {
    XWindowAttributes attributes{};
    if (!window || !XGetWindowAttributes(display, window, &attributes)) return Size();
    return Size{attributes.width, attributes.height};
}

Size EditRect(Instance& vorna) {
    vst2::ERect* rect = nullptr;
    if (vorna.Dispatch(vst2::effEditGetRect, 0, 0, &rect) != 1 || !rect) return Size();
    return Size{rect->right - rect->left, rect->bottom - rect->top};
}

// The host's answer to resize requests for the length of a test.
class ScopedResizeAnswer {
public:
    explicit ScopedResizeAnswer(bool accept) { Recorder::Instance().AcceptResize(accept); }
    ~ScopedResizeAnswer() { Recorder::Instance().AcceptResize(false); }
};

// An editor opened at a scale in a host window of its size.
class ScaledEditor {
public:
    explicit ScaledEditor(int scale, bool followSystem = false)
        : host_(graphics::ScaleLength(kWidth, scale), graphics::ScaleLength(kHeight, scale)) {
        vorna_.Plugin().Settings().configurationPath = "x11-scale-test-vorn.ini";
        vorna_.View().SetFollowsSystemScale(followSystem);
        scaled_ = vorna_.View().SetScale(scale);
        // The picture is read back from the screen: the X server's screen must hold it all.
        Display* display = host_.display();
        fitsScreen_ =
            display &&
            DisplayWidth(display, DefaultScreen(display)) >= graphics::ScaleLength(kWidth, scale) &&
            DisplayHeight(display, DefaultScreen(display)) >= graphics::ScaleLength(kHeight, scale);
        EXPECT_TRUE(fitsScreen_) << "the X server's screen is smaller than the editor at " << scale
                                 << " % (start it with -screen 0 2560x1600x24)";
        opened_ = fitsScreen_ && vorna_.OpenOn(host_.window());
        if (opened_) vorna_.PumpFor(200);
    }
    ~ScaledEditor() {
        if (opened_) vorna_.Dispatch(vst2::effEditClose);
    }
    bool ready() const { return scaled_ && opened_; }
    Instance& vorna() { return vorna_; }
    HostWindow& host() { return host_; }
    Size WindowSize() { return SizeOf(host_.display(), host_.Child()); }
    graphics::Surface Capture() {
        const Size size = WindowSize();
        return host_.Capture(host_.Child(), size.width, size.height);
    }
    // The window's picture against the offscreen render of the same state: the count of pixels
    // that differ, after checking that both show an editor.
    int DifferencesFromOffscreen(const std::string& shownPng, const std::string& renderedPng) {
        const graphics::Surface shown = Capture();
        EXPECT_TRUE(graphics::SavePng(shown, shownPng));
        EXPECT_GT(CountNonBackground(shown), shown.Width() * shown.Height() / 2)
            << "the window shows no editor";
        graphics::Surface rendered;
        if (VornaRenderEditor(vorna_.Effect(), renderedPng.c_str()) != 1 ||
            !LoadPngFile(renderedPng, rendered))
            return -2;
        EXPECT_GT(CountNonBackground(rendered), rendered.Width() * rendered.Height() / 2);
        return CountDifferences(shown, rendered);
    }
    editor::FBKnobControl* Knob(int param) {
        editor::VornEditor& view = vorna_.View();
        for (int i = 0; i < view.ControlCount(); ++i) {
            auto* knob = dynamic_cast<editor::FBKnobControl*>(view.GetControl(i));
            if (knob && knob->ParamIndex() == param) return knob;
        }
        return nullptr;
    }

private:
    HostWindow host_;
    Instance vorna_;
    bool scaled_ = false;
    bool fitsScreen_ = false;
    bool opened_ = false;
};

TEST(X11Scale, AtTwoHundredPercentTheWindowIsTwiceAsLargeAndShowsTheOffscreenRender) {
    VORNA_REQUIRE_DISPLAY();
    ScaledEditor e(200);
    ASSERT_TRUE(e.ready());
    EXPECT_EQ(EditRect(e.vorna()).width, 2 * kWidth);
    EXPECT_EQ(EditRect(e.vorna()).height, 2 * kHeight);
    ASSERT_EQ(e.WindowSize().width, 1936);
    ASSERT_EQ(e.WindowSize().height, 1280);
    EXPECT_EQ(e.DifferencesFromOffscreen("x11-editor-200.png", "x11-offscreen-editor-200.png"), 0);
}

TEST(X11Scale, AtTwoHundredPercentADragOnTheVolumeKnobAtItsScaledPlaceTurnsIt) {
    VORNA_REQUIRE_DISPLAY();
    ScaledEditor e(200);
    ASSERT_TRUE(e.ready());
    editor::FBKnobControl* knob = e.Knob(engine::kMasterVolume);
    ASSERT_NE(knob, nullptr);
    const graphics::Rect place = graphics::ScaleRect(knob->TargetRect(), 200);
    const int x = (place.left + place.right) / 2, y = (place.top + place.bottom) / 2;
    // The knob's 100 % centre lies outside its 200 % rectangle: only the scaled place reaches it.
    ASSERT_FALSE(place.Contains(x / 2, y / 2));
    e.vorna().Effect()->setParameter(e.vorna().Effect(), engine::kMasterVolume, 0.5f);
    e.vorna().PumpFor(50);
    Recorder::Instance().Clear();

    e.host().MoveTo(x, y);
    e.vorna().PumpFor(30);
    e.host().Button(Button1, true);
    e.vorna().PumpFor(30);
    for (int step = 1; step <= 4; ++step) {
        e.host().MoveTo(x, y - 20 * step);
        e.vorna().PumpFor(30);
    }
    e.host().Button(Button1, false);
    e.vorna().PumpFor(60);

    EXPECT_GT(e.vorna().Effect()->getParameter(e.vorna().Effect(), engine::kMasterVolume), 0.5f);
    int automated = 0;
    for (auto& call : Recorder::Instance().Calls()) {
        if (call.first != vst2::audioMasterAutomate) continue;
        EXPECT_EQ(call.second, engine::kMasterVolume);
        ++automated;
    }
    EXPECT_GT(automated, 0);
}

// The mapped override-redirect windows on the root (the tooltip), with their sizes.
std::vector<Size> ShownPopups(Display* display) {
    std::vector<Size> shown;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes a{};
        if (XGetWindowAttributes(display, children[i], &a) && a.override_redirect &&
            a.map_state == IsViewable)
            shown.push_back(Size{a.width, a.height});
    }
    if (children) XFree(children);
    return shown;
}

TEST(X11Scale, AtTwoHundredPercentTheTooltipIsDrawnTwiceAsTall) {
    VORNA_REQUIRE_DISPLAY();
    ScaledEditor e(200);
    ASSERT_TRUE(e.ready());
    graphics::Control* send = nullptr;
    for (int i = 0; i < e.vorna().View().ControlCount() && !send; ++i) {
        graphics::Control* control = e.vorna().View().GetControl(i);
        if (control->ParamIndex() == editor::kIdSendToModule &&
            dynamic_cast<editor::FBUtilityKick*>(control))
            send = control;
    }
    ASSERT_NE(send, nullptr);
    const graphics::Rect place = graphics::ScaleRect(send->TargetRect(), 200);
    const int x = (place.left + place.right) / 2, y = (place.top + place.bottom) / 2;
    const std::size_t before = ShownPopups(e.host().display()).size();
    e.host().MoveTo(x - 2, y);
    e.vorna().PumpFor(30);
    e.host().MoveTo(x, y);
    // The tooltip comes once the pointer has rested; the editor's first pictures at a new size
    // are made meanwhile, which takes a while in the sanitizer builds.
    std::vector<Size> shown;
    for (int waited = 0; waited < 10000 && shown.size() != before + 1; waited += 50) {
        e.vorna().PumpFor(50);
        shown = ShownPopups(e.host().display());
    }
    ASSERT_EQ(shown.size(), before + 1) << "no tooltip";
    // 12-unit text with 4 units of padding above and below and a 2-unit frame: 22 units high.
    EXPECT_EQ(shown.back().height, 44);
    e.host().MoveTo(5, 1200);
    e.vorna().PumpFor(60);
}

TEST(X11Scale, AScaleChangeWhileOpenResizesTheWindowWhenTheHostAgrees) {
    VORNA_REQUIRE_DISPLAY();
    ScaledEditor e(100);
    ASSERT_TRUE(e.ready());
    ASSERT_EQ(e.WindowSize().width, kWidth);
    {
        ScopedResizeAnswer agree(true);
        Recorder::Instance().Clear();
        ASSERT_TRUE(e.vorna().View().SetScale(200));
    }
    // The host was asked for the new size, and follows it with its own window as hosts do.
    bool asked = false;
    for (auto& call : Recorder::Instance().Calls())
        asked = asked || (call.first == vst2::audioMasterSizeWindow && call.second == 1936);
    EXPECT_TRUE(asked);
    e.host().Resize(1936, 1280);
    e.vorna().PumpFor(200);
    EXPECT_EQ(e.WindowSize().width, 1936);
    EXPECT_EQ(e.WindowSize().height, 1280);
    EXPECT_EQ(EditRect(e.vorna()).width, 1936);
    EXPECT_EQ(e.DifferencesFromOffscreen("x11-editor-resized-200.png",
                                         "x11-offscreen-editor-resized-200.png"),
              0);

    // Back down, then a host that refuses: the window keeps its size.
    {
        ScopedResizeAnswer agree(true);
        ASSERT_TRUE(e.vorna().View().SetScale(100));
    }
    e.vorna().PumpFor(100);
    EXPECT_EQ(e.WindowSize().width, kWidth);
    EXPECT_FALSE(e.vorna().View().SetScale(150));
    e.vorna().PumpFor(100);
    EXPECT_EQ(e.WindowSize().width, kWidth);
    EXPECT_EQ(e.WindowSize().height, kHeight);
    EXPECT_EQ(e.vorna().View().ScalePercent(), 100);
    e.host().Resize(kWidth, kHeight);
    EXPECT_EQ(
        e.DifferencesFromOffscreen("x11-editor-back-100.png", "x11-offscreen-editor-back-100.png"),
        0);
}

// Sets the server's resource string (the root window's RESOURCE_MANAGER property) and an
// environment variable for the length of a test, and puts both back afterwards.
class ScopedDesktop {
public:
    ScopedDesktop() : display_(OpenTestDisplay()) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (display_ &&
            XGetWindowProperty(display_, DefaultRootWindow(display_), XA_RESOURCE_MANAGER, 0,
                               1 << 20, False, XA_STRING, &type, &format, &count, &after,
                               &data) == Success &&
            data) {
            savedResources_ = std::string(reinterpret_cast<char*>(data), count);
        }
        if (data) XFree(data);
        const char* gdk = std::getenv("GDK_SCALE");
        if (gdk) savedGdk_ = gdk;
        const char* name = std::getenv("DISPLAY");
        if (name) savedDisplay_ = name;
    }
    ~ScopedDesktop() {
        if (display_) {
            if (savedResources_)
                SetResources(*savedResources_);
            else
                XDeleteProperty(display_, DefaultRootWindow(display_), XA_RESOURCE_MANAGER);
            XSync(display_, False);
            XCloseDisplay(display_);
        }
        Restore("GDK_SCALE", savedGdk_);
        Restore("DISPLAY", savedDisplay_);
    }
    bool Ready() const { return display_ != nullptr; }
    void SetResources(const std::string& text) {
        XChangeProperty(display_, DefaultRootWindow(display_), XA_RESOURCE_MANAGER, XA_STRING, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(text.data()),
                        static_cast<int>(text.size()));
        XSync(display_, False);
    }
    void RemoveResources() {
        XDeleteProperty(display_, DefaultRootWindow(display_), XA_RESOURCE_MANAGER);
        XSync(display_, False);
    }

private:
    static void Restore(const char* name, const std::optional<std::string>& value) {
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    Display* display_;
    std::optional<std::string> savedResources_, savedGdk_, savedDisplay_;
};

double SystemScale() {
    return window::NativeWindows().systemScale(nullptr);
}

TEST(X11Scale, TheDesktopsScaleComesFromXftDpiThenGdkScaleThenIsOneHundred) {
    VORNA_REQUIRE_DISPLAY();
    ScopedDesktop desktop;
    ASSERT_TRUE(desktop.Ready());
    unsetenv("GDK_SCALE");
    desktop.SetResources("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n");
    EXPECT_DOUBLE_EQ(SystemScale(), 200.0);
    desktop.SetResources("Xft.dpi:\t144\n");
    setenv("GDK_SCALE", "2", 1);
    EXPECT_DOUBLE_EQ(SystemScale(), 150.0) << "Xft.dpi comes before GDK_SCALE";
    desktop.SetResources("Xft.dpi:\tlarge\n");
    EXPECT_DOUBLE_EQ(SystemScale(), 200.0);
    desktop.RemoveResources();
    EXPECT_DOUBLE_EQ(SystemScale(), 200.0);
    setenv("GDK_SCALE", "-1", 1);
    EXPECT_DOUBLE_EQ(SystemScale(), 100.0);
    unsetenv("GDK_SCALE");
    desktop.SetResources("Xft.dpi:\t0\n");
    EXPECT_DOUBLE_EQ(SystemScale(), 100.0);
    // No server to ask: only the environment counts.
    setenv("DISPLAY", ":987", 1);
    EXPECT_DOUBLE_EQ(SystemScale(), 100.0);
    setenv("GDK_SCALE", "2", 1);
    EXPECT_DOUBLE_EQ(SystemScale(), 200.0);
}

TEST(X11Scale, AnEditorThatFollowsTheDesktopOpensAtItsScale) {
    VORNA_REQUIRE_DISPLAY();
    ScopedDesktop desktop;
    ASSERT_TRUE(desktop.Ready());
    unsetenv("GDK_SCALE");
    desktop.SetResources("Xft.dpi:\t192\n");
    ScaledEditor e(100, true);
    ASSERT_TRUE(e.ready());
    EXPECT_EQ(e.vorna().View().ScalePercent(), 200);
    EXPECT_EQ(e.WindowSize().width, 1936);
    EXPECT_EQ(e.WindowSize().height, 1280);
}

} // namespace
