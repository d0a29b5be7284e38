#include "timing/linux/KernelComparison.h"

#include "timing/classic/CandidateSearch.h"
#include "timing/classic/DisplayTexts.h"
#include "timing/classic/Recommendation.h"
#include "timing/common/InputChecks.h"

#include <cmath>
#include <tuple>

namespace quillon {
inline namespace linux {

namespace {

constexpr double kTenthsPerPercent = 10.0;

// One of Quillon's settings as the sentences name it.
struct Side {
    std::string_view name; // "proposal", "recommendation"
    BitTimingFacts facts;
};

std::string Tq(int count) {
    return std::to_string(count) + " Tq";
}

std::string Tenths(std::uint32_t tenths, std::string_view sep) {
    return std::to_string(tenths / 10) + std::string(sep) + std::to_string(tenths % 10) + " %";
}

auto TimingOf(const BitTimingFacts& f) {
    const SegmentSettings& s = f.setting.segments;
    return std::make_tuple(f.setting.lBRPMinus1, s.lTqCount, s.lPropagation, s.lPhase1,
                           f.lPhase2Effective, s.lSJW);
}

// "Quillon's proposal at 75.0 %, its recommendation at 87.5 %" with `what` of each side.
template <typename What> std::string Quillon(const std::vector<Side>& sides, What what) {
    std::string text;
    for (const Side& side : sides) {
        text += (text.empty() ? "Quillon's " : ", its ") + std::string(side.name) + " " +
                what(side.facts);
    }
    return text;
}

// True when `value` of every side equals the kernel's.
template <typename Value>
bool AllAgree(const BitTimingFacts& kernel, const std::vector<Side>& sides, Value value) {
    for (const Side& side : sides) {
        if (value(side.facts) != value(kernel)) {
            return false;
        }
    }
    return true;
}

void KernelOnly(const KernelComparison& c, const BitTimingFacts& k, std::string_view sep,
                std::vector<std::string>& out) {
    const KernelTiming& t = c.kernel.timing;
    if (t.bitrate != c.kernel.bitrate) {
        out.push_back("The kernel accepts a rate error: it runs at " + std::to_string(t.bitrate) +
                      " bit/s instead of " + std::to_string(c.kernel.bitrate) + " (" +
                      Tenths(t.errorTenths, sep) + "; it allows up to " +
                      Tenths(kKernelMaxErrorTenths, sep) + ")" +
                      (c.proposed ? "; Quillon's candidates hit the rate exactly." : "."));
    }
    const int count = k.setting.segments.lTqCount;
    if (count < kMinTqCount || count > kMaxTqCount) {
        out.push_back("The kernel's bit has " + Tq(count) + ", outside the " +
                      std::to_string(kMinTqCount) + " to " + Tq(kMaxTqCount) +
                      " of the Microchip rules Quillon works with.");
    }
    if (!k.Passes()) {
        out.push_back("The kernel's choice breaks a Microchip rule: " + std::string(k.sVerdict));
    }
}

void AgainstQuillon(const BitTimingFacts& k, const std::vector<Side>& sides, std::string_view sep,
                    std::vector<std::string>& out) {
    const SegmentSettings& ks = k.setting.segments;
    for (const Side& side : sides) {
        if (TimingOf(side.facts) == TimingOf(k)) {
            out.insert(out.begin(), "The kernel chooses the same prescaler and segments as "
                                    "Quillon's " +
                                        std::string(side.name) + ".");
            break;
        }
    }
    const auto quantum = [sep](const BitTimingFacts& f) {
        return Tq(f.setting.segments.lTqCount) + " of " +
               DurationText(1, f.dDiagramTqSeconds, sep) + " (BRP " +
               std::to_string(f.setting.lBRPMinus1 + 1) + ")";
    };
    if (!AllAgree(k, sides, quantum)) {
        out.push_back("The kernel divides the bit into " + quantum(k) +
                      "; Quillon's first "
                      "candidate into " +
                      quantum(sides.front().facts) + ".");
    }
    const auto samplePoint = [](const BitTimingFacts& f) { return f.sSamplePoint + " %"; };
    if (!AllAgree(k, sides, samplePoint)) {
        out.push_back(
            "The kernel samples at " + samplePoint(k) + "; " +
            Quillon(sides, [&](const BitTimingFacts& f) { return "at " + samplePoint(f); }) + ".");
    }
    const auto sjw = [](const BitTimingFacts& f) { return Tq(f.setting.segments.lSJW); };
    if (!AllAgree(k, sides, sjw)) {
        const std::string how =
            ks.lSJW == k.lPhase2Effective ? "equal to its phase 2 of " : "half its phase 2 of ";
        out.push_back("The kernel's SJW is " + sjw(k) + ", " + how + Tq(k.lPhase2Effective) + "; " +
                      Quillon(sides, [&](const BitTimingFacts& f) { return "uses " + sjw(f); }) +
                      ".");
    }
}

std::vector<std::string> Differences(const KernelComparison& c, std::string_view sep) {
    std::vector<std::string> out;
    if (!c.kernel.setting) {
        if (c.kernel.clockHz == 0) {
            out.push_back(c.kernel.sReason); // the driver does not load with this oscillator
        } else {
            out.push_back("The kernel finds no timing of its own for bitrate " +
                          std::to_string(c.kernel.bitrate) +
                          (c.samplePointTenths == 0
                               ? std::string(" alone")
                               : " and sample point " + Tenths(c.samplePointTenths, sep)) +
                          ": " + c.kernel.sReason + ".");
        }
        out.push_back(c.proposed ? "Quillon's first candidate hits the rate; give its segments "
                                   "explicitly (tq, prop-seg, phase-seg1, phase-seg2, sjw)."
                                 : "Quillon's search finds no prescaler and Tq count for the rate "
                                   "either.");
        return out;
    }
    const BitTimingFacts k = DescribeBitTiming(*c.kernel.setting, sep);
    if (!c.proposed) {
        out.push_back("Quillon's search finds no prescaler and Tq count that hit the rate "
                      "exactly.");
    }
    KernelOnly(c, k, sep, out);
    if (c.proposed) {
        std::vector<Side> sides{{"proposal", DescribeBitTiming(*c.proposed, sep)}};
        if (c.recommended) {
            sides.push_back({"recommendation", DescribeBitTiming(*c.recommended, sep)});
        }
        AgainstQuillon(k, sides, sep, out);
    }
    return out;
}

} // namespace

KernelComparison CompareWithKernel(double dOscFreqMHz, double dTargetKbps,
                                   std::string_view decimalSeparator, const Controller* pController,
                                   const RecommendationGoal& goal) {
    KernelComparison c;
    c.pController = pController;
    c.dOscFreqMHz = dOscFreqMHz;
    c.dTargetKbps = dTargetKbps;
    c.bus = goal.bus;
    if (goal.dSamplePointPercent) {
        c.samplePointTenths =
            static_cast<std::uint32_t>(std::lround(*goal.dSamplePointPercent * kTenthsPerPercent));
    }
    c.inputProblem = OscillatorProblem(dOscFreqMHz);
    if (!c.inputProblem) {
        c.inputProblem = RateProblem(dTargetKbps);
    }
    if (c.inputProblem) {
        return c;
    }
    c.kernel =
        Mcp251xKernelSetting(dOscFreqMHz, dTargetKbps, false, c.samplePointTenths, pController);
    ChosenList chosen;
    chosen.Refill(EvaluateAllCandidates(
        dOscFreqMHz, dTargetKbps * 1000,
        SearchRangeOf(pController != nullptr ? *pController : DefaultController())));
    if (chosen.Count() > 0) {
        const TqCandidate& first = chosen.Items().front();
        c.proposed = ProposedSetting(dOscFreqMHz, dTargetKbps, first.lBRPMinus1, first.lTqCount,
                                     pController);
        c.recommended = RecommendedSetting(*c.proposed, goal);
    }
    c.differences = Differences(c, decimalSeparator);
    return c;
}

} // namespace linux
} // namespace quillon
