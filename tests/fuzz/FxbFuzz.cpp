// Bank files: a refused file changes nothing; an accepted one leaves a current program that can
// be saved again.

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vorn::Vorn& plugin = fuzz::Instance();
    std::vector<std::uint8_t> file(data, data + size);
    fuzz::Snapshot before(plugin);
    if (!plugin.LoadBankData(file)) {
        fuzz::Require(fuzz::Snapshot(plugin) == before, "a refused bank file changes nothing");
        return 0;
    }
    fuzz::Require(plugin.IsValidPreset(plugin.CurrentPresetIndex()), "the current program exists");
    fuzz::Require(!plugin.BankFileImage().empty(), "a loaded bank can be saved");
    return 0;
}
