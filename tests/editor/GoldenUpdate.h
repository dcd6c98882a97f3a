#pragma once
// The switch that rewrites the committed editor pictures: VORNA_UPDATE_GOLDENS=1, and nothing else,
// asks for it, and only the Linux build answers. Any other value ("true", "yes") is a mistake that
// fails the test instead of quietly rewriting the pictures or quietly comparing; a Windows build
// never rewrites them, so the pictures always come from one build and the DLLs are held to them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace editor_test {

// True when the golden pictures are to be rewritten; a misused switch adds a failure and answers
// false, so the pictures are compared as usual.
inline bool GoldenUpdateRequested() {
    const char* value = std::getenv("VORNA_UPDATE_GOLDENS");
    if (!value || !*value || std::string(value) == "0") return false;
    if (std::string(value) != "1") {
        ADD_FAILURE() << "VORNA_UPDATE_GOLDENS accepts only 1 (rewrite) or 0, not \"" << value
                      << "\"";
        return false;
    }
#ifdef _WIN32
    ADD_FAILURE() << "the golden pictures are rewritten from the Linux build only";
    return false;
#else
    return true;
#endif
}

} // namespace editor_test
