// The program browser's data: the bank lists, reading a factory bank, program file or bank file
// into the program list, what a click on a grid cell does, paging and highlight arithmetic, and
// the folder listing with its extension rule.

#include "engine/InstrumentParams.h"
#include "host/ProgramState.h"
#include "platform/FolderPattern.h"
#include "programs/BrowserLayout.h"
#include "programs/FactoryBanks.h"
#include "unit/host/StateTestSupport.h"

using namespace statetest;
using programs::BrowserSource;

namespace {

// Answers the folder question with a path chosen by the test, and records the request.
class FolderAnswer : public platform::NoUiServices {
public:
    bool ChooseFile(const platform::FileDialogRequest& request, std::string& path) override {
        requests.push_back(request);
        if (answer.empty()) return false;
        path = answer;
        return true;
    }
    std::string answer;
    std::vector<platform::FileDialogRequest> requests;
};

int RowOf(vorn::Vorn& plugin, const std::string& name) {
    const auto& banks = plugin.Browser().banks;
    for (std::size_t i = 0; i < banks.size(); ++i)
        if (banks[i].displayName == name) return static_cast<int>(i);
    return -1;
}

} // namespace

TEST(BrowserLayout, GridCellsPagingAndHighlights) {
    using namespace programs;
    // Column 1, row 7 at offset 0 is list item 55.
    EXPECT_EQ(GridCellItem(40, 0), 55);
    EXPECT_EQ(GridCellItem(0, 33), 33);
    EXPECT_EQ(GridCellItem(230, 0), 6 * 48 + 32);
    EXPECT_EQ(HighlightedGridCell(55, 0), 40);
    EXPECT_EQ(HighlightedGridCell(55 + 33, 33), 40);
    EXPECT_EQ(HighlightedGridCell(40, 0), -1); // row 40 is on the second page
    EXPECT_EQ(HighlightedGridCell(-1, 0), -1);
    EXPECT_EQ(GridOffsetShowing(32), 0);
    EXPECT_EQ(GridOffsetShowing(33), 33);
    EXPECT_EQ(GridOffsetShowing(48 + 40), 33);

    EXPECT_EQ(PagedBankListOffset(0, 22, 30), 22);
    EXPECT_EQ(PagedBankListOffset(22, 22, 30), 22); // at or past the end steps back
    EXPECT_EQ(PagedBankListOffset(0, -22, 30), 0);
    EXPECT_EQ(PagedBankListOffset(0, 22, 22), 0); // short lists do not page
    EXPECT_EQ(PagedGridOffset(0, 33, 336), 33);
    EXPECT_EQ(PagedGridOffset(33, 33, 336), 33);
    EXPECT_EQ(PagedGridOffset(33, -33, 336), 0);
    EXPECT_EQ(PagedGridOffset(0, 33, 33), 0);
    EXPECT_EQ(HighlightedBankRow(25, 22, 30), 3);
    EXPECT_EQ(HighlightedBankRow(3, 22, 30), -1);
    EXPECT_EQ(HighlightedBankRow(-1, 0, 30), -1);
}

TEST(BrowserLayout, ExtensionRuleAndFolderSearchPattern) {
    using programs::IsBrowsableFileName;
    for (const char* kept : {"a.fxb", "a.FXB", "b.fxp", "B.FXP", "c.syx", "C.SYX", "x.y.fxb"})
        EXPECT_TRUE(IsBrowsableFileName(kept)) << kept;
    for (const char* skipped :
         {"a.Fxb", "a.fxbx", "fxb", "a.txt", "dir.fxb/file", "dir.fxb\\file", ".", ""})
        EXPECT_FALSE(IsBrowsableFileName(skipped)) << skipped;

    EXPECT_EQ(platform::FolderSearchPattern("C:\\Banks\\"), "C:\\Banks\\*");
    EXPECT_EQ(platform::FolderSearchPattern("C:/Banks"), "C:/Banks\\*");
    std::string deep = "C:/" + std::string(260, 'd');
    EXPECT_EQ(platform::LongPathForm(platform::FolderSearchPattern(deep)),
              "\\\\?\\C:\\" + std::string(260, 'd') + "\\*");
    std::string network = "\\\\server/" + std::string(260, 'n');
    EXPECT_EQ(platform::LongPathForm(network), "\\\\?\\UNC\\server\\" + std::string(260, 'n'));
    std::string relative = std::string(300, 'r');
    EXPECT_EQ(platform::LongPathForm(relative), relative);
    EXPECT_EQ(platform::LongPathForm("C:/short"), "C:/short");
}

TEST(Browser, FactoryListAndReadingAFactoryBank) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    plugin.BuildFactoryBankList();
    auto& browser = plugin.Browser();
    ASSERT_EQ(browser.banks.size(), 12u);
    EXPECT_EQ(browser.banks[2].displayName, "Tollund's Selected Sounds");
    EXPECT_EQ(browser.banks[2].path, "tollund.fxb");
    EXPECT_EQ(browser.banks[11].displayName, "Collection #9 Sounds");
    EXPECT_FALSE(browser.banks[5].isFile);
    EXPECT_EQ(browser.banks[5].factoryIndex, 5);
    EXPECT_EQ(browser.source, BrowserSource::FactoryBank);
    EXPECT_EQ(browser.selectedBank, -1);

    plugin.LoadBrowserBank(1); // "Empty/Init"
    ASSERT_EQ(browser.programs.size(), 336u);
    EXPECT_EQ(browser.selectedBank, 1);
    EXPECT_EQ(browser.programs[200].name, "Init   ");
    EXPECT_EQ(browser.programs[200].state.Size(), host::kStateSize);
    plugin.LoadBrowserBank(12); // no such row: nothing changes
    EXPECT_EQ(browser.selectedBank, 1);
    EXPECT_EQ(browser.programs.size(), 336u);
}

TEST(Browser, OwnProgramsListFollowsTheCurrentProgram) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    plugin.SelectProgram(48 + 40);
    plugin.BuildCurrentBankList();
    auto& browser = plugin.Browser();
    EXPECT_EQ(browser.source, BrowserSource::OwnPrograms);
    ASSERT_EQ(browser.programs.size(), 336u);
    EXPECT_EQ(browser.highlightedProgram, 88);
    EXPECT_EQ(browser.gridOffset, 33);
    plugin.SetProgramName("Renamed");
    EXPECT_EQ(browser.programs[88].name, "Renamed");
    // Without copy-on-click a click selects the program shown.
    plugin.Browser().gridOffset = 0;
    plugin.ApplyBrowserProgram(40);
    EXPECT_EQ(plugin.CurrentPresetIndex(), 55);
    // The list rebuilt after the selection keeps its grid offset and highlights the new program.
    EXPECT_EQ(browser.gridOffset, 0);
    EXPECT_EQ(browser.highlightedProgram, 55);
}

TEST(Browser, ClickOnAFactoryProgramReplacesTheCurrentProgramsContent) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    plugin.SelectProgram(20);
    plugin.BuildFactoryBankList();
    plugin.LoadBrowserBank(2);
    auto& browser = plugin.Browser();
    ASSERT_EQ(browser.programs.size(), 336u);
    const programs::BrowserProgram chosen = browser.programs[55];
    plugin.ApplyBrowserProgram(40);
    EXPECT_EQ(browser.highlightedProgram, 55);
    EXPECT_EQ(plugin.CurrentPresetIndex(), 20);
    EXPECT_EQ(plugin.PresetName(20), chosen.name);
    host::ChunkBuffer now;
    plugin.WriteState(now);
    EXPECT_TRUE(
        std::equal(now.Data() + 22, now.Data() + host::kStateSize, chosen.state.Data() + 22));
    // A cell past the list clears the highlight.
    browser.programs.resize(10);
    plugin.ApplyBrowserProgram(100);
    EXPECT_EQ(browser.highlightedProgram, -1);
    EXPECT_EQ(browser.gridOffset, 0);
}

TEST(Browser, CopyOnClickCopiesAnOwnProgramIntoTheCurrentOne) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    StorePatternProgram(plugin, 55);
    std::vector<double> sound = ParamValues(plugin);
    plugin.SelectProgram(3);
    plugin.BuildCurrentBankList();
    plugin.Browser().copyOnClick = true;
    plugin.ApplyBrowserProgram(40);
    EXPECT_EQ(plugin.CurrentPresetIndex(), 3);
    EXPECT_EQ(ParamValues(plugin), sound);
    EXPECT_EQ(plugin.PresetName(3), plugin.PresetName(55));
    EXPECT_EQ(plugin.Browser().programs[3].name, plugin.PresetName(55));
}

TEST(Browser, FolderListReadsProgramAndBankFiles) {
    TempFolder folder;
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    FolderAnswer ui;
    plugin.SetUiServices(&ui);

    StorePatternProgram(plugin, 4);
    plugin.ModifyCurrentPreset("Odd one");
    ASSERT_TRUE(plugin.SaveProgramFile(folder.File("one.fxp")));
    ASSERT_TRUE(plugin.SaveBankFile(folder.File("all.FXB")));
    // A bank with program 17 not initialised: fewer than 336 programs give an empty list.
    plugin.GetPreset(17).initialised = false;
    ASSERT_TRUE(plugin.SaveBankFile(folder.File("short.fxb")));
    plugin.GetPreset(17).initialised = true;
    Bytes cut = ReadBytes(folder.File("all.FXB"));
    cut.resize(cut.size() - 200);
    WriteBytes(folder.File("cut.fxb"), cut);
    WriteBytes(folder.File("notes.txt"), Bytes(10, 'x'));
    WriteBytes(folder.File("mixed.Fxp"), Bytes(10, 'x'));
    WriteBytes(folder.File("voice.syx"), Bytes(10, 0xF0));
    std::filesystem::create_directory(folder.Path() / "sub.fxb");

    ui.answer = folder.File("[file name is ignored]");
    plugin.BuildFolderBankList();
    ASSERT_EQ(ui.requests.size(), 1u);
    EXPECT_TRUE(ui.requests[0].save);
    EXPECT_EQ(ui.requests[0].defaultName, "[file name is ignored]");
    EXPECT_EQ(plugin.Settings().programFolder, folder.Path().string());
    auto& browser = plugin.Browser();
    EXPECT_EQ(browser.source, BrowserSource::File);
    EXPECT_EQ(browser.banks.size(), 5u); // one.fxp, all.FXB, short.fxb, cut.fxb, voice.syx
    EXPECT_EQ(RowOf(plugin, "notes.txt"), -1);
    EXPECT_EQ(RowOf(plugin, "mixed.Fxp"), -1);
    EXPECT_EQ(RowOf(plugin, "sub.fxb"), -1);
    int one = RowOf(plugin, "one.fxp");
    ASSERT_GE(one, 0);
    EXPECT_EQ(browser.banks[static_cast<std::size_t>(one)].path, folder.File("one.fxp"));
    EXPECT_TRUE(browser.banks[static_cast<std::size_t>(one)].isFile);

    plugin.LoadBrowserBank(one);
    ASSERT_EQ(browser.programs.size(), 1u);
    EXPECT_EQ(browser.programs[0].name, "Odd one"); // the seven characters inside the state
    plugin.LoadBrowserBank(RowOf(plugin, "all.FXB"));
    ASSERT_EQ(browser.programs.size(), 336u);
    EXPECT_EQ(browser.programs[4].name, "Odd one");
    plugin.LoadBrowserBank(RowOf(plugin, "short.fxb"));
    EXPECT_TRUE(browser.programs.empty());
    plugin.LoadBrowserBank(RowOf(plugin, "cut.fxb"));
    EXPECT_TRUE(browser.programs.empty());
    plugin.LoadBrowserBank(RowOf(plugin, "voice.syx"));
    EXPECT_TRUE(browser.programs.empty());
    EXPECT_EQ(browser.source, BrowserSource::File);

    // Without an answer the folder stays and is listed again.
    ui.answer.clear();
    plugin.BuildFolderBankList();
    EXPECT_EQ(browser.banks.size(), 5u);
    plugin.SetUiServices(nullptr);
}
