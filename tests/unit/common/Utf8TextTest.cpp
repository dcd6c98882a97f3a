#include "common/Utf8Text.h"

#include <gtest/gtest.h>

using common::CutUtf8;
using common::Utf8CharLength;

namespace {

std::size_t LengthAt(const std::string& text, std::size_t position) {
    return Utf8CharLength(text.data(), text.size(), position);
}

} // namespace

TEST(Utf8Text, ValidCharactersAndBytesOfOtherEncodings) {
    const std::string text = "a\xC3\xBB\xE2\x82\xAC\xF0\x9F\x8E\xB9"; // a, û, €, a four-byte one
    EXPECT_EQ(LengthAt(text, 0), 1u);
    EXPECT_EQ(LengthAt(text, 1), 2u);
    EXPECT_EQ(LengthAt(text, 2), 0u); // a continuation byte starts nothing
    EXPECT_EQ(LengthAt(text, 3), 3u);
    EXPECT_EQ(LengthAt(text, 6), 4u);
    EXPECT_EQ(common::Utf8CodePoint(text.data(), text.size(), 1), 0xFBu);
    EXPECT_EQ(common::Utf8CodePoint(text.data(), text.size(), 3), 0x20ACu);
    EXPECT_EQ(common::Utf8CodePoint(text.data(), text.size(), 6), 0x1F3B9u);
    // Overlong forms, surrogates, values past U+10FFFF and sequences cut short are not characters.
    for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                            "\xF8\x88\x80\x80", "\xE2\x82", "\xFB"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(LengthAt(bad, 0), 0u);
    }
}

TEST(Utf8Text, CutsStopBeforeACharacterThatDoesNotFitWhole) {
    const std::string flute = "Fl\xC3\xBBte"; // "Flûte", û at bytes 2 and 3
    EXPECT_EQ(CutUtf8(flute, 2), "Fl");
    EXPECT_EQ(CutUtf8(flute, 3), "Fl"); // not "Fl\xC3"
    EXPECT_EQ(CutUtf8(flute, 4), "Fl\xC3\xBB");
    EXPECT_EQ(CutUtf8(flute, 6), flute);
    const std::string euro = "ab\xE2\x82\xAC"; // € at bytes 2 to 4
    EXPECT_EQ(CutUtf8(euro, 3), "ab");
    EXPECT_EQ(CutUtf8(euro, 4), "ab");
    EXPECT_EQ(CutUtf8(euro, 5), euro);
    EXPECT_EQ(CutUtf8("\xF0\x9F\x8E\xB9", 3), "");
    EXPECT_EQ(CutUtf8("", 4), "");
    // A text that someone else already cut by bytes loses the piece of a character at its end.
    EXPECT_EQ(CutUtf8("abc\xF0\x9F\x8E", 3), "abc");
    EXPECT_EQ(CutUtf8("ab\xF0\x9F\x8E", 4), "ab");
    EXPECT_EQ(CutUtf8("ab\xE2\x82", 3), "ab");
    // Latin-1 bytes are single characters and are cut by bytes, as they always were.
    EXPECT_EQ(CutUtf8("Fl\xFBte", 3), "Fl\xFB");
    EXPECT_EQ(CutUtf8("K\xE9gel", 2), "K\xE9");
}
