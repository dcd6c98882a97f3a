#pragma once
// The plug-in binary's side of the editor link (Lv2EditorLink.h): the editor opened on the plug-in
// instance the host hands over, or on a stand-in when it hands over none. The plug-in's
// descriptor answers extension_data(kEditorLinkUri) with it.

#include "lv2/Lv2EditorLink.h"

namespace lv2 {

const VornaLv2EditorLink* EditorLink();

} // namespace lv2
