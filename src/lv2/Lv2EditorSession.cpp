#include "lv2/Lv2EditorSession.h"

namespace lv2 {

// Until the editor link is built the UI binary finds none and says so.
const VornaLv2EditorLink* EditorLink() {
    return nullptr;
}

} // namespace lv2
