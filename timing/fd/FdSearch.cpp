// The CAN FD search: candidates for both rates, proposals and recommended segments.
#include "timing/fd/FdSearch.h"

#include "timing/common/NumberFormat.h"
#include "timing/common/SamplePoint.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

namespace quillon {
inline namespace fd {

namespace {

// TSEG1 and TSEG2 of a phase with the sample point nearest `dAimPercent` without passing it.
// Sample points are compared in whole numbers, (1 + TSEG1) x 1000 against tenths of a
// percent x N, as the classic recommendation compares them. With `lCoverFrom`, the shortest
// propagation that covers the bus, a TSEG1 that leaves room for it comes first, or when none
// does the longest TSEG1.
std::optional<FdPhaseSetting> PlaceSamplePoint(const FdPhaseLimits& l, int lBRP, int lTqCount,
                                               double dAimPercent, int lCoverFrom = 0) {
    const long aimTenths = std::lround(dAimPercent * 10);
    std::optional<FdPhaseSetting> best;
    std::tuple<bool, int, bool, long> bestRank;
    for (int tseg2 = l.tseg2Min; tseg2 <= l.tseg2Max; ++tseg2) {
        const int tseg1 = lTqCount - 1 - tseg2;
        if (tseg1 < l.tseg1Min || tseg1 > l.tseg1Max) {
            continue;
        }
        const int longest = tseg1 - 1; // phase 1 keeps a quantum
        const bool covers = longest >= lCoverFrom;
        const SamplePointRank placed = RankSamplePoint(1 + tseg1, lTqCount, aimTenths);
        const std::tuple<bool, int, bool, long> rank{covers, covers ? 0 : longest, placed.bNotPast,
                                                     placed.lCloseness};
        if (!best || bestRank < rank) {
            best = FdPhaseSetting{lBRP, 0, tseg1, tseg2, 1};
            bestRank = rank;
        }
    }
    return best;
}

// More quanta than any TSEG1 holds.
constexpr int kMaxCoverQuanta = 1 << 20;

// The shortest propagation, in quanta of `dTqSeconds`, that covers the bus; 0 without a bus
// length (or a quantum to count in).
int ShortestCoveringPropagation(const BusContext& bus, double dTqSeconds) {
    if (!bus.dBusLengthMetres || !(dTqSeconds > 0)) {
        return 0;
    }
    const double length = *bus.dBusLengthMetres;
    const double quanta = std::ceil(RoundTripSeconds(bus, length) / dTqSeconds);
    if (!(quanta < kMaxCoverQuanta)) {
        return kMaxCoverQuanta;
    }
    int propagation = std::max(0, static_cast<int>(quanta) - 1);
    while (!CoversBus(bus, propagation * dTqSeconds, length)) {
        ++propagation;
    }
    return propagation;
}

// The sample point aimed at: the one given, or the recommendation.
double Aim(const std::optional<double>& given, double dRecommendedPercent) {
    return given && std::isfinite(*given) ? *given : dRecommendedPercent;
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

// Of every split of the placed TSEG1 with a propagation of at least `lPropagationFrom` and
// every SJW: the most tolerance, then the longest propagation, then the widest SJW.
FdPhaseSetting BestSplit(FdPhase phase, const FdPhaseLimits& limits, const FdPhaseSetting& placed,
                         const FdPhaseSetting& other, int lPropagationFrom = 0) {
    const int tseg1 = placed.Tseg1();
    FdPhaseSetting best = placed;
    std::tuple<double, int, int> bestRank{-1e300, -1, -1};
    for (int propagation = lPropagationFrom; propagation < tseg1; ++propagation) {
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

// How far a phase's sample point lies from the recommendation for its rate, in hundredths
// of a percent.
long SamplePointDistance(const FdPhaseSetting& phase, const FdPhaseCandidate& candidate) {
    return std::lround(std::fabs(SamplePointPercent(1 + phase.Tseg1(), phase.TqCount()) -
                                 RecommendedSamplePointPercent(candidate.dActualBaud)) *
                       100);
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

bool FdToleranceUsable(const FdTolerance& tolerance) {
    return tolerance.lLimiting != 0 && tolerance.dTolerance > 0;
}

FdCandidate MakeFdCandidate(const FdSetting& inputs, const FdPhaseCandidate& nominal,
                            const FdPhaseCandidate& data) {
    FdCandidate candidate{nominal, data};
    const FdSetting proposal = ProposedFdSetting(inputs, candidate);
    candidate.bUsable = FdToleranceUsable(ComputeFdTolerance(proposal.nominal, proposal.data));
    return candidate;
}

std::vector<FdCandidate> SearchFdCandidates(const FdSetting& inputs) {
    const double sysclk = FdClockMHz(inputs);
    // The pairs with the key they are ordered by, smallest first.
    using Key = std::tuple<bool, bool, int, long, long, double, int>;
    std::vector<std::pair<Key, FdCandidate>> ranked;
    for (const FdPhaseCandidate& n :
         SearchFdPhase(LimitsOf(inputs, FdPhase::Nominal), sysclk, inputs.dNominalKbps)) {
        for (const FdPhaseCandidate& d :
             SearchFdPhase(LimitsOf(inputs, FdPhase::Data), sysclk, inputs.dDataKbps)) {
            FdCandidate c{n, d};
            const FdSetting proposal = ProposedFdSetting(inputs, c);
            const FdTolerance tolerance = ComputeFdTolerance(proposal.nominal, proposal.data);
            c.bUsable = FdToleranceUsable(tolerance);
            // Rate errors in millionths of a percent, so that rounding in the last bit
            // decides nothing.
            const Key key{
                !c.bUsable,
                !c.SameQuantum(),
                d.lBRP,
                std::lround((std::fabs(n.dErrorPercent) + std::fabs(d.dErrorPercent)) * 1e6),
                SamplePointDistance(proposal.nominal, n) + SamplePointDistance(proposal.data, d),
                -tolerance.dTolerance,
                n.lBRP};
            ranked.emplace_back(key, c);
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<FdCandidate> pairs;
    pairs.reserve(ranked.size());
    for (const auto& entry : ranked) {
        pairs.push_back(entry.second);
    }
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
                                              const RecommendationGoal& goal) {
    const FdFacts facts = DescribeFdTiming(setting);
    const FdPhaseLimits& nominalLimits = LimitsOf(setting, FdPhase::Nominal);
    const FdPhaseLimits& dataLimits = LimitsOf(setting, FdPhase::Data);
    // Only the nominal phase must cover the bus: in arbitration every node's bit meets
    // every other's.
    const int coverFrom = ShortestCoveringPropagation(goal.bus, facts.nominal.dTqSeconds);
    const std::optional<FdPhaseSetting> nominal = PlaceSamplePoint(
        nominalLimits, setting.nominal.lBRP, setting.nominal.TqCount(),
        Aim(goal.dSamplePointPercent, facts.nominal.dRecommendedSamplePointPercent), coverFrom);
    const std::optional<FdPhaseSetting> data = PlaceSamplePoint(
        dataLimits, setting.data.lBRP, setting.data.TqCount(),
        Aim(goal.dDataSamplePointPercent, facts.data.dRecommendedSamplePointPercent));
    if (!nominal || !data) {
        return std::nullopt;
    }
    FdSetting recommended = setting;
    // A TSEG1 too short for the bus keeps a single quantum of phase 1.
    recommended.nominal = BestSplit(FdPhase::Nominal, nominalLimits, *nominal, *data,
                                    std::min(coverFrom, nominal->Tseg1() - 1));
    recommended.data = BestSplit(FdPhase::Data, dataLimits, *data, recommended.nominal);
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
