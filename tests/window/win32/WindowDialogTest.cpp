// Message boxes and file dialogs of the editor window: shown with their exact captions and
// texts, owned by the host's frame, answered here, and the command acting on the answer.

#include "WindowTestSupport.h"

#include <commdlg.h>
#include <dlgs.h>

#include <fstream>

namespace window_test {

namespace {

using EditorWindowDialogs = EditorWindowTest;

constexpr int kWait = 5000;

void Answer(HWND box, int button) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

// The file name box of a file dialog (a combo box in the explorer style, else an edit).
HWND FileNameBox(HWND dialog) {
    HWND box = GetDlgItem(dialog, cmb13);
    return box ? box : GetDlgItem(dialog, edt1);
}

std::wstring FolderShown(HWND dialog) {
    wchar_t folder[1024] = {};
    SendMessageW(dialog, CDM_GETFOLDERPATH, 1024, reinterpret_cast<LPARAM>(folder));
    return folder;
}

// What a file dialog showed, and the name typed into it (empty: cancel).
struct FileDialogSeen {
    HWND dialog = nullptr;
    HWND owner = nullptr;
    std::wstring filter;
    std::wstring name;
    std::wstring folder;
};

void AnswerFileDialog(const wchar_t* caption, const std::wstring& typed, FileDialogSeen& seen) {
    seen.dialog = WaitForProcessWindow(L"#32770", caption, kWait);
    if (!seen.dialog) return;
    Sleep(200); // the dialog fills its lists after it shows
    seen.owner = GetWindow(seen.dialog, GW_OWNER);
    seen.filter = WindowText(GetDlgItem(seen.dialog, cmb1));
    seen.name = WindowText(FileNameBox(seen.dialog));
    seen.folder = FolderShown(seen.dialog);
    if (typed.empty()) {
        Answer(seen.dialog, IDCANCEL);
        return;
    }
    SendMessageW(FileNameBox(seen.dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
    Answer(seen.dialog, IDOK);
}

std::wstring WorkingFolder() {
    wchar_t folder[1024] = {};
    GetCurrentDirectoryW(1024, folder);
    return folder;
}

bool Exists(const std::wstring& path) {
    std::wstring full = path.size() >= MAX_PATH ? L"\\\\?\\" + path : path;
    return GetFileAttributesW(full.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Remove(const std::wstring& path) {
    std::wstring full = path.size() >= MAX_PATH ? L"\\\\?\\" + path : path;
    DeleteFileW(full.c_str());
}

// Opens the option menu at the point and chooses its item at the position given (0 the first).
void ChooseMenuItem(WindowHost& host, Point menu, int position, const std::function<void()>& then) {
    Responder responder([&] {
        HWND shown = WaitForProcessWindow(L"#32768", nullptr, kWait);
        if (!shown) return;
        std::vector<WPARAM> keys(static_cast<std::size_t>(position) + 1, VK_DOWN);
        keys.push_back(VK_RETURN);
        PostMenuKeys(shown, keys);
        CloseLeftoverMenus();
        then();
    });
    host.Click(menu.x, menu.y);
    responder.Wait();
    host.Pump(100);
}

} // namespace

TEST_F(EditorWindowDialogs, AQuestionBoxAsksAndOnlyYesInitializesTheProgram) {
    OpenAndDraw();
    const std::string before = host.ProgramName();
    ASSERT_NE(before, "Init");
    for (int button : {IDNO, IDYES}) {
        HWND box = nullptr, owner = nullptr;
        std::vector<std::wstring> texts;
        bool hasYes = false, hasNo = false, hasOk = true;
        Responder responder([&] {
            box = WaitForProcessWindow(L"#32770", L"Initialize Program", kWait);
            if (!box) return;
            owner = GetWindow(box, GW_OWNER);
            texts = ChildTexts(box, L"Static");
            hasYes = GetDlgItem(box, IDYES) != nullptr;
            hasNo = GetDlgItem(box, IDNO) != nullptr;
            hasOk = GetDlgItem(box, IDOK) != nullptr;
            Answer(box, button);
        });
        host.Click(kInitButton.x, kInitButton.y);
        responder.Wait();
        host.Pump(100);
        ASSERT_NE(box, nullptr) << "no box captioned \"Initialize Program\"";
        EXPECT_EQ(owner, host.Frame());
        EXPECT_NE(std::find(texts.begin(), texts.end(),
                            L"Do you really want to initialize the current program?"),
                  texts.end());
        EXPECT_TRUE(hasYes && hasNo && !hasOk);
        EXPECT_EQ(host.ProgramName(), button == IDYES ? "Init   " : before);
    }
}

TEST_F(EditorWindowDialogs, TheSaveDialogWritesTheProgramFileTypedIntoIt) {
    OpenAndDraw();
    const std::wstring path = WorkingFolder() + L"\\dialog-saved.fxp";
    Remove(path);
    FileDialogSeen seen;
    // "SAVE": "Save Program (FXP)", cancelled first, then answered.
    ChooseMenuItem(host, kSaveMenu, 0, [&] { AnswerFileDialog(L"Save As", L"", seen); });
    ASSERT_NE(seen.dialog, nullptr) << "no dialog captioned \"Save As\"";
    EXPECT_FALSE(Exists(path));

    ChooseMenuItem(host, kSaveMenu, 0, [&] { AnswerFileDialog(L"Save As", path, seen); });
    ASSERT_NE(seen.dialog, nullptr);
    EXPECT_EQ(seen.owner, host.Frame());
    EXPECT_EQ(seen.filter, L"*.fxp");
    EXPECT_EQ(seen.name, L"E.Piano");
    ASSERT_TRUE(Exists(path));
    std::ifstream file(path.c_str(), std::ios::binary);
    char magic[4] = {};
    file.read(magic, 4);
    EXPECT_EQ(std::string(magic, 4), "CcnK");
}

TEST_F(EditorWindowDialogs, APathLongerThanMaxPathIsSavedInFull) {
    OpenAndDraw();
    std::wstring folder = WorkingFolder();
    for (int level = 0; level < 4; ++level) {
        folder += L"\\long-folder-name-" + std::wstring(60, static_cast<wchar_t>(L'a' + level));
        CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr);
    }
    const std::wstring path = folder + L"\\long.fxp";
    ASSERT_GT(path.size(), static_cast<std::size_t>(MAX_PATH));
    Remove(path);
    FileDialogSeen seen;
    ChooseMenuItem(host, kSaveMenu, 0, [&] { AnswerFileDialog(L"Save As", path, seen); });
    ASSERT_NE(seen.dialog, nullptr);
    EXPECT_TRUE(Exists(path)) << DescribeWindows();

    // Typed again: replacing it is asked first; No keeps the dialog open.
    std::vector<std::wstring> question;
    ChooseMenuItem(host, kSaveMenu, 0, [&] {
        AnswerFileDialog(L"Save As", path, seen);
        HWND box = WaitForProcessWindow(L"#32770", nullptr, kWait);
        for (int i = 0; i < 50 && box == seen.dialog; ++i) {
            Sleep(50);
            HWND next = FindProcessWindow(L"#32770", nullptr);
            box = next;
        }
        if (!box || box == seen.dialog) return;
        question = ChildTexts(box, L"Static");
        Answer(box, IDNO);
        Sleep(200);
        Answer(seen.dialog, IDCANCEL);
    });
    EXPECT_NE(std::find(question.begin(), question.end(),
                        path + L" already exists.\nDo you want to replace it?"),
              question.end());
    EXPECT_EQ(FindProcessWindow(L"#32770", nullptr), nullptr);
}

TEST_F(EditorWindowDialogs, ADialogWhoseFolderVanishedOpensInItsParent) {
    OpenAndDraw();
    const std::wstring folder = WorkingFolder() + L"\\vanishing";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\kept.fxp";
    FileDialogSeen seen;
    ChooseMenuItem(host, kSaveMenu, 0, [&] { AnswerFileDialog(L"Save As", path, seen); });
    ASSERT_TRUE(Exists(path));
    Remove(path);
    ASSERT_TRUE(RemoveDirectoryW(folder.c_str()));

    // The next dialog would start in the folder of the last file; it is gone.
    ChooseMenuItem(host, kSaveMenu, 0, [&] { AnswerFileDialog(L"Save As", L"", seen); });
    ASSERT_NE(seen.dialog, nullptr);
    EXPECT_EQ(seen.folder, WorkingFolder());
}

TEST_F(EditorWindowDialogs, AFileThatIsNoProgramIsReportedInAnErrorBox) {
    OpenAndDraw();
    const std::wstring path = WorkingFolder() + L"\\not-a-program.fxp";
    {
        std::ofstream junk(path.c_str(), std::ios::binary);
        junk << "this is no program file";
    }
    const std::string before = host.ProgramName();
    FileDialogSeen seen;
    std::vector<std::wstring> texts;
    HWND owner = nullptr;
    // "LOAD": "Load Program (FXP)".
    ChooseMenuItem(host, kLoadMenu, 0, [&] {
        AnswerFileDialog(L"Open", path, seen);
        HWND box = WaitForProcessWindow(L"#32770", L"Error", kWait);
        if (!box) return;
        owner = GetWindow(box, GW_OWNER);
        texts = ChildTexts(box, L"Static");
        Answer(box, IDOK);
    });
    ASSERT_NE(seen.dialog, nullptr) << "no dialog captioned \"Open\"";
    EXPECT_EQ(seen.filter, L"*.fxp");
    EXPECT_EQ(owner, host.Frame());
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Cannot load file!"), texts.end());
    EXPECT_EQ(host.ProgramName(), before);
}

} // namespace window_test
