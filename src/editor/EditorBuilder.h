#pragma once
// Builds the instrument's editor from the layout tables: the images, the background, every
// control of the main view and the browser overlay in attach order, the registry, and finally the
// overlay hidden.

namespace editor {

class VornEditor;

// Called once, while the plug-in is constructed, before the editor is attached.
void BuildEditor(VornEditor& editor);

} // namespace editor
