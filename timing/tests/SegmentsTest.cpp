// The proposal for each Tq count, the two phase-2 modes and the timing rules in order.
#include "timing/classic/Segments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

constexpr Phase2Mode kProg = Phase2Mode::Programmed;
constexpr Phase2Mode kLarger = Phase2Mode::LargerOf;

TEST(Proposal, EveryTqCountOfTheGridFillsTheBitAndPasses) {
    const int propagation[] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 3, 4, 5, 6, 7, 8};
    const int phase1[] = {3, 4, 4, 5, 6, 6, 7, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8};
    const int phase2[] = {3, 3, 4, 4, 4, 5, 5, 5, 6, 7, 8, 8, 8, 8, 8, 8, 8, 8};
    for (int n = 8; n <= 25; ++n) {
        const SegmentProposal p = ProposeSegments(n);
        EXPECT_EQ(p.lPropagation * 100 + p.lPhase1 * 10 + p.lPhase2,
                  propagation[n - 8] * 100 + phase1[n - 8] * 10 + phase2[n - 8])
            << "N=" << n;
        EXPECT_EQ(CheckTimingRules(true, {n, p.lPropagation, p.lPhase1, p.lPhase2}),
                  TimingVerdict::Pass)
            << "N=" << n;
    }
    // Beyond 25 Tq nothing fills the bit: propagation stays 1 and the total is reported.
    const SegmentProposal p = ProposeSegments(26);
    EXPECT_EQ(p.lPropagation, 1);
    EXPECT_EQ(CheckTimingRules(true, {26, 1, p.lPhase1, p.lPhase2}), TimingVerdict::WrongTotal);
}

TEST(Phase2Length, ProgrammedOrLargerOfPhase1AndIpt) {
    const std::vector<std::tuple<Phase2Mode, int, int, int>> rows = {
        {kProg, 5, 7, 7},   {kProg, 1, 2, 2},   {kLarger, 1, 7, 2},
        {kLarger, 2, 8, 2}, {kLarger, 3, 8, 3}, {kLarger, 5, 2, 5}};
    for (const auto& [mode, phase1, programmed, expected] : rows) {
        EXPECT_EQ(Phase2Length(mode, phase1, programmed), expected) << phase1 << '/' << programmed;
    }
}

const std::string kPass = "These settings meet all timing requirements.";
const std::string kTotal =
    "The sync, propagation, phase 1 and phase 2 times must equal the total tq values.";
const std::string kPhase2 = "The propagation plus phase 1 must be greater than the phase 2 time.";
const std::string kSJW =
    "The Phase2 time must be greater or equal to the syncronization jump width.";

TEST(TimingRules, FirstFailingRuleDecides) {
    const struct {
        bool selected;
        SegmentSettings s; // N, propagation, phase 1, phase 2, SJW, SAM, WAKFIL, mode
        std::string verdict;
    } rows[] = {
        {false, {8, 1, 3, 3, 1, false, false, kProg}, "Please select a Tq setting."},
        {false, {0, 9, 9, 9, 9, false, false, kProg}, "Please select a Tq setting."},
        {true, {8, 1, 3, 3, 1, false, false, kProg}, kPass},
        {true, {8, 2, 3, 3, 1, false, false, kProg}, kTotal},
        {true, {8, 1, 3, 2, 1, false, false, kProg}, kTotal},
        {true, {9, 1, 3, 4, 1, false, false, kProg}, kPass}, // phase 2 = propagation + phase 1
        {true, {8, 1, 2, 4, 1, false, false, kProg}, kPhase2},
        {true, {8, 1, 3, 3, 4, false, false, kProg}, kSJW},
        {true, {8, 1, 3, 3, 3, true, true, kProg}, kPass}, // SJW = phase 2
        {true, {9, 1, 3, 3, 4, false, false, kProg}, kTotal},
        {true, {6, 1, 1, 3, 4, false, false, kProg}, kPhase2},
        {true, {8, 1, 3, 8, 1, false, false, kLarger}, kPass}, // programmed phase 2 ignored
        {true, {8, 1, 4, 3, 1, false, false, kLarger}, kTotal},
        {true, {5, 1, 1, 8, 2, false, false, kLarger}, kPass},
        {true, {5, 1, 1, 8, 3, false, false, kLarger}, kSJW}};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(VerdictText(CheckTimingRules(rows[i].selected, rows[i].s)), rows[i].verdict)
            << "row " << i;
    }
}

} // namespace
} // namespace quillon
