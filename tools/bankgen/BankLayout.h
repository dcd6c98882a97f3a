#pragma once
// The layout of one factory bank, read from its source file (resources/banks/src/<stem>.txt):
// which recipe, with which variations, becomes each of the 7 x 48 programs, under which name.
//
//   bank collection1               the file's bank (init, tollund, collection1 .. collection9)
//   theme "Keys"                   what the bank is about
//   seed 301                       the bank's seed for the per-program jitter
//   jitter 1                       default jitter strength of its programs (0 = none)
//   voicebank 1 "Pianos"           starts voice bank 1..7; each holds exactly 48 programs
//   "E.Piano" EPiano               a program: name, recipe
//   "EP Dark" EPiano dark:2 ~0     ... variations (strength after ':'), jitter after '~'
//   series EPiano base bright long vibrato   one program per item, named from the recipe's short
//                                  name and the variation's tag ("EP Brt"); "a+b=Name" combines

#include "SourceText.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bankgen {

struct VariationUse {
    std::string name;
    int strength = 1;
};

struct LayoutEntry {
    std::string name; // as written; the generator pads it to seven characters
    bool generatedName = false;
    std::string recipe;
    std::vector<VariationUse> variations;
    int jitter = -1; // -1: the bank's default
    SourceLine line;
};

struct VoiceBankLayout {
    int number = 0;
    std::string title;
    std::vector<LayoutEntry> entries;
    SourceLine line;
};

struct BankLayout {
    std::string stem;
    std::string theme;
    std::uint32_t seed = 1;
    int jitter = 1;
    std::vector<VoiceBankLayout> voiceBanks;
};

// Reads the layout lines of a bank file (what is left after its recipe blocks were taken out).
// Names of recipes and variations are checked later, when the bank is expanded; the form of
// every line, the bank's stem, the voice bank numbers and the 48 programs per voice bank are
// checked here.
void ReadBankLayout(const std::vector<SourceLine>& lines, const std::string& expectedStem,
                    BankLayout& layout, Problems& problems);

// "bright:2" -> {bright, 2}; false for a bad strength.
bool ParseVariationUse(const std::string& word, VariationUse& use);

} // namespace bankgen
