// Program states: checking and reading agree, a refused state changes no parameter, and every
// value read lies inside its parameter's range.

#include "FuzzSupport.h"
#include "host/ProgramState.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vorn::Vorn& plugin = fuzz::Instance();
    host::ChunkBuffer buffer;
    buffer.Assign(data, size);
    int start = 0;
    fuzz::Snapshot before(plugin);
    int checked = plugin.CheckState(buffer, start);
    int read = plugin.ReadState(buffer, start);
    fuzz::Require(checked == read, "CheckState and ReadState agree");
    if (read < 0) {
        fuzz::Require(fuzz::Snapshot(plugin) == before, "a refused state changes nothing");
        return 0;
    }
    fuzz::Require(read <= buffer.Size(), "a state ends inside the data");
    for (int p = 0; p < plugin.ParamCount(); ++p) {
        const host::Param& param = plugin.GetParam(p);
        fuzz::Require(param.Value() >= param.Min() && param.Value() <= param.Max(),
                      "values read lie in their ranges");
    }
    // What was read is written back in the normal form, which reads again to the same values.
    host::ChunkBuffer rewritten;
    plugin.WriteState(rewritten);
    fuzz::Snapshot once(plugin);
    fuzz::Require(plugin.ReadState(rewritten, 0) == host::kStateSize, "a written state reads");
    fuzz::Require(fuzz::Snapshot(plugin).values == once.values, "a written state reads back");
    return 0;
}
