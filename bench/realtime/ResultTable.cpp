#include "ResultTable.h"

#include <iomanip>
#include <string>

namespace realtime {

namespace {

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

// One row: the workload's name, then right-aligned cells of the given widths.
class Row {
public:
    Row(std::ostream& out, const std::string& name) : out_(out) {
        out_ << std::left << std::setw(27) << name << std::right;
    }
    template <typename Value> Row& Cell(int width, const Value& value) {
        out_ << ' ' << std::setw(width) << value;
        return *this;
    }
    Row& Milliseconds(int width, double value) {
        out_ << ' ' << std::setw(width) << std::fixed << std::setprecision(3) << value;
        return *this;
    }
    void End(const char* status = "") { out_ << "  " << status << "\n"; }

private:
    std::ostream& out_;
};

} // namespace

void PrintHeading(std::ostream& out, const WorkloadRunner& runner) {
    const RunOptions& options = runner.Options();
    out << "Audio calls (effProcessEvents + processReplacing; run() in the lv2_ rows) of "
        << options.blockFrames << " frames at 44100 Hz while the GUI thread works; budget "
        << std::fixed << std::setprecision(3) << runner.BudgetMs() << " ms per call, "
        << std::setprecision(1) << options.seconds << " s per workload.\n";
}

void PrintTable(std::ostream& out, const std::vector<WorkloadResult>& results) {
    Row(out, "workload")
        .Cell(7, "calls")
        .Cell(9, "median")
        .Cell(9, "p99.9")
        .Cell(10, "longest")
        .Cell(7, "over")
        .Cell(6, "late")
        .Cell(7, "silent")
        .Cell(9, "GUI ops")
        .End();
    Row(out, "")
        .Cell(7, "")
        .Cell(9, "ms")
        .Cell(9, "ms")
        .Cell(10, "ms")
        .Cell(7, "budget")
        .Cell(6, "starts")
        .Cell(7, "calls")
        .Cell(9, "")
        .End();
    for (const WorkloadResult& result : results) {
        if (result.status == RunStatus::NotRun) {
            Row(out, result.name).End(StatusText(result.status));
            continue;
        }
        const CallSummary& audio = result.audio;
        Row(out, result.name)
            .Cell(7, audio.calls)
            .Milliseconds(9, audio.medianMs)
            .Milliseconds(9, audio.p999Ms)
            .Milliseconds(10, audio.longestMs)
            .Cell(7, audio.overBudget)
            .Cell(6, result.lateStarts)
            .Cell(7, result.silentCalls)
            .Cell(9, result.guiOperations)
            .End(StatusText(result.status));
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
