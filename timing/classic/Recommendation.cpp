// The recommended segments of a classic setting for a bus and a sample point.
#include "timing/classic/Recommendation.h"

#include "timing/classic/Analysis.h"
#include "timing/common/SamplePoint.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace quillon {
inline namespace classic {

namespace {

// How one legal choice ranks; a larger key is better, compared field by field.
struct Rank {
    bool bCoversBus = false;   // always true without a bus length
    int lShortPropagation = 0; // the propagation of a choice that does not cover the bus, else 0
    bool bNotPastSamplePoint = false;
    long lCloseness = 0; // minus the distance to the sample point aimed at, x 1000 N
    double dTolerance = 0.0;
    int lPropagation = 0;
    int lSJW = 0;

    auto Key() const {
        return std::tie(bCoversBus, lShortPropagation, bNotPastSamplePoint, lCloseness, dTolerance,
                        lPropagation, lSJW);
    }
    bool operator<(const Rank& other) const { return Key() < other.Key(); }
};

} // namespace

std::optional<BitTimingSetting> RecommendedSetting(const BitTimingSetting& setting,
                                                   const RecommendationGoal& goal) {
    const int n = setting.segments.lTqCount;
    const BitTimingFacts facts = DescribeBitTiming(setting);
    // Sample points are compared in whole numbers: (1 + P + Q) / N against tenths of a
    // percent, both times 1000 N, so that 80 % is exactly 80 %.
    const double dAimPercent = goal.dSamplePointPercent && std::isfinite(*goal.dSamplePointPercent)
                                   ? *goal.dSamplePointPercent
                                   : facts.analysis.dRecommendedSamplePointPercent;
    const long lAimTenths = std::lround(dAimPercent * 10);
    // The quantum the findings judge the propagation segment with.
    const double dTq = facts.dDiagramTqSeconds;
    const std::optional<double>& length = goal.bus.dBusLengthMetres;

    std::optional<BitTimingSetting> best;
    Rank bestRank;
    BitTimingSetting candidate = setting;
    SegmentSettings& s = candidate.segments;
    s.mode = Phase2Mode::Programmed;
    for (int p = kMinPropagation; p <= kMaxPropagation; ++p) {
        const bool covers = !length || CoversBus(goal.bus, p * dTq, *length);
        for (int q = kMinPhase1; q <= kMaxPhase1; ++q) {
            const int r = n - 1 - p - q;
            if (r < kMinPhase2 || r > kMaxPhase2) {
                continue;
            }
            // SJW up to the shorter phase segment: the timing rules check phase 2, the Linux
            // driver refuses one above phase 1.
            for (int j = kMinSJW; j <= std::min({kMaxSJW, q, r}); ++j) {
                s.lPropagation = p;
                s.lPhase1 = q;
                s.lPhase2 = r;
                s.lSJW = j;
                if (CheckTimingRules(true, s) != TimingVerdict::Pass) {
                    continue;
                }
                const SamplePointRank placed = RankSamplePoint(1 + p + q, n, lAimTenths);
                const double dTolerance = AnalyseTiming(n, p, q, r, j, 0.0, 0.0).dOscTolerance;
                const Rank rank{
                    covers, covers ? 0 : p, placed.bNotPast, placed.lCloseness, dTolerance, p, j};
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
