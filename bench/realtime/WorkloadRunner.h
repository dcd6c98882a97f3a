#pragma once
// Runs one workload: a fresh plug-in instance holding 16 sounding notes, the audio thread started,
// the workload on the calling thread (the GUI thread) for the set time, then the audio calls'
// figures. The calling thread must be the same for every run: it owns the editor's parent window.

#include "CallStatistics.h"
#include "Workload.h"

#include <memory>
#include <string>

namespace realtime {

class ParentWindow;

struct RunOptions {
    double seconds = 3.0; // per workload
    int blockFrames = 64; // 64 or 256
    std::string sysExBankPath;
    std::string lv2BundlePath; // the built Vorn.lv2 folder, for the LV2 workloads
};

enum class RunStatus { Ran, NotRun, Failed };

struct WorkloadResult {
    std::string name;
    RunStatus status = RunStatus::NotRun;
    std::string reason; // why it did not run or failed
    CallSummary audio;  // the timed effProcessEvents + processReplacing pairs
    std::int64_t guiOperations = 0;
    std::size_t silentCalls = 0;
    std::size_t lateStarts = 0;
    std::size_t unrecordedCalls = 0;
    std::string audioPriority;
};

class WorkloadRunner {
public:
    explicit WorkloadRunner(RunOptions options);
    ~WorkloadRunner();
    WorkloadRunner(const WorkloadRunner&) = delete;
    WorkloadRunner& operator=(const WorkloadRunner&) = delete;

    WorkloadResult Run(const Workload& workload);
    const RunOptions& Options() const { return options_; }
    // One audio period: a call longer than this is over budget.
    double BudgetMs() const;

private:
    // The editor's parent window, made on first use; null with the reason when there is none.
    ParentWindow* EditorParent(std::string& reason);
    // The FXB file for the file workload, written once by the first instance that needs it.
    bool PrepareBankFile(const PluginSession& session, std::string& error);
    std::int64_t BudgetNs() const;

    RunOptions options_;
    std::unique_ptr<ParentWindow> parent_;
    bool parentTried_ = false;
    std::string parentProblem_;
    std::string tempFolder_;
    std::string bankFilePath_;
};

} // namespace realtime
