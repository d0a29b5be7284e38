// The CAN FD candidate search and its preferences, the proposal for a candidate and the
// recommended segments, on settings worked by hand.
#include "timing/fd/FdSearch.h"

#include <gtest/gtest.h>

#include <optional>
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

TEST(FdSearch, UsablePairsFirstThenSameQuantumThenSmallerPrescalers) {
    // BRP x N = 80 for 500 kbit/s (N 4..385) and 20 for 2 Mbit/s (N 3..49): 8 x 4 pairs.
    // Condition 5 needs the proposal's data SJW above NBRP / DBRP - 1: 13 pairs keep it.
    // The same quantum first (BRP 1, 2, 4, 5); then data BRP 1 (2x40), 2 (1x80); data BRP 4:
    // nominal sample points all at 87.5 % and the data one at 60 %, tolerance 0.3125 % for
    // 1x80 (SJW 5 of 80) and 5x16 (SJW 1 of 16), 0.25 % for 2x40; data BRP 5: 1x80 and 2x40
    // at 87.5 %, 4x20 at 85 %, 8x10 at 80 %.
    const std::string k500k2M = "1x80/1x20 2x40/2x10 4x20/4x5 5x16/5x4 2x40/1x20 1x80/2x10 "
                                "1x80/4x5 5x16/4x5 2x40/4x5 1x80/5x4 2x40/5x4 4x20/5x4 8x10/5x4 ";
    const struct {
        const char* name;
        double osc;
        bool pll;
        double nominal, data;
        std::size_t count, usable;
        std::string first; // the usable ones, nominal BRP x Tq / data BRP x Tq
    } rows[] = {
        {"40 MHz, 500 kbit/s and 2 Mbit/s", 40, false, 500, 2000, 32, 13, k500k2M},
        {"the same SYSCLK from 4 MHz and the PLL", 4, true, 500, 2000, 32, 13, k500k2M},
        // 100 kbit/s: 400 quanta at BRP 1 is beyond 385, so 12 divisors from 2 to 100; 5 Mbit/s:
        // 2x4 or 1x8. Only 2x200/2x4 works: 1x8 proposes SJW 1, and with a nominal BRP of 2
        // or more condition 5 is (1 - (NBRP - 1)) / ... <= 0.
        {"100 kbit/s and 5 Mbit/s", 40, false, 100, 5000, 24, 1, "2x200/2x4 "},
        // No data prescaler hits 2.02 Mbit/s; BRP 1, 2, 4 and 5 give 2 Mbit/s, 0.99 % below,
        // so the order is that of 2 Mbit/s.
        {"2.02 Mbit/s, within 1 %", 40, false, 500, 2020, 32, 13, k500k2M},
        {"3 Mbit/s, 13.3 quanta", 40, false, 500, 3000, 0, 0, ""},
        {"no oscillator", 0, false, 500, 2000, 0, 0, ""},
    };
    for (const auto& row : rows) {
        FdSetting inputs;
        inputs.dOscFreqMHz = row.osc;
        inputs.bPll = row.pll;
        inputs.dNominalKbps = row.nominal;
        inputs.dDataKbps = row.data;
        const std::vector<FdCandidate> found = SearchFdCandidates(inputs);
        EXPECT_EQ(found.size(), row.count) << row.name;
        EXPECT_EQ(Pairs(found, row.usable), row.first) << row.name;
        for (std::size_t i = 0; i < found.size(); ++i) {
            // Usable ones first, and usable exactly where the proposal's findings see no
            // condition at or below zero.
            EXPECT_EQ(found[i].bUsable, i < row.usable) << row.name << ", entry " << i + 1;
            const FdFacts proposal = DescribeFdTiming(ProposedFdSetting(inputs, found[i]));
            EXPECT_EQ(HasCode(proposal.findings, code::kFdToleranceNegative), !found[i].bUsable)
                << row.name << ", entry " << i + 1;
        }
    }
    const std::vector<FdCandidate> near = SearchFdCandidates(40, false, 500, 2020);
    EXPECT_FALSE(near.front().data.bExact);
    EXPECT_NEAR(near.front().data.dErrorPercent, -0.990, 0.001);
}

TEST(FdSearch, AChosenPairIsJudgedAsTheListJudgesIt) {
    FdSetting inputs;
    inputs.dOscFreqMHz = 40;
    inputs.dNominalKbps = 500;
    inputs.dDataKbps = 2000;
    const struct {
        const char* name;
        int nominalBrp, nominalTq, dataBrp, dataTq;
        bool usable;
    } rows[] = {
        // 4x20 proposes phase 2 of 3; 2x10 at 70 % phase 2 of 3, SJW 1: condition 5 is
        // (1 - (4 / 2 - 1)) / ... = 0, at zero.
        {"condition 5 at zero", 4, 20, 2, 10, false},
        // 8x10/5x4: data SJW 1 against 8 / 5 - 1 = 0.6 leaves 0.4 above zero.
        {"condition 5 just above zero", 8, 10, 5, 4, true},
        {"the same quantum", 1, 80, 1, 20, true},
    };
    for (const auto& row : rows) {
        const FdCandidate c =
            MakeFdCandidate(inputs, MakeFdPhaseCandidate(40, 500, row.nominalBrp, row.nominalTq),
                            MakeFdPhaseCandidate(40, 2000, row.dataBrp, row.dataTq));
        EXPECT_EQ(c.bUsable, row.usable) << row.name;
    }
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

TEST(FdSearch, RecommendationOnTheBusAndAtTheSamplePointsAimedAt) {
    const struct {
        const char* name;
        std::optional<double> length, samplePoint, dataSamplePoint;
        std::string recommended; // BRP/propagation/phase 1/phase 2/SJW, nominal then data
        bool propagationShort;
    } rows[] = {
        // 1x80 and 1x20 from 40 MHz, 25 ns quanta: TSEG1 69 and 14 (87.5 % and 75 %).
        {"no bus", {}, {}, {}, "1/59/10/10/10 1/9/5/5/5", false},
        // 59 Tq are 1475 ns, the round trip over 96.5 m: 2 x (96.5 x 5 + 255).
        {"96.5 m, covered exactly", 96.5, {}, {}, "1/59/10/10/10 1/9/5/5/5", false},
        // 100 m: 1510 ns, 61 Tq; phase 1 of 8 is left (8 / 2060 by condition 2), SJW up to it.
        // The data phase needs no propagation for the bus.
        {"100 m", 100.0, {}, {}, "1/61/8/10/8 1/9/5/5/5", false},
        // 200 m: 2510 ns, 101 Tq, more than the 77 a bit of 80 leaves: the longest
        // propagation, phase 1 and 2 of one quantum each, and the findings say it falls short.
        {"200 m, none covers", 200.0, {}, {}, "1/77/1/1/1 1/9/5/5/5", true},
        // 80 % of 80 is TSEG1 63, phase 2 16: phase 1 16 for min(16, 16) / 2048, SJW 16 (1 %
        // by condition 1). 70 % of 20: TSEG1 13, phase 2 6; condition 5 is DSJW / 460 with a
        // nominal phase 2 of 16, so DSJW 6 and phase 1 6.
        {"80 % and 70 % aimed at", {}, 80.0, 70.0, "1/47/16/16/16 1/7/6/6/6", false},
    };
    FdSetting proposal =
        ProposedFdSetting(40, false, 500, 2000, SearchFdCandidates(40, false, 500, 2000).front());
    for (const auto& row : rows) {
        RecommendationGoal goal;
        goal.bus.dBusLengthMetres = row.length;
        goal.dSamplePointPercent = row.samplePoint;
        goal.dDataSamplePointPercent = row.dataSamplePoint;
        const std::optional<FdSetting> recommended = RecommendedFdSetting(proposal, goal);
        ASSERT_TRUE(recommended) << row.name;
        EXPECT_EQ(Phase(recommended->nominal) + " " + Phase(recommended->data), row.recommended)
            << row.name;
        const FdFacts facts = DescribeFdTiming(*recommended, ".", goal.bus);
        EXPECT_TRUE(facts.Passes()) << row.name << ": " << facts.sVerdict;
        EXPECT_EQ(HasCode(facts.findings, code::kPropagationShort), row.propagationShort)
            << row.name;
    }
}

} // namespace
} // namespace quillon
