#pragma once
// The decode command: a register set (CNF, BRGCON or CiCFG) or the output of
// `ip -details link show` decoded by the model into a setting, shown as the timing command
// shows one, with the bits that are no timing, the findings and, for a rate measured on
// the bus, the crystals that explain it. The status says whether there were findings.
#include "cli/common/CommandOutput.h"

namespace quillon::cli {
inline namespace classic {

CommandOutput RunDecode(const Request& request);

} // namespace classic
} // namespace quillon::cli
