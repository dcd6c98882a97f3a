#include "CallStatistics.h"

#include <algorithm>
#include <cmath>

namespace realtime {

namespace {

double Milliseconds(std::int64_t nanoseconds) {
    return static_cast<double>(nanoseconds) / 1.0e6;
}

} // namespace

std::int64_t NearestRankPercentile(const std::vector<std::int64_t>& sorted, double percent) {
    if (sorted.empty()) return 0;
    // The tolerance keeps a product such as 99.9 % of 1000 calls, 999.0000000000001 in binary
    // arithmetic, at rank 999.
    const double rank = std::ceil(percent / 100.0 * static_cast<double>(sorted.size()) - 1e-9);
    const auto index = static_cast<std::size_t>(std::max(rank, 1.0)) - 1;
    return sorted[std::min(index, sorted.size() - 1)];
}

CallSummary Summarize(std::vector<std::int64_t> durations, std::int64_t budgetNs) {
    std::sort(durations.begin(), durations.end());
    CallSummary summary;
    summary.calls = durations.size();
    if (durations.empty()) return summary;
    summary.medianMs = Milliseconds(NearestRankPercentile(durations, 50.0));
    summary.p999Ms = Milliseconds(NearestRankPercentile(durations, 99.9));
    summary.longestMs = Milliseconds(durations.back());
    summary.overBudget = static_cast<std::size_t>(
        durations.end() - std::upper_bound(durations.begin(), durations.end(), budgetNs));
    return summary;
}

} // namespace realtime
