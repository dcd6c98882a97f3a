// Without zenity and kdialog the dialogs are our own windows: the message box with its buttons
// and the file and folder dialogs, answered with synthetic input.

#include "DialogTestSupport.h"
#include "X11MenuTestSupport.h"

#include "graphics/PngCodec.h"
#include "window/x11/X11DialogFileChooser.h"
#include "window/x11/X11UiServices.h"

namespace x11menus_test {
namespace {

using platform::FileDialogRequest;
using platform::MessageAnswer;
using platform::MessageKind;

const bool kThreadsReady = XInitThreads() != 0;

class DrawnDialogTest : public X11Fixture {
protected:
    void SetUp() override {
        X11Fixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(kThreadsReady);
        ASSERT_FALSE(temp.Path().empty());
        folder = temp.Make("files");
        temp.Write("files/a.fxp", "a");
        temp.Write("files/b.txt", "b");
        temp.Write("files/c.FXP", "c");
        temp.Write("files/.hidden.fxp", "h");
        temp.Make("files/sub");
        emptyPath = std::make_unique<ScopedPath>(temp.Make("nothing"));
    }
    platform::x11::X11UiServices Ui() {
        return platform::x11::X11UiServices(display, owner, forward);
    }
    FileDialogRequest Request(bool save, const std::string& name) {
        FileDialogRequest request;
        request.save = save;
        request.extension = "fxp";
        request.defaultName = name;
        request.startFolder = folder;
        return request;
    }

    TempFolder temp;
    std::string folder;
    std::unique_ptr<ScopedPath> emptyPath;
};

// Rows of the file dialog's lists (18 pixels from y = 38) and its buttons.
int RowY(int row) {
    return 38 + 18 * row + 9;
}
constexpr int kFolderListX = 60;
constexpr int kFileListX = 300;

TEST_F(DrawnDialogTest, ListingKeepsTheExtensionInAnyCaseAndHidesHiddenFiles) {
    platform::x11::FolderListing listing = platform::x11::ListFolder(folder, "fxp");
    EXPECT_EQ(listing.files, (std::vector<std::string>{"a.fxp", "c.FXP"}));
    EXPECT_EQ(listing.folders, (std::vector<std::string>{"..", "sub"}));
    listing = platform::x11::ListFolder(folder, "");
    EXPECT_EQ(listing.files, (std::vector<std::string>{"a.fxp", "b.txt", "c.FXP"}));
    EXPECT_EQ(platform::x11::ListFolder("/", "").folders.front() == "..", false);
}

TEST_F(DrawnDialogTest, MessageBoxIsDrawnAndAnsweredWithKeysAndClicks) {
    auto ui = Ui();
    {
        Driver driver;
        graphics::Surface picture;
        int x = 0, y = 0, w = 0, h = 0;
        driver.Start([&](Driver& d) {
            Window box = d.WaitForNamed("Load SysEx Voice Bank");
            if (!box || !d.Geometry(box, x, y, w, h)) return;
            picture = d.Capture(box);
            d.Key(XK_Return); // the first button, Yes, has the focus
        });
        EXPECT_EQ(ui.ShowMessage(MessageKind::Question,
                                 "This SysEx file contains a full Voice Bank.\nDo you really want "
                                 "to overwrite all programs in the current Voice Bank?",
                                 "Load SysEx Voice Bank"),
                  MessageAnswer::Yes);
        driver.Finish();
        ASSERT_FALSE(picture.Empty());
        EXPECT_TRUE(graphics::SavePng(picture, "x11-message-box.png"));
        EXPECT_GT(DarkPixels(picture), 300) << "no text";
        // Two buttons, the focused one framed in the focus colour.
        EXPECT_GT(PixelsOf(picture, 0x306EC8), 2 * 84);
        EXPECT_LE(w, 460 + 2 * 20) << "long lines are wrapped";
    }
    {
        Driver driver;
        driver.Start([](Driver& d) {
            Window box = d.WaitForNamed("Question");
            int x = 0, y = 0, w = 0, h = 0;
            if (!box || !d.Geometry(box, x, y, w, h)) return;
            d.Click(x + w - 20 - 42, y + h - 20 - 13); // No, the rightmost button
        });
        EXPECT_EQ(ui.ShowMessage(MessageKind::Question, "Sure?", "Question"), MessageAnswer::No);
    }
    {
        Driver driver;
        driver.Start([](Driver& d) {
            if (d.WaitForNamed("Question")) d.Key(XK_Escape);
        });
        EXPECT_EQ(ui.ShowMessage(MessageKind::Question, "Sure?", "Question"), MessageAnswer::No);
    }
    {
        // A dialog program that cannot be executed: our own box instead.
        StandIn broken(temp, "zenity");
        temp.Write("bin/zenity", "#!/nonexistent/interpreter\n");
        ScopedPath path(broken.Folder());
        Driver driver;
        driver.Start([](Driver& d) {
            if (d.WaitForNamed("Information")) d.Key(XK_Escape);
        });
        EXPECT_EQ(ui.ShowMessage(MessageKind::Information, "Done.", "Information"),
                  MessageAnswer::Ok);
        driver.Finish();
        EXPECT_TRUE(broken.Calls().empty());
    }
}

TEST_F(DrawnDialogTest, FileDialogListsFilteredFilesAndReturnsTheChosenPath) {
    auto ui = Ui();
    std::string chosen;
    {
        // Open: the second listed file is c.FXP (b.txt is filtered out); select it, then Enter.
        Driver driver;
        graphics::Surface picture;
        driver.Start([&](Driver& d) {
            Window dialog = d.WaitForNamed("Open");
            int x = 0, y = 0, w = 0, h = 0;
            if (!dialog || !d.Geometry(dialog, x, y, w, h)) return;
            picture = d.Capture(dialog);
            d.Click(x + kFileListX, y + RowY(1));
            d.Key(XK_Return);
        });
        ASSERT_TRUE(ui.ChooseFile(Request(false, ""), chosen));
        driver.Finish();
        EXPECT_EQ(chosen, folder + "/c.FXP");
        ASSERT_FALSE(picture.Empty());
        EXPECT_TRUE(graphics::SavePng(picture, "x11-file-dialog.png"));
        EXPECT_GT(DarkPixels(picture), 300);
    }
    {
        // Save: a typed name gets the extension.
        Driver driver;
        driver.Start([](Driver& d) {
            if (!d.WaitForNamed("Save As")) return;
            for (int i = 0; i < 5; ++i) d.Key(XK_BackSpace); // "Vorna"
            d.Type("new");
            d.Key(XK_Return);
        });
        ASSERT_TRUE(ui.ChooseFile(Request(true, "Vorna"), chosen));
        EXPECT_EQ(chosen, folder + "/new.fxp");
    }
    {
        // Save onto an existing file: the question comes first; Yes replaces.
        Driver driver;
        bool asked = false;
        driver.Start([&](Driver& d) {
            if (!d.WaitForNamed("Save As")) return;
            d.Key(XK_Return); // default name "a" -> a.fxp exists
            asked = d.WaitForNamed("Confirm Save As") != 0;
            d.Key(XK_Return);
        });
        ASSERT_TRUE(ui.ChooseFile(Request(true, "a"), chosen));
        driver.Finish();
        EXPECT_TRUE(asked);
        EXPECT_EQ(chosen, folder + "/a.fxp");
    }
    {
        // Into a subfolder with one click, back up, then Escape cancels.
        Driver driver;
        chosen = "untouched";
        driver.Start([](Driver& d) {
            Window dialog = d.WaitForNamed("Open");
            int x = 0, y = 0, w = 0, h = 0;
            if (!dialog || !d.Geometry(dialog, x, y, w, h)) return;
            d.Click(x + kFolderListX, y + RowY(1)); // sub
            d.Click(x + kFolderListX, y + RowY(0)); // ..
            d.Key(XK_Escape);
        });
        EXPECT_FALSE(ui.ChooseFile(Request(false, ""), chosen));
        EXPECT_EQ(chosen, "untouched");
    }
    {
        // Folder dialog: a double click opens "sub", Enter takes it.
        Driver driver;
        driver.Start([](Driver& d) {
            Window dialog = d.WaitForNamed("Choose");
            int x = 0, y = 0, w = 0, h = 0;
            if (!dialog || !d.Geometry(dialog, x, y, w, h)) return;
            d.MoveTo(x + kFolderListX, y + RowY(1));
            XTestFakeButtonEvent(d.Connection(), 1, True, 0);
            XTestFakeButtonEvent(d.Connection(), 1, False, 0);
            XTestFakeButtonEvent(d.Connection(), 1, True, 0);
            XTestFakeButtonEvent(d.Connection(), 1, False, 0);
            XFlush(d.Connection());
            Pause(100);
            d.Key(XK_Return);
        });
        ASSERT_TRUE(ui.ChooseFolder("Choose", folder, chosen));
        EXPECT_EQ(chosen, folder + "/sub");
    }
}

} // namespace
} // namespace x11menus_test
