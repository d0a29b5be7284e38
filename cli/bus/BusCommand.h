#pragma once
// The bus command: several nodes on one bus, the free ones chosen, as a table for a person
// or one JSON document for a script. The page with the drawn bits (--html) needs Qt and is
// written by the companion (BusPage.h).
#include "cli/common/CommandOutput.h"
#include "timing/bus/Bus.h"

namespace quillon::cli {
inline namespace bus {

CommandOutput RunBus(const Request& request);

// The exit status of a bus: compatible or not.
int BusStatus(const BusVerdict& bus);

} // namespace bus
} // namespace quillon::cli
