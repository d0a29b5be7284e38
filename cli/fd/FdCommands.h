#pragma once
// The CAN FD commands of quillon-cli ("quillon-cli fd ..."): candidates, timing, kernel,
// decode and export run without Qt; report draws the diagram and lives in the companion
// (FdReportCommand.h). Each renders the model's facts as text or JSON.
#include "cli/common/CommandOutput.h"

namespace quillon::cli {
inline namespace fd {

CommandOutput RunFdCandidates(const Request& request);
CommandOutput RunFdTiming(const Request& request);
CommandOutput RunFdKernel(const Request& request);
CommandOutput RunFdDecode(const Request& request);
CommandOutput RunFdExport(const Request& request);

} // namespace fd
} // namespace quillon::cli
