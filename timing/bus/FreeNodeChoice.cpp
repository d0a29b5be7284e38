#include "timing/bus/FreeNodeChoice.h"

#include "timing/classic/Analysis.h"
#include "timing/classic/QuantumLength.h"
#include "timing/common/SamplePoint.h"
#include "timing/linux/Mcp251xLinux.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

namespace quillon {
inline namespace bus {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Percentages are compared with this slack: two sums of the same terms may differ in the
// last bit. Rates of different quanta lie far further apart than this.
constexpr double kSlack = 1e-9;
// Propagation segments of the same length from different quanta (4 x 250 ns, 8 x 125 ns)
// may differ in the last bit.
constexpr double kSecondsSlack = 1e-15;

// Segments of one Tq count, with the widest SJW they allow: it tolerates most and changes
// nothing else the choice looks at.
struct Segments {
    int p, q, r, j;
    double dDf; // percent
};

// One legal setting of a node.
struct Option {
    int lBRPMinus1, lTqCount;
    Segments segments;
    double dSample;      // percent
    double dPropSeconds; // the propagation segment: the longer, the longer the bus
};

bool IsLinux(const BusNode& node) {
    return node.source == NodeSource::Linux;
}

std::vector<Segments> LegalSegments(const BusNode& node, int n) {
    std::vector<Segments> legal;
    for (int p = kMinPropagation; p <= kMaxPropagation; ++p) {
        for (int q = kMinPhase1; q <= kMaxPhase1; ++q) {
            const int r = n - 1 - p - q;
            if (r < kMinPhase2 || r > kMaxPhase2) {
                continue;
            }
            int j = std::min({kMaxSJW, q, r});
            if (IsLinux(node)) {
                j = std::min(j, static_cast<int>(node.controller->linux->nominal.sjwMax));
            }
            const SegmentSettings s{n, p, q, r, j};
            if (j < kMinSJW || CheckTimingRules(true, s) != TimingVerdict::Pass ||
                (IsLinux(node) && !DriverTakesSegments(*node.controller, p, q, r, j))) {
                continue;
            }
            legal.push_back({p, q, r, j, OscillatorTolerance(n, q, r, j) * 100.0});
        }
    }
    return legal;
}

// What one node keeps by rules 1 to 3, and its best tolerance among them.
struct Kept {
    std::vector<Option> options;
    double dBestDf = -kInfinity;
    std::string sReason; // no option at all
};

Kept KeepNearestRateCoveringBus(const BusNode& node, const FreeNodeGoal& goal) {
    Kept kept;
    const Controller& row = *node.controller;
    if (IsLinux(node)) {
        if (!row.linux) {
            kept.sReason = "the " + std::string(row.sName) + " has no Linux driver";
            return kept;
        }
        if (std::optional<std::string> refusal = DriverOscillatorRefusal(row, node.dOscFreqMHz)) {
            kept.sReason = *refusal;
            return kept;
        }
    }
    const ClassicLimits& limits = row.limits;
    std::vector<std::vector<Segments>> byTqCount(static_cast<std::size_t>(limits.tqMax + 1));
    for (int n = limits.tqMin; n <= limits.tqMax; ++n) {
        byTqCount[static_cast<std::size_t>(n)] = LegalSegments(node, n);
    }

    struct Group {
        int lBRPMinus1, lTqCount;
        double dError; // |rate error|, percent
    };
    std::vector<Group> groups;
    double dBestError = kInfinity;
    const int periods = ClockPeriodsPerBrp(row.clock);
    const double dBusBps = goal.dRateKbps * 1000.0;
    for (int b = limits.brpMinus1Min; b <= limits.brpMinus1Max; ++b) {
        if (IsLinux(node) && !DriverTakesPrescaler(row, node.dOscFreqMHz, b)) {
            continue;
        }
        const double dTq = ReportTqSeconds(node.dOscFreqMHz, b, periods);
        for (int n = limits.tqMin; n <= limits.tqMax; ++n) {
            const double dError =
                std::fabs(RateErrorPercent(1.0 / (n * dTq), dBusBps, ErrorSign::AboveIsPositive));
            if (!byTqCount[static_cast<std::size_t>(n)].empty() && std::isfinite(dError)) {
                groups.push_back({b, n, dError});
                dBestError = std::min(dBestError, dError);
            }
        }
    }
    if (groups.empty()) {
        kept.sReason = IsLinux(node) ? "no setting for this oscillator that the " +
                                           std::string(row.linux->sName) + " driver takes"
                                     : "no legal setting for this oscillator";
        return kept;
    }

    const double dLength = goal.context.dBusLengthMetres.value_or(0.0);
    bool anyCovers = false;
    for (const Group& group : groups) {
        if (group.dError > dBestError + kSlack) {
            continue;
        }
        const double dTq = DiagramTqSeconds(node.dOscFreqMHz, group.lBRPMinus1, periods);
        for (const Segments& s : byTqCount[static_cast<std::size_t>(group.lTqCount)]) {
            const Option option{group.lBRPMinus1, group.lTqCount, s,
                                SamplePointPercent(1 + s.p + s.q, group.lTqCount), s.p * dTq};
            anyCovers = anyCovers || CoversBus(goal.context, option.dPropSeconds, dLength);
            kept.options.push_back(option);
        }
    }
    if (anyCovers) {
        kept.options.erase(std::remove_if(kept.options.begin(), kept.options.end(),
                                          [&](const Option& o) {
                                              return !CoversBus(goal.context, o.dPropSeconds,
                                                                dLength);
                                          }),
                           kept.options.end());
    }
    for (const Option& option : kept.options) {
        kept.dBestDf = std::max(kept.dBestDf, option.segments.dDf);
    }
    return kept;
}

double Distance(double dSample, const std::vector<double>& targets) {
    double best = kInfinity;
    for (const double target : targets) {
        best = std::min(best, std::fabs(dSample - target));
    }
    return best;
}

// Rules 5 and 6, then the node's own tolerance, then the smaller prescaler and segments so
// that equal choices always come out the same.
bool Better(const Option& a, const Option& b, const std::vector<double>& targets) {
    const double da = Distance(a.dSample, targets);
    const double db = Distance(b.dSample, targets);
    if (std::fabs(da - db) > kSlack) {
        return da < db;
    }
    if (std::fabs(a.dPropSeconds - b.dPropSeconds) > kSecondsSlack) {
        return a.dPropSeconds > b.dPropSeconds;
    }
    if (std::fabs(a.segments.dDf - b.segments.dDf) > kSlack) {
        return a.segments.dDf > b.segments.dDf;
    }
    return std::tie(a.lBRPMinus1, a.lTqCount, a.segments.p, a.segments.q) <
           std::tie(b.lBRPMinus1, b.lTqCount, b.segments.p, b.segments.q);
}

BitTimingSetting SettingOf(const BusNode& node, double dRateKbps, const Option& option) {
    BitTimingSetting setting;
    setting.pController = node.controller;
    setting.dOscFreqMHz = node.dOscFreqMHz;
    setting.dTargetKbps = dRateKbps;
    setting.lBRPMinus1 = option.lBRPMinus1;
    const Segments& s = option.segments;
    setting.segments = {option.lTqCount, s.p, s.q, s.r, s.j};
    return setting;
}

} // namespace

std::vector<FreeNodeChoice> ChooseFreeNodes(const std::vector<const BusNode*>& nodes,
                                            const FreeNodeGoal& goal) {
    std::vector<Kept> kept;
    double dDfMin = goal.dFixedDfPercent;
    for (const BusNode* node : nodes) {
        kept.push_back(KeepNearestRateCoveringBus(*node, goal));
        if (!kept.back().options.empty()) {
            dDfMin = std::min(dDfMin, kept.back().dBestDf);
        }
    }
    std::vector<FreeNodeChoice> choices;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        FreeNodeChoice choice;
        choice.sReason = kept[i].sReason;
        const Option* best = nullptr;
        for (const Option& option : kept[i].options) {
            if (option.segments.dDf >= dDfMin - kSlack &&
                (!best || Better(option, *best, goal.samplePointTargets))) {
                best = &option;
            }
        }
        if (best) {
            choice.setting = SettingOf(*nodes[i], goal.dRateKbps, *best);
        }
        choices.push_back(std::move(choice));
    }
    return choices;
}

} // namespace bus
} // namespace quillon
