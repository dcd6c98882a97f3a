#pragma once
// The editor link of the plug-in binary (see Lv2EditorLink.h).

#include "lv2/Lv2EditorLink.h"

namespace lv2 {

const VornaLv2EditorLink* EditorLink();

} // namespace lv2
