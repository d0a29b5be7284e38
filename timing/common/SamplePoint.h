#pragma once
// The sample point and the rate error, each written once for both kinds of controller: the
// sample point as a percentage of the bit, its place against a recommended one in whole
// numbers (so that 80 % is exactly 80 %), and the two ways a rate error is signed.
namespace quillon {
inline namespace common {

// Recommended sample point for a rate in bit/s: 87.5 % up to 500 kbit/s, 80 % up to
// 800 kbit/s, 75 % above.
double RecommendedSamplePointPercent(double dBitRate);

// (1 + propagation + phase 1) / N of the bit in percent: `lTqBeforeSample` is 1 + TSEG1. 0 for
// a bit of no quanta.
inline double SamplePointPercent(int lTqBeforeSample, int lTqCount) {
    return lTqCount != 0 ? static_cast<double>(lTqBeforeSample) / lTqCount * 100.0 : 0.0;
}

// How near a sample point lies to a recommended one, compared in whole numbers: 1000 x
// (1 + TSEG1) against the recommendation in tenths of a percent x N. A larger rank is better:
// first not past the recommendation, then nearer.
struct SamplePointRank {
    bool bNotPast = false;
    long lCloseness = 0; // minus the distance, x 1000 N
};
inline SamplePointRank RankSamplePoint(int lTqBeforeSample, int lTqCount, long lRecommendedTenths) {
    const long lSamplePoint = 1000L * lTqBeforeSample;
    const long lRecommended = lRecommendedTenths * lTqCount;
    const long lDistance = lRecommended - lSamplePoint;
    return {lSamplePoint <= lRecommended, lDistance < 0 ? lDistance : -lDistance};
}

// Which way a rate error is taken, in percent of the target: the search, the FD phases and
// the bus count a rate above the target as positive; the report (and a grid cell added by
// hand) count a rate below it as positive.
enum class ErrorSign { AboveIsPositive, BelowIsPositive };
inline double RateErrorPercent(double dActual, double dTarget, ErrorSign sign) {
    return sign == ErrorSign::AboveIsPositive ? (dActual - dTarget) / dTarget * 100.0
                                              : (dTarget - dActual) / dTarget * 100.0;
}

} // namespace common
} // namespace quillon
