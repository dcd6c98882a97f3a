#include "graphics/InputTypes.h"

namespace graphics {

int MapPlatformKey(int key) {
    switch (key) {
    case 32:
        return kKeySpace;
    case 38:
        return kKeyUp;
    case 40:
        return kKeyDown;
    case 37:
        return kKeyLeft;
    case 39:
        return kKeyRight;
    default:
        break;
    }
    if (key >= '0' && key <= '9') return kKeyDigit0 + (key - '0');
    if (key >= 'A' && key <= 'Z') return kKeyLetterA + (key - 'A');
    if (key >= 97 && key <= 122) return kKeyLetterA + (key - 97);
    return -1;
}

} // namespace graphics
