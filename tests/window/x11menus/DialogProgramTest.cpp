// Message boxes and file dialogs through the desktop's dialog programs, replaced by recording
// stand-ins first on PATH: the exact arguments, and what each scripted answer (a path, cancel,
// Yes, No, an error exit, death by a signal, garbage) becomes.

#include "DialogTestSupport.h"
#include "X11MenuTestSupport.h"

#include "window/x11/X11UiServices.h"

#include <signal.h>

#include <chrono>

namespace x11menus_test {
namespace {

using platform::FileDialogRequest;
using platform::MessageAnswer;
using platform::MessageKind;
using Args = std::vector<std::string>;

class DialogProgramTest : public X11Fixture {
protected:
    void SetUp() override {
        X11Fixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_FALSE(temp.Path().empty());
        start = temp.Make("start");
        temp.Write("start/a.fxp", "a");
        temp.Write("start/exists.fxp", "e");
        temp.Make("start/sub");
    }
    platform::x11::X11UiServices Ui() {
        return platform::x11::X11UiServices(display, owner, forward);
    }
    FileDialogRequest Request(bool save, const std::string& extension, const std::string& name) {
        FileDialogRequest request;
        request.save = save;
        request.extension = extension;
        request.defaultName = name;
        request.startFolder = start;
        return request;
    }

    TempFolder temp;
    std::string start;
};

TEST_F(DialogProgramTest, ZenityMessageBoxesShowExactTextsAndAnswer) {
    StandIn zenity(temp, "zenity");
    ScopedPath path(zenity.Folder());
    auto ui = Ui();
    const std::string text = "Line one\nSays \"two\" with \\ and <b>";

    zenity.Script(1, "", 0);
    EXPECT_EQ(ui.ShowMessage(MessageKind::Information, text, "Caption 'A'"), MessageAnswer::Ok);
    EXPECT_EQ(zenity.LastCall(),
              (Args{"--info", "--title=Caption 'A'",
                    "--text=Line one\nSays \"two\" with \\\\ and <b>", "--no-markup"}));
    zenity.Script(2, "", 1); // closed with the window's close button
    EXPECT_EQ(ui.ShowMessage(MessageKind::Error, "Cannot save file!", "Error"), MessageAnswer::Ok);
    EXPECT_EQ(zenity.LastCall(),
              (Args{"--error", "--title=Error", "--text=Cannot save file!", "--no-markup"}));

    // Question: 0 is Yes; No, an error exit and death by a signal are all No.
    zenity.Script(3, "", 0);
    EXPECT_EQ(ui.ShowMessage(MessageKind::Question, "Really?", "Paste Program"),
              MessageAnswer::Yes);
    EXPECT_EQ(zenity.LastCall(),
              (Args{"--question", "--title=Paste Program", "--text=Really?", "--no-markup"}));
    zenity.Script(4, "", 1);
    EXPECT_EQ(ui.ShowMessage(MessageKind::Question, "Really?", "Q"), MessageAnswer::No);
    zenity.Script(5, "garbage", 255);
    EXPECT_EQ(ui.ShowMessage(MessageKind::Question, "Really?", "Q"), MessageAnswer::No);
    zenity.KillOn(6);
    EXPECT_EQ(ui.ShowMessage(MessageKind::Question, "Really?", "Q"), MessageAnswer::No);
    EXPECT_EQ(zenity.Calls().size(), 6u);

    // While the program runs, the editor still gets its Expose events but not presses.
    zenity.SleepOn(7, "0.4");
    zenity.Script(7, "", 0);
    XClearArea(display, owner, 0, 0, 0, 0, True);
    XFlush(display);
    forwardedExposes = 0;
    EXPECT_EQ(ui.ShowMessage(MessageKind::Information, "wait", "W"), MessageAnswer::Ok);
    EXPECT_GT(forwardedExposes, 0);
    EXPECT_EQ(forwardedPresses, 0);
}

TEST_F(DialogProgramTest, ZenityFileDialogsReturnOnlyUsablePaths) {
    StandIn zenity(temp, "zenity");
    ScopedPath path(zenity.Folder());
    auto ui = Ui();
    std::string chosen = "untouched";

    zenity.Script(1, start + "/a.fxp\n", 0);
    ASSERT_TRUE(ui.ChooseFile(Request(false, "fxp", ""), chosen));
    EXPECT_EQ(chosen, start + "/a.fxp");
    EXPECT_EQ(zenity.LastCall(), (Args{"--file-selection", "--title=Open",
                                       "--filename=" + start + "/", "--file-filter=*.fxp"}));

    // Cancel, garbage, a relative path, a missing file, two lines: no path.
    chosen = "untouched";
    zenity.Script(2, "", 1);
    EXPECT_FALSE(ui.ChooseFile(Request(false, "fxp", ""), chosen));
    zenity.Script(3, "no path here", 0);
    EXPECT_FALSE(ui.ChooseFile(Request(false, "fxp", ""), chosen));
    zenity.Script(4, "a.fxp\n", 0);
    EXPECT_FALSE(ui.ChooseFile(Request(false, "fxp", ""), chosen));
    zenity.Script(5, start + "/missing.fxp\n", 0);
    EXPECT_FALSE(ui.ChooseFile(Request(false, "fxp", ""), chosen));
    zenity.Script(6, start + "/a.fxp\n" + start + "/a.fxp\n", 0);
    EXPECT_FALSE(ui.ChooseFile(Request(false, "fxp", ""), chosen));
    zenity.Script(7, start + "/a.fxp\n", 255);
    EXPECT_FALSE(ui.ChooseFile(Request(false, "fxp", ""), chosen));
    EXPECT_EQ(chosen, "untouched");

    // Save: the program confirms replacing; a name typed without the extension gets it.
    zenity.Script(8, start + "/new name\n", 0);
    ASSERT_TRUE(ui.ChooseFile(Request(true, "syx", "My 'Voice'"), chosen));
    EXPECT_EQ(chosen, start + "/new name.syx");
    EXPECT_EQ(zenity.LastCall(),
              (Args{"--file-selection", "--title=Save As", "--save", "--confirm-overwrite",
                    "--filename=" + start + "/My 'Voice'", "--file-filter=*.syx"}));
    zenity.Script(9, start + "/exists.FXP\n", 0);
    ASSERT_TRUE(ui.ChooseFile(Request(true, "fxp", "x"), chosen));
    EXPECT_EQ(chosen, start + "/exists.FXP");
    EXPECT_EQ(zenity.Calls().size(), 9u) << "no question for a name the program confirmed";

    // The extension added makes an existing file's name: we ask, through the same program.
    zenity.Script(10, start + "/exists\n", 0);
    zenity.Script(11, "", 1);
    EXPECT_FALSE(ui.ChooseFile(Request(true, "fxp", "x"), chosen));
    EXPECT_EQ(
        zenity.LastCall(),
        (Args{"--question", "--title=Confirm Save As",
              "--text=exists.fxp already exists.\nDo you want to replace it?", "--no-markup"}));
    zenity.Script(12, start + "/exists\n", 0);
    zenity.Script(13, "", 0);
    ASSERT_TRUE(ui.ChooseFile(Request(true, "fxp", "x"), chosen));
    EXPECT_EQ(chosen, start + "/exists.fxp");

    // A save into a missing folder, or onto a folder, gives nothing.
    zenity.Script(14, start + "/nowhere/x.fxp\n", 0);
    EXPECT_FALSE(ui.ChooseFile(Request(true, "fxp", "x"), chosen));
    zenity.Script(15, start + "/sub\n", 0);
    EXPECT_FALSE(ui.ChooseFile(Request(true, "", "x"), chosen));

    // The folder-only save dialog (extension " "): no filter, the name comes back as it is.
    zenity.Script(16, start + "/sub/[file name is ignored]\n", 0);
    ASSERT_TRUE(ui.ChooseFile(Request(true, " ", "[file name is ignored]"), chosen));
    EXPECT_EQ(chosen, start + "/sub/[file name is ignored]");
    EXPECT_EQ(zenity.LastCall(),
              (Args{"--file-selection", "--title=Save As", "--save", "--confirm-overwrite",
                    "--filename=" + start + "/[file name is ignored]"}));

    // Folders: an existing one (trailing slash dropped); a missing one gives nothing.
    zenity.Script(17, start + "/sub/\n", 0);
    ASSERT_TRUE(ui.ChooseFolder("Pick a folder", start, chosen));
    EXPECT_EQ(chosen, start + "/sub");
    EXPECT_EQ(zenity.LastCall(), (Args{"--file-selection", "--directory", "--title=Pick a folder",
                                       "--filename=" + start + "/"}));
    zenity.Script(18, start + "/gone\n", 0);
    EXPECT_FALSE(ui.ChooseFolder("Pick a folder", start, chosen));
    zenity.KillOn(19);
    EXPECT_FALSE(ui.ChooseFolder("Pick a folder", start, chosen));
}

TEST_F(DialogProgramTest, MisbehavingProgramsGiveNothingAndDoNotHang) {
    StandIn zenity(temp, "zenity");
    ScopedPath path(zenity.Folder());
    auto ui = Ui();
    std::string chosen = "untouched";

    // Closes its output and stays: killed after a grace period.
    zenity.LingerOn(1);
    auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(ui.ChooseFile(Request(false, "fxp", ""), chosen));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(15));

    // Far too much output.
    zenity.Script(2, std::string(100000, '/'), 0);
    EXPECT_FALSE(ui.ChooseFile(Request(false, "fxp", ""), chosen));
    EXPECT_EQ(chosen, "untouched");

    // A host that ignores SIGCHLD leaves no exit status: a printed path still counts, a question
    // is not confirmed.
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGCHLD, &ignore, &previous);
    zenity.Script(3, start + "/a.fxp\n", 0);
    bool chose = ui.ChooseFile(Request(false, "fxp", ""), chosen);
    zenity.Script(4, "", 0);
    MessageAnswer answer = ui.ShowMessage(MessageKind::Question, "Sure?", "Q");
    sigaction(SIGCHLD, &previous, nullptr);
    EXPECT_TRUE(chose);
    EXPECT_EQ(chosen, start + "/a.fxp");
    EXPECT_EQ(answer, MessageAnswer::No);
}

TEST_F(DialogProgramTest, KdialogIsUsedWhenZenityIsAbsent) {
    StandIn kdialog(temp, "kdialog");
    ScopedPath path(kdialog.Folder());
    auto ui = Ui();
    const std::string attach = std::to_string(owner);

    kdialog.Script(1, "", 0);
    EXPECT_EQ(ui.ShowMessage(MessageKind::Information, "Your version is up to date.", "Check"),
              MessageAnswer::Ok);
    EXPECT_EQ(kdialog.LastCall(), (Args{"--attach", attach, "--title", "Check", "--msgbox",
                                        "Your version is up to date."}));
    kdialog.Script(2, "", 0);
    EXPECT_EQ(ui.ShowMessage(MessageKind::Error, "Bad \\ text", "Error"), MessageAnswer::Ok);
    EXPECT_EQ(kdialog.LastCall(),
              (Args{"--attach", attach, "--title", "Error", "--error", "Bad \\ text"}));
    kdialog.Script(3, "", 0);
    EXPECT_EQ(ui.ShowMessage(MessageKind::Question, "Sure?", "Q"), MessageAnswer::Yes);
    EXPECT_EQ(kdialog.LastCall(), (Args{"--attach", attach, "--title", "Q", "--yesno", "Sure?"}));
    kdialog.Script(4, "", 1);
    EXPECT_EQ(ui.ShowMessage(MessageKind::Question, "Sure?", "Q"), MessageAnswer::No);

    std::string chosen;
    kdialog.Script(5, start + "/a.fxp\n", 0);
    ASSERT_TRUE(ui.ChooseFile(Request(false, "fxp", ""), chosen));
    EXPECT_EQ(chosen, start + "/a.fxp");
    EXPECT_EQ(kdialog.LastCall(), (Args{"--attach", attach, "--title", "Open", "--getopenfilename",
                                        start + "/", "*.fxp"}));
    kdialog.Script(6, start + "/b\n", 0);
    ASSERT_TRUE(ui.ChooseFile(Request(true, "fxb", "Vorna"), chosen));
    EXPECT_EQ(chosen, start + "/b.fxb");
    EXPECT_EQ(kdialog.LastCall(), (Args{"--attach", attach, "--title", "Save As",
                                        "--getsavefilename", start + "/Vorna", "*.fxb"}));
    kdialog.Script(7, "", 1);
    EXPECT_FALSE(ui.ChooseFile(Request(false, "fxp", ""), chosen));
    kdialog.Script(8, start + "\n", 0);
    ASSERT_TRUE(ui.ChooseFolder("Folder", start, chosen));
    EXPECT_EQ(chosen, start);
    EXPECT_EQ(kdialog.LastCall(),
              (Args{"--attach", attach, "--title", "Folder", "--getexistingdirectory", start}));
}

TEST_F(DialogProgramTest, WebAddressesOpenDetached) {
    // xdg-open stand-in: started detached, it records the address.
    StandIn opener(temp, "xdg-open");
    ScopedPath path(opener.Folder());
    auto ui = Ui();
    EXPECT_TRUE(ui.OpenWebAddress("https://example.invalid/a?b=1&c='2'"));
    std::vector<std::vector<std::string>> calls;
    for (int i = 0; i < 100 && calls.empty(); ++i) {
        Pause(20);
        calls = opener.Calls();
    }
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], (Args{"https://example.invalid/a?b=1&c='2'"}));
    EXPECT_FALSE(ui.OpenWebAddress("--help"));
    EXPECT_FALSE(ui.OpenWebAddress(""));
    {
        ScopedPath none(temp.Make("empty"));
        EXPECT_FALSE(ui.OpenWebAddress("https://example.invalid/"));
    }
}

} // namespace
} // namespace x11menus_test
