// Oscillator tolerance, bus length and sample-point guidance against figures worked by hand.
#include "timing/classic/Analysis.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(Analysis, ToleranceIsTheSmallerOfBothConditions) {
    const struct {
        int n, prop, phase1, phase2, sjw;
        double percent;
        const char* text;
    } rows[] = {{16, 6, 7, 2, 1, 0.3125, "0.3125"},      // SJW / 20N = 1 / 320 below 2 / 412
                {16, 8, 5, 2, 2, 200.0 / 412, "0.4854"}, // min(5, 2) / 2(13 x 16 - 2) below 2 / 320
                {16, 1, 8, 6, 2, 0.625, "0.625"},        // a wider SJW, still the SJW bound
                {8, 1, 3, 3, 1, 0.625, "0.625"},         // 1 / 160 below 3 / 202
                {10, 1, 1, 7, 4, 100.0 / 246, "0.4065"}}; // phase 1 is the smaller phase
    for (const auto& r : rows) {
        const TimingAnalysis a = AnalyseTiming(r.n, r.prop, r.phase1, r.phase2, r.sjw, 125e-9, 5e5);
        EXPECT_NEAR(a.dOscTolerance * 100, r.percent, 1e-12) << r.text;
        EXPECT_EQ(OscToleranceText(a, "."), r.text);
    }
}

TEST(Analysis, BusLengthFromThePropagationSegment) {
    // 16 Tq of 125 ns = 2000 ns, less 2 x 255 ns through two transceivers: 1490 ns of cable
    // round trip, 149 m at 5 ns per metre each way.
    TimingAnalysis a = AnalyseTiming(16, 16, 7, 2, 1, 125e-9, 500000);
    EXPECT_DOUBLE_EQ(a.dRoundTripSeconds, 2000e-9);
    EXPECT_NEAR(a.dBusLengthMetres, 149.0, 1e-9);
    EXPECT_EQ(BusLengthText(a, ","), "up to 149,0 m");
    BusContext slow;
    slow.dLoopDelayNs = 305;
    slow.dCableDelayNsPerMetre = 4;
    EXPECT_NEAR(AnalyseTiming(16, 16, 7, 2, 1, 125e-9, 500000, slow).dBusLengthMetres, 173.75,
                1e-9);
    // Four Tq of 125 ns do not even cover the transceivers: no cable, never negative.
    a = AnalyseTiming(16, 4, 8, 3, 1, 125e-9, 500000);
    EXPECT_EQ(a.dBusLengthMetres, 0.0);
    EXPECT_EQ(BusLengthText(a, "."), "none");
    // Without a usable quantum there is no round trip.
    a = AnalyseTiming(16, 6, 7, 2, 1, 0.0, 500000);
    EXPECT_EQ(a.dRoundTripSeconds, 0.0);
    EXPECT_EQ(BusLengthText(a, "."), "n/a");
}

TEST(Analysis, RecommendedSamplePointByRate) {
    const std::pair<double, double> rows[] = {{125000, 87.5},   {500000, 87.5},
                                              {500000.4, 87.5}, {500001, 80.0},
                                              {800000, 80.0},   {800000.00000000012, 80.0},
                                              {800001, 75.0},   {1000000, 75.0}};
    for (const auto& [rate, percent] : rows) {
        EXPECT_EQ(RecommendedSamplePointPercent(rate), percent) << rate;
    }
}

TEST(Analysis, SamplePointAgainstTheRecommendation) {
    const struct {
        int prop, phase1, phase2;
        double rate;
        const char* comparison;
    } rows[] = {{1, 8, 6, 500000, "earlier than"}, // 62.5 % against 87.5 %
                {5, 8, 2, 500000, "at"},           // 87.5 %
                {5, 8, 2, 1000000, "later than"},  // 87.5 % against 75 %
                {3, 8, 3, 800000, "at"}};          // 12 / 15 = 80 %
    for (const auto& r : rows) {
        const int n = 1 + r.prop + r.phase1 + r.phase2;
        const TimingAnalysis a =
            AnalyseTiming(n, r.prop, r.phase1, r.phase2, 1, 1 / (n * r.rate), r.rate);
        EXPECT_EQ(SamplePointComparison(a), r.comparison) << r.prop << ' ' << r.rate;
    }
}

TEST(Analysis, NothingForAnEmptyBit) {
    const TimingAnalysis a = AnalyseTiming(0, 1, 1, 2, 1, 125e-9, 500000);
    EXPECT_EQ(a.dOscTolerance, 0.0);
    EXPECT_EQ(a.dSamplePointPercent, 0.0);
    EXPECT_EQ(AnalyseTiming(16, 6, 0, 2, 1, 125e-9, 500000).dOscTolerance, 0.0);
}

} // namespace
} // namespace quillon
