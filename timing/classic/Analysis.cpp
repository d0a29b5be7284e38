#include "timing/classic/Analysis.h"

#include "timing/common/PhaseFindings.h"
#include "timing/common/SamplePoint.h"

#include "timing/classic/QuantumLength.h"
#include "timing/common/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace quillon {
inline namespace classic {

double OscillatorTolerance(int lTqCount, int lPhase1, int lPhase2, int lSJW) {
    const double n = lTqCount;
    const double byJump = lSJW / (20.0 * n);
    const double resyncSpan = 2.0 * (13.0 * n - lPhase2);
    const double byPhase = resyncSpan > 0 ? std::min(lPhase1, lPhase2) / resyncSpan : byJump;
    return std::min(byJump, byPhase);
}

TimingAnalysis AnalyseTiming(int lTqCount, int lPropagation, int lPhase1, int lPhase2, int lSJW,
                             double dTqSeconds, double dBitRate, const BusContext& bus) {
    TimingAnalysis result;
    if (lTqCount <= 0 || lPropagation <= 0 || lPhase1 <= 0 || lPhase2 <= 0 || lSJW <= 0) {
        return result;
    }
    const double n = lTqCount;
    result.dOscTolerance = OscillatorTolerance(lTqCount, lPhase1, lPhase2, lSJW);
    result.dSamplePointPercent = SamplePointPercent(1 + lPropagation + lPhase1, n);
    result.dRecommendedSamplePointPercent = RecommendedSamplePointPercent(dBitRate);

    if (IsUsableQuantum(dTqSeconds)) {
        result.dRoundTripSeconds = lPropagation * dTqSeconds;
        const double dLongest = LongestBusMetres(bus, result.dRoundTripSeconds);
        result.bCoversTransceivers = dLongest >= 0;
        result.dBusLengthMetres = std::max(0.0, dLongest);
    }
    return result;
}

std::string OscToleranceText(const TimingAnalysis& analysis, std::string_view decimalSeparator) {
    return FormatNumber(analysis.dOscTolerance * 100.0, "0.0###", decimalSeparator);
}

std::string BusLengthText(const TimingAnalysis& analysis, std::string_view decimalSeparator) {
    if (analysis.dRoundTripSeconds <= 0) {
        return "n/a";
    }
    if (!analysis.bCoversTransceivers) {
        return "none";
    }
    return "up to " + FormatNumber(analysis.dBusLengthMetres, "0.0", decimalSeparator) + " m";
}

std::string_view SamplePointComparison(const TimingAnalysis& analysis) {
    const double tenths =
        std::round((analysis.dSamplePointPercent - analysis.dRecommendedSamplePointPercent) * 10.0);
    if (tenths == 0) {
        return "at";
    }
    return tenths < 0 ? "earlier than" : "later than";
}

} // namespace classic
} // namespace quillon
