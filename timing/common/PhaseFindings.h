#pragma once
// The judgements that hold for one bit phase whatever the controller: is its rate close
// enough to the target for the crystals and the bit's tolerance, does the tolerance cover the
// crystals, does the propagation segment cover the bus, where does the sample point lie
// against the recommendation for the rate, and does SJW stay within both phase segments. The
// classic setting and both phases of a CAN FD setting ask here, so each rule is said once.
#include "timing/common/BusContext.h"
#include "timing/common/Findings.h"

#include <string>
#include <string_view>

namespace quillon {
inline namespace common {

struct PhaseQuantities {
    // "" for a classic bit, "nominal" or "data" for a CAN FD phase.
    std::string_view sPhase;
    double dTargetBaud = 0.0;
    double dActualBaud = 0.0;
    bool bHitsTarget = true; // equal in whole bit/s, the search's match rule
    double dTolerance = 0.0; // the oscillator tolerance of the setting, a fraction
    double dTqSeconds = 0.0;
    int lPropagation = 0; // in quanta
    int lPhase1 = 0;
    int lPhase2 = 0;
    int lSJW = 0;
    double dSamplePointPercent = 0.0;
    double dRecommendedSamplePointPercent = 0.0;
    std::string_view sRecommendationSource; // CiA 301 for classic, CiA 601-3 for CAN FD
};

// Advice beyond this many percentage points from the recommended sample point, a warning
// beyond the second.
inline constexpr double kSamplePointAdvicePoints = 5.0;
inline constexpr double kSamplePointWarningPoints = 12.5;

void AddRateFindings(const PhaseQuantities& phase, const BusContext& bus, Findings& findings,
                     std::string_view decimalSeparator);
// Only where the phase's tolerance is above zero (CAN FD says that on its own).
void AddToleranceFinding(const PhaseQuantities& phase, const BusContext& bus, Findings& findings,
                         std::string_view decimalSeparator);
// The phase that must cover the bus: the classic bit, the CAN FD nominal phase.
void AddPropagationFinding(const PhaseQuantities& phase, const BusContext& bus, Findings& findings,
                           std::string_view decimalSeparator);
void AddSamplePointFinding(const PhaseQuantities& phase, Findings& findings,
                           std::string_view decimalSeparator);
// `bCheckPhase2` is false where another rule already says SJW is above phase 2.
void AddSjwFinding(const PhaseQuantities& phase, bool bCheckPhase2, Findings& findings);

// "up to 59.0 m", "none" for a segment that does not cover the transceivers, "n/a" without
// one.
std::string LongestBusText(const BusContext& bus, double dPropagationSeconds,
                           std::string_view decimalSeparator);

} // namespace common
} // namespace quillon
