#pragma once
// The instrument's editor: the graphics core with the controls built from the layout tables, the
// control registry other editor parts find controls in, the learn switch the plug-in turns off,
// the program browser overlay and the refresh the plug-in runs from its idle calls.

#include "graphics/Graphics.h"

#include <map>
#include <vector>

namespace editor {

class EditorHost;

class FBSwitchMidiLearn;
class FBScrollItemControl;

class VornEditor : public graphics::Graphics {
public:
    explicit VornEditor(EditorHost& owner);

    EditorHost& Owner() { return owner_; }

    // The control registry: the operator strips by parameter index, the browser overlay by the
    // keys 107 to 373. A missing key yields null.
    void ClearRegistry() { registry_.clear(); }
    void Register(int key, graphics::Control* control);
    graphics::Control* Lookup(int key) const;

    // Controls that show the current program (bank, number, name); RefreshProgramDisplay redraws
    // them. Only marks them dirty, so it may run on any thread.
    void AddProgramDisplay(graphics::Control* control) { programDisplay_.push_back(control); }
    void RefreshProgramDisplay();

    // The learn switch: turned off when a learn completes (from any thread, as ShowParamValue).
    void SetLearnSwitch(FBSwitchMidiLearn* control) { learnSwitch_ = control; }
    FBSwitchMidiLearn* LearnSwitch() const { return learnSwitch_; }
    void LearnSwitchedOff();

    // The editor refresh, run from the plug-in's idle calls while the window is open and the
    // plug-in's needs-redraw flag is set: switched-off operators washed out, the browser's source
    // buttons as a radio group, the browser's pages refilled while it is shown, every control
    // marked for redraw; then the flag is cleared.
    void Refresh();

    // The program browser overlay (keys 107 to 373).
    void ShowBrowser();
    void HideBrowser();
    bool IsBrowserShown() const;
    // Writes the visible bank-list rows from list index first, and the visible program-grid
    // cells at grid offset 0 or 33.
    void FillBankListPage(int first);
    void FillProgramGridPage(int offset);
    // After a change of source: both pages again, the own-programs list rebuilt first when it is
    // the source.
    void RefreshBrowserLists();
    // Both pages from the current offsets.
    void FillBrowserPages();

private:
    FBScrollItemControl* Item(int key) const;
    void ShowOperatorState();
    void ShowBrowserSource();

    EditorHost& owner_;
    std::map<int, graphics::Control*> registry_;
    std::vector<graphics::Control*> programDisplay_;
    FBSwitchMidiLearn* learnSwitch_ = nullptr;
};

} // namespace editor
