#pragma once
// The candidates command: the search of step 2 for the two inputs, the chosen list as a
// table or as JSON, optionally the whole grid, and with --analyse what each candidate's
// proposed setting tolerates (taken from the model's facts of that setting).
#include "cli/common/CommandOutput.h"

namespace quillon::cli {
inline namespace classic {

CommandOutput RunCandidates(const Request& request);

} // namespace classic
} // namespace quillon::cli
