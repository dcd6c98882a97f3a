// The GUI-thread calls a DAW makes without an editor: program changes, automation, chunks.

#include "WorkloadSteps.h"

#include <thread>

namespace realtime {

namespace {

// Parameter values step through 32 levels, each parameter at its own phase, so that consecutive
// rounds always change every parameter.
constexpr int kAutomationLevels = 32;

} // namespace

void NextProgram(const PluginSession& session) {
    const vst2::AEffect* effect = session.Effect();
    const vst2::IntPtr current = session.Dispatch(vst2::effGetProgram);
    session.Dispatch(vst2::effSetProgram, 0, (current + 1) % effect->numPrograms);
}

void AutomateAllParameters(const PluginSession& session, std::int64_t round) {
    vst2::AEffect* effect = session.Effect();
    for (int index = 0; index < effect->numParams; ++index) {
        const auto level = static_cast<int>((round + index * 7) % kAutomationLevels);
        effect->setParameter(effect, index, static_cast<float>(level) / (kAutomationLevels - 1));
    }
}

WorkloadOutcome AudioAlone(WorkloadContext& context) {
    std::this_thread::sleep_until(context.end);
    return {};
}

WorkloadOutcome ProgramChanges(WorkloadContext& context) {
    WorkloadOutcome outcome;
    for (; Clock::now() < context.end; ++outcome.operations) NextProgram(context.session);
    return outcome;
}

WorkloadOutcome Automation(WorkloadContext& context) {
    WorkloadOutcome outcome;
    for (std::int64_t round = 0; Clock::now() < context.end; ++round) {
        AutomateAllParameters(context.session, round);
        outcome.operations += context.session.Effect()->numParams;
    }
    return outcome;
}

namespace {

WorkloadOutcome ChunkLoads(WorkloadContext& context, int index,
                           const std::vector<std::uint8_t>& chunk) {
    WorkloadOutcome outcome;
    if (chunk.empty()) {
        outcome.error = "effGetChunk gave no chunk to load";
        return outcome;
    }
    std::vector<std::uint8_t> copy = chunk; // the plug-in may keep the pointer it is given
    for (; Clock::now() < context.end; ++outcome.operations) {
        if (context.session.Dispatch(vst2::effSetChunk, index,
                                     static_cast<vst2::IntPtr>(copy.size()), copy.data()) == 0) {
            outcome.error = "effSetChunk refused the chunk";
            break;
        }
    }
    return outcome;
}

} // namespace

WorkloadOutcome ProgramChunkLoads(WorkloadContext& context) {
    return ChunkLoads(context, 1, context.programChunk);
}

WorkloadOutcome BankChunkSaves(WorkloadContext& context) {
    WorkloadOutcome outcome;
    for (; Clock::now() < context.end; ++outcome.operations) {
        void* data = nullptr;
        if (context.session.Dispatch(vst2::effGetChunk, 0, 0, &data) <= 0 || !data) {
            outcome.error = "effGetChunk gave no bank chunk";
            break;
        }
    }
    return outcome;
}

WorkloadOutcome BankChunkLoads(WorkloadContext& context) {
    return ChunkLoads(context, 0, context.bankChunk);
}

} // namespace realtime
