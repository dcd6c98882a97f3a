// The XDG user-dirs parser: any file text gives either no folder or one absolute folder on one
// line, never the home folder itself, and a key the text does not hold finds nothing.

#include "platform/XdgUserDirs.h"

#include "FuzzSupport.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const char* home : {"/home/fuzz", "/home/fuzz/", "/"}) {
        const std::string folder = platform::FindXdgUserDir(text, "XDG_DOCUMENTS_DIR", home);
        if (folder.empty()) continue;
        fuzz::Require(folder[0] == '/', "the folder is an absolute path");
        fuzz::Require(folder.find('\n') == std::string::npos, "the folder is one line");
        fuzz::Require(folder != "/home/fuzz" || std::string(home) == "/",
                      "the home folder itself means none");
        fuzz::Require(folder.size() == 1 || folder.back() != '/', "no trailing separator");
        fuzz::Require(folder.size() <= text.size() + std::string(home).size(),
                      "the folder comes from the text and the home folder");
        fuzz::Require(text.find("XDG_DOCUMENTS_DIR") != std::string::npos,
                      "a key that is not in the text finds nothing");
    }
    return 0;
}
