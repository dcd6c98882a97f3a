#pragma once
// The editor's interface on a stand-in instance (host::PluginSetup::standIn): an instance that
// only mirrors the parameters of a plug-in that its editor cannot reach. Its programs, banks,
// settings and learned controllers are not the real plug-in's, so every command that would act on
// them, or on files, SysEx or MIDI learn, does nothing but tell the user what it needs. The
// parameters still show and edit as in any editor.

#include "vorn/VornEditorHost.h"

namespace vorn {

class StandInEditorHost : public VornEditorHost {
public:
    static constexpr const char* kNeedsInstanceAccess =
        "This needs a host that gives the editor access to the plug-in (LV2 instance access).";

    explicit StandInEditorHost(Vorn& vorn);

    void StartLearn(bool unlearn, bool on) override;
    void SelectProgram(int index) override;
    void SetProgramName(const char* text) override;
    void CopyProgram() override;
    void SendAllParamsToModule() override;
    void BuildFactoryBankList() override;
    void BuildFolderBankList() override;
    void BuildCurrentBankList() override;
    void LoadBrowserBank(int row) override;
    void ApplyBrowserProgram(int cell) override;
    void RunCommand(int command) override;
    bool MayOpenBrowser() override;

private:
    void TellNeedsInstanceAccess();

    Vorn& vorn_;
};

} // namespace vorn
