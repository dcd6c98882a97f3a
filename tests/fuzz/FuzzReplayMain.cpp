// Replays the committed seed corpus of a fuzz target as a plain regression test, for builds
// without libFuzzer: `vorna_fuzz_replay <target> <folder>...` hands every file in the folders to
// the named target once.

#include "FuzzTargetTable.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    const FuzzTarget* target = nullptr;
    for (const FuzzTarget* t = kFuzzTargets; argc > 1 && t->name; ++t)
        if (std::strcmp(t->name, argv[1]) == 0) target = t;
    if (!target) {
        std::fprintf(stderr, "usage: %s <target> <corpus folder>...; targets:", argv[0]);
        for (const FuzzTarget* t = kFuzzTargets; t->name; ++t) std::fprintf(stderr, " %s", t->name);
        std::fprintf(stderr, "\n");
        return 2;
    }
    int replayed = 0;
    for (int i = 2; i < argc; ++i) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i], error)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                            std::istreambuf_iterator<char>());
            target->run(bytes.data(), bytes.size());
            ++replayed;
        }
        if (error) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
    }
    std::printf("%s: %d inputs replayed\n", target->name, replayed);
    return replayed > 0 ? 0 : 1;
}
