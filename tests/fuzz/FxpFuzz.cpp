// Program files: a refused file changes nothing; an accepted one leaves values in range.

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vorn::Vorn& plugin = fuzz::Instance();
    std::vector<std::uint8_t> file(data, data + size);
    fuzz::Snapshot before(plugin);
    if (!plugin.LoadProgramData(file)) {
        fuzz::Require(fuzz::Snapshot(plugin) == before, "a refused program file changes nothing");
        return 0;
    }
    for (int p = 0; p < plugin.ParamCount(); ++p) {
        const host::Param& param = plugin.GetParam(p);
        fuzz::Require(param.Value() >= param.Min() && param.Value() <= param.Max(),
                      "loaded values lie in their ranges");
    }
    return 0;
}
