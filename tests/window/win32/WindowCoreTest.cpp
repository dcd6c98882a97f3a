// The Win32 window under a Graphics core of the test's own (linked in, on a recording plug-in):
// value entries filtered by parameter kind, and pop-up menus built from the whole item tree.

#include "WindowHost.h"
#include "editor/EditorTestSupport.h"
#include "graphics/KnobControl.h"
#include "graphics/PopupMenu.h"
#include "platform/win32/WideText.h"
#include "window/NativeWindows.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace window_test {

namespace {

using graphics::Rect;

// Opens the given menu below its rectangle on a click and keeps what was chosen.
class MenuButton : public graphics::Control {
public:
    MenuButton(graphics::Graphics& graphics, const Rect& rect) : Control(graphics, rect) {}
    void MouseDown(int, int, const graphics::Modifiers&) override {
        graphics::PopupMenu* menu = graphics_.CreatePopupMenu(*root, rect_);
        chosenMenu = menu;
        chosenIndex = menu ? menu->ChosenItemIndex() : -1;
    }
    graphics::PopupMenu* root = nullptr;
    graphics::PopupMenu* chosenMenu = nullptr;
    int chosenIndex = -1;
};

class Win32WindowCore : public ::testing::Test {
protected:
    void SetUp() override {
        VORNA_REQUIRE_WINDOW_DISPLAY();
        // The editor here belongs to no product, which would install the window system.
        graphics::InstallNativeWindowSystem(&window::NativeWindows());
        frame = CreateFrame(300, 200);
        ASSERT_NE(frame, nullptr);
        editor.Resize(300, 200);
        for (int param : {0, 1}) {
            auto* knob = new graphics::KnobControl(
                editor, Rect(40 + 60 * param, 40, 80 + 60 * param, 80), param);
            knob->DisablePrompt(false);
            knob->SetValueFromPlugin(0.5);
            editor.AttachControl(knob);
        }
        button = new MenuButton(editor, Rect(200, 40, 260, 60));
        editor.AttachControl(button);
        ASSERT_TRUE(editor.OpenWindow(frame));
        window = FindWindowExW(frame, nullptr, L"VornaWndClass", L"Vorna");
        ASSERT_NE(window, nullptr);
        Pump(100);
    }
    void TearDown() override {
        editor.CloseWindow();
        if (frame) DestroyWindow(frame);
    }
    HWND Box() const { return FindWindowExW(window, nullptr, L"Edit", nullptr); }

    editor_test::RecordingPlugin plugin;
    graphics::Graphics editor{&plugin};
    MenuButton* button = nullptr;
    HWND frame = nullptr;
    HWND window = nullptr;
};

} // namespace

TEST_F(Win32WindowCore, ValueEntriesTakeOnlyWhatTheParameterKindAccepts) {
    struct Case {
        int x;
        int param;
        const wchar_t* typed;
        const wchar_t* kept;
        double value; // in parameter units
    };
    const Case cases[] = {
        {60, 0, L"a4.x", L"4", 4.0},          // Int 0..7: digits and signs only
        {120, 1, L"-0.25e", L"-0.25", -0.25}, // Double: "." too
    };
    for (const Case& c : cases) {
        PostMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(c.x, 60));
        PostMessageW(window, WM_RBUTTONUP, 0, MAKELPARAM(c.x, 60));
        HWND box = nullptr;
        ASSERT_TRUE(PumpUntil([&] { return (box = Box()) != nullptr; }, 1000)) << c.param;
        for (const wchar_t* p = c.typed; *p; ++p) PostMessageW(box, WM_CHAR, *p, 1);
        Pump(50);
        wchar_t text[64] = {};
        GetWindowTextW(box, text, 64);
        EXPECT_EQ(std::wstring(text), c.kept);
        PostMessageW(box, WM_KEYDOWN, VK_RETURN, 1);
        ASSERT_TRUE(PumpUntil([&] { return Box() == nullptr; }, 1000));
        EXPECT_NEAR(plugin.GetParam(c.param).Value(), c.value, 1e-9) << c.param;
    }
}

TEST_F(Win32WindowCore, LosingTheFocusCommitsAndAClickBeforeTheFirstTickCancels) {
    PostMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(60, 60));
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = Box()) != nullptr; }, 1000));
    for (wchar_t c : std::wstring(L"6")) PostMessageW(box, WM_CHAR, c, 1);
    Pump(60);
    SetFocus(frame);
    ASSERT_TRUE(PumpUntil([&] { return Box() == nullptr; }, 1000));
    EXPECT_EQ(plugin.GetParam(0).Value(), 6.0);

    // The button-down at once after the box opened: taken as a change of mind.
    PostMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(60, 60));
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(250, 150));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(250, 150));
    ASSERT_TRUE(PumpUntil([&] { return Box() == nullptr; }, 1000));
    EXPECT_EQ(plugin.GetParam(0).Value(), 6.0);
}

TEST_F(Win32WindowCore, MenusShowTheWholeTreeAndAnswerTheChosenItem) {
    graphics::PopupMenu menu;
    menu.AddItem("Plain");
    menu.AddItem("Off", graphics::PopupMenu::kDisabled);
    menu.AddSeparator();
    menu.AddItem("Ticked", graphics::PopupMenu::kChecked);
    graphics::PopupMenu& sub = menu.AddSubmenu("More");
    sub.AddItem("Bass & Lead");
    sub.AddItem("Strings", graphics::PopupMenu::kChecked);
    button->root = &menu;

    struct Seen {
        std::wstring text;
        UINT state;
        UINT id;
    };
    std::vector<Seen> top, inner;
    POINT corner = {};
    Responder responder([&] {
        HWND shown = WaitForProcessWindow(L"#32768", nullptr, 5000);
        if (!shown) return;
        RECT placed = {};
        GetWindowRect(shown, &placed);
        corner = {placed.left, placed.top};
        HMENU items = reinterpret_cast<HMENU>(SendMessageW(shown, MN_GETHMENU, 0, 0));
        auto read = [](HMENU m, std::vector<Seen>& out) {
            for (int i = 0; i < GetMenuItemCount(m); ++i) {
                wchar_t text[64] = {};
                GetMenuStringW(m, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
                out.push_back({text, GetMenuState(m, static_cast<UINT>(i), MF_BYPOSITION),
                               GetMenuItemID(m, i)});
            }
        };
        read(items, top);
        if (HMENU more = GetSubMenu(items, 4)) read(more, inner);
        // Down over Plain, Off and Ticked (the separator is skipped) to More; into it, the
        // second entry.
        PostMenuKeys(shown, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
        CloseLeftoverMenus();
    });
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(210, 50));
    Pump(200);
    responder.Wait();
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(210, 50));
    Pump(100);

    ASSERT_EQ(top.size(), 5u);
    EXPECT_EQ(top[0].text, L"Plain");
    EXPECT_EQ(top[0].id, 1u);
    EXPECT_TRUE(top[1].state & MF_GRAYED);
    EXPECT_TRUE(top[2].state & MF_SEPARATOR);
    EXPECT_TRUE(top[3].state & MF_CHECKED);
    EXPECT_EQ(top[3].id, 4u);
    EXPECT_EQ(top[4].text, L"More");
    EXPECT_EQ(top[4].id, static_cast<UINT>(-1)); // a submenu entry
    ASSERT_EQ(inner.size(), 2u);
    EXPECT_EQ(inner[0].text, L"Bass && Lead"); // shown with its "&"
    EXPECT_EQ(inner[0].id, 6u);
    EXPECT_TRUE(inner[1].state & MF_CHECKED);
    EXPECT_EQ(inner[1].id, 7u);
    // At the bottom-left corner of the button.
    POINT expected = {200, 60};
    ClientToScreen(window, &expected);
    EXPECT_EQ(corner.x, expected.x);
    EXPECT_EQ(corner.y, expected.y);

    EXPECT_EQ(button->chosenMenu, &sub);
    EXPECT_EQ(button->chosenIndex, 1);
}

} // namespace window_test

namespace window_test {

BOOL CALLBACK FindTree(HWND child, LPARAM found) {
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    if (std::wstring(name) != L"SysTreeView32") return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// The text of the selected item of the folder dialog's tree (the dialog runs in this process, so
// the tree's answers can be read directly).
std::wstring SelectedTreeText(HWND dialog) {
    HWND tree = nullptr;
    EnumChildWindows(dialog, FindTree, reinterpret_cast<LPARAM>(&tree));
    if (!tree) return L"";
    const LRESULT item = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    if (!item) return L"";
    wchar_t text[MAX_PATH] = {};
    TVITEMW request = {};
    request.mask = TVIF_TEXT;
    request.hItem = reinterpret_cast<HTREEITEM>(item);
    request.pszText = text;
    request.cchTextMax = MAX_PATH;
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&request))) return L"";
    return text;
}

TEST_F(Win32WindowCore, TheFolderDialogStartsInTheGivenFolderAndAnswersTheChoice) {
    // The system's temporary folder: under Wine, a folder of the Linux /tmp is not one the
    // dialog's tree can open (the root of drive Z: cannot be read there).
    wchar_t here[1024] = {};
    DWORD length = GetTempPathW(1024, here);
    ASSERT_GT(length, 0u);
    if (length > 3 && here[length - 1] == L'\\') here[length - 1] = 0;
    std::wstring title;
    HWND owner = nullptr;
    Responder responder([&] {
        HWND dialog = WaitForProcessWindow(L"#32770", nullptr, 5000);
        if (!dialog) return;
        // The tree selects the start folder some time after it shows (longer on a busy machine):
        // OK is pressed once the start folder is the selection, or after five seconds.
        const std::wstring start(here);
        const std::wstring leaf = start.substr(start.find_last_of(L'\\') + 1);
        for (int waited = 0; waited < 5000 && SelectedTreeText(dialog) != leaf; waited += 20)
            Sleep(20);
        Sleep(50);
        owner = GetWindow(dialog, GW_OWNER);
        for (const std::wstring& text : ChildTexts(dialog, L"Static"))
            if (text == L"Choose the folder") title = text;
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    });
    std::string chosen;
    const bool answered =
        editor.Ui().ChooseFolder("Choose the folder", platform::Narrow(here), chosen);
    responder.Wait();
    EXPECT_EQ(title, L"Choose the folder");
    EXPECT_EQ(owner, frame);
    EXPECT_TRUE(answered);
    EXPECT_EQ(chosen, platform::Narrow(here));
}

TEST_F(Win32WindowCore, OnlyWebAddressesAreOpened) {
    // Anything but a web page would be run or opened by the shell: refused before it.
    EXPECT_FALSE(editor.Ui().OpenWebAddress("C:\\windows\\notepad.exe"));
    EXPECT_FALSE(editor.Ui().OpenWebAddress("file:///C:/windows/notepad.exe"));
    EXPECT_FALSE(editor.Ui().OpenWebAddress(std::string("http://\xff\xfe")));
    EXPECT_EQ(FindProcessWindow(nullptr, L"Notepad"), nullptr);
}

} // namespace window_test
