// Writes the twelve factory bank images into a folder (resources/banks/), or with --check
// compares the images in that folder with what it would write and fails on any difference.
//   vorna_bankgen <folder>
//   vorna_bankgen --check <folder>

#include "BankImages.h"
#include "platform/Files.h"
#include "programs/FactoryBanks.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
    if (argc != 2 && !check) {
        std::fprintf(stderr, "usage: vorna_bankgen [--check] <folder>\n");
        return 2;
    }
    std::string folder = argv[argc - 1];
    int failures = 0;
    for (int i = 0; i < programs::kFactoryBankCount; ++i) {
        std::string path = platform::JoinPath(
            folder, programs::FactoryBanks()[static_cast<std::size_t>(i)].fileName);
        host::FileBytes image = bankgen::BuildFactoryBankImage(i);
        if (check) {
            host::FileBytes existing;
            if (!platform::ReadWholeFile(path, existing) || existing != image) {
                std::fprintf(stderr, "%s differs from the generated image\n", path.c_str());
                ++failures;
            }
        } else if (!platform::WriteFileSafely(path, image.data(), image.size())) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
