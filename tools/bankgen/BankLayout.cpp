#include "BankLayout.h"

#include "Recipe.h"
#include "Variations.h"
#include "programs/ProgramNumbering.h"

namespace bankgen {

bool ParseVariationUse(const std::string& word, VariationUse& use) {
    std::size_t colon = word.find(':');
    use.name = word.substr(0, colon);
    use.strength = 1;
    if (use.name.empty()) return false;
    if (colon == std::string::npos) return true;
    int s = 0;
    if (!ParseIntegerWord(word.substr(colon + 1), s) || s < 1 || s > kMaxStrength) return false;
    use.strength = s;
    return true;
}

namespace {

bool ParseJitterWord(const std::string& word, int& jitter) {
    return word.size() >= 2 && word[0] == '~' && ParseIntegerWord(word.substr(1), jitter) &&
           jitter >= 0 && jitter <= 8;
}

// "Name" RECIPE [variation[:s] ...] [~N]
bool ReadEntry(const SourceLine& line, LayoutEntry& entry, Problems& problems) {
    entry.line = line;
    entry.name = line.words[0].text;
    if (entry.name.empty() || entry.name.size() > 7) {
        problems.Add(line, "program name \"" + entry.name + "\" must have 1 to 7 characters");
        return false;
    }
    if (line.words.size() < 2 || line.words[1].quoted) {
        problems.Add(line, "program \"" + entry.name + "\" needs a recipe after its name");
        return false;
    }
    entry.recipe = line.words[1].text;
    for (std::size_t i = 2; i < line.words.size(); ++i) {
        const std::string& w = line.words[i].text;
        if (!w.empty() && w[0] == '~') {
            if (!ParseJitterWord(w, entry.jitter)) {
                problems.Add(line, "jitter \"" + w + "\" must be ~0 to ~8");
                return false;
            }
            continue;
        }
        VariationUse use;
        if (line.words[i].quoted || !ParseVariationUse(w, use)) {
            problems.Add(line, "\"" + w + "\" is not a variation (name, or name:1 to name:3)");
            return false;
        }
        entry.variations.push_back(use);
    }
    return true;
}

// series RECIPE item ...; item = base | variation[:s][+variation[:s]...][=Name] [~N]
bool ReadSeries(const SourceLine& line, std::vector<LayoutEntry>& entries, Problems& problems) {
    if (line.words.size() < 3 || line.words[1].quoted) {
        problems.Add(line, "series needs a recipe and at least one item");
        return false;
    }
    for (std::size_t i = 2; i < line.words.size(); ++i) {
        std::string item = line.words[i].text;
        LayoutEntry entry;
        entry.line = line;
        entry.recipe = line.words[1].text;
        std::size_t tilde = item.find('~');
        if (tilde != std::string::npos) {
            if (!ParseJitterWord(item.substr(tilde), entry.jitter)) {
                problems.Add(line, "jitter in \"" + item + "\" must be ~0 to ~8");
                return false;
            }
            item = item.substr(0, tilde);
        }
        std::size_t equals = item.find('=');
        if (equals != std::string::npos) {
            entry.name = item.substr(equals + 1);
            item = item.substr(0, equals);
            if (entry.name.empty() || entry.name.size() > 7) {
                problems.Add(line, "name in \"" + line.words[i].text +
                                       "\" must have 1 to 7 "
                                       "characters (use _ for a blank)");
                return false;
            }
            for (char& c : entry.name)
                if (c == '_') c = ' ';
        } else {
            entry.generatedName = true;
        }
        if (item != "base") {
            std::size_t start = 0;
            while (start <= item.size()) {
                std::size_t plus = item.find('+', start);
                if (plus == std::string::npos) plus = item.size();
                VariationUse use;
                if (!ParseVariationUse(item.substr(start, plus - start), use)) {
                    problems.Add(line, "\"" + line.words[i].text + "\" is not a series item");
                    return false;
                }
                entry.variations.push_back(use);
                start = plus + 1;
            }
            if (entry.generatedName && entry.variations.size() > 1) {
                problems.Add(line, "\"" + line.words[i].text +
                                       "\" combines variations: give it "
                                       "a name with =Name");
                return false;
            }
        }
        entries.push_back(entry);
    }
    return true;
}

} // namespace

void ReadBankLayout(const std::vector<SourceLine>& lines, const std::string& expectedStem,
                    BankLayout& layout, Problems& problems) {
    bool sawBank = false;
    VoiceBankLayout* open = nullptr;
    auto closeOpen = [&] {
        if (open && static_cast<int>(open->entries.size()) != programs::kVoiceBankSize)
            problems.Add(open->line, "voice bank " + std::to_string(open->number) + " holds " +
                                         std::to_string(open->entries.size()) +
                                         " programs; it must hold 48");
    };
    for (const SourceLine& line : lines) {
        const Word& first = line.words[0];
        if (first.quoted || first.text == "series") {
            if (!open) {
                problems.Add(line, "a program line comes before the first voicebank line");
                continue;
            }
            if (first.quoted) {
                LayoutEntry entry;
                if (ReadEntry(line, entry, problems)) open->entries.push_back(entry);
            } else {
                ReadSeries(line, open->entries, problems);
            }
            continue;
        }
        const std::string& key = first.text;
        std::size_t count = line.words.size();
        int n = 0;
        if (key == "bank") {
            if (count != 2 || line.words[1].text != expectedStem)
                problems.Add(line, "this file must say \"bank " + expectedStem + "\"");
            sawBank = true;
        } else if (key == "theme") {
            if (count != 2 || !line.words[1].quoted)
                problems.Add(line, "theme takes a \"text\"");
            else
                layout.theme = line.words[1].text;
        } else if (key == "seed") {
            if (count != 2 || !ParseIntegerWord(line.words[1].text, n) || n < 0)
                problems.Add(line, "seed takes a whole number of 0 or more");
            else
                layout.seed = static_cast<std::uint32_t>(n);
        } else if (key == "jitter") {
            if (count != 2 || !ParseIntegerWord(line.words[1].text, n) || n < 0 || n > 8)
                problems.Add(line, "jitter takes a whole number 0..8");
            else
                layout.jitter = n;
        } else if (key == "voicebank") {
            closeOpen();
            int expected = static_cast<int>(layout.voiceBanks.size()) + 1;
            if (count < 2 || count > 3 || !ParseIntegerWord(line.words[1].text, n) ||
                n != expected || (count == 3 && !line.words[2].quoted)) {
                problems.Add(line,
                             "expected: voicebank " + std::to_string(expected) + " \"Title\"");
                open = nullptr;
                continue;
            }
            layout.voiceBanks.push_back({});
            open = &layout.voiceBanks.back();
            open->number = n;
            open->line = line;
            if (count == 3) open->title = line.words[2].text;
        } else {
            problems.Add(line, "\"" + key +
                                   "\" is not a bank line (bank, theme, seed, jitter, "
                                   "voicebank, series, \"Name\" or recipe)");
        }
    }
    closeOpen();
    if (!sawBank) problems.Add(expectedStem + ".txt: has no \"bank " + expectedStem + "\" line");
    layout.stem = expectedStem;
    if (static_cast<int>(layout.voiceBanks.size()) != programs::kVoiceBankCount)
        problems.Add(expectedStem + ".txt: has " + std::to_string(layout.voiceBanks.size()) +
                     " voice banks; it must have 7");
}

} // namespace bankgen
