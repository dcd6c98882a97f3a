// Vorn's program state: the 157-byte record of host/ProgramState, written from and read into the
// 91 parameters. A state is applied only once it has been read completely.

#include "host/ProgramState.h"
#include "vorn/Vorn.h"

namespace vorn {

namespace {

host::ProgramRanges RangesOf(const host::PluginBase& plugin) {
    host::ProgramRanges ranges{};
    for (int i = 0; i < host::kStateValueCount && i < plugin.ParamCount(); ++i)
        ranges[static_cast<std::size_t>(i)] = {plugin.GetParam(i).Min(), plugin.GetParam(i).Max()};
    return ranges;
}

} // namespace

bool Vorn::WriteState(host::ChunkBuffer& buffer) {
    platform::ScopedLock lock(Mutex());
    host::ProgramValues values{};
    for (int i = 0; i < host::kStateValueCount && i < ParamCount(); ++i)
        values[static_cast<std::size_t>(i)] = GetParam(i).Value();
    int owner = StateOwnerIndex();
    host::AppendProgramState(buffer, IsValidPreset(owner) ? owner : -1, PresetName(owner), values);
    return !buffer.Empty();
}

int Vorn::ReadState(const host::ChunkBuffer& buffer, int position) {
    platform::ScopedLock lock(Mutex());
    host::StoredState state;
    int end = host::ParseProgramState(buffer, position, state);
    if (end < 0) return -1;
    host::ProgramValues values = host::ResolveStateValues(state, RangesOf(*this));
    for (int i = 0; i < host::kStateValueCount && i < ParamCount(); ++i)
        GetParam(i).SetClamped(values[static_cast<std::size_t>(i)]);
    AllParamsChanged();
    return end;
}

programs::ParamValues Vorn::StoredParamValues(int index) const {
    programs::ParamValues values = CurrentParamValues();
    if (!IsValidPreset(index) || index == CurrentPresetIndex()) return values;
    const host::Preset& preset = GetPreset(index);
    host::StoredState state;
    // A state that cannot be read would leave the parameters as they are when recalled.
    if (!preset.initialised || host::ParseProgramState(preset.state, 0, state) < 0) return values;
    const host::ProgramValues stored = host::ResolveStateValues(state, RangesOf(*this));
    for (int i = 0; i < host::kStateValueCount && i < engine::kParamCount && i < ParamCount(); ++i)
        values[static_cast<std::size_t>(i)] = stored[static_cast<std::size_t>(i)];
    return values;
}

int Vorn::CheckState(const host::ChunkBuffer& buffer, int position) {
    host::StoredState state;
    return host::ParseProgramState(buffer, position, state);
}

} // namespace vorn
