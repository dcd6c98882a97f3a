// The program browser overlay in the real instrument: the lists it fills when opened, the
// numbers its rows and cells show, paging with the scroll bars, clicks on rows and cells, and the
// source buttons shown as a radio group.

#include "VornEditorSupport.h"

#include "editor/ControlLayout.h"
#include "editor/FBScrollControl.h"
#include "editor/FBScrollItemControl.h"
#include "programs/FactoryBanks.h"

#include <gtest/gtest.h>

using editor_test::EditorInstance;
using editor_test::Left;
using namespace editor;

namespace {

FBScrollItemControl* Row(EditorInstance& e, int i) {
    return e.Key<FBScrollItemControl>(kFirstBankListKey + i);
}

FBScrollItemControl* Cell(EditorInstance& e, int column, int row) {
    return e.Key<FBScrollItemControl>(kFirstProgramGridKey + kProgramGridRows * column + row);
}

void OpenBrowser(EditorInstance& e) {
    e.ClickAt(240, 90, Left());
    ASSERT_TRUE(e.view().IsBrowserShown());
}

} // namespace

TEST(Browser, OpeningShowsTheFactoryBanksAndTheInstrumentsOwnPrograms) {
    EditorInstance e;
    e.plugin().SelectProgram(0);
    OpenBrowser(e);
    const auto& banks = programs::FactoryBanks();
    for (int i = 0; i < kBankListRows; ++i) {
        FBScrollItemControl* row = Row(e, i);
        ASSERT_NE(row, nullptr);
        if (i < programs::kFactoryBankCount) {
            EXPECT_TRUE(row->IsActive()) << i;
            EXPECT_EQ(row->NumberText(), std::to_string(i));
            EXPECT_EQ(row->NameText(), banks[static_cast<std::size_t>(i)].displayName);
            EXPECT_EQ(row->Tooltip(), row->NameText());
        } else {
            EXPECT_FALSE(row->IsActive()) << i;
            EXPECT_EQ(row->NumberText(), "");
        }
    }
    // Source 0: the grid lists the 336 programs, bank by bank, at offset 0.
    EXPECT_EQ(e.plugin().Browser().source, programs::BrowserSource::OwnPrograms);
    EXPECT_EQ(Cell(e, 0, 0)->NumberText(), "1");
    EXPECT_EQ(Cell(e, 0, 0)->NameText(), e.plugin().PresetName(0));
    EXPECT_EQ(Cell(e, 6, 32)->NumberText(), "33");
    EXPECT_EQ(Cell(e, 6, 32)->NameText(), e.plugin().PresetName(6 * 48 + 32));
    EXPECT_TRUE(Cell(e, 0, 0)->IsHighlighted()); // the current program
    // Twelve banks fit on one page: the thumb fills the track and the arrows do not page.
    int top = 0, bottom = 0;
    e.Key<FBScrollControl>(-kIdBankListScroll)->Thumb(top, bottom);
    EXPECT_EQ(top, 232 + 17);
    EXPECT_EQ(bottom, 606 - 17);
    e.ClickAt(310, 600, Left());
    EXPECT_EQ(e.plugin().Browser().bankListOffset, 0);
    // INTERN is lit as the active source.
    EXPECT_EQ(e.Key(-kIdSourceIntern)->Value(), 1.0);
    EXPECT_EQ(e.Key(-kIdSourceFactory)->Value(), 0.0);
}

TEST(Browser, TheGridPagesByThirtyThreeAndShowsNumbersInsideTheirBank) {
    EditorInstance e;
    e.plugin().SelectProgram(0);
    OpenBrowser(e);
    auto* scroll = e.Key<FBScrollControl>(-kIdProgramGridScroll);
    ASSERT_NE(scroll, nullptr);
    int top = 0, bottom = 0;
    scroll->Thumb(top, bottom);
    EXPECT_EQ(top, 45 + 17);
    // Below the thumb: one page down.
    e.ClickAt(920, bottom + 2, Left());
    EXPECT_EQ(e.plugin().Browser().gridOffset, 33);
    for (int c = 0; c < kProgramGridColumns; ++c) {
        EXPECT_EQ(Cell(e, c, 0)->NumberText(), "34");
        EXPECT_EQ(Cell(e, c, 14)->NumberText(), "48");
        EXPECT_FALSE(Cell(e, c, 15)->IsActive());
        EXPECT_FALSE(Cell(e, c, 32)->IsActive());
    }
    // An empty cell ignores the click.
    const int current = e.plugin().CurrentPresetIndex();
    e.Click(Cell(e, 2, 20), Left());
    EXPECT_EQ(e.plugin().CurrentPresetIndex(), current);
    // The up arrow pages back.
    e.ClickAt(920, 50, Left());
    EXPECT_EQ(e.plugin().Browser().gridOffset, 0);
    // A click on an own program selects it (copy switch off).
    e.Click(Cell(e, 1, 7), Left());
    EXPECT_EQ(e.plugin().CurrentPresetIndex(), 55);
    EXPECT_TRUE(Cell(e, 1, 7)->IsHighlighted());
}

TEST(Browser, ABankRowLoadsTheBankAndACellPutsItsSoundIntoTheCurrentProgram) {
    EditorInstance e;
    e.plugin().SelectProgram(7);
    OpenBrowser(e);
    e.Click(Row(e, 1), Left()); // "Empty/Init"
    EXPECT_EQ(e.plugin().Browser().source, programs::BrowserSource::FactoryBank);
    EXPECT_TRUE(Row(e, 1)->IsHighlighted());
    EXPECT_FALSE(Row(e, 0)->IsHighlighted());
    EXPECT_EQ(Cell(e, 0, 0)->NameText(), "Init   ");
    // The source buttons follow as a radio group.
    EXPECT_EQ(e.Key(-kIdSourceFactory)->Value(), 1.0);
    EXPECT_EQ(e.Key(-kIdSourceIntern)->Value(), 0.0);

    e.Click(Cell(e, 3, 4), Left());
    EXPECT_EQ(e.plugin().CurrentPresetIndex(), 7); // the number stays
    EXPECT_EQ(e.plugin().PresetName(7), "Init   ");
    EXPECT_TRUE(Cell(e, 3, 4)->IsHighlighted());

    // INTERN goes back to the own programs.
    e.Click(e.Key(-kIdSourceIntern), Left());
    EXPECT_EQ(e.plugin().Browser().source, programs::BrowserSource::OwnPrograms);
    EXPECT_EQ(Cell(e, 0, 7)->NameText(), "Init   ");
    EXPECT_EQ(e.Key(-kIdSourceIntern)->Value(), 1.0);
    EXPECT_EQ(e.Key(-kIdSourceFactory)->Value(), 0.0);
}
