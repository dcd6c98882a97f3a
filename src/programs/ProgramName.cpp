#include "programs/ProgramName.h"

namespace programs {

bool PadProgramName(const std::string& text, std::string& padded) {
    if (text.size() > kProgramNameLength) return false;
    padded = text + std::string(kProgramNameLength - text.size(), ' ');
    return true;
}

} // namespace programs
