#pragma once
// The controls of the main view and of the browser overlay, in attach order. EditorControls()
// (ControlLayout.h) is both lists joined; these are its parts.

#include "editor/ControlLayout.h"

#include <vector>

namespace editor {

std::vector<ControlSpec> MainViewControls();
std::vector<ControlSpec> BrowserControls();

} // namespace editor
