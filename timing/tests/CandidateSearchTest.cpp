// The BRP-1 x Tq count search against the worked examples, and the chosen list.
#include "timing/classic/CandidateSearch.h"
#include "timing/common/NumberFormat.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillon {
namespace {

using Array = OneBasedArray<std::int32_t>;

TEST(CandidateSearch, WorkedExamples) {
    const struct {
        double oscMHz, rateKbps;
        std::vector<std::int32_t> tq, brp;
        std::int32_t clocks;
        const char* error; // with "0.0###"
    } rows[] = {{16, 500, {16, 8}, {0, 1}, 32, "0.0"},
                {16, 1000, {8}, {0}, 16, "0.0"},
                {20, 125, {20, 16, 10, 8}, {3, 4, 7, 9}, 160, "0.0"},
                {24, 500, {24, 12, 8}, {0, 1, 2}, 48, "0.0"},
                {10, 83.333, {20, 15, 12, 10}, {2, 3, 4, 5}, 120, "0.0004"},
                {1000, 1000, {25, 20, 10}, {19, 24, 49}, 1000, "0.0"},
                {16, 333.333, {24, 12, 8}, {0, 1, 2}, 48, "0.0001"},
                {16, 333.334, {}, {}, 0, ""},
                {16, 999, {}, {}, 0, ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.oscMHz << " MHz, " << row.rateKbps << " kbit/s");
        ChosenList list;
        list.Refill(EvaluateAllCandidates(row.oscMHz, row.rateKbps * 1000));
        Array tq({9}), brp({9}); // an empty list leaves the caller's arrays alone
        std::int32_t count = -1;
        list.GetTqValues(tq, brp, count);
        EXPECT_EQ(count, static_cast<std::int32_t>(row.tq.size()));
        EXPECT_EQ(tq, row.tq.empty() ? Array({9}) : Array(row.tq));
        EXPECT_EQ(brp, row.brp.empty() ? Array({9}) : Array(row.brp));
        for (const TqCandidate& candidate : list.Items()) {
            EXPECT_EQ(candidate.lOscClocks, row.clocks);
            EXPECT_EQ(FormatNumber(candidate.dErrorPercent, "0.0###"), row.error);
        }
    }
}

TEST(CandidateSearch, AllCombinationsBRPOuterTqInner) {
    const std::vector<TqCandidate> all = EvaluateAllCandidates(16, 500000);
    ASSERT_EQ(all.size(), 64u * 18u);
    const std::vector<std::pair<std::size_t, int>> rows = {
        {0, 8}, {17, 25}, {18, 108}, {1151, 6325}};
    for (const auto& [index, brpTq] : rows) {
        EXPECT_EQ(all[index].lBRPMinus1 * 100 + all[index].lTqCount, brpTq) << index;
    }
    EXPECT_EQ(all.back().lOscClocks, 3200);
    EXPECT_DOUBLE_EQ(MakeTqCandidate(1, 1000, 63, 25, ErrorSignRule::Search).dActualBaud, 312.5);
}

TEST(CandidateSearch, ErrorSignAndMatchRule) {
    // 16 MHz, BRP 1, 16 Tq gives 500 kbit/s, above a 400 kbit/s target: the search takes
    // actual - target, a cell added from the grid target - actual.
    EXPECT_DOUBLE_EQ(MakeTqCandidate(16, 400000, 0, 16, ErrorSignRule::Search).dErrorPercent, 25);
    EXPECT_DOUBLE_EQ(MakeTqCandidate(16, 400000, 0, 16, ErrorSignRule::Grid).dErrorPercent, -25);
    // 24 Tq gives 333333.33 bit/s; whole rates are compared, the target rounded half up.
    const std::vector<std::pair<double, bool>> rows = {
        {333332.5, true}, {333333.4, true}, {333333.5, false}, {333334, false}, {333332.4, false}};
    for (const auto& [target, matches] : rows) {
        EXPECT_EQ(MakeTqCandidate(16, target, 0, 24, ErrorSignRule::Search).bMatches, matches)
            << target;
    }
}

TEST(ChosenList, KeepsInsertionOrderAndDuplicates) {
    ChosenList list;
    list.Refill(EvaluateAllCandidates(16, 500000));
    const TqCandidate added = MakeTqCandidate(16, 500000, 3, 12, ErrorSignRule::Grid);
    list.Append(added);
    list.Append(added);
    list.RemoveAt(0);
    list.RemoveAt(-1);
    list.RemoveAt(list.Count());
    Array tq, brp;
    std::int32_t count = 0;
    list.GetTqValues(tq, brp, count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(tq, Array({8, 12, 12}));
    EXPECT_EQ(brp, Array({1, 3, 3}));
    EXPECT_THROW(tq(0), std::out_of_range);
    list.Refill(EvaluateAllCandidates(16, 500000)); // a fresh search drops the additions
    EXPECT_EQ(list.Count(), 2);
}

TEST(ChosenList, IndexOfMatchesPrescalerAndTqCountTogether) {
    ChosenList list;
    list.Refill(EvaluateAllCandidates(20, 125000)); // 20/3, 16/4, 10/7, 8/9
    list.Append(MakeTqCandidate(20, 125000, 9, 8, ErrorSignRule::Grid));
    const struct {
        std::int32_t brp, tq;
        int index;
    } rows[] = {{3, 20, 0}, {9, 8, 3}, {4, 20, -1}, {3, 16, -1}, {0, 0, -1}};
    for (const auto& row : rows) {
        EXPECT_EQ(list.IndexOf(row.brp, row.tq), row.index) << row.brp << "/" << row.tq;
    }
    list.Clear();
    EXPECT_EQ(list.IndexOf(3, 20), -1);
}

} // namespace
} // namespace quillon
