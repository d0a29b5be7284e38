#pragma once
// The text of a CAN FD bus (a bus given --data-rate): a table per phase, the nominal one with
// every node and the data one with the FD nodes, and each phase's margin. Apart from
// BusCommand.cpp so that the classic bus's text stays as it was; every number comes from the
// model (timing/bus/FdBus.h).
#include "timing/bus/Bus.h"

#include <string>

namespace quillon::cli {
inline namespace bus {

// "12.5" with up to four decimals, as the bus texts write percentages.
std::string BusPercent(double value, std::string_view pattern = "0.0###");
// "6/7/2/1": propagation/phase 1/phase 2/SJW.
std::string SegmentsText(int lPropagation, int lPhase1, int lPhase2, int lSJW);

// The rates line and both tables, with their legend.
std::string FdBusTables(const BusVerdict& bus);
// After "Bus: compatible. " or "incompatible. ": the classic nodes, each phase's margin and
// the spread of the sample points.
std::string FdBusMargins(const BusVerdict& bus);

} // namespace bus
} // namespace quillon::cli
