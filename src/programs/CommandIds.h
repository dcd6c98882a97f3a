#pragma once
// The numbers of the option menu's and the program utility buttons' commands, shared by the
// editor that offers them and the product that carries them out.

namespace programs {

enum Command : int {
    kCopyProgram = 0,
    kPasteProgram = 1,
    kInitializeProgram = 2,
    kLoadProgramFile = 3,
    kSaveProgramFile = 4,
    kLoadBankFile = 5,
    kRestoreFactoryPrograms = 6,
    kSaveBankFile = 7,
    kLoadSysExFile = 8,
    kSaveVoiceSysExFile = 9,
    kSaveBank1SysExFile = 10,
    kSaveBank2SysExFile = 11,
    kSelectStartupBank = 12,
    kLoadStartupBank = 13,
    kUnselectStartupBank = 14,
    kProgramFolder = 15,
    kSysExFolder = 16,
    kReloadConfiguration = 17,
    kSaveConfiguration = 18,
    kToggleShowAllKnobValues = 19,
    kToggleMidiThru = 20,
    kToggleIgnoreProgramChange = 21,
    kToggleSendParamChangeSysEx = 22,
    kCheckForUpdate = 23,
    kVisitMakerWebSite = 24, // carried out by the menu itself: VisitMakerWebSite
    // The editor's size: 100, 125, 150, 175 and 200 %, then following the system's scale.
    kEditorSize100 = 25,
    kEditorSize125 = 26,
    kEditorSize150 = 27,
    kEditorSize175 = 28,
    kEditorSize200 = 29,
    kEditorSizeOfSystem = 30,
};

} // namespace programs
