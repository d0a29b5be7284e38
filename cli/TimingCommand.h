#pragma once
// The timing command: the facts of the chosen setting (DescribeBitTiming) as tables for a
// person or one JSON document for a script. A setting that breaks a timing rule is shown
// with its verdict, not refused.
#include "cli/CommandOutput.h"

namespace quillon::cli {

CommandOutput RunTiming(const Request& request);

} // namespace quillon::cli
