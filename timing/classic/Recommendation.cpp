#include "timing/classic/Recommendation.h"

#include "timing/classic/Analysis.h"
#include "timing/common/SamplePoint.h"

#include <cmath>
#include <cstdlib>
#include <tuple>

namespace quillon {
inline namespace classic {

namespace {

// How one legal choice ranks; a larger key is better, compared field by field.
struct Rank {
    bool bNotPastRecommendation = false;
    long lCloseness = 0; // minus the distance to the recommended sample point, x 1000 N
    double dTolerance = 0.0;
    int lPropagation = 0;
    int lSJW = 0;

    bool operator<(const Rank& other) const {
        return std::tie(bNotPastRecommendation, lCloseness, dTolerance, lPropagation, lSJW) <
               std::tie(other.bNotPastRecommendation, other.lCloseness, other.dTolerance,
                        other.lPropagation, other.lSJW);
    }
};

} // namespace

std::optional<BitTimingSetting> RecommendedSetting(const BitTimingSetting& setting,
                                                   const RecommendationGoal& /*goal*/) {
    const int n = setting.segments.lTqCount;
    // Sample points are compared in whole numbers: (1 + P + Q) / N against tenths of a
    // percent, both times 1000 N, so that 80 % is exactly 80 %.
    const long lRecommendedTenths =
        std::lround(DescribeBitTiming(setting).analysis.dRecommendedSamplePointPercent * 10);

    std::optional<BitTimingSetting> best;
    Rank bestRank;
    BitTimingSetting candidate = setting;
    SegmentSettings& s = candidate.segments;
    s.mode = Phase2Mode::Programmed;
    for (int p = kMinPropagation; p <= kMaxPropagation; ++p) {
        for (int q = kMinPhase1; q <= kMaxPhase1; ++q) {
            const int r = n - 1 - p - q;
            if (r < kMinPhase2 || r > kMaxPhase2) {
                continue;
            }
            for (int j = kMinSJW; j <= kMaxSJW; ++j) {
                s.lPropagation = p;
                s.lPhase1 = q;
                s.lPhase2 = r;
                s.lSJW = j;
                if (CheckTimingRules(true, s) != TimingVerdict::Pass) {
                    continue;
                }
                const SamplePointRank placed = RankSamplePoint(1 + p + q, n, lRecommendedTenths);
                const double dTolerance = AnalyseTiming(n, p, q, r, j, 0.0, 0.0).dOscTolerance;
                const Rank rank{placed.bNotPast, placed.lCloseness, dTolerance, p, j};
                if (!best || bestRank < rank) {
                    best = candidate;
                    bestRank = rank;
                }
            }
        }
    }
    return best;
}

} // namespace classic
} // namespace quillon
