#include "timing/classic/ClassicFindings.h"

#include "timing/classic/BitTiming.h"
#include "timing/classic/QuantumLength.h"
#include "timing/common/Limits.h"
#include "timing/common/NumberFormat.h"
#include "timing/common/PhaseFindings.h"

#include <algorithm>
#include <cmath>

namespace quillon {
inline namespace classic {

Findings ClassicFindings(const BitTimingFacts& facts, const BusContext& bus, std::string_view sep) {
    const BitTimingSetting& setting = facts.setting;
    const SegmentSettings& s = setting.segments;
    Findings findings;
    if (s.lTqCount < kMinTqCount || s.lTqCount > kMaxTqCount) {
        findings.push_back({Severity::Warning, code::kTqCountOutside,
                            "The bit has " + std::to_string(s.lTqCount) +
                                " time quanta; the calculator works with " +
                                std::to_string(kMinTqCount) + " to " + std::to_string(kMaxTqCount) +
                                ".",
                            source::kDatasheet});
    }
    if (facts.lPhase2Effective < kMinPhase2) {
        findings.push_back({Severity::Error, code::kPhase2BelowIpt,
                            "Phase segment 2 is " + std::to_string(facts.lPhase2Effective) +
                                " Tq; it must be at least " + std::to_string(kMinPhase2) +
                                " Tq (the information processing time).",
                            source::kDatasheet});
    }
    if (!facts.Passes()) {
        findings.push_back(
            {Severity::Error, code::kTimingRule, std::string(facts.sVerdict), source::kDatasheet});
    }

    // The rate as the search and the grid work it out, compared in whole bit/s.
    const double dTq =
        GridTqSeconds(setting.dOscFreqMHz, setting.lBRPMinus1, setting.ClockPeriodsPerBrp());
    PhaseQuantities phase;
    phase.dTargetBaud = setting.dTargetKbps * 1000.0;
    phase.dActualBaud = IsUsableQuantum(dTq) && s.lTqCount > 0 ? 1.0 / (s.lTqCount * dTq) : 0.0;
    phase.bHitsTarget = !std::isfinite(phase.dTargetBaud) ||
                        RoundToWhole(phase.dActualBaud) == RoundToWhole(phase.dTargetBaud);
    phase.dTolerance = facts.analysis.dOscTolerance;
    phase.dTqSeconds = facts.dDiagramTqSeconds;
    phase.lPropagation = s.lPropagation;
    phase.lPhase1 = s.lPhase1;
    phase.lPhase2 = facts.lPhase2Effective;
    phase.lSJW = s.lSJW;
    phase.dSamplePointPercent = facts.analysis.dSamplePointPercent;
    phase.dRecommendedSamplePointPercent = facts.analysis.dRecommendedSamplePointPercent;
    phase.sRecommendationSource = source::kCiaClassic;

    // The timing rules already say SJW is above phase 2.
    AddSjwFinding(phase, facts.verdict != TimingVerdict::SJWTooLong, findings);
    AddRateFindings(phase, bus, findings, sep);
    AddToleranceFinding(phase, bus, findings, sep);
    AddPropagationFinding(phase, bus, findings, sep);
    AddSamplePointFinding(phase, findings, sep);
    if (facts.busIdleWarning) {
        findings.push_back({Severity::Warning, code::kBusIdleErratum,
                            "A bit of " + std::to_string(facts.lOscClocks) +
                                " OSC1 clocks is below the " +
                                std::to_string(kMinBusIdleOscClocks) +
                                " that the MCP2510 revision A needs for its minimum bus idle "
                                "time (erratum).",
                            source::kErrata});
    }
    SortBySeverity(findings);
    return findings;
}

} // namespace classic
} // namespace quillon
