// Our menus and dialogs at the editor's scale: laid out in editor units, shown and hit-tested in
// device pixels, so at 200 % every row is twice as tall and a click lands on the item drawn there.

#include "X11MenuTestSupport.h"

#include "graphics/PngCodec.h"
#include "graphics/Scale.h"
#include "window/x11/X11DialogMessageBox.h"
#include "window/x11/X11PopupMenu.h"

namespace x11menus_test {
namespace {

const bool kThreadsReady = XInitThreads() != 0;

using graphics::PopupMenu;
using platform::MessageAnswer;
using platform::MessageKind;

// Alpha 1, Beta (checked) 2, separator, Omega 3.
struct SmallMenu {
    PopupMenu menu;
    SmallMenu() {
        menu.AddItem("Alpha");
        menu.AddItem("Beta", PopupMenu::kChecked);
        menu.AddSeparator();
        menu.AddItem("Omega");
        menu.AssignIds(1);
    }
};

class ScaledMenuTest : public X11Fixture {
protected:
    platform::x11::WaitingEditor AtScale(int percent) {
        return platform::x11::WaitingEditor(forward, nullptr, [percent] { return percent; });
    }
    struct Shown {
        int id = -1;
        int width = 0, height = 0;
        graphics::Surface picture;
    };
    // Opens the menu at the scale, captures it, and clicks it at the height given in units.
    Shown TrackAndClick(int percent, int rowCentreUnits) {
        Shown shown;
        SmallMenu model;
        Driver driver;
        driver.Start([&](Driver& d) {
            Window menu = d.WaitForPopup();
            int left = 0, top = 0;
            if (!menu || !d.Geometry(menu, left, top, shown.width, shown.height)) return;
            shown.picture = d.Capture(menu);
            const int y = graphics::ScaleCoord(rowCentreUnits, percent);
            d.MoveTo(left + 40, top + y);
            d.Click(left + 40, top + y);
        });
        shown.id =
            platform::x11::TrackPopupMenu(display, owner, model.menu, 500, 300, AtScale(percent));
        driver.Finish();
        return shown;
    }
};

// The second row's centre: a one-unit frame, then 22-unit rows.
constexpr int kSecondRowCentre = 1 + 22 + 11;

TEST_F(ScaledMenuTest, AtTwoHundredPercentRowsAreTwiceAsTallAndTheClickHitsTheDrawnItem) {
    ASSERT_TRUE(kThreadsReady);
    Shown normal = TrackAndClick(100, kSecondRowCentre);
    Shown large = TrackAndClick(200, kSecondRowCentre);
    EXPECT_EQ(normal.id, 2);
    EXPECT_EQ(large.id, 2);
    // 1 + 22 + 22 + 9 + 22 + 1 units high.
    EXPECT_EQ(normal.height, 77);
    EXPECT_EQ(large.height, 2 * 77);
    EXPECT_EQ(large.width, 2 * normal.width);

    ASSERT_FALSE(large.picture.Empty());
    EXPECT_TRUE(graphics::SavePng(large.picture, "x11-popup-menu-200.png"));
    const int normalInk = DarkPixels(normal.picture);
    ASSERT_GT(normalInk, 60) << "no text in the menu at 100 %";
    // The text and the check mark cover about four times the area.
    EXPECT_GT(DarkPixels(large.picture), 3 * normalInk);
    // The frame is two pixels wide at 200 %.
    EXPECT_EQ(large.picture.Pixel(1, large.height / 2) & 0xFFFFFF, 0x787878u);
    EXPECT_EQ(large.picture.Pixel(2, large.height / 2) & 0xFFFFFF, 0xF2F2F2u);
}

TEST_F(ScaledMenuTest, TheDrawnMessageBoxGrowsWithTheScaleAndTakesClicksOnItsScaledButtons) {
    ASSERT_TRUE(kThreadsReady);
    // Clicks the button whose centre lies `fromRight` x 13 units in from the lower right corner.
    // Escape, which the driver sends when nothing happened, would answer No.
    auto show = [&](int percent, int fromRight, int& width, int& height) {
        Driver driver;
        graphics::Surface picture;
        driver.Start([&](Driver& d) {
            Window box = d.WaitForNamed("Scaled Question");
            int x = 0, y = 0;
            if (!box || !d.Geometry(box, x, y, width, height)) return;
            picture = d.Capture(box);
            d.Click(x + width - graphics::ScaleCoord(fromRight, percent),
                    y + height - graphics::ScaleCoord(20 + 13, percent));
        });
        MessageAnswer answer = MessageAnswer::Ok;
        EXPECT_TRUE(platform::x11::ShowDrawnMessageBox(
            display, owner, MessageKind::Question, "Replace the program?", "Scaled Question",
            platform::x11::WaitingEditor(forward, nullptr, [percent] { return percent; }), answer));
        driver.Finish();
        if (percent == 200) {
            EXPECT_TRUE(graphics::SavePng(picture, "x11-message-box-200.png"));
            EXPECT_GT(DarkPixels(picture), 300) << "no text";
        }
        return answer;
    };
    // Buttons of 84 x 26 units, 10 apart, 20 in from the edges: No rightmost, Yes beside it.
    constexpr int kNoCentre = 20 + 42, kYesCentre = 20 + 84 + 10 + 42;
    int width = 0, height = 0, largeWidth = 0, largeHeight = 0;
    EXPECT_EQ(show(100, kNoCentre, width, height), MessageAnswer::No);
    EXPECT_EQ(show(200, kYesCentre, largeWidth, largeHeight), MessageAnswer::Yes);
    ASSERT_GT(width, 0);
    EXPECT_EQ(largeWidth, 2 * width);
    EXPECT_EQ(largeHeight, 2 * height);
}

} // namespace
} // namespace x11menus_test
