// The self-drawn text entry's editing: selection at the start, caret movement, deletion and the
// length limit, and UTF-8 text that is never cut inside a character.

#include "window/x11/X11TextEntry.h"

#include <gtest/gtest.h>

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

} // namespace
