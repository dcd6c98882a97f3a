// The plug-in's own commands asking through the X11 dialogs: the SysEx save and load commands of
// an editor opened on the offscreen window, with a zenity stand-in answering.

#include "editor/VornEditorSupport.h"

#include "DialogTestSupport.h"
#include "X11MenuTestSupport.h"

#include "window/x11/X11UiServices.h"

#include <fstream>

namespace x11menus_test {
namespace {

using Args = std::vector<std::string>;

class CommandDialogTest : public X11Fixture {};

std::size_t FileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? static_cast<std::size_t>(in.tellg()) : 0;
}

TEST_F(CommandDialogTest, SysExCommandsSaveAndLoadWhereTheDialogSays) {
    TempFolder temp;
    ASSERT_FALSE(temp.Path().empty());
    StandIn zenity(temp, "zenity");
    ScopedPath path(zenity.Folder());
    platform::x11::X11UiServices ui(display, owner, forward);
    editor_test::EditorInstance editor;
    editor.window().SetUi(&ui);

    // Save one voice: the name comes back without its extension, which is added.
    zenity.Script(1, temp.Path() + "/voice\n", 0);
    editor.plugin().RunSaveVoiceSysExFileCommand();
    ASSERT_EQ(zenity.Calls().size(), 1u);
    Args call = zenity.LastCall();
    ASSERT_EQ(call.size(), 6u);
    EXPECT_EQ(call[0], "--file-selection");
    EXPECT_EQ(call[1], "--title=Save As");
    EXPECT_EQ(call[2], "--save");
    EXPECT_EQ(call[3], "--confirm-overwrite");
    EXPECT_EQ(call[4].rfind("--filename=/", 0), 0u) << call[4];
    EXPECT_EQ(call[5], "--file-filter=*.syx");
    const std::string saved = temp.Path() + "/voice.syx";
    EXPECT_GT(FileSize(saved), 100u) << "the voice was not saved where the dialog said";

    // Load it back: the open dialog starts in the folder of the last SysEx file.
    zenity.Script(2, saved + "\n", 0);
    editor.plugin().RunLoadSysExFileCommand();
    ASSERT_EQ(zenity.Calls().size(), 2u);
    EXPECT_EQ(zenity.LastCall(), (Args{"--file-selection", "--title=Open",
                                       "--filename=" + temp.Path() + "/", "--file-filter=*.syx"}));

    // A file that cannot be written: the error box comes through the same program.
    zenity.Script(3, "/proc/voice\n", 0);
    zenity.Script(4, "", 0);
    editor.plugin().RunSaveVoiceSysExFileCommand();
    ASSERT_EQ(zenity.Calls().size(), 4u);
    EXPECT_EQ(zenity.LastCall(),
              (Args{"--error", "--title=Error", "--text=Cannot save file!", "--no-markup"}));

    // Cancelled: nothing is written and nothing else is asked.
    zenity.Script(5, "", 1);
    editor.plugin().RunSaveVoiceSysExFileCommand();
    EXPECT_EQ(zenity.Calls().size(), 5u);
}

} // namespace
} // namespace x11menus_test
