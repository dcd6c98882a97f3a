#include "vorn/VornEditorHost.h"

#include "vorn/ProgramCommands.h"
#include "vorn/Vorn.h"

namespace vorn {

VornEditorHost::VornEditorHost(Vorn& vorn) : EditorHost(vorn), vorn_(vorn) {}

programs::BrowserState& VornEditorHost::Browser() {
    return vorn_.Browser();
}
const programs::ProgramClipboard& VornEditorHost::Clipboard() const {
    return vorn_.Clipboard();
}
void VornEditorHost::SetProgramName(const char* text) {
    vorn_.SetProgramName(text);
}
void VornEditorHost::CopyProgram() {
    vorn_.CopyProgram();
}
void VornEditorHost::SendAllParamsToModule() {
    vorn_.SendAllParamsToModule();
}
void VornEditorHost::BuildFactoryBankList() {
    vorn_.BuildFactoryBankList();
}
void VornEditorHost::BuildFolderBankList() {
    vorn_.BuildFolderBankList();
}
void VornEditorHost::BuildCurrentBankList() {
    vorn_.BuildCurrentBankList();
}
void VornEditorHost::LoadBrowserBank(int row) {
    vorn_.LoadBrowserBank(row);
}
void VornEditorHost::ApplyBrowserProgram(int cell) {
    vorn_.ApplyBrowserProgram(cell);
}
void VornEditorHost::PageBankList(int delta) {
    vorn_.PageBankList(delta);
}
void VornEditorHost::PageProgramGrid(int delta) {
    vorn_.PageProgramGrid(delta);
}
void VornEditorHost::RunCommand(int command) {
    vorn::RunCommand(vorn_, command);
}
void VornEditorHost::VisitMakerWebSite() {
    vorn::VisitMakerWebSite(vorn_.Ui());
}

} // namespace vorn
