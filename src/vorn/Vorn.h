#pragma once
// The product: the four-operator FM instrument. It ties the parameter table, the engine, the
// programs and the editor to the plug-in base.

#include "engine/RenderLoop.h"
#include "engine/VoiceEngine.h"
#include "programs/BrowserData.h"
#include "programs/ParamChangeSysEx.h"
#include "programs/ProgramClipboard.h"
#include "programs/SysExFormat.h"
#include "programs/SysExReceiveBuffer.h"
#include "synth/Synth.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace editor {
class VornEditor;
}

namespace vorn {

class VornEditorHost;

class Vorn : public synth::Synth {
public:
    static constexpr const char* kIoConfiguration = "1-0 0-2";

    explicit Vorn(const host::PluginSetup& setup);
    ~Vorn() override;

    // The engine (VornEngine.cpp).
    void ResetProcessing() override;
    void ParamNoticed(int index) override;
    void ApplyParamToEngine(int index, double value) override;
    void RenderBlock(double** inputs, double** outputs, int frames) override;
    bool RenderBlockUnlessSilent(double** inputs, double** outputs, int frames) override;
    void AllNotesOff() override;
    engine::VoiceEngine& Voices() { return voices_; }
    engine::RenderLoop& Render() { return render_; }
    const engine::MidiEventQueue& MidiEvents() const { return midiEvents_; }
    const engine::TickClock& Clock() const { return tickClock_; }

    // Program state (VornState.cpp).
    bool WriteState(host::ChunkBuffer& buffer) override;
    int ReadState(const host::ChunkBuffer& buffer, int position) override;
    int CheckState(const host::ChunkBuffer& buffer, int position) override;
    int NormalizeState(int index, const host::ChunkBuffer& buffer, int position,
                       host::ChunkBuffer& out) override;

    // Programs and the browser's data (VornPrograms.cpp).
    void SelectProgram(int index) override;
    void SetProgramName(const char* text);
    void CopyProgram();
    void PasteProgram() override;
    void InitializeProgram() override;
    void LoadStartupOrFactoryBank();
    void RestoreFactorySounds();
    void RefreshParamControls() override;
    void BuildFactoryBankList();
    void BuildFolderBankList();
    void BuildCurrentBankList();
    void LoadBrowserBank(int row);
    void ApplyBrowserProgram(int cell);
    void PageBankList(int delta);
    void PageProgramGrid(int delta);
    // The browser's lists change under the instance mutex (a host's program change rebuilds the
    // own-programs list); hold it while reading them.
    programs::BrowserState& Browser() { return browser_; }
    const programs::ProgramClipboard& Clipboard() const { return clipboard_; }
    // Sends the current program to the module as a single-voice dump.
    void SendCurrentVoice();

    // FB-01 SysEx (VornSysEx.cpp): parameter changes out on edits, received dumps and parameter
    // changes applied, the current program sent as a voice dump, and the SysEx file commands.
    void SetParamFromEditor(int index, double normalized) override;
    // A complete message from F0 to F7; false when it is not one that can be applied.
    bool ApplySysEx(const std::uint8_t* data, std::size_t size);
    // Writes an imported voice as the state and name of program index (0 to 335).
    void VoiceToProgram(int index, const programs::VoiceRecord& record);
    // Recalls program index and encodes it; false (empty block) for an index out of range.
    bool ProgramToVoice(int index, programs::VoiceBlock& block);
    programs::Bytes BuildVoiceDump();
    void SendParamChange(int index);
    void ReceiveParamChange(int moduleParam, std::uint8_t data);
    // Clamps value into the parameter's range and sets it as the editor does.
    void SetParamFromInteger(int index, int value);
    // The ">> FB-01" button: stores the current sound, then sends it.
    void SendAllParamsToModule();
    // The file commands after their dialogs, with their questions and messages.
    bool LoadSysExFile(const std::string& path);
    bool SaveVoiceSysExFile(const std::string& path);
    bool SaveBankSysExFile(const std::string& path, int bank);
    // The option-menu commands with their dialogs. The folder command returns true when the
    // default SysEx folder changed, so that the configuration file can be written.
    void RunLoadSysExFileCommand();
    void RunSaveVoiceSysExFileCommand();
    void RunSaveBankSysExFileCommand(int bank);
    bool RunSysExFolderCommand();
    std::string LastSysExFolder() const;

    // The editor (Vorn.cpp): built with the instance and attached; it refreshes on idle calls
    // while its window is open and the needs-redraw flag (the browser state's) is set.
    editor::VornEditor* EditorView() const { return editorView_.get(); }
    void IdleTick() override;
    bool SaveEditorPicture(const std::string& path, int scalePercent = 0) override;
    // Gives the editor the size the settings ask for: a chosen one, or the system's. False when
    // the editor is open and the host refused to resize it (it keeps its size until reopened).
    bool ApplyEditorSize();
    void EditorOpened() override;

protected:
    void HandleMidiNow(const host::MidiMessage& message, bool controlHeld) override;
    void HandleSysExNow(const host::SysExMessage& message) override;
    bool SysExReplacesBank(const host::SysExMessage& message) override;
    void ClearHeldNotes() override;
    void LearnSwitchedOff() override;

private:
    void CreateParameters();
    // The engine (VornEngine.cpp).
    void ApplyGlobalParam(int index, double value, bool on);
    void QueueMidi(host::MidiMessage message, bool adjustOffset);
    bool RenderOutputs(double** inputs, double** outputs, int frames, bool mayLeaveSilenceOut);
    static void MappedController(void* context, int controller, int value);
    engine::VoiceEngine voices_;
    engine::RenderLoop render_{voices_, midiEvents_, tickClock_};
    // Fills all programs from factory bank index's embedded image.
    bool LoadFactoryImage(int index);
    // Rebuilds the browser's list of own programs when it shows them, keeping its grid offset.
    void RefreshOwnProgramList();
    // Puts a program state and name into the current program, then sends it to the module.
    void ApplyProgramContent(const host::ChunkBuffer& state, const std::string& name);

    programs::ProgramClipboard clipboard_;
    programs::BrowserState browser_;

    programs::ParamValues CurrentParamValues() const;
    // The values program index would give the parameters once recalled, read from its stored
    // state without recalling it: nothing changes and nothing is notified. The current sound for
    // the current program or one never initialised (recalling such a one stores the sound).
    programs::ParamValues StoredParamValues(int index) const;
    int CurrentBankBase() const;
    bool FinishSysExSave(const std::string& path, const programs::Bytes& bytes);
    programs::SysExReceiveBuffer sysExReceive_;
    programs::KeyScalingBits receivedKeyScaling_;
    std::unique_ptr<VornEditorHost> editorHost_;
    std::unique_ptr<editor::VornEditor> editorView_;
};

} // namespace vorn
