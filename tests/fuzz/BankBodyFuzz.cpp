// The bank-file body locator and the browser's reading of the entries it finds.

#include "FuzzSupport.h"
#include "host/FxbFile.h"
#include "programs/BrowserReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> file(data, data + size);
    int body = host::LocateBankBody(file, 0x766F726E);
    fuzz::Require(body <= static_cast<int>(size) || body <= 0, "the body starts inside the file");
    host::ChunkBuffer entries;
    bool ok = host::AppendBankFileBody(file, 0x766F726E, entries);
    fuzz::Require(ok == (body > 0), "a body is appended exactly when it was found");
    if (!ok) return 0;
    fuzz::Require(entries.Size() == static_cast<int>(size) - body, "the body runs to the end");
    std::vector<programs::BrowserProgram> listed = programs::ReadBrowserEntries(entries, 0, 336);
    fuzz::Require(listed.size() <= 336, "a bank lists at most 336 programs");
    for (const programs::BrowserProgram& program : listed)
        fuzz::Require(program.state.Size() >= 114 && program.state.Size() <= 157,
                      "a listed state is complete");
    return 0;
}
