#pragma once
// The switches that rewrite committed golden data (render hashes, editor pictures): the variable
// set to 1, and nothing else, asks for it, and only the Linux build answers. Any other value
// ("true", "yes") is a mistake that fails the run instead of quietly rewriting or quietly
// comparing; a Windows build never rewrites, so the data always comes from one build and the
// DLLs are held to it.

#include <cstdlib>
#include <string>

namespace golden_test {

enum class GoldenSwitch { Compare, Rewrite, Misused };

// How the variable asks the test to treat its golden data; problem says what is wrong when it is
// misused.
inline GoldenSwitch ReadGoldenSwitch(const char* variable, std::string& problem) {
    const char* value = std::getenv(variable);
    if (!value || !*value || std::string(value) == "0") return GoldenSwitch::Compare;
    if (std::string(value) != "1") {
        problem = std::string(variable) + " accepts only 1 (rewrite) or 0, not \"" + value + "\"";
        return GoldenSwitch::Misused;
    }
#ifdef _WIN32
    problem = std::string(variable) + ": golden data is rewritten from the Linux build only";
    return GoldenSwitch::Misused;
#else
    return GoldenSwitch::Rewrite;
#endif
}

} // namespace golden_test
