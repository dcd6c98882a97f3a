// The program-file entry reader: a refused file appends nothing; an accepted one appends one
// entry that the browser's reader takes.

#include "FuzzSupport.h"
#include "host/FxpFile.h"
#include "programs/BrowserReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> file(data, data + size);
    host::ChunkBuffer entry;
    bool ok = host::AppendProgramFileEntry(file, 0x766F726E, entry);
    if (!ok) {
        fuzz::Require(entry.Empty(), "a refused file appends nothing");
        return 0;
    }
    std::vector<programs::BrowserProgram> listed = programs::ReadBrowserEntries(entry, 0, 1);
    fuzz::Require(listed.size() <= 1, "one file gives at most one program");
    for (const programs::BrowserProgram& program : listed)
        fuzz::Require(program.name.size() == 7, "browser names are seven characters");
    return 0;
}
