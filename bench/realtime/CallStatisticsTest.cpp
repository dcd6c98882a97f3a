// The percentile and budget figures the real-time benchmark reports.

#include "CallStatistics.h"

#include <gtest/gtest.h>

namespace {

TEST(CallStatistics, NearestRankPercentileTakesTheSmallestValueCoveringThePercent) {
    std::vector<std::int64_t> sorted;
    for (int i = 1; i <= 1000; ++i) sorted.push_back(i);
    EXPECT_EQ(realtime::NearestRankPercentile(sorted, 50.0), 500);
    EXPECT_EQ(realtime::NearestRankPercentile(sorted, 99.9), 999);
    EXPECT_EQ(realtime::NearestRankPercentile(sorted, 100.0), 1000);
    // With fewer than 1000 calls the 99.9th percentile is the longest call.
    EXPECT_EQ(realtime::NearestRankPercentile({3, 5, 9}, 99.9), 9);
    EXPECT_EQ(realtime::NearestRankPercentile({}, 50.0), 0);
}

TEST(CallStatistics, SummaryCountsOnlyCallsLongerThanTheBudget) {
    // Unsorted, in nanoseconds; the budget itself is not over it.
    const realtime::CallSummary summary =
        realtime::Summarize({2000000, 500000, 1451000, 1000000, 9000000}, 1451000);
    EXPECT_EQ(summary.calls, 5u);
    EXPECT_EQ(summary.overBudget, 2u);
    EXPECT_DOUBLE_EQ(summary.medianMs, 1.451);
    EXPECT_DOUBLE_EQ(summary.longestMs, 9.0);
    EXPECT_EQ(realtime::Summarize({}, 1451000).calls, 0u);
}

} // namespace
