// The pop-up menu drawn in its own override-redirect window, driven with synthetic input: mouse
// choice, keyboard navigation through a submenu, dismissal, items that cannot be chosen, placement
// at the screen's edges, and the pixels it draws.

#include "X11MenuTestSupport.h"

#include "graphics/PngCodec.h"
#include "graphics/PopupMenu.h"
#include "window/x11/X11PopupMenu.h"

namespace x11menus_test {
namespace {

// Xlib is used from the driver's thread too.
const bool kThreadsReady = XInitThreads() != 0;

using graphics::PopupMenu;

// Alpha 1, Beta (checked) 2, separator 3, Gamma (disabled) 4, More 5 > {Sub One 6, Sub Two 7},
// Omega 8.
struct TestMenu {
    PopupMenu menu;
    TestMenu() {
        menu.AddItem("Alpha");
        menu.AddItem("Beta", PopupMenu::kChecked);
        menu.AddSeparator();
        menu.AddItem("Gamma", PopupMenu::kDisabled);
        PopupMenu& more = menu.AddSubmenu("More");
        more.AddItem("Sub One");
        more.AddItem("Sub Two");
        menu.AddItem("Omega");
        menu.AssignIds(1);
    }
};

// Vertical centres of the items inside the menu window: 22-pixel rows, a 9-pixel separator,
// a one-pixel frame.
constexpr int kAlphaY = 12, kBetaY = 34, kSeparatorY = 49, kGammaY = 65, kMoreY = 87, kOmegaY = 109;

class PopupMenuTest : public X11Fixture {
protected:
    int Track(Driver& driver, int x, int y) {
        TestMenu model;
        int id = platform::x11::TrackPopupMenu(display, owner, model.menu, x, y, forward);
        driver.Finish();
        return id;
    }
};

TEST_F(PopupMenuTest, ClickChoosesAndKeyboardReachesTheSubmenu) {
    ASSERT_TRUE(kThreadsReady);
    {
        Driver driver;
        int left = 0, top = 0, w = 0, h = 0;
        driver.Start([&](Driver& d) {
            Window menu = d.WaitForPopup();
            if (!menu || !d.Geometry(menu, left, top, w, h)) return;
            d.MoveTo(left + 30, top + kAlphaY);
            d.Click(left + 30, top + kBetaY);
        });
        EXPECT_EQ(Track(driver, 400, 300), 2);
        EXPECT_EQ(left, 400);
        EXPECT_EQ(top, 300);
    }
    {
        // Down x4 lands on "More" (the separator is skipped, the disabled item is not), Right
        // opens the submenu on its first item, Down and Enter choose its second.
        Driver driver;
        driver.Start([](Driver& d) {
            if (!d.WaitForPopup()) return;
            for (int i = 0; i < 4; ++i) d.Key(XK_Down);
            d.Key(XK_Right);
            Window sub = d.WaitForPopup();
            if (!sub) return;
            d.Key(XK_Down);
            d.Key(XK_Return);
        });
        EXPECT_EQ(Track(driver, 400, 300), 7);
    }
    {
        // The mouse opens the submenu by hovering; it opens to the right of the menu.
        Driver driver;
        int menuLeft = 0, menuTop = 0, menuW = 0, menuH = 0, subLeft = 0, subTop = 0, subW = 0,
            subH = 0;
        driver.Start([&](Driver& d) {
            Window menu = d.WaitForPopup();
            if (!menu || !d.Geometry(menu, menuLeft, menuTop, menuW, menuH)) return;
            d.MoveTo(menuLeft + 30, menuTop + kMoreY);
            Window sub = 0;
            for (int i = 0; i < 50 && !sub; ++i) {
                Window w = d.WaitForPopup(100);
                if (w && w != menu) sub = w;
            }
            if (!sub || !d.Geometry(sub, subLeft, subTop, subW, subH)) return;
            d.MoveTo(subLeft + 20, subTop + kAlphaY);
            d.Click(subLeft + 20, subTop + kAlphaY);
        });
        EXPECT_EQ(Track(driver, 100, 300), 6);
        EXPECT_GE(subLeft, menuLeft + menuW - 4);
        EXPECT_NEAR(subTop, menuTop + kMoreY - 11, 2);
    }
}

TEST_F(PopupMenuTest, EscapeClickOutsideAndUnchoosableItemsGiveNothing) {
    {
        Driver driver;
        driver.Start([](Driver& d) {
            if (d.WaitForPopup()) d.Key(XK_Escape);
        });
        EXPECT_EQ(Track(driver, 400, 300), 0);
    }
    {
        Driver driver;
        driver.Start([](Driver& d) {
            if (d.WaitForPopup()) d.Click(1000, 900);
        });
        EXPECT_EQ(Track(driver, 400, 300), 0);
    }
    {
        // Clicks on the disabled item and on the separator and Enter on the disabled item do
        // nothing; the menu stays open until Escape.
        Driver driver;
        std::atomic<bool> stillOpen{false};
        driver.Start([&](Driver& d) {
            Window menu = d.WaitForPopup();
            int left = 0, top = 0, w = 0, h = 0;
            if (!menu || !d.Geometry(menu, left, top, w, h)) return;
            d.Click(left + 30, top + kGammaY);
            d.Click(left + 30, top + kSeparatorY);
            for (int i = 0; i < 3; ++i) d.Key(XK_Down); // Alpha, Beta, Gamma
            d.Key(XK_Return);
            XWindowAttributes a;
            stillOpen = XGetWindowAttributes(d.Connection(), menu, &a) && a.map_state == IsViewable;
            d.Key(XK_Escape);
        });
        EXPECT_EQ(Track(driver, 400, 300), 0);
        EXPECT_TRUE(stillOpen);
    }
}

TEST_F(PopupMenuTest, StaysOnTheScreenAtItsEdges) {
    int screenW = DisplayWidth(display, DefaultScreen(display));
    int screenH = DisplayHeight(display, DefaultScreen(display));
    Driver driver;
    int left = 0, top = 0, w = 0, h = 0, subLeft = 0, subTop = 0, subW = 0, subH = 0;
    driver.Start([&](Driver& d) {
        Window menu = d.WaitForPopup();
        if (!menu || !d.Geometry(menu, left, top, w, h)) return;
        // Keyboard into the submenu, which has no room to the right either.
        for (int i = 0; i < 4; ++i) d.Key(XK_Down);
        d.Key(XK_Right);
        Window sub = 0;
        for (int i = 0; i < 50 && !sub; ++i) {
            Window candidate = d.WaitForPopup(100);
            if (candidate && candidate != menu) sub = candidate;
        }
        if (sub) d.Geometry(sub, subLeft, subTop, subW, subH);
        d.Key(XK_Escape);
        d.Key(XK_Escape);
    });
    EXPECT_EQ(Track(driver, screenW - 5, screenH - 5), 0);
    ASSERT_GT(w, 0);
    // Flipped left and up: the menu ends where the pointer was.
    EXPECT_EQ(left, screenW - 5 - w);
    EXPECT_EQ(top, screenH - 5 - h);
    ASSERT_GT(subW, 0) << "the submenu did not open";
    EXPECT_LE(subLeft + subW, left + 4);
    EXPECT_LE(subTop + subH, screenH);
}

TEST_F(PopupMenuTest, DrawsTextCheckMarkAndHighlight) {
    Driver driver;
    graphics::Surface picture;
    driver.Start([&](Driver& d) {
        Window menu = d.WaitForPopup();
        int left = 0, top = 0, w = 0, h = 0;
        if (!menu || !d.Geometry(menu, left, top, w, h)) return;
        d.MoveTo(left + 30, top + kOmegaY); // highlight the last item
        Pause(100);
        picture = d.Capture(menu);
        d.Key(XK_Escape);
    });
    EXPECT_EQ(Track(driver, 400, 300), 0);
    ASSERT_FALSE(picture.Empty());
    EXPECT_TRUE(graphics::SavePng(picture, "x11-popup-menu.png"));
    EXPECT_GT(DarkPixels(picture), 80) << "no text drawn";
    // The highlight bar spans the last row; the check mark sits in the gutter of the second.
    int highlight = PixelsOf(picture, 0x306EC8);
    EXPECT_GT(highlight, (picture.Width() - 4) * 15);
    int checkInk = 0;
    for (int y = kBetaY - 8; y < kBetaY + 8; ++y) {
        for (int x = 2; x < 22; ++x) checkInk += (picture.Pixel(x, y) & 0xFF) < 80;
    }
    EXPECT_GT(checkInk, 10) << "no check mark beside the checked item";
    int alphaGutter = 0;
    for (int y = kAlphaY - 8; y < kAlphaY + 8; ++y) {
        for (int x = 2; x < 22; ++x) alphaGutter += (picture.Pixel(x, y) & 0xFF) < 80;
    }
    EXPECT_EQ(alphaGutter, 0) << "a check mark beside an unchecked item";
}

TEST_F(PopupMenuTest, MenuTallerThanTheScreenContinuesInColumns) {
    const int screenH = DisplayHeight(display, DefaultScreen(display));
    PopupMenu tall;
    for (int i = 1; i <= 100; ++i) tall.AddItem("Item " + std::to_string(i));
    tall.AssignIds(1);
    const int rowsPerColumn = (screenH - 2) / 22;
    const int columns = (100 + rowsPerColumn - 1) / rowsPerColumn;
    Driver driver;
    int left = 0, top = 0, w = 0, h = 0;
    driver.Start([&](Driver& d) {
        Window menu = d.WaitForPopup();
        if (!menu || !d.Geometry(menu, left, top, w, h)) return;
        // The fifth item of the second column.
        int columnWidth = (w - 2) / columns;
        d.MoveTo(left + 1 + columnWidth + 30, top + 1 + 4 * 22 + 11);
        d.Click(left + 1 + columnWidth + 30, top + 1 + 4 * 22 + 11);
    });
    int id = platform::x11::TrackPopupMenu(display, owner, tall, 100, 100, forward);
    driver.Finish();
    EXPECT_EQ(id, rowsPerColumn + 5);
    EXPECT_LE(top + h, screenH);
    EXPECT_GE(columns, 2);
}

TEST_F(PopupMenuTest, TakesTheVisualOfADeepOwner) {
    XVisualInfo info;
    if (!XMatchVisualInfo(display, DefaultScreen(display), 32, TrueColor, &info)) {
        if (InCi()) FAIL() << "the X server has no 32-bit TrueColor visual";
        GTEST_SKIP() << "the X server has no 32-bit TrueColor visual";
    }
    XSetWindowAttributes attributes{};
    attributes.colormap =
        XCreateColormap(display, DefaultRootWindow(display), info.visual, AllocNone);
    attributes.border_pixel = 0;
    attributes.background_pixel = 0;
    Window deep =
        XCreateWindow(display, DefaultRootWindow(display), 0, 300, 200, 100, 0, 32, InputOutput,
                      info.visual, CWColormap | CWBorderPixel | CWBackPixel, &attributes);
    XMapWindow(display, deep);
    XSync(display, False);
    Driver driver;
    int depth = 0;
    graphics::Surface picture;
    driver.Start([&](Driver& d) {
        Window menu = d.WaitForPopup();
        int left = 0, top = 0, w = 0, h = 0;
        if (!menu || !d.Geometry(menu, left, top, w, h)) return;
        XWindowAttributes a;
        if (XGetWindowAttributes(d.Connection(), menu, &a)) depth = a.depth;
        picture = d.Capture(menu);
        d.Click(left + 30, top + kOmegaY);
    });
    TestMenu model;
    EXPECT_EQ(platform::x11::TrackPopupMenu(display, deep, model.menu, 400, 300, forward), 8);
    driver.Finish();
    EXPECT_EQ(depth, 32);
    EXPECT_GT(DarkPixels(picture), 80);
    XDestroyWindow(display, deep);
    XFreeColormap(display, attributes.colormap);
}

} // namespace
} // namespace x11menus_test
