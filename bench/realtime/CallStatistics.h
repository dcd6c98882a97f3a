#pragma once
// The figures reported for one workload's audio calls: how many, the median, the 99.9th
// percentile, the longest, and how many took longer than one audio period.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace realtime {

struct CallSummary {
    std::size_t calls = 0;
    double medianMs = 0.0;
    double p999Ms = 0.0;
    double longestMs = 0.0;
    std::size_t overBudget = 0; // calls longer than the budget
};

// Nearest-rank percentile (0 < percent <= 100) of durations sorted in ascending order: the
// smallest value that at least percent % of the values do not exceed. 0 for no values.
std::int64_t NearestRankPercentile(const std::vector<std::int64_t>& sorted, double percent);

// durations in nanoseconds, in any order; budgetNs is the length of one audio period.
CallSummary Summarize(std::vector<std::int64_t> durations, std::int64_t budgetNs);

} // namespace realtime
