#include "WorkloadRunner.h"

#include "AudioThread.h"
#include "AudioThreadScheduling.h"
#include "BenchHost.h"
#include "ParentWindow.h"
#include "vorn/Vorn.h"
#ifdef VORNA_REALTIME_LV2
#include "lv2/Lv2Workloads.h"
#endif

#include <cmath>
#include <filesystem>
#include <system_error>

namespace realtime {

namespace {

// Room in the duration array beyond the workload's time: a GUI step that overruns the end (a
// long load) keeps the audio thread running, and its calls still count.
constexpr double kSpareSeconds = 30.0;

std::string MakeTempFolder() {
    namespace fs = std::filesystem;
    std::error_code error;
    const auto stamp = Clock::now().time_since_epoch().count();
    const fs::path folder =
        fs::temp_directory_path(error) / ("vorna-realtime-bench-" + std::to_string(stamp));
    if (error || !fs::create_directories(folder, error)) return {};
    return folder.string();
}

} // namespace

WorkloadRunner::WorkloadRunner(RunOptions options) : options_(std::move(options)) {
    PrepareTimers();
}

WorkloadRunner::~WorkloadRunner() {
    if (tempFolder_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(tempFolder_, ignored);
}

std::int64_t WorkloadRunner::BudgetNs() const {
    return static_cast<std::int64_t>(std::llround(options_.blockFrames * 1.0e9 / kSampleRate));
}

double WorkloadRunner::BudgetMs() const {
    return static_cast<double>(BudgetNs()) / 1.0e6;
}

ParentWindow* WorkloadRunner::EditorParent(std::string& reason) {
    if (!parentTried_) {
        parentTried_ = true;
        parent_ = OpenParentWindow(parentProblem_);
    }
    reason = parentProblem_;
    return parent_.get();
}

bool WorkloadRunner::PrepareBankFile(const PluginSession& session, std::string& error) {
    if (!bankFilePath_.empty()) return true;
    if (tempFolder_.empty()) tempFolder_ = MakeTempFolder();
    if (tempFolder_.empty()) {
        error = "cannot make a temporary folder for the bank file";
        return false;
    }
    const std::string path = (std::filesystem::path(tempFolder_) / "bench-bank.fxb").string();
    if (!session.Plugin().SaveBankFile(path)) {
        error = "SaveBankFile could not write " + path;
        return false;
    }
    bankFilePath_ = path;
    return true;
}

WorkloadResult WorkloadRunner::Run(const Workload& workload) {
#ifdef VORNA_REALTIME_LV2
    if (workload.runLv2) return RunLv2Workload(workload, options_, BudgetNs());
#endif
    WorkloadResult result;
    result.name = workload.name;
    ParentWindow* parent = nullptr;
    if (workload.editor != EditorUse::None) {
        parent = EditorParent(result.reason);
        if (!parent) {
            result.status = RunStatus::NotRun;
            return result;
        }
    }
    result.status = RunStatus::Failed;
    PluginSession session;
    if (!session.Open(options_.blockFrames, result.reason)) return result;

    WorkloadContext context(session);
    context.parent = parent;
    context.programChunk = session.CopyChunk(1);
    context.bankChunk = session.CopyChunk(0);
    if (!PrepareBankFile(session, result.reason)) return result;
    context.bankFilePath = bankFilePath_;
    context.sysExBankPath = options_.sysExBankPath;

    if (workload.editor == EditorUse::OpenDuringRun) {
        if (session.Dispatch(vst2::effEditOpen, 0, 0, parent->Handle()) == 0) {
            result.reason = "effEditOpen failed";
            return result;
        }
        // The first idle draws the whole panel; the figures are about what follows.
        parent->Pump();
        session.Dispatch(vst2::effEditIdle);
    }

    const double callsPerSecond = kSampleRate / options_.blockFrames;
    AudioThread audio(
        session.Effect(), options_.blockFrames,
        static_cast<std::size_t>((options_.seconds + kSpareSeconds) * callsPerSecond));
    audio.Start();
    context.end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(options_.seconds));
    const WorkloadOutcome outcome = workload.run(context);
    audio.Stop();

    if (workload.editor == EditorUse::OpenDuringRun) {
        session.Dispatch(vst2::effEditClose);
        parent->Pump();
    }
    result.audio = Summarize(audio.Durations(), BudgetNs());
    result.guiOperations = outcome.operations;
    result.silentCalls = audio.SilentCalls();
    result.lateStarts = audio.LateStarts();
    result.unrecordedCalls = audio.UnrecordedCalls();
    result.audioPriority = audio.Priority();
    if (outcome.error.empty())
        result.status = RunStatus::Ran;
    else
        result.reason = outcome.error;
    return result;
}

} // namespace realtime
