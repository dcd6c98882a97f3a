#pragma once
// The product's side of the editor's interface: it hands the editor's requests to Vorn.

#include "editor/EditorHost.h"

namespace vorn {

class Vorn;

class VornEditorHost : public editor::EditorHost {
public:
    explicit VornEditorHost(Vorn& vorn);

    programs::BrowserState& Browser() override;
    const programs::ProgramClipboard& Clipboard() const override;
    void SetProgramName(const char* text) override;
    void CopyProgram() override;
    void SendAllParamsToModule() override;
    void BuildFactoryBankList() override;
    void BuildFolderBankList() override;
    void BuildCurrentBankList() override;
    void LoadBrowserBank(int row) override;
    void ApplyBrowserProgram(int cell) override;
    void PageBankList(int delta) override;
    void PageProgramGrid(int delta) override;
    void RunCommand(int command) override;
    void VisitMakerWebSite() override;

private:
    Vorn& vorn_;
};

} // namespace vorn
