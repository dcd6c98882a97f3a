// The five option menus: their items and commands, the states they show (disabled start-up bank
// items, check marks of the options), how a choice inside a submenu becomes a command, and the
// commands run from a click in the real instrument.

#include "VornEditorSupport.h"

#include "editor/ControlLayout.h"
#include "editor/FBKnobControl.h"
#include "editor/FBOptionMenu.h"
#include "graphics/PopupMenu.h"
#include "synth/SynthSettings.h"
#include "update/VersionCheck.h"

#include <gtest/gtest.h>

using editor_test::EditorInstance;
using editor_test::Left;
using graphics::PopupMenu;
using namespace editor;

namespace {

std::vector<std::string> Labels(const PopupMenu& menu) {
    std::vector<std::string> labels;
    for (int i = 0; i < menu.ItemCount(); ++i)
        labels.push_back(menu.ItemAt(i).flags & PopupMenu::kSeparator ? "-" : menu.ItemAt(i).text);
    return labels;
}

} // namespace

TEST(OptionMenus, TheMainMenuShowsTheCurrentStartupBankAndOptions) {
    synth::SynthSettings settings;
    settings.midiThru = true;
    settings.ignoreProgramChange = false;
    settings.sendParamChangeSysEx = false;
    settings.showAllKnobValues = false;
    PopupMenu menu;
    std::vector<int> commands;
    BuildOptionMenu(kIdMainMenu, settings, menu, commands);
    EXPECT_EQ(menu.ItemAt(0).flags, 0);
    EXPECT_EQ(menu.ItemAt(1).flags, PopupMenu::kDisabled);
    EXPECT_EQ(menu.ItemAt(2).flags, PopupMenu::kDisabled);
    EXPECT_EQ(menu.ItemAt(7).flags, 0);
    const PopupMenu& midi = *menu.ItemAt(4).submenu;
    ASSERT_EQ(Labels(midi), (std::vector<std::string>{"MIDI Thru", "Ignore Program Change",
                                                      "Send Parameter Change SysEx"}));
    EXPECT_EQ(midi.ItemAt(0).flags, PopupMenu::kChecked);
    EXPECT_EQ(midi.ItemAt(1).flags, 0);
    EXPECT_EQ(midi.ItemAt(2).flags, 0);
    EXPECT_EQ(Labels(*menu.ItemAt(9).submenu),
              (std::vector<std::string>{"Check Online for Update",
                                        std::string("Visit ") + update::kMakerHost}));

    settings.startupBankPath = "/banks/start.fxb";
    settings.showAllKnobValues = true;
    PopupMenu again;
    BuildOptionMenu(kIdMainMenu, settings, again, commands);
    EXPECT_EQ(again.ItemAt(1).flags, 0);
    EXPECT_EQ(again.ItemAt(2).flags, 0);
    EXPECT_EQ(again.ItemAt(7).flags, PopupMenu::kChecked);
}

TEST(OptionMenus, AClickRunsTheChosenCommandAndADismissedMenuNothing) {
    EditorInstance e;
    graphics::Control* button = e.Find(kIdMainMenu);
    ASSERT_NE(button, nullptr);
    e.plugin().Settings().midiThru = false;

    e.ChooseInMenus("");
    e.Click(button, Left());
    EXPECT_EQ(e.window().MenusShown(), 1);
    EXPECT_FALSE(e.plugin().Settings().midiThru);

    e.ChooseInMenus("MIDI Thru");
    e.Click(button, Left());
    EXPECT_TRUE(e.plugin().Settings().midiThru);
    e.ChooseInMenus("");
    e.Click(button, Left());
    EXPECT_EQ(e.lastMenu[4].submenu[0].flags, PopupMenu::kChecked);

    // "Show All Knob Values": every knob shows its value from now on.
    auto* knob = e.Find<FBKnobControl>(0);
    ASSERT_FALSE(knob->ShowsValue());
    e.ChooseInMenus("Show All Knob Values");
    e.Click(button, Left());
    EXPECT_TRUE(e.plugin().Settings().showAllKnobValues);
    EXPECT_TRUE(knob->ShowsValue());
    EXPECT_TRUE(knob->IsDirty());

    // The maker's page opens in the browser, without going through the command handler.
    e.ChooseInMenus(std::string("Visit ") + update::kMakerHost);
    e.Click(button, Left());
    ASSERT_EQ(e.ui.opened.size(), 1u);
    EXPECT_EQ(e.ui.opened[0].find("http://"), 0u);

    // LOAD: a cancelled dialog loads nothing.
    const std::string name = e.plugin().PresetName(e.plugin().CurrentPresetIndex());
    e.ChooseInMenus("Load Program (FXP)");
    e.Click(e.Find(kIdLoadMenu), Left());
    ASSERT_EQ(e.ui.dialogs.size(), 1u);
    EXPECT_EQ(e.ui.dialogs[0].extension, "fxp");
    EXPECT_EQ(e.plugin().PresetName(e.plugin().CurrentPresetIndex()), name);
}
