#pragma once
// A workload is what the GUI thread does for a fixed time while the audio thread plays: a host's
// program changes, automation, chunk saves and loads, an open editor, the instrument's own file
// commands. Each returns how many operations it completed, or why it could not do its work.

#include "PluginSession.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace realtime {

class ParentWindow;
struct Lv2WorkloadContext;

using Clock = std::chrono::steady_clock;

struct WorkloadContext {
    explicit WorkloadContext(const PluginSession& plugin) : session(plugin) {}

    const PluginSession& session;
    ParentWindow* parent = nullptr;         // set for the workloads that use the editor
    std::vector<std::uint8_t> programChunk; // effGetChunk index 1, taken once before the run
    std::vector<std::uint8_t> bankChunk;    // effGetChunk index 0, taken once before the run
    std::string bankFilePath;               // an FXB file the instrument wrote before the run
    std::string sysExBankPath;              // a 48-voice FB-01 bank dump
    Clock::time_point end;                  // when the workload stops
};

struct WorkloadOutcome {
    std::int64_t operations = 0;
    std::string error; // empty when every operation did what it should
};

enum class EditorUse {
    None,
    OpenDuringRun, // the runner opens the editor before the audio is timed and closes it after
    OpensItself,   // the workload opens and closes the editor as part of its work
};

struct Workload {
    const char* name;
    const char* description;
    EditorUse editor;
    WorkloadOutcome (*run)(WorkloadContext& context);
    // The LV2 workloads (Linux) set this instead of run: the GUI thread's part, with the LV2
    // plug-in's run() as the timed audio call (lv2/Lv2Workloads.h).
    WorkloadOutcome (*runLv2)(Lv2WorkloadContext& context) = nullptr;
};

// In the order they run.
const std::vector<Workload>& AllWorkloads();
// Null when no workload has that name.
const Workload* FindWorkload(const std::string& name);

} // namespace realtime
