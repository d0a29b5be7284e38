#include "timing/CandidateSearch.h"
#include "timing/NumberFormat.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace quillon {
namespace {

using Array = OneBasedArray<std::int32_t>;

struct SearchCase {
    double dOscMhz;
    double dRateKbit; // as typed; the window multiplies by 1000
    std::vector<std::int32_t> tqValues;
    std::vector<std::int32_t> brpValues;
    std::int32_t lClocks;
    const char* sErrorText; // with "0.0###"
};
void PrintTo(const SearchCase& c, std::ostream* os) {
    *os << c.dOscMhz << '/' << c.dRateKbit;
}

class CandidateSearchTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(CandidateSearchTest, ChoosesTheMatchesInSearchOrder) {
    const SearchCase& c = GetParam();
    ChosenList list;
    list.Refill(EvaluateAllCandidates(c.dOscMhz, c.dRateKbit * 1000));

    Array vTqValues;
    Array vBRPValues;
    std::int32_t lNumItems = -1;
    list.GetTqValues(vTqValues, vBRPValues, lNumItems);
    EXPECT_EQ(lNumItems, static_cast<std::int32_t>(c.tqValues.size()));
    EXPECT_EQ(vTqValues, Array(c.tqValues));
    EXPECT_EQ(vBRPValues, Array(c.brpValues));
    for (const TqCandidate& candidate : list.Items()) {
        EXPECT_EQ(candidate.lOscClocks, c.lClocks);
        EXPECT_EQ(FormatNumber(candidate.dErrorPercent, "0.0###"), c.sErrorText);
    }
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, CandidateSearchTest,
    ::testing::Values(SearchCase{16, 500, {16, 8}, {0, 1}, 32, "0.0"},
                      SearchCase{16, 1000, {8}, {0}, 16, "0.0"},
                      SearchCase{20, 125, {20, 16, 10, 8}, {3, 4, 7, 9}, 160, "0.0"},
                      SearchCase{24, 500, {24, 12, 8}, {0, 1, 2}, 48, "0.0"},
                      SearchCase{10, 83.333, {20, 15, 12, 10}, {2, 3, 4, 5}, 120, "0.0004"},
                      SearchCase{1000, 1000, {25, 20, 10}, {19, 24, 49}, 1000, "0.0"},
                      SearchCase{16, 333.333, {24, 12, 8}, {0, 1, 2}, 48, "0.0001"},
                      SearchCase{16, 333.334, {}, {}, 0, ""}, SearchCase{16, 999, {}, {}, 0, ""}));

TEST(CandidateEvaluationTest, CoversAllCombinationsBRPOuterTqInner) {
    const std::vector<TqCandidate> all = EvaluateAllCandidates(16, 500000);
    ASSERT_EQ(all.size(), 64u * 18u);
    EXPECT_EQ(all[17].lBRPMinus1 * 100 + all[17].lTqCount, 25);
    EXPECT_EQ(all[18].lBRPMinus1 * 100 + all[18].lTqCount, 108);
    EXPECT_EQ(all.back().lBRPMinus1 * 100 + all.back().lTqCount, 6325);
    EXPECT_EQ(all.back().lOscClocks, 3200);
}

TEST(CandidateEvaluationTest, SlowestRateSignRulesAndMatchWindow) {
    EXPECT_DOUBLE_EQ(MakeTqCandidate(1, 1000, 63, 25, ErrorSignRule::Search).dActualBaud, 312.5);

    // 16 MHz, BRP 1, 16 Tq gives 500 kbit/s: above a 400 kbit/s target.
    EXPECT_DOUBLE_EQ(MakeTqCandidate(16, 400000, 0, 16, ErrorSignRule::Search).dErrorPercent, 25);
    EXPECT_DOUBLE_EQ(MakeTqCandidate(16, 400000, 0, 16, ErrorSignRule::Grid).dErrorPercent, -25);

    // 16 MHz, BRP 1, 24 Tq gives 333333.33 bit/s; targets are rounded halves away from zero.
    EXPECT_TRUE(MakeTqCandidate(16, 333332.5, 0, 24, ErrorSignRule::Search).bMatches);
    EXPECT_FALSE(MakeTqCandidate(16, 333333.5, 0, 24, ErrorSignRule::Search).bMatches);
}

TEST(ChosenListTest, EmptyListLeavesCallerArraysAlone) {
    Array vTqValues({9, 10});
    Array vBRPValues({3});
    std::int32_t lNumItems = 7;
    ChosenList().GetTqValues(vTqValues, vBRPValues, lNumItems);
    EXPECT_EQ(lNumItems, 0);
    EXPECT_EQ(vTqValues, Array({9, 10}));
    EXPECT_EQ(vBRPValues, Array({3}));
}

TEST(ChosenListTest, KeepsInsertionOrderAndDuplicates) {
    ChosenList list;
    list.Refill(EvaluateAllCandidates(16, 500000));
    const TqCandidate added = MakeTqCandidate(16, 500000, 3, 12, ErrorSignRule::Grid);
    list.Append(added);
    list.Append(added);
    list.RemoveAt(0);
    list.RemoveAt(-1);
    list.RemoveAt(list.Count());

    Array vTqValues;
    Array vBRPValues;
    std::int32_t lNumItems = 0;
    list.GetTqValues(vTqValues, vBRPValues, lNumItems);
    EXPECT_EQ(lNumItems, 3);
    EXPECT_EQ(vTqValues, Array({8, 12, 12}));
    EXPECT_EQ(vBRPValues, Array({1, 3, 3}));
    EXPECT_EQ(list.Count(), 3); // handing over does not change the list
    EXPECT_THROW(vTqValues(0), std::out_of_range);

    list.Refill(EvaluateAllCandidates(16, 500000)); // a fresh search drops the user's changes
    EXPECT_EQ(list.Count(), 2);
}

} // namespace
} // namespace quillon
