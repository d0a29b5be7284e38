#pragma once
// The bus side of reading a command line (CliArguments.h): a node's own ppm=, and the bus
// options and sample points once every option is known.
#include "cli/common/CliArguments.h"

#include <string>
#include <string_view>

namespace quillon::cli {
inline namespace common {

// True when a bus node's text gives its crystal tolerance itself (":ppm=N" after the "@").
bool GivesOwnPpm(std::string_view node);

// Once every option is read: the transceiver class taken from its name, --ppm given to the
// bus nodes without their own, export and fd export without segment options set to the
// recommended segments, and the refusal of an option that would change nothing where it is
// given (a bus option on candidates without --analyse, a sample point without --recommend).
// The refusal, or empty.
std::string FinishBusAndGoal(Request& request);

} // namespace common
} // namespace quillon::cli
