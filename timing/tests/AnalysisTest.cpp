// Tolerance, propagation budget and sample-point guidance against figures worked by hand.
#include "timing/Analysis.h"

#include <gtest/gtest.h>

namespace {

using quillon::AnalyseTiming;

struct ToleranceCase {
    int n, prop, phase1, phase2, sjw;
    double tolerancePercent;
};

class Tolerance : public ::testing::TestWithParam<ToleranceCase> {};

TEST_P(Tolerance, IsTheSmallerOfBothConditions) {
    const ToleranceCase c = GetParam();
    const auto a = AnalyseTiming(c.n, c.prop, c.phase1, c.phase2, c.sjw, 125e-9, 500000);
    EXPECT_NEAR(a.dOscTolerance * 100.0, c.tolerancePercent, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    HandWorked, Tolerance,
    ::testing::Values(
        // SJW bound: 1 / (20 x 16) = 0.3125 %; the phase bound 2 / 412 is larger.
        ToleranceCase{16, 6, 7, 2, 1, 0.3125},
        // Phase bound: min(5, 2) / (2 (13 x 16 - 2)) = 2 / 412; SJW bound 2 / 320 is larger.
        ToleranceCase{16, 8, 5, 2, 2, 200.0 / 412.0},
        // A larger SJW raises the tolerance while the SJW bound decides.
        ToleranceCase{16, 1, 8, 6, 2, 0.625},
        // 8 Tq proposal (1, 3, 3): SJW bound 1 / 160 = 0.625 %.
        ToleranceCase{8, 1, 3, 3, 1, 0.625}));

TEST(PropagationBudget, AllowsTheCableThatFitsTheRoundTrip) {
    // 6 Tq of 125 ns = 750 ns; minus 2 x (50 + 30) ns leaves 590 ns of cable round trip,
    // 59 m at 5 ns per metre each way.
    const auto a = AnalyseTiming(16, 6, 7, 2, 1, 125e-9, 500000);
    EXPECT_DOUBLE_EQ(a.dRoundTripSeconds, 750e-9);
    EXPECT_NEAR(a.dBusLengthMetres, 59.0, 1e-9);
}

TEST(PropagationBudget, NeverGoesNegative) {
    // 1 Tq of 62.5 ns cannot even cover the transceivers.
    const auto a = AnalyseTiming(16, 1, 8, 6, 1, 62.5e-9, 1000000);
    EXPECT_EQ(a.dBusLengthMetres, 0.0);
    EXPECT_GT(a.dRoundTripSeconds, 0.0);
}

TEST(PropagationBudget, OtherTransceiverDelaysShortenTheBus) {
    quillon::TransceiverDelays slow;
    slow.dTxSeconds = 100e-9;
    const auto a = AnalyseTiming(16, 6, 7, 2, 1, 125e-9, 500000, slow);
    EXPECT_NEAR(a.dBusLengthMetres, 49.0, 1e-9);
}

struct RecommendationCase {
    double rate;
    double percent;
};

class Recommendation : public ::testing::TestWithParam<RecommendationCase> {};

TEST_P(Recommendation, FollowsTheRateBands) {
    EXPECT_EQ(quillon::RecommendedSamplePointPercent(GetParam().rate), GetParam().percent);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, Recommendation,
    ::testing::Values(RecommendationCase{125000, 87.5}, RecommendationCase{500000, 87.5},
                      RecommendationCase{500001, 80.0}, RecommendationCase{800000, 80.0},
                      RecommendationCase{800000.00000000012, 80.0},
                      RecommendationCase{800001, 75.0}, RecommendationCase{1000000, 75.0}));

TEST(SamplePoint, IsComparedWithTheRecommendation) {
    // 16 Tq, 1 + 1 + 8 = 10: 62.5 %, earlier than 87.5 % at 500 kbit/s.
    auto a = AnalyseTiming(16, 1, 8, 6, 1, 125e-9, 500000);
    EXPECT_DOUBLE_EQ(a.dSamplePointPercent, 62.5);
    EXPECT_EQ(quillon::SamplePointComparison(a), "earlier than");
    // 16 Tq, 1 + 5 + 8 = 14: 87.5 %.
    a = AnalyseTiming(16, 5, 8, 2, 1, 125e-9, 500000);
    EXPECT_EQ(quillon::SamplePointComparison(a), "at");
    // The same bit at 1 Mbit/s samples later than 75 %.
    a = AnalyseTiming(16, 5, 8, 2, 1, 62.5e-9, 1000000);
    EXPECT_EQ(quillon::SamplePointComparison(a), "later than");
}

TEST(Analysis, DescribesNothingForAnEmptyBit) {
    const auto a = AnalyseTiming(0, 1, 1, 2, 1, 125e-9, 500000);
    EXPECT_EQ(a.dOscTolerance, 0.0);
    EXPECT_EQ(a.dSamplePointPercent, 0.0);
    const auto noClock = AnalyseTiming(16, 6, 7, 2, 1, 0.0, 500000);
    EXPECT_EQ(noClock.dBusLengthMetres, 0.0);
    EXPECT_EQ(noClock.dRoundTripSeconds, 0.0);
}

} // namespace
