#pragma once
// The timing command: the facts of the chosen setting (DescribeBitTiming) as tables for a
// person or one JSON document for a script. A setting that breaks a timing rule is shown
// with its verdict, not refused.
#include "cli/common/CommandOutput.h"

namespace quillon::cli {
inline namespace classic {

CommandOutput RunTiming(const Request& request);

} // namespace classic
} // namespace quillon::cli
