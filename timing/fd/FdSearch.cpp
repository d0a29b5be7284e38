// The CAN FD search: candidates for both rates, proposals and recommended segments.
#include "timing/fd/FdSearch.h"

#include "timing/common/NumberFormat.h"
#include "timing/common/SamplePoint.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>

namespace quillon {
inline namespace fd {

namespace {

// TSEG1 and TSEG2 of a phase with the sample point nearest the recommended one without
// passing it. Sample points are compared in whole numbers, (1 + TSEG1) x 1000 against tenths
// of a percent x N, as the classic recommendation compares them.
std::optional<FdPhaseSetting> PlaceSamplePoint(const FdPhaseLimits& l, int lBRP, int lTqCount,
                                               double dRecommendedPercent) {
    const long recommendedTenths = std::lround(dRecommendedPercent * 10);
    std::optional<FdPhaseSetting> best;
    std::tuple<bool, long> bestRank;
    for (int tseg2 = l.tseg2Min; tseg2 <= l.tseg2Max; ++tseg2) {
        const int tseg1 = lTqCount - 1 - tseg2;
        if (tseg1 < l.tseg1Min || tseg1 > l.tseg1Max) {
            continue;
        }
        const SamplePointRank placed = RankSamplePoint(1 + tseg1, lTqCount, recommendedTenths);
        const std::tuple<bool, long> rank{placed.bNotPast, placed.lCloseness};
        if (!best || bestRank < rank) {
            best = FdPhaseSetting{lBRP, 0, tseg1, tseg2, 1};
            bestRank = rank;
        }
    }
    return best;
}

// The tolerance by the conditions a phase's own split and SJW enter.
double PhaseTolerance(FdPhase phase, const FdPhaseSetting& own, const FdPhaseSetting& other) {
    if (phase == FdPhase::Nominal) {
        const FdTolerance t = ComputeFdTolerance(own, other);
        return std::min({t.conditions[0], t.conditions[1], t.conditions[3]});
    }
    const FdTolerance t = ComputeFdTolerance(other, own);
    return std::min(t.conditions[2], t.conditions[4]);
}

// Of every split of the placed TSEG1 and every SJW: the most tolerance, then the longest
// propagation, then the widest SJW.
FdPhaseSetting BestSplit(FdPhase phase, const FdPhaseLimits& limits, const FdPhaseSetting& placed,
                         const FdPhaseSetting& other) {
    const int tseg1 = placed.Tseg1();
    FdPhaseSetting best = placed;
    std::tuple<double, int, int> bestRank{-1e300, -1, -1};
    for (int propagation = 0; propagation < tseg1; ++propagation) {
        const int phase1 = tseg1 - propagation;
        const int widest = std::min({placed.lPhase2, limits.sjwMax, phase1});
        for (int sjw = 1; sjw <= widest; ++sjw) {
            const FdPhaseSetting candidate{placed.lBRP, propagation, phase1, placed.lPhase2, sjw};
            const std::tuple<double, int, int> rank{PhaseTolerance(phase, candidate, other),
                                                    propagation, sjw};
            if (bestRank < rank) {
                best = candidate;
                bestRank = rank;
            }
        }
    }
    return best;
}

} // namespace

FdPhaseCandidate MakeFdPhaseCandidate(double dSysclkMHz, double dRateKbps, int lBRP, int lTqCount) {
    const double target = dRateKbps * 1000.0;
    FdPhaseCandidate c;
    c.lBRP = lBRP;
    c.lTqCount = lTqCount;
    c.dActualBaud = dSysclkMHz * 1e6 / (lBRP * static_cast<double>(lTqCount));
    c.dErrorPercent = RateErrorPercent(c.dActualBaud, target, ErrorSign::AboveIsPositive);
    c.bExact = RoundToWhole(c.dActualBaud) == RoundToWhole(target);
    return c;
}

std::vector<FdPhaseCandidate> SearchFdPhase(const FdPhaseLimits& l, double dSysclkMHz,
                                            double dRateKbps) {
    const double sysclkHz = dSysclkMHz * 1e6;
    const double target = dRateKbps * 1000.0;
    std::vector<FdPhaseCandidate> found;
    for (int brp = l.brpMin; brp <= l.brpMax; ++brp) {
        const double quanta = sysclkHz / (brp * target);
        if (!(quanta >= l.MinTqCount() - 0.5 && quanta < l.MaxTqCount() + 0.5)) {
            continue;
        }
        found.push_back(MakeFdPhaseCandidate(
            dSysclkMHz, dRateKbps, brp,
            std::clamp(static_cast<int>(std::lround(quanta)), l.MinTqCount(), l.MaxTqCount())));
    }
    const bool anyExact =
        std::any_of(found.begin(), found.end(), [](const FdPhaseCandidate& c) { return c.bExact; });
    found.erase(std::remove_if(found.begin(), found.end(),
                               [anyExact](const FdPhaseCandidate& c) {
                                   return anyExact
                                              ? !c.bExact
                                              : !(std::fabs(c.dErrorPercent) <= kFdNearRatePercent);
                               }),
                found.end());
    return found;
}

std::vector<FdCandidate> SearchFdCandidates(double dOscFreqMHz, bool bPll, double dNominalKbps,
                                            double dDataKbps) {
    FdSetting inputs;
    inputs.dOscFreqMHz = dOscFreqMHz;
    inputs.bPll = bPll;
    inputs.dNominalKbps = dNominalKbps;
    inputs.dDataKbps = dDataKbps;
    return SearchFdCandidates(inputs);
}

std::vector<FdCandidate> SearchFdCandidates(const FdSetting& inputs) {
    const double sysclk = FdClockMHz(inputs);
    const double dNominalKbps = inputs.dNominalKbps, dDataKbps = inputs.dDataKbps;
    std::vector<FdCandidate> pairs;
    for (const FdPhaseCandidate& n :
         SearchFdPhase(LimitsOf(inputs, FdPhase::Nominal), sysclk, dNominalKbps)) {
        for (const FdPhaseCandidate& d :
             SearchFdPhase(LimitsOf(inputs, FdPhase::Data), sysclk, dDataKbps)) {
            pairs.push_back({n, d});
        }
    }
    const auto key = [](const FdCandidate& c) {
        const double ratio = static_cast<double>(c.nominal.lBRP) / c.data.lBRP;
        return std::make_tuple(!c.Exact(), !c.TdcPossible(), std::max(ratio, 1.0 / ratio),
                               std::fabs(c.nominal.dErrorPercent) + std::fabs(c.data.dErrorPercent),
                               c.data.lBRP, c.nominal.lBRP);
    };
    std::stable_sort(
        pairs.begin(), pairs.end(),
        [&key](const FdCandidate& a, const FdCandidate& b) { return key(a) < key(b); });
    return pairs;
}

std::optional<FdPhaseSetting> ProposedFdPhase(FdPhase phase, int lBRP, int lTqCount,
                                              double dRecommendedPercent) {
    return ProposedFdPhase(LimitsOf(phase), lBRP, lTqCount, dRecommendedPercent);
}

std::optional<FdPhaseSetting> ProposedFdPhase(const FdPhaseLimits& limits, int lBRP, int lTqCount,
                                              double dRecommendedPercent) {
    std::optional<FdPhaseSetting> s = PlaceSamplePoint(limits, lBRP, lTqCount, dRecommendedPercent);
    if (s) {
        const int tseg1 = s->Tseg1();
        s->lPropagation = KernelPropagationShare(tseg1);
        s->lPhase1 = tseg1 - s->lPropagation;
        s->lSJW = std::max(1, std::min(s->lPhase1, s->lPhase2 / 2));
    }
    return s;
}

FdSetting ProposedFdSetting(double dOscFreqMHz, bool bPll, double dNominalKbps, double dDataKbps,
                            const FdCandidate& candidate) {
    FdSetting inputs;
    inputs.dOscFreqMHz = dOscFreqMHz;
    inputs.bPll = bPll;
    inputs.dNominalKbps = dNominalKbps;
    inputs.dDataKbps = dDataKbps;
    return ProposedFdSetting(inputs, candidate);
}

FdSetting ProposedFdSetting(const FdSetting& inputs, const FdCandidate& candidate) {
    FdSetting setting;
    setting.dOscFreqMHz = inputs.dOscFreqMHz;
    setting.bPll = inputs.bPll;
    setting.dNominalKbps = inputs.dNominalKbps;
    setting.dDataKbps = inputs.dDataKbps;
    setting.controller = inputs.controller;
    const auto propose = [&inputs](FdPhase phase, const FdPhaseCandidate& c) {
        return ProposedFdPhase(LimitsOf(inputs, phase), c.lBRP, c.lTqCount,
                               RecommendedSamplePointPercent(c.dActualBaud))
            .value_or(FdPhaseSetting{c.lBRP, 0, 1, c.lTqCount - 2, 1});
    };
    setting.nominal = propose(FdPhase::Nominal, candidate.nominal);
    setting.data = propose(FdPhase::Data, candidate.data);
    setting.tdc = RequiredTdc(setting);
    return setting;
}

std::optional<FdSetting> RecommendedFdSetting(const FdSetting& setting,
                                              const RecommendationGoal& /*goal*/) {
    const FdFacts facts = DescribeFdTiming(setting);
    std::optional<FdPhaseSetting> placed[2];
    for (const FdPhase phase : {FdPhase::Nominal, FdPhase::Data}) {
        const FdPhaseSetting& s = setting.Phase(phase);
        placed[static_cast<int>(phase)] =
            PlaceSamplePoint(LimitsOf(setting, phase), s.lBRP, s.TqCount(),
                             facts.Phase(phase).dRecommendedSamplePointPercent);
        if (!placed[static_cast<int>(phase)]) {
            return std::nullopt;
        }
    }
    FdSetting recommended = setting;
    recommended.nominal =
        BestSplit(FdPhase::Nominal, LimitsOf(setting, FdPhase::Nominal), *placed[0], *placed[1]);
    recommended.data =
        BestSplit(FdPhase::Data, LimitsOf(setting, FdPhase::Data), *placed[1], *placed[0]);
    recommended.tdc = RequiredTdc(recommended);
    return recommended;
}

std::vector<FdFacts> DescribeFdProposals(const FdSetting& inputs,
                                         const std::vector<FdCandidate>& candidates,
                                         std::string_view decimalSeparator) {
    std::vector<FdFacts> proposals;
    proposals.reserve(candidates.size());
    for (const FdCandidate& candidate : candidates) {
        proposals.push_back(
            DescribeFdTiming(ProposedFdSetting(inputs, candidate), decimalSeparator));
    }
    return proposals;
}

std::string FdCandidateText(const FdCandidate& c) {
    return "nominal BRP " + std::to_string(c.nominal.lBRP) + " x " +
           std::to_string(c.nominal.lTqCount) + " Tq, data BRP " + std::to_string(c.data.lBRP) +
           " x " + std::to_string(c.data.lTqCount) + " Tq";
}

} // namespace fd
} // namespace quillon
