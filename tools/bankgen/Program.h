#pragma once
// One program as the generator makes it: its seven-character name, its 91 values and the facts
// its bank's manifest states about it, with the source line it comes from.

#include "Recipe.h"

#include <string>

namespace bankgen {

struct Program {
    std::string name; // exactly seven characters
    Values values;
    SoundFacts facts;
    std::string recipe; // the recipe it was made from
    std::string where;  // file:line of the layout line that placed it
};

// name cut or padded with blanks to seven characters.
std::string SevenCharacters(const std::string& name);

} // namespace bankgen
