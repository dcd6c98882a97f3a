#include "Recipe.h"

#include "common/NumberText.h"
#include "engine/InstrumentParams.h"

#include <cmath>

namespace bankgen {

using namespace engine;

bool ParseNumberWord(const std::string& word, double& value) {
    std::size_t used = 0;
    double v = common::ParseDouble(word.c_str(), &used);
    if (word.empty() || used != word.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool ParseIntegerWord(const std::string& word, int& value) {
    double v = 0.0;
    if (!ParseNumberWord(word, v) || v != std::floor(v) || std::fabs(v) > 1e6) return false;
    value = static_cast<int>(v);
    return true;
}

bool IsTopLevelLine(const SourceLine& line) {
    if (line.words.empty()) return false;
    const Word& w = line.words[0];
    if (w.quoted) return true;
    for (const char* top : {"recipe", "bank", "theme", "seed", "jitter", "voicebank", "series"})
        if (w.text == top) return true;
    return false;
}

namespace {

// Walks the words of one line after its keyword.
class Cursor {
public:
    Cursor(const SourceLine& line, std::size_t first, Problems& problems)
        : line_(line), next_(first), problems_(problems) {}

    bool AtEnd() const { return next_ >= line_.words.size(); }
    const std::string& Peek() const { return line_.words[next_].text; }
    std::string Take() { return AtEnd() ? std::string() : line_.words[next_++].text; }

    // The next word as a whole number in first..last; what names it is for the message.
    bool Integer(const std::string& what, int first, int last, int& value) {
        if (AtEnd()) return Fail(what + " needs a value (" + Range(first, last) + ")");
        std::string word = Take();
        if (!ParseIntegerWord(word, value) || value < first || value > last)
            return Fail(what + " takes a whole number " + Range(first, last) + ", not \"" + word +
                        "\"");
        return true;
    }
    bool Number(const std::string& what, double first, double last, double& value) {
        if (AtEnd()) return Fail(what + " needs a value");
        std::string word = Take();
        if (!ParseNumberWord(word, value) || value < first || value > last)
            return Fail(what + " takes a number from " + common::FormatFixed(first, 2) + " to " +
                        common::FormatFixed(last, 2) + ", not \"" + word + "\"");
        return true;
    }
    // The next word as one of choices; its position in the list.
    bool Choice(const std::string& what, std::initializer_list<const char*> choices, int& value) {
        std::string list;
        int i = 0;
        std::string word = Take();
        for (const char* c : choices) {
            if (word == c) {
                value = i;
                return true;
            }
            list += (i ? ", " : "") + std::string(c);
            ++i;
        }
        return Fail(what + " takes one of " + list + ", not \"" + word + "\"");
    }
    bool Fail(const std::string& text) {
        problems_.Add(line_, text);
        return false;
    }

private:
    static std::string Range(int first, int last) {
        return std::to_string(first) + ".." + std::to_string(last);
    }
    const SourceLine& line_;
    std::size_t next_;
    Problems& problems_;
};

bool ApplyOperatorLine(const SourceLine& line, int op, Recipe& recipe, Problems& problems) {
    Values& v = recipe.values;
    Cursor c(line, 1, problems);
    if (c.AtEnd()) return c.Fail("op" + std::to_string(op + 1) + " names no setting");
    while (!c.AtEnd()) {
        std::string key = c.Take();
        int n = 0;
        if (key == "on" || key == "off") {
            PutOp(v, op, kOpEnable, key == "on" ? 1 : 0);
            if (key == "off") PutOp(v, op, kOpLevel, 127);
        } else if (key == "boost" || key == "noboost") {
            PutOp(v, op, kOpBoost, key == "boost" ? 1 : 0);
        } else if (key == "ratio") {
            if (!c.AtEnd() && c.Peek() == "0.5") {
                c.Take();
                PutOp(v, op, kOpFrequency, 0);
            } else {
                if (!c.Integer("ratio (0.5 or)", 1, 15, n)) return false;
                PutOp(v, op, kOpFrequency, n);
            }
        } else if (key == "inh") {
            if (!c.Choice("inh", {"1.0", "1.41", "1.57", "1.73"}, n)) return false;
            PutOp(v, op, kOpInharmonic, n);
        } else if (key == "detune") {
            // Signed for the reader: +1..+3 raise, -1..-3 lower (the engine's rows 1..3, 5..7).
            if (!c.Integer("detune", -3, 3, n)) return false;
            PutOp(v, op, kOpDetune, n >= 0 ? n : 4 - n);
        } else if (key == "level") {
            if (!c.Integer("level", 0, 127, n)) return false;
            PutOp(v, op, kOpLevel, n);
        } else if (key == "vel") {
            if (!c.Integer("vel", 0, 7, n)) return false;
            PutOp(v, op, kOpVelocity, n);
        } else if (key == "ks") {
            if (!c.Choice("ks", {"-lin", "+lin", "-exp", "+exp"}, n)) return false;
            int depth = 0;
            if (!c.Integer("ks depth", 0, 15, depth)) return false;
            PutOp(v, op, kOpKeyScalingType, n);
            PutOp(v, op, kOpKeyScalingDepth, depth);
        } else if (key == "adjust") {
            if (!c.Integer("adjust", 0, 15, n)) return false;
            PutOp(v, op, kOpLevelAdjust, n);
        } else if (key == "ksr") {
            if (!c.Integer("ksr", 0, 3, n)) return false;
            PutOp(v, op, kOpKeyScalingRate, n);
        } else if (key == "env") {
            int a = 0, d1 = 0, d2 = 0, s = 0, r = 0;
            if (!c.Integer("env attack", 0, 31, a) || !c.Integer("env decay 1", 0, 31, d1) ||
                !c.Integer("env decay 2", 0, 31, d2) || !c.Integer("env sustain", 0, 15, s) ||
                !c.Integer("env release", 0, 15, r))
                return false;
            PutOp(v, op, kOpAttack, a);
            PutOp(v, op, kOpDecay1, d1);
            PutOp(v, op, kOpDecay2, d2);
            PutOp(v, op, kOpSustain, s);
            PutOp(v, op, kOpRelease, r);
        } else if (key == "ar" || key == "d1" || key == "d2") {
            if (!c.Integer(key, 0, 31, n)) return false;
            PutOp(v, op, key == "ar" ? kOpAttack : key == "d1" ? kOpDecay1 : kOpDecay2, n);
        } else if (key == "sl" || key == "rr") {
            if (!c.Integer(key, 0, 15, n)) return false;
            PutOp(v, op, key == "sl" ? kOpSustain : kOpRelease, n);
        } else if (key == "av") {
            if (!c.Integer("av", 0, 3, n)) return false;
            PutOp(v, op, kOpAttackVelocity, n);
        } else if (key == "wave") {
            if (!c.Choice("wave", {"W1", "W2", "W3", "W4", "W5", "W6", "W7", "W8"}, n))
                return false;
            Put(v, kOp1Wave + op, n);
        } else {
            return c.Fail("op" + std::to_string(op + 1) + " has no setting \"" + key + "\"");
        }
    }
    return true;
}

bool ApplyLfoLine(const SourceLine& line, Recipe& recipe, Problems& problems) {
    Values& v = recipe.values;
    Cursor c(line, 1, problems);
    if (c.AtEnd()) return c.Fail("lfo needs a wave (saw, square, triangle, noise) or off");
    if (c.Peek() == "off") {
        c.Take();
        Put(v, kLfoEnable, 0);
    } else {
        int wave = 0;
        if (!c.Choice("lfo", {"saw", "square", "triangle", "noise"}, wave)) return false;
        Put(v, kLfoEnable, 1);
        Put(v, kLfoWaveform, wave);
    }
    while (!c.AtEnd()) {
        std::string key = c.Take();
        int n = 0;
        if (key == "speed") {
            if (!c.Integer("lfo speed", 0, 255, n)) return false;
            Put(v, kLfoSpeed, n);
        } else if (key == "pm") {
            if (!c.Integer("lfo pm", 0, 127, n)) return false;
            Put(v, kLfoPmDepth, n);
        } else if (key == "pms") {
            if (!c.Integer("lfo pms", 0, 7, n)) return false;
            Put(v, kLfoPmSensitivity, n);
        } else if (key == "am") {
            if (!c.Integer("lfo am", 0, 127, n)) return false;
            Put(v, kLfoAmDepth, n);
        } else if (key == "ams") {
            if (!c.Integer("lfo ams", 0, 3, n)) return false;
            Put(v, kLfoAmSensitivity, n);
        } else if (key == "sync" || key == "free") {
            Put(v, kLfoSync, key == "sync" ? 1 : 0);
        } else {
            return c.Fail("lfo has no setting \"" + key + "\"");
        }
    }
    return true;
}

} // namespace

bool ApplyRecipeLine(const SourceLine& line, Recipe& recipe, Problems& problems) {
    const std::string& key = line.words[0].text;
    Values& v = recipe.values;
    Cursor c(line, 1, problems);
    int n = 0;
    double x = 0.0;
    bool ok = true;
    if (key.size() == 3 && key[0] == 'o' && key[1] == 'p' && key[2] >= '1' && key[2] <= '4') {
        return ApplyOperatorLine(line, key[2] - '1', recipe, problems);
    } else if (key == "lfo") {
        return ApplyLfoLine(line, recipe, problems);
    } else if (key == "family") {
        std::string word = c.Take();
        bool plain = !word.empty();
        for (char ch : word) plain = plain && ch >= 'a' && ch <= 'z';
        if (!plain) return c.Fail("family takes one lower-case word");
        recipe.facts.family = word;
    } else if (key == "pitch") {
        if (!c.AtEnd() && c.Peek() == "-") {
            c.Take();
            recipe.facts.pitch = 0.0;
        } else if ((ok = c.Number("pitch", 0.0625, 16.0, x))) {
            recipe.facts.pitch = x;
        }
    } else if (key == "onset") {
        if ((ok = c.Integer("onset", 1, 2000, n))) recipe.facts.onsetMs = n;
    } else if (key == "release") {
        if ((ok = c.Integer("release", 1, 10000, n))) recipe.facts.releaseMs = n;
    } else if (key == "name" || key == "short") {
        std::string word = c.Take();
        std::size_t most = key == "name" ? 7 : 4;
        if (word.empty() || word.size() > most || word.find('\t') != std::string::npos)
            return c.Fail(key + " takes a text of 1 to " + std::to_string(most) + " characters");
        (key == "name" ? recipe.name : recipe.shortName) = word;
    } else if (key == "algorithm") {
        if ((ok = c.Integer("algorithm", 1, 8, n))) Put(v, kAlgorithm, n - 1);
    } else if (key == "feedback") {
        if ((ok = c.Integer("feedback", 0, 7, n))) Put(v, kFeedback, n);
    } else if (key == "mode") {
        if ((ok = c.Choice("mode", {"poly", "mono"}, n))) Put(v, kMode, n);
    } else if (key == "portamento") {
        if ((ok = c.Integer("portamento", 0, 127, n))) Put(v, kPortamento, n);
    } else if (key == "bend") {
        if ((ok = c.Integer("bend", 0, 12, n))) Put(v, kPitchBendRange, n);
    } else if (key == "transpose") {
        if ((ok = c.Integer("transpose", -48, 48, n))) Put(v, kTranspose, n);
    } else if (key == "tune") {
        if ((ok = c.Number("tune", -1.0, 1.0, x))) Put(v, kMasterTune, x);
    } else if (key == "pmd") {
        if ((ok = c.Choice("pmd", {"off", "touch", "wheel", "breath", "foot"}, n)))
            Put(v, kPmdController, n);
    } else {
        return c.Fail("no setting is called \"" + key + "\"");
    }
    if (ok && !c.AtEnd()) return c.Fail("unexpected \"" + c.Take() + "\" after the value");
    return ok;
}

void RecipeBook::Add(const std::vector<SourceLine>& lines, std::vector<SourceLine>& rest,
                     Problems& problems) {
    Block* open = nullptr;
    // The body of a refused header is swallowed here, so that it is not taken for bank lines.
    Block refused;
    for (const SourceLine& line : lines) {
        const Word& first = line.words[0];
        if (!first.quoted && first.text == "recipe") {
            open = &refused;
            // recipe ID ["Name"] [from BASE]
            std::size_t i = 1;
            if (i >= line.words.size() || line.words[i].quoted) {
                problems.Add(line, "recipe needs a name word: recipe ID [\"Name\"] [from BASE]");
                continue;
            }
            Block block;
            block.header = line;
            std::string id = line.words[i++].text;
            std::string shown;
            if (i < line.words.size() && line.words[i].quoted) shown = line.words[i++].text;
            if (i < line.words.size() && line.words[i].text == "from") {
                if (i + 1 >= line.words.size()) {
                    problems.Add(line, "\"from\" needs the recipe to start from");
                    continue;
                }
                block.base = line.words[i + 1].text;
                i += 2;
            }
            if (i < line.words.size()) {
                problems.Add(line, "unexpected \"" + line.words[i].text + "\" in a recipe header");
                continue;
            }
            if (shown.size() > 7) {
                problems.Add(line, "program name \"" + shown + "\" is longer than 7 characters");
                continue;
            }
            if (blocks_.count(id)) {
                problems.Add(line, "recipe " + id + " is defined twice (first at " +
                                       Where(blocks_[id].header) + ")");
                continue;
            }
            if (!shown.empty()) {
                // Kept as a body line, so a derived recipe's own name replaces its base's.
                SourceLine nameLine = line;
                nameLine.words = {{"name", false}, {shown, true}};
                block.body.push_back(nameLine);
            }
            open = &(blocks_[id] = block);
        } else if (open && !IsTopLevelLine(line)) {
            open->body.push_back(line);
        } else {
            open = nullptr;
            rest.push_back(line);
        }
    }
}

bool RecipeBook::ResolveOne(const std::string& id, Problems& problems, int depth) {
    if (resolved_.count(id)) return true;
    if (failed_.count(id)) return false;
    const Block& block = blocks_.at(id);
    Recipe recipe;
    if (block.base.empty()) {
        recipe.values = DefaultValues();
        // Init is a mono program; nearly every sound here wants to be played polyphonically.
        Put(recipe.values, kMode, 0);
    } else {
        if (!blocks_.count(block.base)) {
            problems.Add(block.header,
                         "recipe " + id + " starts from unknown recipe " + block.base);
            failed_[id] = true;
            return false;
        }
        if (depth > 32 || !ResolveOne(block.base, problems, depth + 1)) {
            if (depth > 32) problems.Add(block.header, "recipe " + id + " starts from itself");
            failed_[id] = true;
            return false;
        }
        recipe = resolved_.at(block.base);
        recipe.name.clear();
    }
    recipe.id = id;
    recipe.where = Where(block.header);
    bool ok = true;
    bool seen[4] = {false, false, false, false};
    bool sawRelease = false, sawFamily = false, sawPitch = false;
    for (const SourceLine& line : block.body) {
        ok = ApplyRecipeLine(line, recipe, problems) && ok;
        const std::string& key = line.words[0].text;
        if (key.size() == 3 && key.compare(0, 2, "op") == 0 && key[2] >= '1' && key[2] <= '4')
            seen[key[2] - '1'] = true;
        sawRelease = sawRelease || key == "release";
        sawFamily = sawFamily || key == "family";
        sawPitch = sawPitch || key == "pitch";
    }
    if (block.base.empty()) {
        // A recipe of its own must say everything a listener relies on, and every operator:
        // an operator left at Init would modulate at full strength.
        for (int op = 0; op < 4; ++op)
            if (!seen[op]) {
                problems.Add(block.header,
                             "recipe " + id + " does not describe op" + std::to_string(op + 1));
                ok = false;
            }
        if (!sawRelease || !sawFamily || !sawPitch) {
            problems.Add(block.header, "recipe " + id + " needs its family, pitch and release");
            ok = false;
        }
    }
    if (recipe.name.empty()) recipe.name = id.substr(0, 7);
    if (recipe.shortName.empty()) recipe.shortName = recipe.name.substr(0, 3);
    if (!ok) {
        failed_[id] = true;
        return false;
    }
    resolved_[id] = recipe;
    return true;
}

void RecipeBook::Resolve(Problems& problems) {
    for (const auto& entry : blocks_) ResolveOne(entry.first, problems, 0);
}

const Recipe* RecipeBook::Find(const std::string& id) const {
    auto it = resolved_.find(id);
    return it == resolved_.end() ? nullptr : &it->second;
}

} // namespace bankgen
