#pragma once
// The readable report: one row per workload with its audio calls' figures, then why any workload
// did not run or failed.

#include "WorkloadRunner.h"

#include <ostream>
#include <vector>

namespace realtime {

void PrintHeading(std::ostream& out, const WorkloadRunner& runner);
void PrintTable(std::ostream& out, const std::vector<WorkloadResult>& results);

} // namespace realtime
