#pragma once
// Small sources written inline for the generator's tests.

#include "BankLayout.h"
#include "Recipe.h"

#include <gtest/gtest.h>

#include <string>

namespace bankgen_test {

inline std::vector<bankgen::SourceLine> Lines(const std::string& text, bankgen::Problems& problems,
                                              const std::string& file = "test.txt") {
    std::vector<bankgen::SourceLine> lines;
    bankgen::SplitSource(file, text, lines, problems);
    return lines;
}

// A recipe book made from text; rest receives the lines outside recipe blocks.
inline bankgen::RecipeBook Book(const std::string& text, bankgen::Problems& problems,
                                std::vector<bankgen::SourceLine>* rest = nullptr) {
    bankgen::RecipeBook book;
    std::vector<bankgen::SourceLine> others;
    book.Add(Lines(text, problems), others, problems);
    book.Resolve(problems);
    if (rest) *rest = others;
    return book;
}

// A plain two-operator recipe: OP2 modulates OP1, the other two are off.
inline std::string SimpleRecipe(const std::string& id = "Simple") {
    return "recipe " + id +
           " \"Simple\"\n"
           "  short Sim\n"
           "  family test\n"
           "  pitch 1\n"
           "  release 800\n"
           "  algorithm 1\n"
           "  op1 ratio 1 level 4 env 31 10 5 3 7\n"
           "  op2 ratio 1 level 20 vel 3 env 31 14 6 8 7\n"
           "  op3 off\n"
           "  op4 off\n";
}

// A complete layout for stem: seven voice banks of 48 program lines, line(i) giving program i.
template <typename LineOf> std::string FullLayout(const std::string& stem, LineOf line) {
    std::string text = "bank " + stem + "\nseed 7\n";
    for (int vb = 0; vb < 7; ++vb) {
        text += "voicebank " + std::to_string(vb + 1) + " \"Part\"\n";
        for (int i = 0; i < 48; ++i) text += line(vb * 48 + i) + "\n";
    }
    return text;
}

// "P000" .. "P335": a distinct name for every program.
inline std::string NumberedName(int i) {
    std::string n = std::to_string(i);
    return "\"P" + std::string(3 - n.size(), '0') + n + "\"";
}

inline bool Mentions(const bankgen::Problems& problems, const std::string& part) {
    for (const std::string& m : problems.messages)
        if (m.find(part) != std::string::npos) return true;
    return false;
}

} // namespace bankgen_test
