#pragma once
// The report command: the same report values, page writer and diagram drawing as the
// window's "Generate Report...", written into a chosen folder. The diagram is drawn on an
// offscreen image at the picture's design size, so no display is needed.
#include "cli/CliCommands.h"
#include "window/BitTimingDiagram.h"

namespace quillon::cli {

// The diagram of a choice as the window's picture shows it for the same settings.
DiagramInputs DiagramInputsFor(const TimingChoice& choice);

// Refuses a choice that breaks a timing rule (status 1, nothing written); otherwise
// writes MCP2510Report.htm and bittime.bmp into request.outDir and, with --open, hands
// the report to the desktop.
CommandOutput RunReport(const Request& request);

} // namespace quillon::cli
