// The CAN FD candidate search and its preferences, the proposal for a candidate and the
// recommended segments, on settings worked by hand.
#include "timing/fd/FdSearch.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

std::string Pairs(const std::vector<FdCandidate>& found, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < std::min(count, found.size()); ++i) {
        const FdCandidate& c = found[i];
        text += std::to_string(c.nominal.lBRP) + "x" + std::to_string(c.nominal.lTqCount) + "/" +
                std::to_string(c.data.lBRP) + "x" + std::to_string(c.data.lTqCount) + " ";
    }
    return text;
}

std::string Phase(const FdPhaseSetting& p) {
    return std::to_string(p.lBRP) + "/" + std::to_string(p.lPropagation) + "/" +
           std::to_string(p.lPhase1) + "/" + std::to_string(p.lPhase2) + "/" +
           std::to_string(p.lSJW);
}

TEST(FdSearch, PrefersExactRatesThenTdcThenQuantaAsNearAsCanBe) {
    const std::string k500k2M = "1x80/1x20 2x40/2x10 2x40/1x20 1x80/2x10 4x20/2x10 5x16/2x10 "
                                "4x20/1x20 8x10/2x10 5x16/1x20 10x8/2x10 ";
    const struct {
        double osc;
        bool pll;
        double nominal, data;
        std::size_t count;
        std::string first; // the first ten, nominal BRP x Tq / data BRP x Tq
    } rows[] = {
        // BRP x N = 80 for 500 kbit/s (N 4..385) and 20 for 2 Mbit/s (N 3..49): 8 x 4 pairs.
        // Data BRP 1 or 2 (all but 4 and 5) with the same quantum first, then nominal / data
        // quanta of 2 (2/1, then 1/2 and 4/2 by the data BRP), 2.5 (5/2), 4 (4/1, 8/2), 5.
        {40, false, 500, 2000, 32, k500k2M},
        // The same SYSCLK from 4 MHz and the PLL.
        {4, true, 500, 2000, 32, k500k2M},
        // 100 kbit/s needs 400 quanta at BRP 1, beyond 385: the nominal phase starts at BRP 2.
        // 5 Mbit/s: BRP x N = 8 with N >= 3, so BRP 1 or 2 only. 400 has 12 divisors from 2
        // to 100 (N >= 4): 12 x 2 pairs. Ratios 1; 2 (2/1, 4/2); 2.5; 4 (4/1, 8/2); 5; 8.
        {40, false, 100, 5000, 12 * 2,
         "2x200/2x4 2x200/1x8 4x100/2x4 5x80/2x4 4x100/1x8 8x50/2x4 5x80/1x8 10x40/2x4 8x50/1x8 "
         "16x25/2x4 "},
        // No data prescaler hits 2.02 Mbit/s; BRP 1, 2, 4 and 5 give 2 Mbit/s, 0.99 % below,
        // so the order is that of 2 Mbit/s.
        {40, false, 500, 2020, 32, k500k2M},
        // 3 Mbit/s from 40 MHz: 13.3 quanta, nothing within 1 %.
        {40, false, 500, 3000, 0, ""},
        {0, false, 500, 2000, 0, ""},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const std::vector<FdCandidate> found =
            SearchFdCandidates(rows[i].osc, rows[i].pll, rows[i].nominal, rows[i].data);
        EXPECT_EQ(found.size(), rows[i].count) << "row " << i;
        EXPECT_EQ(Pairs(found, 10), rows[i].first) << "row " << i;
    }
    const std::vector<FdCandidate> near = SearchFdCandidates(40, false, 500, 2020);
    EXPECT_FALSE(near.front().data.bExact);
    EXPECT_NEAR(near.front().data.dErrorPercent, -0.990, 0.001);
}

TEST(FdSearch, ProposalAndRecommendation) {
    const struct {
        double nominal, data;
        std::size_t pick; // 0-based entry of the search
        std::string proposal, recommended;
    } rows[] = {
        // 80 Tq at 87.5 %: 1 + TSEG1 = 70, TSEG2 10; the kernel's split 34 + 35, SJW min(35,
        // 10 / 2) = 5. 20 Tq at 75 %: TSEG1 14, TSEG2 5, split 7 + 7, SJW 2. Recommended: phase 1
        // = phase 2 = SJW, the rest propagation (conditions 2 and 5 grow no further).
        {500, 2000, 0, "1/34/35/10/5 1/7/7/5/2", "1/59/10/10/10 1/9/5/5/5"},
        // 40 Tq at 87.5 %: TSEG1 34, TSEG2 5; 10 Tq at 75 %: 7.5 rounds down, TSEG1 6, TSEG2 3,
        // SJW max(1, min(3, 1)) = 1.
        {500, 2000, 1, "2/17/17/5/2 2/3/3/3/1", "2/29/5/5/5 2/3/3/3/3"},
        // 1 Mbit/s nominal (75 %: 40 Tq, TSEG1 29, TSEG2 10) and 8 Mbit/s data in 5 Tq: 75 %
        // would be 3.75 quanta, so 3 of 5 (60 %), TSEG1 2, TSEG2 2.
        {1000, 8000, 0, "1/14/15/10/5 1/1/1/2/1", "1/19/10/10/10 1/0/2/2/2"},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const std::vector<FdCandidate> found =
            SearchFdCandidates(40, false, rows[i].nominal, rows[i].data);
        ASSERT_GT(found.size(), rows[i].pick) << "row " << i;
        const FdSetting proposal =
            ProposedFdSetting(40, false, rows[i].nominal, rows[i].data, found[rows[i].pick]);
        EXPECT_EQ(Phase(proposal.nominal) + " " + Phase(proposal.data), rows[i].proposal)
            << "row " << i;
        EXPECT_EQ(proposal.tdc, RequiredTdc(proposal.data)) << "row " << i;
        const std::optional<FdSetting> recommended = RecommendedFdSetting(proposal);
        ASSERT_TRUE(recommended) << "row " << i;
        EXPECT_EQ(Phase(recommended->nominal) + " " + Phase(recommended->data), rows[i].recommended)
            << "row " << i;
        // Both keep the quanta and rates, and pass every rule.
        for (const FdSetting* s : {&proposal, &*recommended}) {
            const FdFacts f = DescribeFdTiming(*s);
            EXPECT_TRUE(f.Passes()) << "row " << i << ": " << f.sVerdict;
            EXPECT_TRUE(f.nominal.bHitsTarget && f.data.bHitsTarget) << "row " << i;
            EXPECT_LE(f.nominal.dSamplePointPercent, f.nominal.dRecommendedSamplePointPercent);
            EXPECT_LE(f.data.dSamplePointPercent, f.data.dRecommendedSamplePointPercent);
        }
        EXPECT_GE(DescribeFdTiming(*recommended).tolerance.dTolerance,
                  DescribeFdTiming(proposal).tolerance.dTolerance)
            << "row " << i;
    }
}

TEST(FdSearch, NoRecommendationForABitTheRangesCannotFill) {
    FdSetting s;
    s.dOscFreqMHz = 40;
    s.dNominalKbps = 500;
    s.dDataKbps = 2000;
    s.nominal = {1, 200, 100, 100, 1}; // 401 quanta, beyond 1 + 256 + 128
    s.data = {1, 7, 7, 5, 2};
    EXPECT_FALSE(RecommendedFdSetting(s));
    EXPECT_FALSE(ProposedFdPhase(FdPhase::Data, 1, 50, 75.0));
    EXPECT_EQ(Phase(*ProposedFdPhase(FdPhase::Data, 1, 49, 75.0)), "1/16/16/16/8");
}

} // namespace
} // namespace quillon
