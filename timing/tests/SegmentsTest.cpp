#include "timing/Segments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

constexpr Phase2Mode kProg = Phase2Mode::Programmed;
constexpr Phase2Mode kLarger = Phase2Mode::LargerOf;

TEST(ProposalTest, TableForTqCounts8To25FillsTheBitAndPasses) {
    const int propagation[] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 3, 4, 5, 6, 7, 8};
    const int phase1[] = {3, 4, 4, 5, 6, 6, 7, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8};
    const int phase2[] = {3, 3, 4, 4, 4, 5, 5, 5, 6, 7, 8, 8, 8, 8, 8, 8, 8, 8};
    for (int n = 8; n <= 25; ++n) {
        const SegmentProposal proposal = ProposeSegments(n);
        EXPECT_EQ(proposal.lPropagation, propagation[n - 8]) << "N=" << n;
        EXPECT_EQ(proposal.lPhase1, phase1[n - 8]) << "N=" << n;
        EXPECT_EQ(proposal.lPhase2, phase2[n - 8]) << "N=" << n;
        const SegmentSettings settings{n, proposal.lPropagation, proposal.lPhase1,
                                       proposal.lPhase2};
        EXPECT_EQ(CheckTimingRules(true, settings), TimingVerdict::Pass) << "N=" << n;
    }
}

TEST(ProposalTest, BeyondTwentyFivePropagationStaysOneAndTotalIsReported) {
    for (int n : {26, 30}) {
        const SegmentProposal proposal = ProposeSegments(n);
        EXPECT_EQ(proposal.lPropagation, 1) << "N=" << n;
        const SegmentSettings settings{n, 1, proposal.lPhase1, proposal.lPhase2};
        EXPECT_EQ(CheckTimingRules(true, settings), TimingVerdict::WrongTotal) << "N=" << n;
    }
}

struct RuleCase {
    std::string name;
    bool selected;
    SegmentSettings settings; // N, propagation, phase 1, phase 2, SJW, SAM, WAKFIL, mode
    std::string verdict;
};
void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << c.name;
}

class TimingRulesTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(TimingRulesTest, FirstFailingRuleDecides) {
    EXPECT_EQ(VerdictText(CheckTimingRules(GetParam().selected, GetParam().settings)),
              GetParam().verdict);
}

const std::string kPass = "These settings meet all timing requirements.";
const std::string kTotal =
    "The sync, propagation, phase 1 and phase 2 times must equal the total tq values.";
const std::string kPhase2 = "The propagation plus phase 1 must be greater than the phase 2 time.";
const std::string kSJW =
    "The Phase2 time must be greater or equal to the syncronization jump width.";

const std::vector<RuleCase> kRules = {
    {"NoSelection", false, {8, 1, 3, 3, 1, false, false, kProg}, "Please select a Tq setting."},
    {"Proposal8", true, {8, 1, 3, 3, 1, false, false, kProg}, kPass},
    {"PropagationRaised", true, {8, 2, 3, 3, 1, false, false, kProg}, kTotal},
    {"Phase2EqualsPropPlusPhase1", true, {9, 1, 3, 4, 1, false, false, kProg}, kPass},
    {"Phase2Longer", true, {8, 1, 2, 4, 1, false, false, kProg}, kPhase2},
    {"SJWAbovePhase2", true, {8, 1, 3, 3, 4, false, false, kProg}, kSJW},
    {"SJWEqualsPhase2", true, {8, 1, 3, 3, 3, true, true, kProg}, kPass},
    {"TotalBeforeSJW", true, {9, 1, 3, 3, 4, false, false, kProg}, kTotal},
    {"Phase2BeforeSJW", true, {6, 1, 1, 3, 4, false, false, kProg}, kPhase2},
    {"LargerOfIgnoresScrollBar", true, {8, 1, 3, 8, 1, false, false, kLarger}, kPass},
    {"LargerOfPhase1Four", true, {8, 1, 4, 3, 1, false, false, kLarger}, kTotal},
    {"LargerOfIpt", true, {5, 1, 1, 8, 2, false, false, kLarger}, kPass}};
INSTANTIATE_TEST_SUITE_P(Rules, TimingRulesTest, ::testing::ValuesIn(kRules),
                         [](const auto& info) { return info.param.name; });

TEST(Phase2LengthTest, ProgrammedOrLargerOfPhase1AndIpt) {
    EXPECT_EQ(Phase2Length(kProg, 5, 7), 7);
    EXPECT_EQ(Phase2Length(kLarger, 1, 7), 2);
    EXPECT_EQ(Phase2Length(kLarger, 2, 8), 2);
    EXPECT_EQ(Phase2Length(kLarger, 5, 2), 5);
}

TEST(SamplePointTest, PercentOfTheBit) {
    EXPECT_DOUBLE_EQ(SamplePointPercent({8, 1, 3, 3}), 62.5);
    EXPECT_DOUBLE_EQ(SamplePointPercent({10, 1, 4, 8, 1, false, false, kLarger}), 60);
    EXPECT_DOUBLE_EQ(SamplePointPercent({0, 1, 4, 4}), 0);
}

} // namespace
} // namespace quillon
