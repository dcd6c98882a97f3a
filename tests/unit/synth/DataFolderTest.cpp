// Regression: on a fresh Linux account, where the user's data folder ($XDG_DATA_HOME or
// ~/.local/share) did not exist yet, no configuration folder or file was made and every setting
// was lost when the host closed. The whole path is made now, private to the user.

#include "../vorn/VornTestSupport.h"
#include "SynthTestSupport.h"
#include "platform/Files.h"
#include "platform/UserFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

TEST(DataFolder, MissingFoldersAboveThePathAreMade) {
    TempFolder folder;
    const std::string deep = platform::JoinPath(folder.Path(), "a/b/c");
    EXPECT_TRUE(platform::CreateFolderPath(deep));
    EXPECT_TRUE(platform::FolderExists(deep));
    EXPECT_TRUE(platform::CreateFolderPath(deep)); // already there
    const std::string file = platform::JoinPath(folder.Path(), "f.txt");
    WriteText(file, "x");
    EXPECT_FALSE(platform::CreateFolderPath(platform::JoinPath(file, "d")));
    EXPECT_FALSE(platform::CreateFolderPath(""));
}

#if !defined(_WIN32)

namespace {

// Sets or removes an environment variable for one test and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

unsigned Mode(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777u : 0u;
}

// An instance reads the configuration where the environment says, saves a setting, and a second
// instance finds it there.
void ExpectSettingsKept(const std::string& folder) {
    const std::string file = platform::JoinPath(folder, "vorn.ini");
    {
        VornInstance first;
        ASSERT_EQ(first.Plugin().Settings().configurationPath, file);
        EXPECT_TRUE(platform::FileExists(file));
        first.Plugin().Settings().midiThru = true;
        EXPECT_TRUE(first.Plugin().WriteConfiguration(-1));
    }
    VornInstance second;
    EXPECT_TRUE(second.Plugin().Settings().midiThru);
}

} // namespace

TEST(DataFolder, AFreshHomeWithoutLocalGetsTheWholePathPrivately) {
    TempFolder folder;
    const std::string home = platform::JoinPath(folder.Path(), "home");
    ASSERT_TRUE(platform::CreateFolder(home));
    ScopedEnvironment homeVariable("HOME", home);
    ScopedEnvironment dataVariable("XDG_DATA_HOME", std::nullopt);
    ASSERT_EQ(platform::LocalAppDataFolder(), platform::JoinPath(home, ".local/share"));

    ExpectSettingsKept(platform::JoinPath(home, ".local/share/TarnwellMusic"));
    for (const char* made : {".local", ".local/share", ".local/share/TarnwellMusic"}) {
        SCOPED_TRACE(made);
        EXPECT_EQ(Mode(platform::JoinPath(home, made)), 0700u);
    }
}

TEST(DataFolder, ADataHomeThatDoesNotExistYetIsMade) {
    TempFolder folder;
    ScopedEnvironment homeVariable("HOME", folder.Path());
    const std::string data = platform::JoinPath(folder.Path(), "new/data");
    ScopedEnvironment dataVariable("XDG_DATA_HOME", data);
    ::chmod(folder.Path().c_str(), 0755); // a folder that is there keeps its mode

    ExpectSettingsKept(platform::JoinPath(data, "TarnwellMusic"));
    EXPECT_EQ(Mode(folder.Path()), 0755u);
    for (const char* made : {"new", "new/data", "new/data/TarnwellMusic"}) {
        SCOPED_TRACE(made);
        EXPECT_EQ(Mode(platform::JoinPath(folder.Path(), made)), 0700u);
    }
}

TEST(DataFolder, APathThatCannotBeMadeLeavesTheDefaults) {
    TempFolder folder;
    ScopedEnvironment homeVariable("HOME", folder.Path());
    const std::string blocker = platform::JoinPath(folder.Path(), "file");
    WriteText(blocker, "x");
    ScopedEnvironment dataVariable("XDG_DATA_HOME", platform::JoinPath(blocker, "data"));
    VornInstance vorn;
    EXPECT_TRUE(vorn.Plugin().Settings().configurationPath.empty());
    EXPECT_TRUE(vorn.Plugin().Settings().sendParamChangeSysEx);
    EXPECT_FALSE(vorn.Plugin().Settings().midiThru);
    EXPECT_FALSE(vorn.Plugin().WriteConfiguration(-1));
    EXPECT_EQ(ReadText(blocker), "x");
}

#endif
