// Synthetic input in the editor window reaches the controls: knob drags and the wheel, the
// program menu, the program name entry, the browser, the tooltip and the keys the editor leaves
// to the host.

#include "WindowTestSupport.h"

#include "graphics/PngCodec.h"

#include <commctrl.h>

#include <algorithm>

namespace window_test {

namespace {

using EditorWindowInput = EditorWindowTest;

std::vector<vst2::Int32> GestureCalls(const hostkit::PluginHost& host, int param) {
    std::vector<vst2::Int32> opcodes;
    for (const hostkit::HostCall& call : host.calls) {
        if (call.opcode != vst2::audioMasterBeginEdit && call.opcode != vst2::audioMasterEndEdit &&
            call.opcode != vst2::audioMasterAutomate)
            continue;
        if (call.index != param) continue;
        if (!opcodes.empty() && opcodes.back() == call.opcode) continue; // repeated automation
        opcodes.push_back(call.opcode);
    }
    return opcodes;
}

HWND EntryBox(HWND editor) {
    return FindWindowExW(editor, nullptr, L"Edit", nullptr);
}

void Type(HWND box, const std::wstring& text) {
    for (wchar_t c : text) PostMessageW(box, WM_CHAR, c, 1);
}

std::wstring MenuItemText(HMENU menu, int position) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
    return text;
}

} // namespace

TEST_F(EditorWindowInput, AKnobDragIsAnEditGestureAtTheHost) {
    OpenAndDraw();
    const float before = host.host.GetParameter(0);
    host.host.calls.clear();
    // Downwards turns it down (the volume starts at its top).
    host.Press(kVolumeKnob.x, kVolumeKnob.y);
    host.Move(kVolumeKnob.x, kVolumeKnob.y + 10, MK_LBUTTON);
    host.Move(kVolumeKnob.x, kVolumeKnob.y + 20, MK_LBUTTON);
    host.Release(kVolumeKnob.x, kVolumeKnob.y + 20);
    EXPECT_LT(host.host.GetParameter(0), before - 0.05f);
    EXPECT_EQ(GestureCalls(host.host, 0),
              (std::vector<vst2::Int32>{vst2::audioMasterBeginEdit, vst2::audioMasterAutomate,
                                        vst2::audioMasterEndEdit}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(EditorWindowInput, TheWheelTurnsAKnobByOneStepPerNotch) {
    OpenAndDraw();
    const float before = host.host.GetParameter(0);
    host.Wheel(kVolumeKnob.x, kVolumeKnob.y, -240);
    const float down = host.host.GetParameter(0);
    EXPECT_NEAR(down, before - 0.02f, 1e-4);
    host.Wheel(kVolumeKnob.x, kVolumeKnob.y, 120);
    EXPECT_NEAR(host.host.GetParameter(0), down + 0.01f, 1e-4);
}

TEST_F(EditorWindowInput, TheProgramMenuSelectsTheChosenProgram) {
    OpenAndDraw();
    ASSERT_EQ(host.Program(), 0);
    std::vector<std::wstring> groups;
    bool firstGroupChecked = false;
    Responder responder([&] {
        HWND menu = WaitForProcessWindow(L"#32768", nullptr, 5000);
        if (!menu) return;
        HMENU items = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(items); ++i) groups.push_back(MenuItemText(items, i));
        firstGroupChecked = (GetMenuState(items, 0, MF_BYPOSITION) & MF_CHECKED) != 0;
        // The first group, into its submenu, its second program.
        PostMenuKeys(menu, {VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
    });
    host.Click(kProgramNumber.x, kProgramNumber.y);
    responder.Wait();
    host.Pump(100);
    EXPECT_EQ(groups, (std::vector<std::wstring>{L"1 - 12", L"13 - 24", L"25 - 36", L"37 - 48"}));
    EXPECT_TRUE(firstGroupChecked);
    EXPECT_EQ(host.Program(), 1);
    EXPECT_EQ(FindProcessWindow(L"#32768", nullptr), nullptr);
}

TEST_F(EditorWindowInput, TheNameEntryRenamesOnEnterAndLeavesTheNameOnEscape) {
    OpenAndDraw();
    HWND editor = host.Editor();
    const std::string original = host.ProgramName();
    host.Click(kProgramName.x, kProgramName.y);
    HWND box = EntryBox(editor);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetFocus(), box);
    RECT rect = {};
    GetWindowRect(box, &rect);
    MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 82);
    EXPECT_EQ(rect.top, 180);
    EXPECT_EQ(rect.right, 149);
    EXPECT_EQ(rect.bottom, 194);
    // Shown fully selected: the first character replaces the name.
    DWORD selStart = 0, selEnd = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                 reinterpret_cast<LPARAM>(&selEnd));
    EXPECT_EQ(selStart, 0u);
    EXPECT_EQ(selEnd, static_cast<DWORD>(original.size()));

    Type(box, L"Brass 7x");
    host.Pump(100);
    EXPECT_EQ(WindowText(box), L"Brass 7"); // the box takes no more than 7 characters

    // The box is painted in the entry colours: black text on white.
    graphics::Surface shown = host.Capture();
    graphics::SavePng(shown, "window-entry.png");
    int white = 0, black = 0;
    for (int y = 181; y < 193; ++y) {
        for (int x = 83; x < 148; ++x) {
            white += (shown.Pixel(x, y) & 0xFFFFFFu) == 0xFFFFFFu;
            black += (shown.Pixel(x, y) & 0xFFFFFFu) == 0;
        }
    }
    EXPECT_GT(white, 65 * 12 / 3);
    EXPECT_GT(black, 20);

    PostMessageW(box, WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(host.PumpUntil([&] { return EntryBox(editor) == nullptr; }, 1000));
    EXPECT_EQ(host.ProgramName(), "Brass 7");
    EXPECT_EQ(GetFocus(), editor);

    host.Click(kProgramName.x, kProgramName.y);
    box = EntryBox(editor);
    ASSERT_NE(box, nullptr);
    Type(box, L"Other");
    PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_TRUE(host.PumpUntil([&] { return EntryBox(editor) == nullptr; }, 1000));
    EXPECT_EQ(host.ProgramName(), "Brass 7");
}

TEST_F(EditorWindowInput, PastingTenThousandCharactersKeepsTheEntryLimit) {
    OpenAndDraw();
    HWND editor = host.Editor();
    host.Click(kProgramName.x, kProgramName.y);
    HWND box = EntryBox(editor);
    ASSERT_NE(box, nullptr);
    std::wstring pasted(10000, L'p');
    pasted[3] = L'\n';
    ASSERT_TRUE(OpenClipboard(host.Frame()));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
    ASSERT_NE(memory, nullptr);
    auto* chars = static_cast<wchar_t*>(GlobalLock(memory));
    std::copy(pasted.c_str(), pasted.c_str() + pasted.size() + 1, chars);
    GlobalUnlock(memory);
    ASSERT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
    CloseClipboard();

    SendMessageW(box, WM_PASTE, 0, 0);
    EXPECT_EQ(WindowText(box), L"ppppppp"); // the line break is dropped, the limit holds
    PostMessageW(box, WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(host.PumpUntil([&] { return EntryBox(editor) == nullptr; }, 1000));
    EXPECT_EQ(host.ProgramName(), "ppppppp");
}

TEST_F(EditorWindowInput, TheBrowserOpensAndLoadsAFactoryBank) {
    OpenAndDraw();
    std::vector<std::string> names;
    for (int i = 0; i < 8; ++i)
        names.push_back(host.host.DispatchText(vst2::effGetProgramNameIndexed, i));
    graphics::Surface closed = host.Capture();
    host.Click(kBrowseButton.x, kBrowseButton.y);
    host.Pump(150);
    graphics::Surface opened = host.Capture();
    int changed = 0;
    for (std::size_t i = 0; i < opened.Pixels().size(); ++i)
        changed += opened.Pixels()[i] != closed.Pixels()[i];
    EXPECT_GT(changed, 968 * 640 / 2) << "the browser covers the editor";

    host.Click(kFactorySource.x, kFactorySource.y);
    host.Pump(100);
    host.Click(kFirstBankRow.x, kFirstBankRow.y);
    host.Pump(100);
    // The first factory bank is the one the instance started with: its programs carry the same
    // names. A program clicked in the grid becomes the current program's sound and name.
    for (int row : {5, 2}) {
        Point cell = GridCell(row);
        host.Click(cell.x, cell.y);
        host.Pump(100);
        EXPECT_EQ(host.ProgramName(), names[static_cast<std::size_t>(row)]) << row;
    }
    EXPECT_EQ(host.Program(), 0);
}

TEST_F(EditorWindowInput, ATooltipAppearsWhileThePointerRestsOnTheSendButton) {
    OpenAndDraw();
    HWND editor = host.Editor();
    host.PointAt(kSendButton.x, kSendButton.y);
    HWND tip = nullptr;
    ASSERT_TRUE(host.PumpUntil(
        [&] { return (tip = FindProcessWindow(TOOLTIPS_CLASSW, nullptr)) != nullptr; }, 3000));
    wchar_t text[256] = {};
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.lpszText = text;
    ASSERT_TRUE(SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(std::wstring(text), L"Send all parameters via SysEx to FB-01");
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    // One tool: the whole editor window.
    EXPECT_TRUE(tool.uFlags & TTF_IDISHWND);
    EXPECT_EQ(tool.uId, reinterpret_cast<UINT_PTR>(editor));
    EXPECT_TRUE(GetWindowLongPtrW(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // Below the pointer, near the button.
    RECT placed = {};
    GetWindowRect(tip, &placed);
    POINT button = {kSendButton.x, kSendButton.y};
    ClientToScreen(editor, &button);
    EXPECT_LT(std::abs(placed.left - button.x), 40);
    EXPECT_GT(placed.top, button.y);

    host.PointAway();
    EXPECT_TRUE(host.PumpUntil([&] { return !IsWindowVisible(tip); }, 2000));
}

TEST_F(EditorWindowInput, KeysTheEditorDoesNotUseGoToTheHostWindow) {
    OpenAndDraw();
    host.PointAt(kVolumeKnob.x, kVolumeKnob.y);
    FrameKeys().clear();
    host.Key(VK_F5);
    host.Key('A');
    host.Key(VK_UP);
    std::vector<std::pair<UINT, WPARAM>> received;
    for (const FrameKey& key : FrameKeys()) received.emplace_back(key.message, key.key);
    EXPECT_EQ(received, (std::vector<std::pair<UINT, WPARAM>>{{WM_KEYDOWN, VK_F5},
                                                              {WM_KEYUP, VK_F5},
                                                              {WM_KEYDOWN, 'A'},
                                                              {WM_KEYUP, 'A'},
                                                              {WM_KEYDOWN, VK_UP},
                                                              {WM_KEYUP, VK_UP}}));
}

} // namespace window_test
