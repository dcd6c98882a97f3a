#include "synth/IniFile.h"
#include "SynthTestSupport.h"

#include <gtest/gtest.h>

using synth::IniDocument;

TEST(IniFile, ReadsNamesWithoutRegardToCaseAndStripsOnePairOfQuotes) {
    IniDocument ini = IniDocument::Parse("[MIDI Global]\n  midi thru =  TRUE \n"
                                         "[global]\nPath to Program Files=\"\"C:\\x\"\"\n"
                                         "Quoted = \"a b\"\nHalf=\"open\n");
    EXPECT_EQ(ini.Read("midi global", "MIDI Thru", "x", 63), "TRUE");
    EXPECT_EQ(ini.Read("GLOBAL", "path to program files", "", 258), "\"C:\\x\"");
    EXPECT_EQ(ini.Read("Global", "Quoted", "", 258), "a b");
    EXPECT_EQ(ini.Read("Global", "Half", "", 258), "\"open");
    EXPECT_EQ(ini.Read("Global", "Missing", "fallback", 258), "fallback");
    EXPECT_EQ(ini.Read("Nowhere", "Quoted", "", 258), "");
}

TEST(IniFile, CutsValuesAndDefaultsToTheReadLimit) {
    std::string longValue(5000, 'v');
    IniDocument ini = IniDocument::Parse("[S]\nK=" + longValue + "\n");
    EXPECT_EQ(ini.Read("S", "K", "", 258), std::string(258, 'v'));
    EXPECT_EQ(ini.Read("S", "Other", std::string(100, 'd'), 63), std::string(63, 'd'));
}

TEST(IniFile, ReadsTheFirstMatchAndIgnoresLinesOutsideSections) {
    IniDocument ini = IniDocument::Parse("K=outside\n[S]\nnot a key\nK=first\nk=second\n"
                                         "[Broken\nK=in broken\n[S]\nK=later section\n");
    EXPECT_EQ(ini.Read("S", "K", "", 63), "first");
    // A header without its closing bracket still starts a section.
    EXPECT_EQ(ini.Read("Broken", "K", "", 63), "in broken");
    EXPECT_EQ(ini.Read("", "K", "none", 63), "none");
}

TEST(IniFile, WriteReplacesAKeyInPlaceAndKeepsEverythingElse) {
    IniDocument ini = IniDocument::Parse("; my notes\r\n[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nz=3\r\n");
    ASSERT_TRUE(ini.Write("a", "X", "10"));
    ASSERT_TRUE(ini.Write("A", "w", "new"));
    ASSERT_TRUE(ini.Write("C", "k", "v"));
    EXPECT_EQ(ini.Serialize(),
              "; my notes\r\n[A]\r\nX=10\r\ny=2\r\nw=new\r\n\r\n[B]\r\nz=3\r\n[C]\r\nk=v\r\n");
}

TEST(IniFile, RefusesTextsThatWouldBreakTheLineFormat) {
    IniDocument ini = IniDocument::Parse("[A]\nx=1\n");
    EXPECT_FALSE(ini.Write("A", "x", "one\n[Startup Bank]\nFile=/evil"));
    EXPECT_FALSE(ini.Write("A", "x=y", "1"));
    EXPECT_FALSE(ini.Write("A", "[x", "1"));
    EXPECT_FALSE(ini.Write("A]", "x", "1"));
    EXPECT_FALSE(ini.ReplaceSection("A", {{"ok", "1"}, {"bad", "a\rb"}}));
    EXPECT_EQ(ini.Serialize(), "[A]\nx=1\n");
}

TEST(IniFile, ReplaceSectionRemovesEveryOldLineOfThatSectionOnly) {
    IniDocument ini = IniDocument::Parse("[MIDI Control]\nCC1=5\n;old\nCC99=7\n\n[Other]\nCC1=9\n");
    ASSERT_TRUE(ini.ReplaceSection("midi control", {{"CC7", "3"}, {"CC74", "4"}}));
    EXPECT_EQ(ini.Keys("MIDI Control"), (std::vector<std::string>{"CC7", "CC74"}));
    EXPECT_EQ(ini.Read("Other", "CC1", "", 63), "9");
    ASSERT_TRUE(ini.ReplaceSection("MIDI Control", {}));
    EXPECT_TRUE(ini.Keys("MIDI Control").empty());
    EXPECT_NE(ini.Serialize().find("[MIDI Control]"), std::string::npos);
    ASSERT_TRUE(ini.ReplaceSection("New", {{"File", ""}}));
    EXPECT_TRUE(ini.HasKey("new", "file"));
    EXPECT_EQ(ini.Read("New", "File", "d", 63), "");
}

TEST(IniFile, KeepsAByteOrderMarkAndReadsTheFirstSectionBehindIt) {
    IniDocument ini = IniDocument::Parse("\xEF\xBB\xBF[Editor]\nShow All Knob Values=true\n");
    EXPECT_EQ(ini.Read("Editor", "Show All Knob Values", "", 63), "true");
    EXPECT_EQ(ini.Serialize().substr(0, 3), "\xEF\xBB\xBF");
}

TEST(IniFile, GarbageAndBinaryBytesReadAsDefaults) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
    garbage += std::string("\0[S]\0\nK=v\0w\n", 12);
    IniDocument ini = IniDocument::Parse(garbage);
    EXPECT_EQ(ini.Read("Missing", "K", "def", 63), "def");
    // The round trip keeps every byte of lines it does not understand.
    EXPECT_EQ(IniDocument::Parse(ini.Serialize()).Serialize(), ini.Serialize());
}

TEST(IniFile, SavesThroughATemporaryFileAndLoadsItBack) {
    TempFolder folder;
    std::string path = folder.File("vorn.ini");
    IniDocument ini;
    EXPECT_FALSE(synth::LoadIniFile(path, ini)); // missing file: empty document
    ini.Write("Global", "Path to SysEx Files", "\"/x y\"");
    ASSERT_TRUE(synth::SaveIniFile(path, ini));
    IniDocument loaded;
    ASSERT_TRUE(synth::LoadIniFile(path, loaded));
    EXPECT_EQ(loaded.Read("global", "path to sysex files", "", 258), "/x y");
    // A folder that does not exist: the write fails and reports it.
    EXPECT_FALSE(synth::SaveIniFile(folder.File("no/such/folder/vorn.ini"), ini));
}
