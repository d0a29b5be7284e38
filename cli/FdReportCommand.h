#pragma once
// fd report: the CAN FD report page and its two-bit diagram, the same values, page writer
// and drawing as the window's FD report, written into a chosen folder. Runs in
// quillon-cli-qt, as the classic report does.
#include "cli/common/CommandOutput.h"

namespace quillon::cli {

// Refuses a setting that breaks a rule (status 1, nothing written); otherwise writes
// MCP251xFDReport.htm and fdbittime.bmp into request.outDir and, with --open, hands the
// report to the desktop.
CommandOutput RunFdReport(const Request& request);

} // namespace quillon::cli
