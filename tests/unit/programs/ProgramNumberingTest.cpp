// Program numbering and selection: wrap-around, the selectors' arithmetic, the texts the editor
// shows, and SelectProgram keeping the edits of the program it leaves.

#include "programs/ProgramNumbering.h"
#include "engine/InstrumentParams.h"
#include "unit/vorn/VornTestSupport.h"

using namespace programs;

TEST(ProgramNumbering, NextAndPreviousWrapAndSelectorsKeepThePosition) {
    EXPECT_EQ(NextProgram(335), 0);
    EXPECT_EQ(NextProgram(47), 48);
    EXPECT_EQ(PreviousProgram(0), 335);
    EXPECT_EQ(PreviousProgram(48), 47);
    // Program 50 is bank 2, number 03; choosing bank 3 gives bank 3, number 03.
    EXPECT_EQ(ProgramInVoiceBank(50, 2), 98);
    EXPECT_EQ(VoiceBankText(98), "3");
    EXPECT_EQ(ProgramNumberText(98), "03");
    EXPECT_EQ(ProgramNumberText(335), "48");
    EXPECT_EQ(VoiceBankText(335), "7");
    EXPECT_EQ(ProgramNumberText(0), "01");
    // Item 5 of group "25 - 36" inside the bank of program 100 (bank 3).
    EXPECT_EQ(ProgramOfSelectorItem(100, 3, 5), 96 + 24 + 4);
    EXPECT_EQ(ProgramOfSelectorItem(335, 1, 1), 288);
    EXPECT_EQ(FirstProgramOfVoiceBank(143), 96);
}

TEST(ProgramNumbering, SelectProgramStoresTheProgramLeftAndRecallsTheOneChosen) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    plugin.SelectProgram(10);
    plugin.GetParam(engine::kTranspose).SetClamped(-5);
    plugin.SelectProgram(11);
    EXPECT_EQ(plugin.CurrentPresetIndex(), 11);
    double eleven = plugin.GetParam(engine::kTranspose).Value();
    plugin.SelectProgram(10);
    EXPECT_EQ(plugin.GetParam(engine::kTranspose).Value(), -5);
    plugin.SelectProgram(11);
    EXPECT_EQ(plugin.GetParam(engine::kTranspose).Value(), eleven);
    // The host hears of the change and of every parameter.
    EXPECT_GT(vorn.host.CountCalls(vst2::audioMasterUpdateDisplay), 0);
    EXPECT_GE(vorn.host.CountCalls(vst2::audioMasterAutomate), 91);
    // An index outside the store changes nothing.
    plugin.SelectProgram(336);
    EXPECT_EQ(plugin.CurrentPresetIndex(), 11);
}
