#include "FactorySet.h"

#include "Levels.h"
#include "Sequence.h"
#include "Variations.h"
#include "engine/InstrumentParams.h"
#include "platform/Files.h"
#include "programs/FactoryBanks.h"
#include "programs/ProgramNumbering.h"

#include <algorithm>

namespace bankgen {

const ExpandedBank* FactorySet::Find(int index) const {
    for (const ExpandedBank& bank : banks)
        if (bank.index == index) return &bank;
    return nullptr;
}

std::string BankStem(int index) {
    if (index == programs::kEmptyBankIndex || index < 0 || index >= programs::kFactoryBankCount)
        return "";
    std::string file = programs::FactoryBanks()[static_cast<std::size_t>(index)].fileName;
    return file.substr(0, file.size() - 4);
}

namespace {

// The generated name of a series item: the recipe's short name (at most four characters) and
// the variation's tag (at most three), with a blank between them when there is room.
std::string GeneratedName(const Recipe& recipe, const LayoutEntry& entry) {
    if (entry.variations.empty()) return recipe.name;
    const VariationUse& use = entry.variations[0];
    const VariationInfo* info = FindVariation(use.name);
    std::string tag = info ? info->tag : "";
    // A stronger use keeps two letters of the tag and adds its strength: "Brt" -> "Br2".
    if (use.strength > 1) tag = tag.substr(0, 2) + static_cast<char>('0' + use.strength);
    std::string name = recipe.shortName + " " + tag;
    return name.size() <= 7 ? name : recipe.shortName + tag;
}

struct Taken {
    std::string bank;
    int program;
    std::string name;
};

} // namespace

void ExpandBanks(const RecipeBook& recipes, const std::vector<BankLayout>& layouts,
                 std::vector<ExpandedBank>& banks, Problems& problems) {
    std::map<std::string, Taken> taken;
    for (const BankLayout& layout : layouts) {
        ExpandedBank bank;
        bank.stem = layout.stem;
        bank.theme = layout.theme;
        for (int i = 0; i < programs::kFactoryBankCount; ++i)
            if (BankStem(i) == layout.stem) {
                bank.index = i;
                bank.displayName =
                    programs::FactoryBanks()[static_cast<std::size_t>(i)].displayName;
            }
        int number = 0;
        for (const VoiceBankLayout& voiceBank : layout.voiceBanks) {
            for (const LayoutEntry& entry : voiceBank.entries) {
                int index = number++;
                Program program;
                program.where = Where(entry.line);
                const Recipe* recipe = recipes.Find(entry.recipe);
                if (!recipe) {
                    problems.Add(entry.line, "no recipe is called \"" + entry.recipe + "\"");
                    bank.programs.push_back(program);
                    continue;
                }
                program.recipe = recipe->id;
                program.values = recipe->values;
                program.facts = recipe->facts;
                bool ok = true;
                for (const VariationUse& use : entry.variations) {
                    Program before = program;
                    if (!ApplyVariation(use.name, use.strength, program)) {
                        problems.Add(entry.line, "no variation is called \"" + use.name + "\"");
                        ok = false;
                    } else if (VoiceKey(before.values) == VoiceKey(program.values)) {
                        // A variation that changes nothing would only make a copy.
                        problems.Add(entry.line,
                                     "variation " + use.name + " changes nothing in " + recipe->id);
                        ok = false;
                    }
                }
                program.name = SevenCharacters(entry.generatedName ? GeneratedName(*recipe, entry)
                                                                   : entry.name);
                Put(program.values, engine::kMasterVolume, 1.0);
                if (!ok) {
                    bank.programs.push_back(program);
                    continue;
                }
                int strength = entry.jitter >= 0 ? entry.jitter : layout.jitter;
                bool placed = false;
                for (int attempt = 0; attempt < kUniquenessAttempts && !placed; ++attempt) {
                    Program candidate = program;
                    Sequence sequence(MixSeed(layout.seed, static_cast<std::uint32_t>(index),
                                              static_cast<std::uint32_t>(attempt)));
                    int nudges = attempt == 0 ? strength : std::max(strength, 1) + attempt / 8;
                    ApplyJitter(candidate, nudges, sequence);
                    std::string key = VoiceKey(candidate.values);
                    if (taken.count(key)) continue;
                    taken[key] = {layout.stem, index, candidate.name};
                    program = candidate;
                    placed = true;
                }
                if (!placed) {
                    std::string clash;
                    Program plain = program;
                    auto it = taken.find(VoiceKey(plain.values));
                    if (it != taken.end())
                        clash = " (it equals " + it->second.bank + " program " +
                                std::to_string(it->second.program) + " \"" + it->second.name +
                                "\")";
                    problems.Add(entry.line,
                                 "program " + std::to_string(index) + " \"" + program.name +
                                     "\" cannot be made unlike the "
                                     "other programs in " +
                                     std::to_string(kUniquenessAttempts) + " tries" + clash);
                }
                bank.programs.push_back(program);
            }
        }
        std::map<std::string, std::size_t> names;
        for (std::size_t i = 0; i < bank.programs.size(); ++i) {
            if (bank.programs[i].name.find_first_not_of(' ') == std::string::npos)
                continue; // a program that could not be made; its problem is reported
            auto it = names.find(bank.programs[i].name);
            if (it != names.end())
                problems.Add(bank.programs[i].where + ": the name \"" + bank.programs[i].name +
                             "\" is used twice in " + bank.stem + " (programs " +
                             std::to_string(it->second) + " and " + std::to_string(i) + ")");
            else
                names[bank.programs[i].name] = i;
        }
        banks.push_back(bank);
    }
}

void ApplyLevels(ExpandedBank& bank, const std::vector<LevelEntry>& entries, Problems& problems) {
    int stale = 0;
    std::string first;
    for (std::size_t i = 0; i < bank.programs.size(); ++i) {
        Program& program = bank.programs[i];
        const LevelEntry& level = i < entries.size() ? entries[i] : LevelEntry{};
        if (!level.present || level.fingerprint != VoiceFingerprint(program.values)) {
            if (stale++ == 0) first = std::to_string(i) + " \"" + program.name + "\"";
            continue;
        }
        Put(program.values, engine::kMasterVolume, level.volume);
    }
    if (stale > 0)
        problems.Add("levels/" + bank.stem + ".txt: " + std::to_string(stale) +
                     " programs have no current level (first: program " + first +
                     "); run vorna_bankgen --match-levels resources/banks");
}

bool LoadFactorySet(const std::string& banksFolder, LevelUse levels, FactorySet& set,
                    Problems& problems) {
    std::string sources = platform::JoinPath(banksFolder, "src");
    std::string recipeFolder = platform::JoinPath(sources, "recipes");
    std::vector<std::string> recipeFiles;
    if (!platform::ListFolderFiles(recipeFolder, recipeFiles)) {
        problems.Add(recipeFolder + ": cannot be read");
        return false;
    }
    std::sort(recipeFiles.begin(), recipeFiles.end());
    for (const std::string& file : recipeFiles) {
        if (file.size() < 5 || file.compare(file.size() - 4, 4, ".txt") != 0) continue;
        std::vector<SourceLine> lines, rest;
        ReadSource(platform::JoinPath(recipeFolder, file), "recipes/" + file, lines, problems);
        set.recipes.Add(lines, rest, problems);
        for (const SourceLine& line : rest) problems.Add(line, "a recipe file holds only recipes");
    }
    std::vector<BankLayout> layouts;
    for (int i = 0; i < programs::kFactoryBankCount; ++i) {
        std::string stem = BankStem(i);
        if (stem.empty()) continue;
        std::vector<SourceLine> lines, rest;
        ReadSource(platform::JoinPath(sources, stem + ".txt"), stem + ".txt", lines, problems);
        set.recipes.Add(lines, rest, problems);
        layouts.push_back({});
        ReadBankLayout(rest, stem, layouts.back(), problems);
    }
    set.recipes.Resolve(problems);
    if (problems.Any()) return false;
    ExpandBanks(set.recipes, layouts, set.banks, problems);
    if (levels == LevelUse::Require) {
        for (ExpandedBank& bank : set.banks) {
            std::string path =
                platform::JoinPath(platform::JoinPath(banksFolder, "levels"), bank.stem + ".txt");
            std::vector<std::uint8_t> bytes;
            std::vector<LevelEntry> entries;
            if (platform::ReadWholeFile(path, bytes))
                ParseLevels("levels/" + bank.stem + ".txt", std::string(bytes.begin(), bytes.end()),
                            entries, problems);
            ApplyLevels(bank, entries, problems);
        }
    }
    return !problems.Any();
}

} // namespace bankgen
