// Vorn's program state: the 157-byte record of host/ProgramState, written from and read into the
// 91 parameters. A state is applied only once it has been read completely.

#include "common/SlowWork.h"
#include "host/ProgramState.h"
#include "vorn/Vorn.h"

#include <algorithm>

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
    common::SlowWorkStarts(common::SlowWork::ProgramDecoding);
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

int Vorn::NormalizeState(int index, const host::ChunkBuffer& buffer, int position,
                         host::ChunkBuffer& out) {
    // The values the state would give the parameters, written back as the state of program
    // index: the parameters and the engine are not touched.
    host::StoredState state;
    int end = host::ParseProgramState(buffer, position, state);
    if (end < 0) return -1;
    host::ProgramValues values = host::ResolveStateValues(state, RangesOf(*this));
    for (int i = 0; i < host::kStateValueCount && i < ParamCount(); ++i) {
        const host::Param& param = GetParam(i);
        values[static_cast<std::size_t>(i)] =
            std::clamp(values[static_cast<std::size_t>(i)], param.Min(), param.Max());
    }
    out.Clear();
    host::AppendProgramState(out, IsValidPreset(index) ? index : -1, PresetName(index), values);
    return end;
}

int Vorn::CheckState(const host::ChunkBuffer& buffer, int position) {
    host::StoredState state;
    return host::ParseProgramState(buffer, position, state);
}

} // namespace vorn
