#pragma once
// Finds the preset that stands for one of the plug-in's programs.

#include "Lv2Bundle.h"

namespace lv2_test {

// The preset of program (0..335): the one whose URI ends in the program's number. Null when none
// or more than one does.
const PresetInfo* PresetOfProgram(Lv2Bundle& bundle, int program);
// The number at the end of a preset's URI, else -1.
int ProgramNumberOfPresetUri(const std::string& uri);

} // namespace lv2_test
