#include "editor/FBOptionMenu.h"

#include "editor/ControlLayout.h"
#include "editor/EditorHost.h"
#include "editor/VornEditor.h"
#include "graphics/PopupMenu.h"
#include "programs/CommandIds.h"
#include "synth/SynthSettings.h"
#include "update/VersionCheck.h"

#include <string>

namespace editor {

using graphics::PopupMenu;
using namespace programs;

namespace {

constexpr int kMidiSubmenuFirst = kToggleMidiThru;   // 20
constexpr int kOnlineSubmenuFirst = kCheckForUpdate; // 23
constexpr const char* kMidiSubmenuText = "Global MIDI Settings...";
constexpr const char* kOnlineSubmenuText = "Go Online...";
constexpr const char* kEditorSizeSubmenuText = "Editor Size";
// The size items in command order: the five sizes, then the system's.
constexpr const char* kEditorSizeTexts[] = {"100 %", "125 %", "150 %",
                                            "175 %", "200 %", "Follow System"};
constexpr int kEditorSizes[] = {100, 125, 150, 175, 200, 0};

void Add(PopupMenu& menu, std::vector<int>& commands, const char* text, int command,
         int flags = 0) {
    menu.AddItem(text, flags);
    commands.push_back(command);
}

void Separator(PopupMenu& menu, std::vector<int>& commands) {
    menu.AddSeparator();
    commands.push_back(-1);
}

int Checked(bool on) {
    return on ? PopupMenu::kChecked : 0;
}

} // namespace

bool BuildOptionMenu(int id, const synth::SynthSettings& settings, PopupMenu& menu,
                     std::vector<int>& commands) {
    commands.clear();
    switch (id) {
    case kIdLoadMenu:
        Add(menu, commands, "Load Program (FXP)", kLoadProgramFile);
        Add(menu, commands, "Load All Programs (FXB)", kLoadBankFile);
        Add(menu, commands, "Restore Factory Programs", kRestoreFactoryPrograms);
        Separator(menu, commands);
        Add(menu, commands, "Default Path for Program Files", kProgramFolder);
        return true;
    case kIdSaveMenu:
        Add(menu, commands, "Save Program (FXP)", kSaveProgramFile);
        Add(menu, commands, "Save All Programs (FXB)", kSaveBankFile);
        Separator(menu, commands);
        Add(menu, commands, "Default Path for Program Files", kProgramFolder);
        return true;
    case kIdLoadSyxMenu:
        Add(menu, commands, "Load SysEx File", kLoadSysExFile);
        Separator(menu, commands);
        Add(menu, commands, "Default Path for SysEx Files", kSysExFolder);
        return true;
    case kIdSaveSyxMenu:
        Add(menu, commands, "Save Voice SysEx File", kSaveVoiceSysExFile);
        Add(menu, commands, "Save as Voice Bank 1 SysEx File", kSaveBank1SysExFile);
        Add(menu, commands, "Save as Voice Bank 2 SysEx File", kSaveBank2SysExFile);
        Separator(menu, commands);
        Add(menu, commands, "Default Path for SysEx Files", kSysExFolder);
        return true;
    case kIdMainMenu: {
        const int startup = settings.startupBankPath.empty() ? PopupMenu::kDisabled : 0;
        Add(menu, commands, "Select Startup FXB", kSelectStartupBank);
        Add(menu, commands, "Load Startup FXB", kLoadStartupBank, startup);
        Add(menu, commands, "Unselect Startup FXB", kUnselectStartupBank, startup);
        Separator(menu, commands);
        PopupMenu& midi = menu.AddSubmenu(kMidiSubmenuText);
        commands.push_back(-1);
        midi.AddItem("MIDI Thru", Checked(settings.midiThru));
        midi.AddItem("Ignore Program Change", Checked(settings.ignoreProgramChange));
        midi.AddItem("Send Parameter Change SysEx", Checked(settings.sendParamChangeSysEx));
        Add(menu, commands, "Reload Configuration", kReloadConfiguration);
        Add(menu, commands, "Save Configuration", kSaveConfiguration);
        Add(menu, commands, "Show All Knob Values", kToggleShowAllKnobValues,
            Checked(settings.showAllKnobValues));
        Separator(menu, commands);
        PopupMenu& online = menu.AddSubmenu(kOnlineSubmenuText);
        commands.push_back(-1);
        online.AddItem("Check Online for Update");
        online.AddItem(std::string("Visit ") + update::kMakerHost);
        // Last, so that the items above keep their places.
        PopupMenu& size = menu.AddSubmenu(kEditorSizeSubmenuText);
        commands.push_back(-1);
        for (int i = 0; i < 6; ++i)
            size.AddItem(kEditorSizeTexts[i], Checked(settings.editorSize == kEditorSizes[i]));
        return true;
    }
    default:
        return false;
    }
}

int ChosenCommand(const PopupMenu& menu, const std::vector<int>& commands,
                  const PopupMenu* chosen) {
    if (!chosen) return -1;
    const int index = chosen->ChosenItemIndex();
    if (chosen == &menu)
        return index >= 0 && index < static_cast<int>(commands.size())
                   ? commands[static_cast<std::size_t>(index)]
                   : -1;
    for (int i = 0; i < menu.ItemCount(); ++i) {
        if (menu.ItemAt(i).submenu.get() != chosen) continue;
        if (menu.ItemAt(i).text == kMidiSubmenuText) return kMidiSubmenuFirst + index;
        if (menu.ItemAt(i).text == kOnlineSubmenuText) return kOnlineSubmenuFirst + index;
        if (menu.ItemAt(i).text == kEditorSizeSubmenuText) return kEditorSize100 + index;
    }
    return -1;
}

FBOptionMenu::FBOptionMenu(VornEditor& editor, const graphics::Rect& rect, int id)
    : Control(editor, rect, id), editor_(editor), owner_(editor.Owner()) {}

void FBOptionMenu::MouseDown(int, int, const graphics::Modifiers&) {
    PopupMenu menu;
    {
        // The option states are read as they are now.
        platform::ScopedLock lock(owner_.Mutex());
        if (!BuildOptionMenu(paramIndex_, owner_.Settings(), menu, commands_)) return;
    }
    const int command = ChosenCommand(menu, commands_, editor_.CreatePopupMenu(menu, rect_));
    if (command < 0) return;
    if (command == kVisitMakerWebSite)
        owner_.VisitMakerWebSite();
    else
        owner_.RunCommand(command);
    // A command may change what any control shows (the knob read-outs among them).
    platform::ScopedLock lock(owner_.Mutex());
    owner_.Browser().needsRedraw = true;
    editor_.SetAllControlsDirty();
}

} // namespace editor
