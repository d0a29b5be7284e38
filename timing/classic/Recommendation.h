#pragma once
// The recommended segments for a prescaler and Tq count, on the bus of the goal: of every
// legal choice (the control ranges, the programmed phase 2, all timing rules passed, SJW no
// longer than phase 1 either) first one whose propagation segment covers the bus when its
// length is given, then the one whose sample point comes closest to the goal's (or to the
// recommendation for the rate) without passing it, then the one that tolerates the most
// oscillator drift, then the one with the longest propagation segment (the longest bus), then
// the widest SJW. When no choice covers the bus, the longest propagation comes first: it
// falls least short, and the findings say by how much. The step-3 proposal stays what it
// always was; this is a second opinion the user asks for.
#include "timing/classic/BitTiming.h"
#include "timing/common/RecommendationGoal.h"

#include <optional>

namespace quillon {
inline namespace classic {

// `setting` gives the oscillator, rate, BRP-1, Tq count, controller and the two flags, which
// are kept. Nothing when no legal choice fills that many time quanta.
std::optional<BitTimingSetting> RecommendedSetting(const BitTimingSetting& setting,
                                                   const RecommendationGoal& goal = {});

} // namespace classic
} // namespace quillon
