#include "vorn/StandInEditorHost.h"

#include "editor/VornEditor.h"
#include "programs/CommandIds.h"
#include "vorn/Vorn.h"

namespace vorn {

StandInEditorHost::StandInEditorHost(Vorn& vorn) : VornEditorHost(vorn), vorn_(vorn) {}

void StandInEditorHost::TellNeedsInstanceAccess() {
    Ui().ShowMessage(platform::MessageKind::Information, kNeedsInstanceAccess, "Vorna");
}

void StandInEditorHost::StartLearn(bool, bool on) {
    if (!on) return;
    TellNeedsInstanceAccess();
    // The switch went on as it was clicked; it goes back off, since nothing is being learned.
    if (editor::VornEditor* view = vorn_.EditorView()) view->LearnSwitchedOff();
}

void StandInEditorHost::SelectProgram(int) {
    TellNeedsInstanceAccess();
}
void StandInEditorHost::SetProgramName(const char*) {
    TellNeedsInstanceAccess();
}
void StandInEditorHost::CopyProgram() {
    // Only the copy button's release copies here; its press ran the copy command, which has told
    // the user already.
}
void StandInEditorHost::SendAllParamsToModule() {
    TellNeedsInstanceAccess();
}
void StandInEditorHost::BuildFactoryBankList() {
    TellNeedsInstanceAccess();
}
void StandInEditorHost::BuildFolderBankList() {
    TellNeedsInstanceAccess();
}
void StandInEditorHost::BuildCurrentBankList() {
    TellNeedsInstanceAccess();
}
void StandInEditorHost::LoadBrowserBank(int) {
    TellNeedsInstanceAccess();
}
void StandInEditorHost::ApplyBrowserProgram(int) {
    TellNeedsInstanceAccess();
}
bool StandInEditorHost::MayOpenBrowser() {
    TellNeedsInstanceAccess();
    return false;
}

void StandInEditorHost::RunCommand(int command) {
    // How the knobs show their values and the editor's size are the editor's own matter, and
    // the update check asks a server, not the plug-in.
    const bool editorSize =
        command >= programs::kEditorSize100 && command <= programs::kEditorSizeOfSystem;
    if (command == programs::kToggleShowAllKnobValues || command == programs::kCheckForUpdate ||
        editorSize) {
        VornEditorHost::RunCommand(command);
        return;
    }
    TellNeedsInstanceAccess();
}

} // namespace vorn
