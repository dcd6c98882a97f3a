// Vorn's program operations: selection, names, copy, paste and initialise, the start-up fill of
// the 336 programs from the start-up bank or the factory bank, and the program browser's data.

#include "editor/VornEditor.h"
#include "host/ChunkVersion.h"
#include "platform/Files.h"
#include "programs/BrowserLayout.h"
#include "programs/BrowserReader.h"
#include "programs/FactoryBanks.h"
#include "programs/ProgramName.h"
#include "vorn/Vorn.h"

namespace vorn {

void Vorn::SelectProgram(int index) {
    Synth::SelectProgram(index);
    // Sent after the mutex is released, whatever the selection did.
    SendCurrentVoice();
}

void Vorn::SetProgramName(const char* text) {
    platform::ScopedLock lock(Mutex());
    std::string padded;
    if (text && programs::PadProgramName(text, padded)) {
        ModifyCurrentPreset(padded.c_str());
    } else {
        ModifyCurrentPreset();
    }
    RefreshOwnProgramList();
    browser_.needsRedraw = true;
}

void Vorn::CopyProgram() {
    platform::ScopedLock lock(Mutex());
    clipboard_.sourceIndex = CurrentPresetIndex();
    clipboard_.state.Clear();
    WriteState(clipboard_.state);
}

void Vorn::PasteProgram() {
    if (clipboard_.Empty()) return;
    platform::ScopedLock lock(Mutex());
    if (ReadState(clipboard_.state, 0) < 0) return;
    // The source's name as it is now; an index no longer valid gives an empty name, which keeps
    // the current program's own.
    std::string name = PresetName(clipboard_.sourceIndex);
    ModifyCurrentPreset(name.c_str());
    RefreshParamControls();
    ReportAllParamsToHost();
}

void Vorn::InitializeProgram() {
    platform::ScopedLock lock(Mutex());
    for (int i = 0; i < ParamCount(); ++i) GetParam(i).SetClamped(GetParam(i).Default());
    AllParamsChanged();
    SetProgramName("Init");
    RefreshParamControls();
    ReportAllParamsToHost();
}

bool Vorn::LoadFactoryImage(int index) {
    platform::Resource resource;
    if (!programs::FindFactoryImage(index, resource)) return false;
    host::ChunkBuffer image;
    image.Assign(resource.data, resource.size);
    int start = programs::FactoryImageEntriesStart(image);
    if (start < 0) return false;
    platform::ScopedLock lock(Mutex());
    if (UnserializePresets(image, start) < 0) return false;
    NotifyProgramChange();
    return true;
}

void Vorn::LoadStartupOrFactoryBank() {
    std::string& path = Settings().startupBankPath;
    if (!path.empty() && LoadBankFile(path)) return;
    // Forgotten until the plug-in is loaded again; the configuration file keeps it.
    path.clear();
    LoadFactoryImage(programs::kFactorySoundsIndex);
}

void Vorn::RestoreFactorySounds() {
    LoadFactoryImage(programs::kFactorySoundsIndex);
}

void Vorn::RefreshParamControls() {
    Synth::RefreshParamControls();
    RefreshOwnProgramList();
    // The bank, number and name fields show the program that is current now.
    if (editorView_) editorView_->RefreshProgramDisplay();
}

void Vorn::RefreshOwnProgramList() {
    platform::ScopedLock lock(Mutex());
    if (browser_.source != programs::BrowserSource::OwnPrograms) return;
    int offset = browser_.gridOffset;
    BuildCurrentBankList();
    browser_.gridOffset = offset;
}

void Vorn::BuildFactoryBankList() {
    platform::ScopedLock lock(Mutex());
    browser_.programs.clear();
    browser_.banks.clear();
    const auto& banks = programs::FactoryBanks();
    for (int i = 0; i < programs::kFactoryBankCount; ++i) {
        const programs::FactoryBank& bank = banks[static_cast<std::size_t>(i)];
        browser_.banks.push_back({bank.fileName, bank.displayName, false, i});
    }
    browser_.source = programs::BrowserSource::FactoryBank;
    browser_.bankListOffset = 0;
    browser_.gridOffset = 0;
    browser_.selectedBank = -1;
    browser_.highlightedProgram = -1;
}

void Vorn::BuildFolderBankList() {
    // The folder question; without an open editor the UI gives no answer and the folder stays.
    platform::FileDialogRequest request;
    request.save = true;
    request.extension = " ";
    request.defaultName = "[file name is ignored]";
    request.startFolder = Settings().programFolder;
    std::string chosen;
    if (Ui().ChooseFile(request, chosen)) {
        std::string folder = platform::FolderOfPath(chosen);
        if (!folder.empty()) Settings().programFolder = folder;
    }
    const std::string folder = Settings().programFolder;
    std::vector<std::string> names;
    std::vector<programs::BankListEntry> banks;
    if (!folder.empty() && platform::ListFolderFiles(folder, names)) {
        for (const std::string& name : names) {
            if (programs::IsBrowsableFileName(name))
                banks.push_back({platform::JoinPath(folder, name), name, true, 0});
        }
    }
    platform::ScopedLock lock(Mutex());
    browser_.programs.clear();
    browser_.banks = std::move(banks);
    browser_.source = programs::BrowserSource::File;
    browser_.bankListOffset = 0;
    browser_.selectedBank = -1;
    browser_.highlightedProgram = -1;
}

void Vorn::BuildCurrentBankList() {
    platform::ScopedLock lock(Mutex());
    browser_.programs.clear();
    for (int i = 0; i < PresetCount(); ++i) {
        const host::Preset& preset = GetPreset(i);
        if (!preset.initialised) continue;
        programs::BrowserProgram program;
        program.initialised = 1;
        program.name = preset.name;
        program.program = i;
        browser_.programs.push_back(std::move(program));
    }
    browser_.source = programs::BrowserSource::OwnPrograms;
    browser_.highlightedProgram = CurrentPresetIndex();
    browser_.selectedBank = -1;
    browser_.gridOffset = programs::GridOffsetShowing(CurrentPresetIndex());
}

void Vorn::LoadBrowserBank(int row) {
    programs::BankListEntry bank;
    {
        platform::ScopedLock lock(Mutex());
        int entry = browser_.bankListOffset + row;
        if (row < 0 || row >= programs::kBankListRows || entry < 0 ||
            entry >= static_cast<int>(browser_.banks.size()))
            return;
        browser_.selectedBank = entry;
        bank = browser_.banks[static_cast<std::size_t>(entry)];
    }
    // Files are read without the mutex, so that a slow disk never holds up rendering.
    std::vector<programs::BrowserProgram> listed;
    if (!bank.isFile) {
        listed = programs::ReadFactoryBrowserPrograms(bank.factoryIndex);
    } else if (!UsesStateChunks() ||
               !programs::ReadBrowserFilePrograms(bank.path, UniqueId(), listed)) {
        listed.clear();
    }
    platform::ScopedLock lock(Mutex());
    browser_.programs = std::move(listed);
    browser_.source =
        bank.isFile ? programs::BrowserSource::File : programs::BrowserSource::FactoryBank;
    browser_.gridOffset = 0;
    browser_.needsRedraw = true;
}

void Vorn::ApplyBrowserProgram(int cell) {
    programs::BrowserProgram chosen;
    programs::BrowserSource source;
    bool copy;
    {
        platform::ScopedLock lock(Mutex());
        browser_.needsRedraw = true;
        int item = programs::GridCellItem(cell, browser_.gridOffset);
        if (cell < 0 || cell >= programs::kGridCells || item < 0 ||
            item >= static_cast<int>(browser_.programs.size())) {
            browser_.highlightedProgram = -1;
            browser_.gridOffset = 0;
            return;
        }
        browser_.highlightedProgram = item;
        chosen = browser_.programs[static_cast<std::size_t>(item)];
        source = browser_.source;
        copy = browser_.copyOnClick;
        if (source == programs::BrowserSource::OwnPrograms && copy) {
            if (!IsValidPreset(chosen.program)) return;
            chosen.state = GetPreset(chosen.program).state;
            chosen.name = GetPreset(chosen.program).name;
        }
    }
    if (source != programs::BrowserSource::OwnPrograms || copy) {
        // The chosen sound and name go into the current program; its number stays.
        ApplyProgramContent(chosen.state, chosen.name);
        RefreshOwnProgramList();
    } else {
        SelectProgram(chosen.program);
    }
}

void Vorn::ApplyProgramContent(const host::ChunkBuffer& state, const std::string& name) {
    {
        platform::ScopedLock lock(Mutex());
        if (ReadState(state, 0) < 0) return;
        ModifyCurrentPreset(name.c_str());
        NotifyProgramChange();
        ReportAllParamsToHost();
    }
    SendCurrentVoice();
}

void Vorn::PageBankList(int delta) {
    platform::ScopedLock lock(Mutex());
    browser_.bankListOffset = programs::PagedBankListOffset(
        browser_.bankListOffset, delta, static_cast<int>(browser_.banks.size()));
    browser_.needsRedraw = true;
}

void Vorn::PageProgramGrid(int delta) {
    platform::ScopedLock lock(Mutex());
    browser_.gridOffset = programs::PagedGridOffset(browser_.gridOffset, delta,
                                                    static_cast<int>(browser_.programs.size()));
    browser_.needsRedraw = true;
}

} // namespace vorn
