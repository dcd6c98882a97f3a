// The self-drawn text entry's editing: selection at the start, caret movement, deletion and the
// length limit, and UTF-8 text that is never cut inside a character.

#include "window/x11/X11TextEntry.h"

#include <gtest/gtest.h>

#include <algorithm>

using platform::x11::X11TextEntry;

namespace {

X11TextEntry OpenWith(const std::string& text, int length) {
    graphics::TextEntryRequest request;
    request.rect = graphics::Rect(0, 0, 80, 20);
    request.text = text;
    request.maxLength = length;
    X11TextEntry entry;
    entry.Open(request);
    return entry;
}

TEST(X11TextEntry, StartsAllSelectedSoThatTypingOrDeletingReplacesTheText) {
    X11TextEntry typed = OpenWith("Piano", 7);
    EXPECT_TRUE(typed.Insert('O'));
    EXPECT_EQ(typed.Text(), "O");

    X11TextEntry deleted = OpenWith("Piano", 7);
    deleted.Press(X11TextEntry::Key::Backspace);
    EXPECT_EQ(deleted.Text(), "");

    // A moving key only ends the selection.
    X11TextEntry moved = OpenWith("Piano", 7);
    moved.Press(X11TextEntry::Key::Home);
    moved.Insert('E');
    EXPECT_EQ(moved.Text(), "EPiano");
}

TEST(X11TextEntry, CaretKeysAndDeletionEditWhereTheCaretIs) {
    X11TextEntry entry = OpenWith("abcd", 10);
    entry.Press(X11TextEntry::Key::End);
    entry.Press(X11TextEntry::Key::Left);
    entry.Press(X11TextEntry::Key::Backspace); // removes c
    EXPECT_EQ(entry.Text(), "abd");
    entry.Press(X11TextEntry::Key::Home);
    entry.Press(X11TextEntry::Key::Delete); // removes a
    entry.Press(X11TextEntry::Key::Right);
    entry.Insert('X');
    EXPECT_EQ(entry.Text(), "bXd");
    // Control characters are not text.
    EXPECT_FALSE(entry.Insert(9));
    EXPECT_EQ(entry.Text(), "bXd");
}

TEST(X11TextEntry, TheLengthLimitCountsCharactersNotBytes) {
    X11TextEntry entry = OpenWith("", 3);
    EXPECT_TRUE(entry.Insert(0xE9));   // é, two bytes
    EXPECT_TRUE(entry.Insert(0x20AC)); // €, three bytes
    EXPECT_TRUE(entry.Insert('a'));
    EXPECT_FALSE(entry.Insert('b'));
    EXPECT_EQ(entry.Text(), "\xC3\xA9\xE2\x82\xAC"
                            "a");
    // Backspace and the arrows step over whole characters.
    entry.Press(X11TextEntry::Key::Left);
    entry.Press(X11TextEntry::Key::Backspace);
    EXPECT_EQ(entry.Text(), "\xC3\xA9"
                            "a");
    entry.Press(X11TextEntry::Key::Home);
    entry.Press(X11TextEntry::Key::Delete);
    EXPECT_EQ(entry.Text(), "a");
}

TEST(X11TextEntry, AStartTextCutInsideACharacterLosesThePiece) {
    X11TextEntry entry = OpenWith("ab\xE2\x82", 7);
    EXPECT_EQ(entry.Text(), "ab");
}

TEST(X11TextEntry, TheRenderedEntryShowsTextInTheEntryColours) {
    X11TextEntry entry = OpenWith("Organ", 7);
    entry.Press(X11TextEntry::Key::End);
    graphics::Surface picture;
    entry.Render(picture);
    ASSERT_EQ(picture.Width(), 80);
    ASSERT_EQ(picture.Height(), 20);
    int text = 0, background = 0;
    for (std::uint32_t pixel : picture.Pixels()) {
        if (pixel == 0xFFFFFFFFu)
            ++background;
        else
            ++text;
    }
    EXPECT_GT(background, 80 * 20 / 2);
    EXPECT_GT(text, 20);
}

// The box of non-background pixels of a picture: its width and height.
struct Ink {
    int width = 0, height = 0;
};
Ink InkOf(const graphics::Surface& picture) {
    int left = picture.Width(), top = picture.Height(), right = -1, bottom = -1;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (picture.Pixel(x, y) != 0xFFFFFFFFu) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return right < 0 ? Ink() : Ink{right - left + 1, bottom - top + 1};
}

graphics::Surface RenderAt(int scale, const graphics::Rect& rect) {
    graphics::TextEntryRequest request;
    request.rect = rect;
    request.text = "Organ";
    request.maxLength = 7;
    request.scale = scale;
    X11TextEntry entry;
    entry.Open(request);
    entry.Press(X11TextEntry::Key::End);
    graphics::Surface picture;
    entry.Render(picture);
    return picture;
}

TEST(X11TextEntry, AtTheEditorsScaleTheTextAndCaretGrowInsideTheGivenBox) {
    const graphics::Surface normal = RenderAt(100, graphics::Rect(0, 0, 80, 20));
    const graphics::Surface large = RenderAt(200, graphics::Rect(300, 100, 460, 140));
    // The box is the request's device rectangle, wherever it lies.
    ASSERT_EQ(large.Width(), 160);
    ASSERT_EQ(large.Height(), 40);
    const Ink small = InkOf(normal), big = InkOf(large);
    ASSERT_GT(small.width, 10) << "no text at 100 %";
    EXPECT_NEAR(big.width, 2 * small.width, 3);
    EXPECT_NEAR(big.height, 2 * small.height, 3);
}

TEST(X11TextEntry, AScaleThatIsNoOfferedSizeDrawsAtOneHundredPercent) {
    const graphics::Surface normal = RenderAt(100, graphics::Rect(0, 0, 80, 20));
    ASSERT_GT(InkOf(normal).width, 10);
    for (int odd : {0, -200, 133, 100000}) {
        const graphics::Surface picture = RenderAt(odd, graphics::Rect(0, 0, 80, 20));
        EXPECT_EQ(picture.Pixels(), normal.Pixels()) << odd;
    }
}

} // namespace
