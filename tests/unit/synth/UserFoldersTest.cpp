#include "platform/UserFolders.h"
#include "SynthTestSupport.h"
#include "platform/Files.h"
#include "platform/XdgUserDirs.h"

#include <gtest/gtest.h>

TEST(XdgUserDirs, ReadsTheQuotedFolderOfAKey) {
    std::string file = "# written by the desktop\n"
                       "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                       "XDG_DOCUMENTS_DIR=\"/data/docs/\"\n"
                       "XDG_MUSIC_DIR=\"$HOME\"\n"
                       "XDG_VIDEOS_DIR=relative\n"
                       "XDG_PICTURES_DIR=\"$HOMEX/p\"\n"
                       "XDG_TEMPLATES_DIR=\"$HOME/a \\\"b\\\"\"\n";
    EXPECT_EQ(platform::FindXdgUserDir(file, "XDG_DESKTOP_DIR", "/home/u"), "/home/u/Schreibtisch");
    EXPECT_EQ(platform::FindXdgUserDir(file, "XDG_DOCUMENTS_DIR", "/home/u"), "/data/docs");
    EXPECT_EQ(platform::FindXdgUserDir(file, "XDG_MUSIC_DIR", "/home/u"), ""); // disabled
    EXPECT_EQ(platform::FindXdgUserDir(file, "XDG_VIDEOS_DIR", "/home/u"), "");
    EXPECT_EQ(platform::FindXdgUserDir(file, "XDG_PICTURES_DIR", "/home/u"), "");
    EXPECT_EQ(platform::FindXdgUserDir(file, "XDG_TEMPLATES_DIR", "/home/u"), "/home/u/a \"b\"");
    EXPECT_EQ(platform::FindXdgUserDir(file, "XDG_DOWNLOAD_DIR", "/home/u"), "");
    EXPECT_EQ(platform::FindXdgUserDir("XDG_DESKTOP_DIR=\"/unclosed\n", "XDG_DESKTOP_DIR", "/h"),
              "");
}

TEST(UserFolders, ExistenceQueriesAndFolderCreation) {
    TempFolder folder;
    std::string sub = platform::JoinPath(folder.Path(), "made");
    EXPECT_FALSE(platform::FolderExists(sub));
    EXPECT_TRUE(platform::CreateFolder(sub));
    EXPECT_TRUE(platform::CreateFolder(sub)); // already there
    EXPECT_TRUE(platform::FolderExists(sub));
    EXPECT_FALSE(platform::FileExists(sub));
    std::string file = platform::JoinPath(sub, "f.txt");
    WriteText(file, "x");
    EXPECT_TRUE(platform::FileExists(file));
    EXPECT_FALSE(platform::FolderExists(file));
    EXPECT_FALSE(platform::CreateFolder(file)); // a file is in the way
    EXPECT_FALSE(platform::CreateFolder(platform::JoinPath(folder.Path(), "a/b")));
    EXPECT_FALSE(platform::FileExists(""));
    // The user folders resolve to absolute paths on a normal system.
    EXPECT_FALSE(platform::LocalAppDataFolder().empty());
}
