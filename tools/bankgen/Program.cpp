#include "Program.h"

namespace bankgen {

std::string SevenCharacters(const std::string& name) {
    std::string seven = name.substr(0, 7);
    seven.resize(7, ' ');
    return seven;
}

} // namespace bankgen
