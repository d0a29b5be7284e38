#pragma once
// The settings Quillon gives the free FD nodes of a CAN FD bus, chosen together as
// FreeNodeChoice.h chooses the classic ones. A free FD node's candidates are the usable pairs
// of the FD search for the two rates (SearchFdCandidates: the rates hit exactly where any pair
// hits them, every tolerance condition of the pair's proposal above zero), each with its
// recommended segments for the bus (RecommendedFdSetting, what fd timing --pick K --recommend
// gives). Of all the ways to set every free FD node together it takes the best, compared in
// this order:
//   1. each node's pairs that keep as much of CiA's recommendation as any of its pairs does:
//      the same quantum in both phases and a data BRP of 1 or 2 (with which TDC works), else
//      the same quantum, else any;
//   2. each node's rates nearest the bus's, the nominal first;
//   3. the largest margin of the nominal phase, then of the data phase (FdBus.h);
//   4. each node's sample points nearest the recommendation for the rates (summed distance);
//   5. each node's largest tolerance, then the search's first pair.
// It is exact without trying the combinations, for the reason FreeNodeChoice.h gives: rules
// 1, 2, 4 and 5 look at one node at a time, and once its rates are chosen its need in each
// phase is fixed, so each phase's margin joins the nodes only through df_min. The nominal
// df_min is the smallest of the settled nodes' and each free node's best; each node keeps
// what tolerates it, and the data df_min follows the same way from what they kept.
#include "timing/bus/FdBus.h"

#include <vector>

namespace quillon {
inline namespace bus {

// One choice per node of `nodes` (each a free FD node), in their order, beside the nodes with
// a setting that `goal` describes.
std::vector<FreeFdChoice> ChooseFreeFdNodes(const std::vector<const BusNode*>& nodes,
                                            const FdNodeGoal& goal);

} // namespace bus
} // namespace quillon
