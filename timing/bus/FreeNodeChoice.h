#pragma once
// The settings Quillon gives the free nodes of a bus. Of all the ways to set every free node
// together it takes the best, compared in this order:
//   1. every node legal: the timing rules of the Microchip controllers, phase 2 at least the
//      information processing time, SJW up to either phase (CAN 2.0), and for a node to be
//      set through Linux only what its driver takes;
//   2. each node's rate as near the bus rate as its controller comes (exact where it can);
//   3. each node's propagation segment covering the bus: the round trip over the length
//      given, else through the two transceivers alone (a segment short of either is what
//      the propagation-short finding reports);
//   4. the largest margin, df_min less the largest need;
//   5. sample points nearest those of the nodes that have a setting (the recommendation for
//      the rate when every node is free);
//   6. the longest bus the propagation segments allow.
// It is exact without trying the combinations: rules 2, 3, 5 and 6 look at one node at a
// time, and once a node's rate is chosen its need (crystal + rate error) is fixed, so the
// margin joins the nodes only through df_min, the smallest tolerance. Each node keeps its
// settings at its nearest rate, of them those that cover the bus when any does; df_min is
// then the smallest of the fixed nodes' tolerance and each free node's best among what it
// kept; each node keeps what tolerates df_min and takes the sample point nearest a target,
// then the longest propagation. Every step is the best for all nodes at once, so no other
// choice does better by a rule without doing worse by an earlier one.
#include "timing/bus/Bus.h"

#include <optional>
#include <string>
#include <vector>

namespace quillon {
inline namespace bus {

// What the rest of the bus asks of the free nodes.
struct FreeNodeGoal {
    double dRateKbps = 0.0;
    BusContext context;
    // The smallest tolerance of the nodes that have a setting, percent; infinity for none.
    double dFixedDfPercent = 0.0;
    std::vector<double> samplePointTargets; // percent
};

struct FreeNodeChoice {
    std::optional<BitTimingSetting> setting;
    std::string sReason; // why there is none
};

// One choice per node of `nodes` (each Free or Linux), in their order.
std::vector<FreeNodeChoice> ChooseFreeNodes(const std::vector<const BusNode*>& nodes,
                                            const FreeNodeGoal& goal);

} // namespace bus
} // namespace quillon
