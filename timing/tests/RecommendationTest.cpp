// The recommended segments against a plain search over every legal choice, on buses and for
// sample points worked by hand, and what the model says when a list is empty or a value
// cannot be computed with.
#include "timing/classic/Recommendation.h"
#include "timing/classic/Analysis.h"
#include "timing/classic/CandidateSearch.h"
#include "timing/common/InputChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
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
                    const bool legal = 1 + p + q + r == n && p + q >= r && r >= j && q >= j;
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

std::string Segments(const SegmentSettings& s) {
    return std::to_string(s.lPropagation) + "/" + std::to_string(s.lPhase1) + "/" +
           std::to_string(s.lPhase2) + "/" + std::to_string(s.lSJW);
}

TEST(Recommendation, OnTheBusAndAtTheSamplePointAimedAt) {
    const struct {
        const char* name;
        double osc, rate;
        int brp1, n;
        std::optional<double> length, samplePoint;
        const char* segments;  // propagation/phase 1/phase 2/SJW
        bool propagationShort; // the findings on that bus say it does not cover it
    } rows[] = {
        // 250 ns quanta, 8 of them: 87.5 % needs phase 2 of 1, so 75 % (1 + P + Q = 6,
        // phase 2 = 2). Tolerance min(SJW / 160, min(Q, 2) / 204) peaks at Q = 2 (0.98 %);
        // the longest propagation then is 3 and SJW 2 both phases allow.
        {"no bus", 16, 500, 1, 8, {}, {}, "3/2/2/2", false},
        // The round trip over 24 m is 2 x (24 x 5 + 255) = 750 ns: 3 Tq cover it exactly.
        {"24 m, covered exactly", 16, 500, 1, 8, 24.0, {}, "3/2/2/2", false},
        // 40 m: 910 ns, so 4 Tq (1000 ns) of the 5 before the sample point, phase 1 of 1.
        // SJW 2 would tolerate no more (phase 1 limits: 1 / 204) and phase 2 would allow
        // it, but SJW above phase 1 is refused.
        {"40 m at 500 kbit/s", 16, 500, 1, 8, 40.0, {}, "4/1/2/1", false},
        {"24.2 m, a hair more", 16, 500, 1, 8, 24.2, {}, "4/1/2/1", false},
        // 125 ns quanta at 1 Mbit/s: 40 m needs 8 Tq, but 4 is the most 8 Tq leave; the
        // longest propagation comes nearest and the findings say it falls short.
        {"40 m at 1 Mbit/s, none covers", 16, 1000, 0, 8, 40.0, {}, "4/1/2/1", true},
        // 18 MHz, 111 ns quanta, 9 of them: 75 % for 1 Mbit/s is 6.75 quanta, so 6 (66.7 %),
        // phase 2 of 3; Q = 3 for min(Q, 3) / 228, the rest propagation; SJW 3 (3 / 180 is
        // above 3 / 228, 2 / 180 is not). Without a length, 222 ns of propagation are
        // still short of the two transceivers' 510 ns, and the findings say so.
        {"18 MHz, 9 Tq", 18, 1000, 0, 9, {}, {}, "2/3/3/3", true},
        // Aimed at 55.6 %: 5 of 9 (1000 x 5 <= 556 x 9 = 5004), phase 2 of 4; P + Q = 4 and
        // P >= 1 leave Q of 3 at most (3 / 226 = 1.33 %). SJW 4 tolerates no more and
        // phase 2 allows it, but phase 1 is 3.
        {"55.6 % aimed at", 18, 1000, 0, 9, {}, 55.6, "1/3/4/3", true},
        // Aimed at 90 % on 16 Tq at 500 kbit/s: 14.4 quanta, so 14 (87.5 %) as without it.
        {"90 % aimed at, not reached", 16, 500, 0, 16, {}, 90.0, "8/5/2/2", false},
    };
    for (const auto& row : rows) {
        RecommendationGoal goal;
        goal.bus.dBusLengthMetres = row.length;
        goal.dSamplePointPercent = row.samplePoint;
        const auto found =
            RecommendedSetting(ProposedSetting(row.osc, row.rate, row.brp1, row.n), goal);
        ASSERT_TRUE(found) << row.name;
        EXPECT_EQ(Segments(found->segments), row.segments) << row.name;
        const BitTimingFacts facts = DescribeBitTiming(*found, ".", goal.bus);
        EXPECT_EQ(HasCode(facts.findings, code::kPropagationShort), row.propagationShort)
            << row.name;
        EXPECT_FALSE(HasCode(facts.findings, code::kSjwAbovePhase)) << row.name;
        EXPECT_TRUE(facts.Passes()) << row.name;
    }
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
