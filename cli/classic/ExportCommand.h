#pragma once
// The export command: the chosen setting (as timing chooses it) in the form its target
// takes. What the target would refuse or change goes to stderr, one line each, with the
// refused status; the text is printed all the same.
#include "cli/common/CommandOutput.h"

namespace quillon::cli {
inline namespace classic {

CommandOutput RunExport(const Request& request);

} // namespace classic
} // namespace quillon::cli
