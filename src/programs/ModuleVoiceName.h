#pragma once
// The name a program gets in an exported voice record. The module shows seven bytes of its own
// character set, one byte per character, while program names are UTF-8: each character of the
// name becomes one byte, so a name of seven characters still fits and no character is split.

#include <string>

namespace programs {

// At most seven bytes: ASCII stays as it is; an accented Latin letter becomes its plain letter
// ("Flûte" gives "Flute"); any other UTF-8 character becomes "?". A byte that is not part of a
// valid UTF-8 character is kept, as names imported from the module hold the module's own bytes
// and must come back unchanged.
std::string ModuleVoiceName(const std::string& name);

} // namespace programs
