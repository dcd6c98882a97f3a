// The real-time workloads as Google Benchmark cases, BM_Realtime/<workload>: one iteration each,
// which runs the workload for VORNA_REALTIME_SECONDS seconds (default 3) with 64-frame blocks and
// reports the audio calls' figures as counters. A workload that could not run is an error, never
// a result.

#include <benchmark/benchmark.h>

#include "realtime/WorkloadRunner.h"

#include <cstdlib>
#include <string>

namespace {

realtime::WorkloadRunner& Runner() {
    static realtime::WorkloadRunner runner([] {
        realtime::RunOptions options;
        if (const char* seconds = std::getenv("VORNA_REALTIME_SECONDS"))
            options.seconds = std::atof(seconds) > 0.0 ? std::atof(seconds) : options.seconds;
        options.sysExBankPath = VORNA_SYX_BANK;
        return options;
    }());
    return runner;
}

void RunRealtimeWorkload(benchmark::State& state, const realtime::Workload* workload) {
    realtime::WorkloadResult result;
    for (auto _ : state) result = Runner().Run(*workload);
    if (result.status != realtime::RunStatus::Ran) {
        const char* status =
            result.status == realtime::RunStatus::NotRun ? "not run: " : "failed: ";
        state.SkipWithError((status + result.reason).c_str());
        return;
    }
    state.counters["calls"] = static_cast<double>(result.audio.calls);
    state.counters["median_ms"] = result.audio.medianMs;
    state.counters["p99.9_ms"] = result.audio.p999Ms;
    state.counters["longest_ms"] = result.audio.longestMs;
    state.counters["over_budget"] = static_cast<double>(result.audio.overBudget);
    state.counters["silent_calls"] = static_cast<double>(result.silentCalls);
    state.counters["gui_ops"] = static_cast<double>(result.guiOperations);
}

const bool registered = [] {
    for (const realtime::Workload& workload : realtime::AllWorkloads())
        benchmark::RegisterBenchmark(("BM_Realtime/" + std::string(workload.name)).c_str(),
                                     &RunRealtimeWorkload, &workload)
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
