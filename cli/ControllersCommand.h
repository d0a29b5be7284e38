#pragma once
// The controllers command: the controller table as a text table or one JSON document, so a
// user can see which names --controller takes and what each controller is.
#include "cli/common/CommandOutput.h"

namespace quillon::cli {

CommandOutput RunControllers(const Request& request);

} // namespace quillon::cli
