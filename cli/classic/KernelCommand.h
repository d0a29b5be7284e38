#pragma once
// The kernel command: what the Linux mcp251x driver chooses by itself for the rate, beside
// Quillon's first candidate, as the shared comparison text or one JSON document.
#include "cli/common/CommandOutput.h"

namespace quillon::cli {
inline namespace classic {

CommandOutput RunKernel(const Request& request);

} // namespace classic
} // namespace quillon::cli
