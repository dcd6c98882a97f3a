// The editor embedded as a DAW on Linux embeds it: a 1x1 top-level of the host, effEditOpen with
// its id, then effEditGetRect and a resize, effEditIdle every 40 ms from an editor thread that
// is not the one that made the instance, and audio blocks on a third thread. What the window
// shows must be what the offscreen renderer draws for the same state.

#include "graphics/PngCodec.h"

#include "X11TestSupport.h"

#include <atomic>
#include <fstream>
#include <iterator>

using namespace x11_test;

// The offscreen render entry, linked in with the plug-in.
extern "C" int VornaRenderEditor(vst2::AEffect* effect, const char* pngPath);

namespace {

TEST(X11Embed, InTheHostsOrderTheWindowShowsWhatTheOffscreenRendererDraws) {
    VORNA_REQUIRE_DISPLAY();
    HostWindow host(1, 1);
    ASSERT_NE(host.display(), nullptr);
    Instance vorna;
    ASSERT_NE(vorna.Effect(), nullptr);
    EXPECT_TRUE(vorna.Effect()->flags & vst2::effFlagsHasEditor);

    // The rectangle is known before the editor opens.
    vst2::ERect* rect = nullptr;
    ASSERT_EQ(vorna.Dispatch(vst2::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 968);
    EXPECT_EQ(rect->bottom - rect->top, 640);

    std::atomic<bool> opened{false}, stop{false}, pause{false};
    std::atomic<int> idles{0}, blocks{0};
    std::atomic<int> width{0}, height{0};
    std::thread editorThread([&] {
        // The host passes its Display in value; the plug-in ignores it.
        opened = vorna.OpenOn(host.window(), host.display());
        if (!opened) return;
        vst2::ERect* after = nullptr;
        if (vorna.Dispatch(vst2::effEditGetRect, 0, 0, &after) == 1 && after) {
            width = after->right - after->left;
            height = after->bottom - after->top;
        }
        while (!stop) {
            if (!pause) {
                vorna.Idle();
                ++idles;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
        vorna.Dispatch(vst2::effEditClose);
    });
    std::thread audioThread([&] {
        while (!stop) {
            vorna.Process(256);
            ++blocks;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });

    // The host resizes its window to the rectangle once the editor is open.
    for (int i = 0; i < 200 && (!opened || width == 0) && idles == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    while (idles < 1 && opened) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(opened);
    host.Resize(width, height);
    while (idles < 8) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    pause = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    Window child = host.Child();
    ASSERT_NE(child, 0u);
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(host.display(), child, &attributes));
    EXPECT_EQ(attributes.x, 0);
    EXPECT_EQ(attributes.y, 0);
    ASSERT_EQ(attributes.width, 968);
    ASSERT_EQ(attributes.height, 640);
    EXPECT_EQ(attributes.map_state, IsViewable);

    graphics::Surface shown = host.Capture(child, 968, 640);
    ASSERT_FALSE(shown.Empty());
    EXPECT_TRUE(graphics::SavePng(shown, "x11-embedded-editor.png"));
    ASSERT_GT(CountNonBackground(shown), 968 * 640 / 2) << "the window shows no editor";

    ASSERT_EQ(VornaRenderEditor(vorna.Effect(), "x11-offscreen-editor.png"), 1);
    graphics::Surface expected;
    ASSERT_TRUE(LoadPngFile("x11-offscreen-editor.png", expected));
    ASSERT_EQ(expected.Width(), 968);
    ASSERT_GT(CountNonBackground(expected), 968 * 640 / 2);
    int different = 0;
    for (int y = 0; y < 640; ++y)
        for (int x = 0; x < 968; ++x)
            different += (shown.Pixel(x, y) & 0xFFFFFF) != (expected.Pixel(x, y) & 0xFFFFFF);
    EXPECT_EQ(different, 0);

    stop = true;
    editorThread.join();
    audioThread.join();
    EXPECT_GT(blocks.load(), 10);
}

TEST(X11Embed, AParentWithAnotherVisualGetsAChildOfItsVisualThatDrawsTheEditor) {
    VORNA_REQUIRE_DISPLAY();
    HostWindow host(1, 1);
    Display* d = host.display();
    ASSERT_NE(d, nullptr);
    XVisualInfo wanted{};
    if (!XMatchVisualInfo(d, DefaultScreen(d), 32, TrueColor, &wanted)) {
        // The test run's Xvfb offers one; a server without it is a broken CI set-up.
        if (x11_test::InCi()) FAIL() << "the X server offers no 32-bit visual under CI";
        GTEST_SKIP() << "the X server offers no 32-bit visual";
    }
    // A host window of the 32-bit visual, as compositing hosts create them.
    XSetWindowAttributes attributes{};
    attributes.colormap = XCreateColormap(d, DefaultRootWindow(d), wanted.visual, AllocNone);
    attributes.border_pixel = 0;
    attributes.background_pixel = 0;
    Window parent =
        XCreateWindow(d, DefaultRootWindow(d), 0, 0, 968, 640, 0, 32, InputOutput, wanted.visual,
                      CWColormap | CWBorderPixel | CWBackPixel, &attributes);
    XMapWindow(d, parent);
    XSync(d, False);
    {
        Instance vorna;
        ASSERT_TRUE(vorna.OpenOn(parent));
        vorna.PumpFor(150);
        Window root = 0, up = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(d, parent, &root, &up, &children, &count);
        ASSERT_EQ(count, 1u);
        Window child = children[0];
        XFree(children);
        XWindowAttributes a{};
        ASSERT_TRUE(XGetWindowAttributes(d, child, &a));
        EXPECT_EQ(a.depth, 32);
        EXPECT_EQ(a.visual, wanted.visual);
        graphics::Surface shown = host.Capture(child, 968, 640);
        EXPECT_GT(CountNonBackground(shown), 968 * 640 / 2);
        vorna.Dispatch(vst2::effEditClose);
    }
    XDestroyWindow(d, parent);
    XFreeColormap(d, attributes.colormap);
    XSync(d, False);
}

} // namespace
