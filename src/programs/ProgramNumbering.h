#pragma once
// How the 336 programs are numbered: seven voice banks of 48, as the module's voice banks, with
// the bank shown as 1 to 7 and the program inside it as 01 to 48. The editor's selectors and the
// next/previous buttons move through them with the rules here.

#include <string>

namespace programs {

constexpr int kProgramCount = 336;
constexpr int kVoiceBankSize = 48;
constexpr int kVoiceBankCount = kProgramCount / kVoiceBankSize; // 7
constexpr int kProgramGroupSize = 12; // the program selector's groups "1 - 12" ... "37 - 48"

constexpr int VoiceBankOf(int program) {
    return program / kVoiceBankSize;
}
constexpr int PositionInVoiceBank(int program) {
    return program % kVoiceBankSize;
}
constexpr int FirstProgramOfVoiceBank(int program) {
    return VoiceBankOf(program) * kVoiceBankSize;
}
// Next and previous wrap around the whole store.
constexpr int NextProgram(int current) {
    return current >= kProgramCount - 1 || current < 0 ? 0 : current + 1;
}
constexpr int PreviousProgram(int current) {
    return current <= 0 || current >= kProgramCount ? kProgramCount - 1 : current - 1;
}
// Item (from 1) of group (from 1) of the program selector, inside the current voice bank.
constexpr int ProgramOfSelectorItem(int current, int group, int item) {
    return FirstProgramOfVoiceBank(current) + (group - 1) * kProgramGroupSize + (item - 1);
}
// Voice bank (from 0) chosen with the bank selector: the position inside the bank is kept.
constexpr int ProgramInVoiceBank(int current, int bank) {
    return bank * kVoiceBankSize + PositionInVoiceBank(current);
}

// "1" to "7" and "01" to "48", as the editor shows them.
std::string VoiceBankText(int program);
std::string ProgramNumberText(int program);

} // namespace programs
