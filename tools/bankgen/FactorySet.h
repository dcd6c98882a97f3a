#pragma once
// The eleven factory banks with sounds (every bank but "Empty/Init") expanded from their sources:
// the recipes of resources/banks/src/recipes/*.txt and of the bank files, the bank layouts of
// resources/banks/src/<stem>.txt, and the committed levels of resources/banks/levels/<stem>.txt.
// Expansion guarantees that no two programs of the eleven banks share their parameter values.

#include "BankLayout.h"
#include "Program.h"

#include <map>
#include <string>
#include <vector>

namespace bankgen {

struct ExpandedBank {
    int index = 0; // in programs::FactoryBanks()
    std::string stem;
    std::string displayName;
    std::string theme;
    std::vector<Program> programs; // 336
};

struct FactorySet {
    std::vector<ExpandedBank> banks; // in FactoryBanks() order, without "Empty/Init"
    RecipeBook recipes;
    const ExpandedBank* Find(int index) const;
};

// Stem of a factory bank's file name ("init", "collection3"); empty for "Empty/Init".
std::string BankStem(int index);

enum class LevelUse {
    Require, // every program needs a current committed level (a stale one is a problem)
    Ignore,  // every program gets Master Volume 1 (the starting point of level matching)
};

// Tries made to give a program values no other program has before the generator gives up.
constexpr int kUniquenessAttempts = 64;

// Expands every layout with the recipes into banks (Master Volume 1), each program unlike all
// programs before it. Problems name the layout line.
void ExpandBanks(const RecipeBook& recipes, const std::vector<BankLayout>& layouts,
                 std::vector<ExpandedBank>& banks, Problems& problems);

// Applies committed levels (one entries list per bank, as ParseLevels makes them).
void ApplyLevels(ExpandedBank& bank, const std::vector<struct LevelEntry>& entries,
                 Problems& problems);

// Reads all sources under banksFolder (resources/banks) and expands them.
bool LoadFactorySet(const std::string& banksFolder, LevelUse levels, FactorySet& set,
                    Problems& problems);

} // namespace bankgen
