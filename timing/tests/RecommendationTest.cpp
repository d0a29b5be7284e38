// The recommended segments against a plain search over every legal choice, and what the
// model says when a list is empty or a value cannot be computed with.
#include "timing/classic/Recommendation.h"
#include "timing/classic/Analysis.h"
#include "timing/classic/CandidateSearch.h"
#include "timing/common/InputChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

namespace quillon {
namespace {

struct Choice {
    int p, q, r, j;
};

// Every legal choice for n Tq, ranked as the recommendation promises, best last.
Choice BestByHand(int n, double recommendedPercent) {
    std::vector<std::tuple<bool, double, double, int, int, Choice>> ranked;
    for (int p = 1; p <= 8; ++p) {
        for (int q = 1; q <= 8; ++q) {
            for (int r = 2; r <= 8; ++r) {
                for (int j = 1; j <= 4; ++j) {
                    const bool legal = 1 + p + q + r == n && p + q >= r && r >= j;
                    if (!legal) {
                        continue;
                    }
                    const double sp = 100.0 * (1 + p + q) / n;
                    const double tolerance =
                        std::min(j / (20.0 * n), std::min(q, r) / (2.0 * (13 * n - r)));
                    ranked.emplace_back(sp <= recommendedPercent + 1e-9,
                                        -std::round(std::fabs(recommendedPercent - sp) * 1e6),
                                        tolerance, p, j, Choice{p, q, r, j});
                }
            }
        }
    }
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return std::tie(std::get<0>(a), std::get<1>(a), std::get<2>(a), std::get<3>(a),
                        std::get<4>(a)) < std::tie(std::get<0>(b), std::get<1>(b), std::get<2>(b),
                                                   std::get<3>(b), std::get<4>(b));
    });
    return std::get<5>(ranked.back());
}

TEST(Recommendation, MatchesASearchOverEveryLegalChoice) {
    // With BRP-1 0 the rates run across the 500 and 800 kbit/s steps of the recommendation.
    for (const auto& [oscillator, rate] : {std::pair{16.0, 125.0}, {24.0, 600.0}, {32.0, 1000.0}}) {
        for (int n = kMinTqCount; n <= kMaxTqCount; ++n) {
            BitTimingSetting setting = ProposedSetting(oscillator, rate, 0, n);
            setting.segments.bSam = true;
            setting.segments.mode = Phase2Mode::LargerOf;
            const auto found = RecommendedSetting(setting);
            ASSERT_TRUE(found) << n;
            const SegmentSettings& s = found->segments;
            const Choice best =
                BestByHand(n, RecommendedSamplePointPercent(1.0 / (n * 2e-6 / oscillator)));
            EXPECT_EQ(std::tie(s.lPropagation, s.lPhase1, s.lPhase2, s.lSJW),
                      std::tie(best.p, best.q, best.r, best.j))
                << oscillator << " MHz, " << rate << " kbit/s, N " << n;
            EXPECT_EQ(s.mode, Phase2Mode::Programmed);
            EXPECT_TRUE(s.bSam); // the flags are the user's
            EXPECT_EQ(CheckTimingRules(true, s), TimingVerdict::Pass);
        }
    }
    EXPECT_FALSE(RecommendedSetting(ProposedSetting(16, 500, 0, 4))); // too short to fill
}

TEST(NearestReachableRates, BelowAndAboveATargetNothingHits) {
    const NearestRates fast = NearestReachableRates(8, 1000000);
    ASSERT_TRUE(fast.below);
    EXPECT_FALSE(fast.above);
    EXPECT_EQ(fast.below->lBRPMinus1, 0);
    EXPECT_EQ(fast.below->lTqCount, 8);
    const NearestRates between = NearestReachableRates(16, 999000);
    ASSERT_TRUE(between.below && between.above);
    EXPECT_DOUBLE_EQ(between.above->dActualBaud, 1000000.0);
    EXPECT_NEAR(between.below->dActualBaud, 888888.89, 0.01); // 16 MHz, 9 Tq
}

TEST(InputChecks, WhatAReportCannotBeComputedWith) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const double bad : {0.0, -1.0, nan, std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(OscillatorComputeProblem(bad), "The oscillator must be greater than 0.");
        EXPECT_EQ(RateComputeProblem(bad), "The CAN baud rate must be greater than 0.");
    }
    // Outside the search's limits, but a report can still say what these give.
    EXPECT_FALSE(OscillatorComputeProblem(0.5));
    EXPECT_FALSE(RateComputeProblem(2000));
}

} // namespace
} // namespace quillon
