#pragma once
// The recommended segments for a prescaler and Tq count: of every legal choice (the control
// ranges, the programmed phase 2, all timing rules passed) the one whose sample point comes
// closest to the recommendation for the rate without passing it, then the one that
// tolerates the most oscillator drift, then the one with the longest propagation segment
// (the longest bus), then the widest SJW. The step-3 proposal stays what it always was;
// this is a second opinion the user asks for.
#include "timing/classic/BitTiming.h"
#include "timing/common/RecommendationGoal.h"

#include <optional>

namespace quillon {
inline namespace classic {

// `setting` gives the oscillator, rate, BRP-1, Tq count and the two flags, which are kept.
// Nothing when no legal choice fills that many time quanta.
std::optional<BitTimingSetting> RecommendedSetting(const BitTimingSetting& setting,
                                                   const RecommendationGoal& goal = {});

} // namespace classic
} // namespace quillon
