// The program commands on the store: names of seven characters, Initialise, copy and paste, the
// start-up fill from the start-up bank or the factory bank, and restoring the factory sounds.

#include "engine/InstrumentParams.h"
#include "host/ProgramState.h"
#include "programs/BrowserReader.h"
#include "unit/host/StateTestSupport.h"

using namespace statetest;

TEST(ProgramBank, NamesOfUpToSevenCharactersArePaddedLongerOnesNotApplied) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    plugin.SelectProgram(3);
    plugin.SetProgramName("Flute");
    EXPECT_EQ(plugin.PresetName(3), "Flute  ");
    plugin.GetParam(engine::kTranspose).SetClamped(12);
    plugin.SetProgramName("Tenletters");
    EXPECT_EQ(plugin.PresetName(3), "Flute  ");
    // The state was stored all the same.
    plugin.GetParam(engine::kTranspose).SetClamped(0);
    plugin.RecallPreset(3);
    EXPECT_EQ(plugin.GetParam(engine::kTranspose).Value(), 12);
    plugin.SetProgramName("Seven77");
    EXPECT_EQ(plugin.PresetName(3), "Seven77");
    plugin.SetProgramName(nullptr);
    EXPECT_EQ(plugin.PresetName(3), "Seven77");
    EXPECT_TRUE(plugin.Browser().needsRedraw);
}

TEST(ProgramBank, InitialiseGivesEveryParameterItsDefault) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    plugin.SelectProgram(7);
    for (int p = 0; p < plugin.ParamCount(); ++p)
        plugin.GetParam(p).SetClamped(plugin.GetParam(p).Max());
    plugin.InitializeProgram();
    for (int p = 0; p < plugin.ParamCount(); ++p)
        EXPECT_EQ(plugin.GetParam(p).Value(), plugin.GetParam(p).Default()) << p;
    EXPECT_EQ(plugin.GetParam(engine::kMasterVolume).Value(), 1.0);
    EXPECT_EQ(plugin.PresetName(7), "Init   ");
    // Stored in program 7.
    plugin.SelectProgram(8);
    plugin.SelectProgram(7);
    EXPECT_EQ(plugin.GetParam(engine::OperatorParamIndex(2, engine::kOpAttack)).Value(), 31);
}

TEST(ProgramBank, PasteBeforeCopyChangesNothingAndPasteTakesSoundAndSourceName) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    plugin.SelectProgram(9);
    auto programs = Programs(plugin);
    std::vector<double> values = ParamValues(plugin);
    EXPECT_TRUE(plugin.Clipboard().Empty());
    plugin.PasteProgram();
    EXPECT_EQ(Programs(plugin), programs);
    EXPECT_EQ(ParamValues(plugin), values);

    plugin.SelectProgram(5);
    plugin.GetParam(engine::kTranspose).SetClamped(-9);
    plugin.CopyProgram();
    std::vector<double> copied = ParamValues(plugin);
    EXPECT_EQ(plugin.Clipboard().sourceIndex, 5);
    // Program 5 is renamed after the copy: the paste takes the name as it is when pasting.
    plugin.SetProgramName("Source");
    plugin.SelectProgram(9);
    plugin.PasteProgram();
    EXPECT_EQ(ParamValues(plugin), copied);
    EXPECT_EQ(plugin.PresetName(9), "Source ");
    EXPECT_EQ(plugin.CurrentPresetIndex(), 9);
    plugin.SelectProgram(0);
    plugin.SelectProgram(9);
    EXPECT_EQ(plugin.GetParam(engine::kTranspose).Value(), -9);
}

TEST(ProgramBank, StartupBankOrFactoryBank) {
    TempFolder folder;
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    auto factory = Programs(plugin);
    EXPECT_EQ(factory[0].first, programs::ReadFactoryBrowserPrograms(0)[0].name);

    // A start-up bank that exists is loaded.
    StoreAllPatternPrograms(plugin);
    auto user = Programs(plugin);
    std::string path = folder.File("startup.fxb");
    ASSERT_TRUE(plugin.SaveBankFile(path));
    plugin.RestoreFactorySounds();
    EXPECT_EQ(Programs(plugin), factory);
    plugin.Settings().startupBankPath = path;
    plugin.LoadStartupOrFactoryBank();
    EXPECT_EQ(Programs(plugin), user);
    EXPECT_EQ(plugin.Settings().startupBankPath, path);

    // One that is missing is forgotten and the factory bank is loaded.
    plugin.Settings().startupBankPath = folder.File("missing.fxb");
    plugin.LoadStartupOrFactoryBank();
    EXPECT_EQ(Programs(plugin), factory);
    EXPECT_EQ(plugin.Settings().startupBankPath, "");
    // RestoreFactorySounds keeps the start-up path.
    plugin.Settings().startupBankPath = path;
    plugin.RestoreFactorySounds();
    EXPECT_EQ(plugin.Settings().startupBankPath, path);
}
