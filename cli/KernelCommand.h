#pragma once
// The kernel command: what the Linux mcp251x driver chooses by itself for the rate, beside
// Quillon's first candidate, as the shared comparison text or one JSON document.
#include "cli/CommandOutput.h"

namespace quillon::cli {

CommandOutput RunKernel(const Request& request);

} // namespace quillon::cli
