#include "editor/UtilityActions.h"

#include "editor/ControlLayout.h"
#include "editor/EditorHost.h"
#include "editor/VornEditor.h"
#include "programs/ProgramNumbering.h"

namespace editor {

bool RunUtilityAction(VornEditor& editor, int id) {
    EditorHost& owner = editor.Owner();
    switch (id) {
    case kIdCopy:
        owner.CopyProgram();
        break;
    case kIdPrevProgram:
    case kIdBrowserPrevProgram:
        owner.SelectProgram(programs::PreviousProgram(owner.CurrentPresetIndex()));
        break;
    case kIdNextProgram:
    case kIdBrowserNextProgram:
        owner.SelectProgram(programs::NextProgram(owner.CurrentPresetIndex()));
        break;
    case kIdSendToModule:
        owner.SendAllParamsToModule();
        break;
    case kIdSourceFile:
        owner.BuildFolderBankList();
        editor.RefreshBrowserLists();
        break;
    case kIdSourceIntern:
        owner.BuildCurrentBankList();
        editor.RefreshBrowserLists();
        break;
    case kIdSourceFactory:
        owner.BuildFactoryBankList();
        editor.RefreshBrowserLists();
        break;
    default:
        return false;
    }
    platform::ScopedLock lock(owner.Mutex());
    owner.Browser().needsRedraw = true;
    return true;
}

} // namespace editor
