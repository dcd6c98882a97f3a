#include "ResultTable.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace realtime {

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

const char* StatusText(RunStatus status) {
    switch (status) {
    case RunStatus::Ran:
        return "";
    case RunStatus::NotRun:
        return "NOT RUN";
    case RunStatus::Failed:
        return "FAILED";
    }
    return "";
}

} // namespace

void PrintHeading(std::ostream& out, const WorkloadRunner& runner) {
    const RunOptions& options = runner.Options();
    out << Format("Audio calls (effProcessEvents + processReplacing) of %d frames at 44100 Hz "
                  "while the GUI thread works; budget %.3f ms per call, %.1f s per workload.\n",
                  options.blockFrames, runner.BudgetMs(), options.seconds);
}

void PrintTable(std::ostream& out, const std::vector<WorkloadResult>& results) {
    out << Format("%-27s %7s %9s %9s %10s %7s %6s %7s %9s  %s\n", "workload", "calls", "median",
                  "p99.9", "longest", "over", "late", "silent", "GUI ops", "");
    out << Format("%-27s %7s %9s %9s %10s %7s %6s %7s %9s\n", "", "", "ms", "ms", "ms", "budget",
                  "starts", "calls", "");
    for (const WorkloadResult& result : results) {
        if (result.status == RunStatus::NotRun) {
            out << Format("%-27s %s\n", result.name.c_str(), StatusText(result.status));
            continue;
        }
        const CallSummary& audio = result.audio;
        out << Format("%-27s %7zu %9.3f %9.3f %10.3f %7zu %6zu %7zu %9lld  %s\n",
                      result.name.c_str(), audio.calls, audio.medianMs, audio.p999Ms,
                      audio.longestMs, audio.overBudget, result.lateStarts, result.silentCalls,
                      static_cast<long long>(result.guiOperations), StatusText(result.status));
    }
    std::string priority;
    for (const WorkloadResult& result : results) {
        if (!result.reason.empty())
            out << result.name << ": " << StatusText(result.status) << ": " << result.reason
                << "\n";
        if (result.unrecordedCalls > 0)
            out << result.name << ": " << result.unrecordedCalls
                << " calls after the time were not recorded\n";
        if (!result.audioPriority.empty()) priority = result.audioPriority;
    }
    if (!priority.empty()) out << "audio thread priority: " << priority << "\n";
}

} // namespace realtime
