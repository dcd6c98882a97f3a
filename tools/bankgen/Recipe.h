#pragma once
// A recipe: one named, readable sound description (algorithm, operators, envelopes, LFO, play
// mode) together with the facts the listening checks need (expected pitch, onset and release
// allowances, family). Recipes live in resources/banks/src/recipes/*.txt and in bank files; a
// recipe may start from another one ("from") and change only what it names.

#include "SourceText.h"
#include "VoiceValues.h"

#include <map>
#include <string>

namespace bankgen {

// What a program promises about itself: the columns of the bank's manifest besides its number
// and name.
struct SoundFacts {
    double pitch = 1.0;   // fundamental as a multiple of the played note; 0 for unpitched
    int onsetMs = 50;     // -40 dB of the peak is reached within this time after note-on
    int releaseMs = 1000; // silent (below 0.001) this long after note-off
    std::string family;   // short lower-case word: piano, bass, pad ...
};

struct Recipe {
    std::string id;        // the word other lines use to name it
    std::string name;      // program name for a plain use, at most seven characters
    std::string shortName; // stem of generated names ("EP" + " Brt"), at most four characters
    SoundFacts facts;
    Values values;
    std::string where; // file:line of its header
};

class RecipeBook {
public:
    // Reads every "recipe" block of lines (a block runs up to the next line that starts with a
    // top-level word: recipe, bank, theme, seed, jitter, voicebank, series or a quoted name).
    // Lines that are not in a recipe block are left for the caller. Call Resolve once all files
    // are added.
    void Add(const std::vector<SourceLine>& lines, std::vector<SourceLine>& rest,
             Problems& problems);
    // Works out every recipe, bases before the recipes made from them; reports unknown bases,
    // cycles, bad lines and incomplete recipes.
    void Resolve(Problems& problems);

    const Recipe* Find(const std::string& id) const;
    std::size_t Size() const { return resolved_.size(); }
    const std::map<std::string, Recipe>& All() const { return resolved_; }

private:
    struct Block {
        SourceLine header;
        std::string base; // empty for a recipe that starts from Init
        std::vector<SourceLine> body;
    };
    bool ResolveOne(const std::string& id, Problems& problems, int depth);

    std::map<std::string, Block> blocks_;
    std::map<std::string, Recipe> resolved_;
    std::map<std::string, bool> failed_;
};

// Whether a line starts a new top-level item (so it ends a recipe block).
bool IsTopLevelLine(const SourceLine& line);

// Applies one recipe body line (a global setting or an "op1".."op4" line) to recipe. Returns
// false and adds a problem naming the line when a word or value is not understood.
bool ApplyRecipeLine(const SourceLine& line, Recipe& recipe, Problems& problems);

// Number parsing for the source language: the whole word must be the number.
bool ParseNumberWord(const std::string& word, double& value);
bool ParseIntegerWord(const std::string& word, int& value);

} // namespace bankgen
