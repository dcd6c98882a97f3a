#pragma once
// The modifier state passed with every mouse event, and the key codes handed to controls.

namespace graphics {

struct Modifiers {
    bool left = false;
    bool right = false;
    bool shift = false;
    bool control = false;
    bool alt = false;
};

// Key codes handed to controls: space 0, up 1, down 2, left 3, right 4, the digits 0..9 give
// 5..14 and the letters A..Z give 15..40.
enum KeyCode {
    kKeySpace = 0,
    kKeyUp = 1,
    kKeyDown = 2,
    kKeyLeft = 3,
    kKeyRight = 4,
    kKeyDigit0 = 5,
    kKeyLetterA = 15,
};

// Maps a platform key code (virtual-key numbering: space 32, left 37, up 38, right 39, down 40,
// '0'..'9', 'A'..'Z'; 97..122 count as letters too, which is how lower-case key symbols arrive)
// to a key code, or -1 for a key that controls never see.
int MapPlatformKey(int platformKey);

} // namespace graphics
