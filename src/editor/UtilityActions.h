#pragma once
// The actions of the editor's utility buttons and browser source buttons, by id: copy, previous
// and next program (wrapping over all 336), send the current sound to the module, and the three
// browser sources. Each sets the plug-in's needs-redraw flag; an id without an action does
// nothing and leaves the flag alone.

namespace editor {

class VornEditor;

// True when the id has an action (and it ran).
bool RunUtilityAction(VornEditor& editor, int id);

} // namespace editor
