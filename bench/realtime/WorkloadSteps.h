#pragma once
// The workloads, grouped by what they drive: host calls without an editor (HostCallWorkloads.cpp),
// an open editor (EditorWorkloads.cpp), the instrument's own file and browser commands
// (FileWorkloads.cpp). The list in WorkloadList.cpp names and orders them.

#include "Workload.h"

namespace realtime {

WorkloadOutcome AudioAlone(WorkloadContext& context);
WorkloadOutcome ProgramChanges(WorkloadContext& context);
WorkloadOutcome Automation(WorkloadContext& context);
WorkloadOutcome ProgramChunkLoads(WorkloadContext& context);
WorkloadOutcome BankChunkSaves(WorkloadContext& context);
WorkloadOutcome BankChunkLoads(WorkloadContext& context);

WorkloadOutcome EditorSlowProgramChanges(WorkloadContext& context);
WorkloadOutcome EditorProgramChanges(WorkloadContext& context);
WorkloadOutcome EditorAutomation(WorkloadContext& context);
WorkloadOutcome EditorOpenClose(WorkloadContext& context);

WorkloadOutcome FxbFileLoads(WorkloadContext& context);
WorkloadOutcome SysExFileLoads(WorkloadContext& context);
WorkloadOutcome BrowserBankLoads(WorkloadContext& context);

// Steps several workloads share.
// Selects the program after the current one, wrapping round.
void NextProgram(const PluginSession& session);
// Sets every parameter once, each to a value that differs from its previous one; round counts
// the calls made so far.
void AutomateAllParameters(const PluginSession& session, std::int64_t round);

} // namespace realtime
