// vorna_listen: writes the listening page of the factory sounds into a folder.
//   vorna_listen <out-folder> [--count <1..48>] [--manifest <init.tsv>]
// Open <out-folder>/index.html in a web browser.

#include "ListeningPage.h"
#include "common/NumberText.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    listen::PageRequest request;
    request.manifestPath = VORNA_FACTORY_MANIFEST;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if ((argument == "--count" || argument == "--manifest") && i + 1 < argc) {
            std::string value = argv[++i];
            if (argument == "--manifest") {
                request.manifestPath = value;
                continue;
            }
            std::size_t used = 0;
            double count = common::ParseDouble(value.c_str(), &used);
            if (used != value.size() || count < 1 || count > 48 ||
                count != static_cast<int>(count)) {
                std::fprintf(stderr, "vorna_listen: --count takes a whole number from 1 to 48\n");
                return 2;
            }
            request.count = static_cast<int>(count);
        } else if (request.folder.empty() && !argument.empty() && argument[0] != '-') {
            request.folder = argument;
        } else {
            request.folder.clear();
            break;
        }
    }
    if (request.folder.empty()) {
        std::fprintf(stderr, "usage: vorna_listen <out-folder> [--count <1..48>] "
                             "[--manifest <init.tsv>]\n");
        return 2;
    }
    std::vector<listen::PageEntry> entries;
    std::string error;
    if (!listen::WriteListeningPage(request, entries, error)) {
        std::fprintf(stderr, "vorna_listen: %s\n", error.c_str());
        return 1;
    }
    if (listen::ReadFamilies(request.manifestPath).empty())
        std::fprintf(stderr, "vorna_listen: warning: no families, %s cannot be read\n",
                     request.manifestPath.c_str());
    std::printf("Wrote %zu programs and %s/index.html\n", entries.size(), request.folder.c_str());
    return 0;
}
