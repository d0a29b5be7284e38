#pragma once
// The segments of one CAN bit (sync, propagation, phase 1, phase 2), the proposal made
// for a Tq count, the effective phase 2 of the two phase-2 modes, and the timing rules.
#include <string_view>

namespace quillon {
inline namespace classic {

inline constexpr int kMinPropagation = 1, kMaxPropagation = 8;
inline constexpr int kMinPhase1 = 1, kMaxPhase1 = 8;
inline constexpr int kMinPhase2 = 2, kMaxPhase2 = 8;
inline constexpr int kMinSJW = 1, kMaxSJW = 4;
// Information processing time: the shortest phase 2 the controller allows.
inline constexpr int kIptTq = 2;

// Programmed: phase 2 is its own setting. LargerOf: phase 2 is the larger of phase 1 and
// the information processing time.
enum class Phase2Mode { Programmed, LargerOf };

struct SegmentSettings {
    int lTqCount = 0; // N, time quanta in one bit
    int lPropagation = 1;
    int lPhase1 = 1;
    int lPhase2 = 2; // the programmed phase 2 (ignored in the larger-of mode)
    int lSJW = 1;
    bool bSam = false;
    bool bWakFil = false;
    Phase2Mode mode = Phase2Mode::Programmed;
};

struct SegmentProposal {
    int lPropagation = 1;
    int lPhase1 = 1;
    int lPhase2 = 2;
};

// Phase 1 of the proposal: N x 0.65 - 2 rounded half to even, at most 8.
int ProposedPhase1(int lTqCount);
// Phase 2 of the proposal: N - (phase 1 + 2), at most 8.
int ProposedPhase2(int lTqCount, int lPhase1);
// Propagation that fills the rest of the bit, or `current` when the gap is 0 or the fill
// would leave 1..8.
int ProposedPropagation(int lTqCount, int current, int lPhase1, int lPhase2);
// The whole proposal for a Tq count (propagation 1, SJW 1, flags off, programmed mode).
SegmentProposal ProposeSegments(int lTqCount);

int Phase2Length(Phase2Mode mode, int lPhase1, int lProgrammedPhase2);
inline int Phase2Length(const SegmentSettings& s) {
    return Phase2Length(s.mode, s.lPhase1, s.lPhase2);
}

// The rules in the order they are checked; the first that fails decides.
enum class TimingVerdict {
    NoSelection,
    WrongTotal,
    Phase2TooLong,
    SJWTooLong,
    Pass,
};

// `selected` is false when no Tq count is chosen; lTqCount then is not looked at.
TimingVerdict CheckTimingRules(bool selected, const SegmentSettings& settings);
std::string_view VerdictText(TimingVerdict verdict);

// Sample point in percent of the bit: (1 + propagation + phase 1) / N x 100; 0 when N is 0.
double SamplePointPercent(const SegmentSettings& settings);

} // namespace classic
} // namespace quillon
