#pragma once
// The report command: the same report values, page writer and diagram as the window's
// "Generate Report...", written into a chosen folder. The diagram is drawn on an offscreen
// image at the window's picture size, so no display is needed. Runs in quillon-cli-qt.
#include "cli/CommandOutput.h"

namespace quillon::cli {

// Refuses a setting that breaks a timing rule (status 1, nothing written); otherwise
// writes MCP2510Report.htm and bittime.bmp into request.outDir and, with --open, hands
// the report to the desktop.
CommandOutput RunReport(const Request& request);

} // namespace quillon::cli
