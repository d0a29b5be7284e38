#pragma once
// The export command: the chosen setting (as timing chooses it) in the form its target
// takes. What the target would refuse or change goes to stderr, one line each, with the
// refused status; the text is printed all the same.
#include "cli/CommandOutput.h"

namespace quillon::cli {

CommandOutput RunExport(const Request& request);

} // namespace quillon::cli
