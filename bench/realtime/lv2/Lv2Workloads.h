#pragma once
// The LV2 workloads (Linux): the built bundle's plug-in driven through its LV2 entry points, with
// run() timed on the audio thread while the GUI thread saves and restores the state, posts bank
// dumps and does the worker's work, or sets options; one also automates every control port from
// the audio thread. They join the VST2 workloads in one list and one table.

#include "Lv2BenchSession.h"
#include "realtime/Workload.h"
#include "realtime/WorkloadRunner.h"

#include <vector>

namespace realtime {

struct Lv2WorkloadContext {
    explicit Lv2WorkloadContext(Lv2BenchSession& plugin) : session(plugin) {}

    Lv2BenchSession& session;
    lv2host::StateProperties state;     // saved once before the run: the bank and the program
    std::vector<std::uint8_t> bankDump; // the 48-voice FB-01 bank dump, empty when unreadable
    std::string bankDumpPath;
    Clock::time_point end;
};

const std::vector<Workload>& Lv2Workloads();

// A fresh LV2 instance holding 16 sounding notes, its audio thread started, the workload on the
// calling thread for the set time, then the run() calls' figures.
WorkloadResult RunLv2Workload(const Workload& workload, const RunOptions& options,
                              std::int64_t budgetNs);

} // namespace realtime
