#pragma once
// What a legal bit timing tolerates: the oscillator drift it survives (the CAN 2.0 /
// ISO 11898-1 resynchronisation conditions), the bus length its propagation segment
// allows, and where its sample point lies against the usual recommendation for the rate.
#include <string>
#include <string_view>

#include "timing/common/BusContext.h"
#include "timing/common/SamplePoint.h"

namespace quillon {
inline namespace classic {

struct TimingAnalysis {
    // Largest oscillator tolerance df (fraction; x 100 for percent) meeting both
    // df <= SJW / (20 N) and df <= min(phase 1, phase 2) / (2 (13 N - phase 2)).
    double dOscTolerance = 0.0;
    double dRoundTripSeconds = 0.0;   // propagation segment x Tq, the round trip it covers
    double dBusLengthMetres = 0.0;    // cable length that round trip allows, never negative
    bool bCoversTransceivers = false; // the round trip covers two transceivers' loop delay
    double dSamplePointPercent = 0.0;
    double dRecommendedSamplePointPercent = 0.0;
};

// The tolerance alone: the smaller of SJW / (20 N) and min(phase 1, phase 2) /
// (2 (13 N - phase 2)), as a fraction; segments must be positive.
double OscillatorTolerance(int lTqCount, int lPhase1, int lPhase2, int lSJW);

// lPhase2 is the effective phase 2. Returns zeros for settings that describe no bit
// (N or a segment not positive, or a Tq length that is not a positive number).
TimingAnalysis AnalyseTiming(int lTqCount, int lPropagation, int lPhase1, int lPhase2, int lSJW,
                             double dTqSeconds, double dBitRate, const BusContext& bus = {});

// The tolerance in percent to four places ("0.3125").
std::string OscToleranceText(const TimingAnalysis& analysis, std::string_view decimalSeparator);
// "up to 59.0 m", "none" where the transceivers alone need more, or "n/a" without a round
// trip, on the bus the analysis was made for.
std::string BusLengthText(const TimingAnalysis& analysis, std::string_view decimalSeparator);

// "at", "earlier than" or "later than" the recommendation, to a tenth of a percent.
std::string_view SamplePointComparison(const TimingAnalysis& analysis);

} // namespace classic
} // namespace quillon
