// Module SysEx messages: recognising and reading them never crashes, what reads as voices
// matches its kind, and a message that cannot be applied changes no program and no parameter.

#include "FuzzSupport.h"
#include "programs/SysExFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace programs;
    const SysExKind kind = ClassifySysEx(data, size);
    fuzz::Require(static_cast<int>(kind) >= 0 && static_cast<int>(kind) <= 5, "kinds are 0 to 5");
    std::vector<VoiceRecord> records;
    const bool parsed = ParseVoiceBlocks(data, size, records);
    if (parsed) {
        fuzz::Require(kind == SysExKind::SingleVoice ? records.size() == 1
                                                     : IsBankDump(kind) && records.size() == 48,
                      "a voice dump gives one voice, a bank dump 48");
    } else {
        fuzz::Require(records.empty(), "a refused dump gives no voices");
    }

    vorn::Vorn& plugin = fuzz::Instance();
    fuzz::Snapshot before(plugin);
    const bool applied = plugin.ApplySysEx(data, size);
    if (kind != SysExKind::ParamChange) {
        fuzz::Require(applied == parsed, "a voice dump applies exactly when it reads");
        if (!applied)
            fuzz::Require(fuzz::Snapshot(plugin) == before, "a refused message changes nothing");
    }
    for (int p = 0; p < plugin.ParamCount(); ++p) {
        const host::Param& param = plugin.GetParam(p);
        fuzz::Require(param.Value() >= param.Min() && param.Value() <= param.Max(),
                      "applied values lie in their ranges");
    }
    return 0;
}
