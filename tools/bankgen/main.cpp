// The factory sounds generator. It expands the sources under resources/banks/src/ (recipes and
// bank layouts) with the committed levels into the twelve bank images and the manifests.
//   vorna_bankgen <banks folder>                 writes images and manifests
//   vorna_bankgen --check <banks folder>         fails when an image or manifest is not current
//   vorna_bankgen --match-levels [--all] <banks folder> [bank stem ...]
//                                   chooses the volumes again from the figures the levels
//                                   keep and renders the programs whose figures are missing or
//                                   stale (all of them with --all), checks them, writes levels,
//                                   images and manifests; with bank stems only those banks are
//                                   matched and the images are left to a run over all
//   vorna_bankgen --audition <banks folder> <stem> <program>[-<last>]   design reports
//   vorna_bankgen --try <banks folder> <recipe> [variation[:strength] ...]
//   vorna_bankgen --recipes <banks folder> [prefix]   one line of figures per recipe
//   vorna_bankgen --variations                   lists the variations

#include "BankImages.h"
#include "LevelMatch.h"
#include "Levels.h"
#include "Manifest.h"
#include "Measure.h"
#include "Variations.h"
#include "engine/InstrumentParams.h"
#include "platform/Files.h"
#include "programs/FactoryBanks.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace bankgen;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int Usage() {
    std::fprintf(stderr,
                 "usage: vorna_bankgen [--check] <banks folder>\n"
                 "       vorna_bankgen --match-levels [--all] <banks folder> [bank stem ...]\n"
                 "       vorna_bankgen --audition <banks folder> <stem> <program>[-<last>]\n"
                 "       vorna_bankgen --try <banks folder> <recipe> [variation[:n] ...]\n"
                 "       vorna_bankgen --recipes <banks folder> [prefix]\n"
                 "       vorna_bankgen --variations\n");
    return 2;
}

bool Load(const std::string& folder, LevelUse levels, FactorySet& set) {
    Problems problems;
    if (LoadFactorySet(folder, levels, set, problems)) return true;
    std::fprintf(stderr, "%s", problems.Joined().c_str());
    return false;
}

std::string ManifestPath(const std::string& folder, const std::string& stem) {
    return platform::JoinPath(platform::JoinPath(folder, "manifest"), stem + ".tsv");
}

std::string LevelsPath(const std::string& folder, const std::string& stem) {
    return platform::JoinPath(platform::JoinPath(folder, "levels"), stem + ".txt");
}

// Every file the generator owns with the bytes it should hold.
std::vector<std::pair<std::string, std::string>> Outputs(const std::string& folder,
                                                         const FactorySet& set) {
    std::vector<std::pair<std::string, std::string>> files;
    for (int i = 0; i < programs::kFactoryBankCount; ++i) {
        host::FileBytes image = BuildFactoryBankImage(set, i);
        files.push_back(
            {platform::JoinPath(folder,
                                programs::FactoryBanks()[static_cast<std::size_t>(i)].fileName),
             std::string(image.begin(), image.end())});
    }
    for (const ExpandedBank& bank : set.banks)
        files.push_back({ManifestPath(folder, bank.stem), FormatManifest(bank)});
    return files;
}

int WriteAll(const std::string& folder, const FactorySet& set) {
    int failures = 0;
    for (const auto& file : Outputs(folder, set))
        if (!platform::WriteFileSafely(file.first, file.second.data(), file.second.size())) {
            std::fprintf(stderr, "cannot write %s\n", file.first.c_str());
            ++failures;
        }
    return failures == 0 ? 0 : 1;
}

int CheckAll(const std::string& folder, const FactorySet& set) {
    int failures = 0;
    for (const auto& file : Outputs(folder, set)) {
        std::vector<std::uint8_t> existing;
        if (!platform::ReadWholeFile(file.first, existing) ||
            std::string(existing.begin(), existing.end()) != file.second) {
            std::fprintf(stderr, "%s differs from what the sources make\n", file.first.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

int MatchLevels(const std::string& folder, bool all, const std::vector<std::string>& only) {
    Clock::time_point start = Clock::now();
    FactorySet set;
    if (!Load(folder, LevelUse::Ignore, set)) return 1;
    std::printf("expanded %zu banks in %.3f s\n", set.banks.size(), SecondsSince(start));
    int rendered = 0, failed = 0;
    for (ExpandedBank& bank : set.banks) {
        if (!only.empty() && std::find(only.begin(), only.end(), bank.stem) == only.end()) continue;
        Clock::time_point bankStart = Clock::now();
        std::vector<LevelEntry> entries;
        std::vector<std::uint8_t> bytes;
        Problems problems;
        if (!all && platform::ReadWholeFile(LevelsPath(folder, bank.stem), bytes))
            ParseLevels(bank.stem, std::string(bytes.begin(), bytes.end()), entries, problems);
        entries.resize(bank.programs.size());
        std::vector<LevelFigures> figures(bank.programs.size());
        for (std::size_t i = 0; i < bank.programs.size(); ++i) {
            Program& program = bank.programs[i];
            LevelEntry& known = entries[i];
            bool current = known.fingerprint == VoiceFingerprint(program.values);
            if (current && known.figures.present) {
                // The figures at Master Volume 1 decide the volume without a render. A volume
                // above the one the other checks passed at needs a render: the release is
                // judged against the output's level.
                double volume = ChooseVolume(known.figures);
                std::vector<std::string> failures = LevelFailures(known.figures, volume);
                figures[i] = known.figures;
                if (!failures.empty()) {
                    ++failed;
                    known.present = false;
                    for (const std::string& f : failures)
                        std::fprintf(stderr, "%s: %s program %zu \"%s\": %s\n",
                                     program.where.c_str(), bank.stem.c_str(), i,
                                     program.name.c_str(), f.c_str());
                    continue;
                }
                if (known.present && volume <= known.volume + 1e-9) {
                    Put(program.values, engine::kMasterVolume, volume);
                    known.volume = volume;
                    continue;
                }
            }
            // A level without figures came from older rules: it is measured again.
            ProgramCheck check = CheckProgram(program);
            ++rendered;
            Put(program.values, engine::kMasterVolume, check.volume);
            figures[i] = check.unity;
            known.fingerprint = VoiceFingerprint(program.values);
            if (!check.failures.empty()) {
                ++failed;
                known.present = false;
                for (const std::string& f : check.failures)
                    std::fprintf(stderr, "%s: %s program %zu \"%s\": %s\n", program.where.c_str(),
                                 bank.stem.c_str(), i, program.name.c_str(), f.c_str());
                // Figures are kept only when the level rules alone failed: a program that breaks
                // another promise is rendered again once it is fixed.
                if (!check.levelOnly) figures[i] = LevelFigures{};
                continue;
            }
            known.present = true;
            known.volume = check.volume;
        }
        // Only programs that passed get a level: the others stay stale until they are fixed.
        std::vector<bool> passed;
        for (const LevelEntry& entry : entries) passed.push_back(entry.present);
        std::string kept = FormatLevels(bank.displayName, bank.programs, passed, figures);
        if (!platform::WriteFileSafely(LevelsPath(folder, bank.stem), kept.data(), kept.size())) {
            std::fprintf(stderr, "cannot write %s\n", LevelsPath(folder, bank.stem).c_str());
            return 1;
        }
        std::printf("%-12s matched in %.1f s\n", bank.stem.c_str(), SecondsSince(bankStart));
        std::fflush(stdout);
    }
    std::printf("rendered %d programs, %d failed, in %.1f s\n", rendered, failed,
                SecondsSince(start));
    if (failed > 0) return 1;
    // Matching some banks (two processes can share the work) leaves the images to a run over all.
    if (!only.empty()) return 0;
    FactorySet current;
    if (!Load(folder, LevelUse::Require, current)) return 1;
    return WriteAll(folder, current);
}

int Audition(const std::string& folder, const std::string& stem, const std::string& range) {
    FactorySet set;
    if (!Load(folder, LevelUse::Ignore, set)) return 1;
    const ExpandedBank* bank = nullptr;
    for (const ExpandedBank& b : set.banks)
        if (b.stem == stem) bank = &b;
    if (!bank) {
        std::fprintf(stderr, "no bank is called %s\n", stem.c_str());
        return 1;
    }
    int first = 0, last = 0;
    std::size_t dash = range.find('-');
    if (!ParseIntegerWord(range.substr(0, dash), first) ||
        !ParseIntegerWord(
            dash == std::string::npos ? range.substr(0, dash) : range.substr(dash + 1), last) ||
        first < 0 || last < first || last >= static_cast<int>(bank->programs.size())) {
        std::fprintf(stderr, "\"%s\" is not a program or range of programs 0..335\n",
                     range.c_str());
        return 1;
    }
    for (int i = first; i <= last; ++i) {
        const Program& p = bank->programs[static_cast<std::size_t>(i)];
        std::printf("%d %s", i, DescribeProgram(p, CheckProgram(p)).c_str());
    }
    return 0;
}

Program FromRecipe(const Recipe& recipe) {
    Program p;
    p.name = SevenCharacters(recipe.name);
    p.values = recipe.values;
    p.facts = recipe.facts;
    p.recipe = recipe.id;
    p.where = recipe.where;
    return p;
}

// One line per recipe whose id starts with prefix: the level-matching figures and failures.
int Recipes(const std::string& folder, const std::string& prefix) {
    FactorySet set;
    Problems problems;
    LoadFactorySet(folder, LevelUse::Ignore, set, problems);
    for (const auto& entry : set.recipes.All()) {
        if (entry.first.compare(0, prefix.size(), prefix) != 0) continue;
        Program p = FromRecipe(entry.second);
        ProgramCheck c = CheckProgram(p);
        std::printf("%-10s %-7s %-8s vol %.2f loud %6.1f unity %6.1f onset %4.0f/%-4d release "
                    "%5.0f/%-5d pitch %6.1f/%6.1f %s\n",
                    entry.first.c_str(), p.name.c_str(), p.facts.family.c_str(), c.volume,
                    c.loudnessDb, Decibels(c.unity.loudness), c.onsetMs, p.facts.onsetMs,
                    c.releaseMs, p.facts.releaseMs, c.measuredHz, c.expectedHz,
                    c.failures.empty() ? "" : ("FAILS: " + c.failures[0]).c_str());
    }
    return 0;
}

int Try(const std::string& folder, const std::vector<std::string>& words) {
    FactorySet set;
    Problems problems;
    LoadFactorySet(folder, LevelUse::Ignore, set, problems);
    const Recipe* recipe = set.recipes.Find(words[0]);
    if (!recipe) {
        std::fprintf(stderr, "%sno recipe is called %s\n", problems.Joined().c_str(),
                     words[0].c_str());
        return 1;
    }
    Program p = FromRecipe(*recipe);
    for (std::size_t i = 1; i < words.size(); ++i) {
        VariationUse use;
        if (!ParseVariationUse(words[i], use) || !ApplyVariation(use.name, use.strength, p)) {
            std::fprintf(stderr, "\"%s\" is not a variation\n", words[i].c_str());
            return 1;
        }
    }
    std::printf("%s", DescribeProgram(p, CheckProgram(p)).c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--variations") {
        for (const VariationInfo& v : Variations())
            std::printf("%-9s %-3s  %s\n", v.name, v.tag, v.description);
        return 0;
    }
    if (args.size() == 1 && args[0][0] != '-') {
        Clock::time_point start = Clock::now();
        FactorySet set;
        if (!Load(args[0], LevelUse::Require, set)) return 1;
        int result = WriteAll(args[0], set);
        std::printf("expanded and wrote %zu banks in %.3f s\n", set.banks.size(),
                    SecondsSince(start));
        return result;
    }
    if (args.size() == 2 && args[0] == "--check") {
        Clock::time_point start = Clock::now();
        FactorySet set;
        if (!Load(args[1], LevelUse::Require, set)) return 1;
        int result = CheckAll(args[1], set);
        std::printf("expanded and compared %zu banks in %.3f s\n", set.banks.size(),
                    SecondsSince(start));
        return result;
    }
    if (args.size() >= 2 && args[0] == "--match-levels") {
        bool all = args[1] == "--all";
        std::size_t folder = all ? 2 : 1;
        if (folder >= args.size()) return Usage();
        return MatchLevels(args[folder], all,
                           std::vector<std::string>(args.begin() + folder + 1, args.end()));
    }
    if (args.size() == 4 && args[0] == "--audition") return Audition(args[1], args[2], args[3]);
    if ((args.size() == 2 || args.size() == 3) && args[0] == "--recipes")
        return Recipes(args[1], args.size() == 3 ? args[2] : "");
    if (args.size() >= 3 && args[0] == "--try")
        return Try(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
    return Usage();
}
