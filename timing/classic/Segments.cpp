#include "timing/classic/Segments.h"

#include "timing/common/SamplePoint.h"

#include <algorithm>
#include <cmath>

namespace quillon {
inline namespace classic {

namespace {

// Phase 1 of the proposal takes this share of the bit before the sync and IPT are taken off.
constexpr double kPhase1Share = 0.65;
constexpr double kPhase1Offset = 2.0;

} // namespace

int ProposedPhase1(int lTqCount) {
    // nearbyint rounds in the default mode, to nearest with halves to the even neighbour:
    // 10 Tq gives 4.5 and so 4.
    const double dPhase1 =
        std::nearbyint(static_cast<double>(lTqCount) * kPhase1Share - kPhase1Offset);
    return dPhase1 > kMaxPhase1 ? kMaxPhase1 : static_cast<int>(dPhase1);
}

int ProposedPhase2(int lTqCount, int lPhase1) {
    return std::min(lTqCount - (lPhase1 + 2), kMaxPhase2);
}

int ProposedPropagation(int lTqCount, int current, int lPhase1, int lPhase2) {
    const int lGap = lTqCount - (1 + current + lPhase1 + lPhase2);
    if (lGap == 0) {
        return current;
    }
    const int lFill = lGap + 1;
    return lFill >= kMinPropagation && lFill <= kMaxPropagation ? lFill : current;
}

SegmentProposal ProposeSegments(int lTqCount) {
    SegmentProposal proposal;
    proposal.lPhase1 = ProposedPhase1(lTqCount);
    proposal.lPhase2 = ProposedPhase2(lTqCount, proposal.lPhase1);
    proposal.lPropagation =
        ProposedPropagation(lTqCount, kMinPropagation, proposal.lPhase1, proposal.lPhase2);
    return proposal;
}

int Phase2Length(Phase2Mode mode, int lPhase1, int lProgrammedPhase2) {
    if (mode == Phase2Mode::Programmed) {
        return lProgrammedPhase2;
    }
    return lPhase1 > 1 ? lPhase1 : kIptTq;
}

TimingVerdict CheckTimingRules(bool selected, const SegmentSettings& settings) {
    if (!selected) {
        return TimingVerdict::NoSelection;
    }
    const int lPhase2 = Phase2Length(settings);
    if (1 + settings.lPropagation + settings.lPhase1 + lPhase2 != settings.lTqCount) {
        return TimingVerdict::WrongTotal;
    }
    if (settings.lPropagation + settings.lPhase1 < lPhase2) {
        return TimingVerdict::Phase2TooLong;
    }
    if (lPhase2 < settings.lSJW) {
        return TimingVerdict::SJWTooLong;
    }
    return TimingVerdict::Pass;
}

std::string_view VerdictText(TimingVerdict verdict) {
    switch (verdict) {
    case TimingVerdict::NoSelection:
        return "Please select a Tq setting.";
    case TimingVerdict::WrongTotal:
        return "The sync, propagation, phase 1 and phase 2 times must equal the total tq values.";
    case TimingVerdict::Phase2TooLong:
        return "The propagation plus phase 1 must be greater than the phase 2 time.";
    case TimingVerdict::SJWTooLong:
        return "The Phase2 time must be greater or equal to the syncronization jump width.";
    case TimingVerdict::Pass:
        return "These settings meet all timing requirements.";
    }
    return {};
}

double SamplePointPercent(const SegmentSettings& settings) {
    return common::SamplePointPercent(1 + settings.lPropagation + settings.lPhase1,
                                      settings.lTqCount);
}

} // namespace classic
} // namespace quillon
