#include "programs/ProgramNumbering.h"

namespace programs {

std::string VoiceBankText(int program) {
    return std::to_string(VoiceBankOf(program) + 1);
}

std::string ProgramNumberText(int program) {
    int number = PositionInVoiceBank(program) + 1;
    std::string text = std::to_string(number);
    return number >= 0 && number < 10 ? "0" + text : text;
}

} // namespace programs
