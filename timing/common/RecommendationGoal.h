#pragma once
// What a recommendation aims at: the bus it must work on (its propagation covers the bus
// length when one is given, its tolerance is judged against the crystals) and, when the user
// names them, the sample points to come closest to instead of the recommendation for the rate.
#include "timing/common/BusContext.h"

#include <optional>

namespace quillon {
inline namespace common {

struct RecommendationGoal {
    BusContext bus;
    std::optional<double> dSamplePointPercent;     // the (nominal) phase's, percent
    std::optional<double> dDataSamplePointPercent; // a CAN FD data phase's, percent
};

} // namespace common
} // namespace quillon
