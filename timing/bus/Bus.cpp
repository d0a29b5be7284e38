#include "timing/bus/Bus.h"

#include "timing/common/SamplePoint.h"

#include "timing/classic/CandidateSearch.h"
#include "timing/classic/Decode.h"
#include "timing/classic/QuantumLength.h"
#include "timing/linux/Mcp251xLinux.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <tuple>

namespace quillon {
inline namespace bus {

namespace {

constexpr double kPercentPerPpm = 1e-4;
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Margins and needs are compared with this slack: two sums of the same terms may differ
// in the last bit.
constexpr double kSlack = 1e-12;

// One legal setting a free node may take, with what the choice depends on.
struct Option {
    int lBRPMinus1, lTqCount, p, q, r, j;
    double dDf;        // tolerance, percent
    double dNeed;      // crystal + |configuration error|, percent
    double dSample;    // sample point, percent
    double dRoundTrip; // propagation segment in seconds (the longer, the longer the bus)
};

// The legal segments of a Tq count: within the controls' ranges, passing every rule. Of the
// SJW values only the widest counts: it tolerates most and changes nothing else the choice
// is made by.
template <typename Visit> void ForEachLegalSegments(int n, const Visit& visit) {
    for (int p = kMinPropagation; p <= kMaxPropagation; ++p) {
        for (int q = kMinPhase1; q <= kMaxPhase1; ++q) {
            const int r = n - 1 - p - q;
            if (r >= kMinPhase2 && r <= kMaxPhase2 && p + q >= r) {
                const int j = std::min(kMaxSJW, r);
                visit(p, q, r, j, OscillatorTolerance(n, q, r, j) * 100);
            }
        }
    }
}

// A prescaler and Tq count of a free node: its need is fixed by the rate error it gives,
// and its best tolerance by the Tq count alone.
struct Group {
    int lBRPMinus1, lTqCount;
    double dNeed, dBestDf;
};

std::vector<Group> LegalGroups(const BusNode& node, double dBusBps) {
    std::array<double, kMaxTqCount + 1> bestDf{};
    for (int n = kMinTqCount; n <= kMaxTqCount; ++n) {
        bestDf[static_cast<std::size_t>(n)] = -kInfinity;
        ForEachLegalSegments(n, [&](int, int, int, int, double df) {
            bestDf[static_cast<std::size_t>(n)] = std::max(bestDf[static_cast<std::size_t>(n)], df);
        });
    }
    std::vector<Group> groups;
    const double dCrystal = node.dCrystalPpm * kPercentPerPpm;
    const ClassicLimits& limits = node.controller->limits;
    const int periods = ClockPeriodsPerBrp(node.controller->clock);
    for (int brp1 = limits.brpMinus1Min; brp1 <= limits.brpMinus1Max; ++brp1) {
        const double dReportTq = ReportTqSeconds(node.dOscFreqMHz, brp1, periods);
        for (int n = kMinTqCount; n <= kMaxTqCount; ++n) {
            const double dActual = 1.0 / (n * dReportTq);
            const double dNeed = dCrystal + std::fabs(RateErrorPercent(dActual, dBusBps,
                                                                       ErrorSign::AboveIsPositive));
            if (std::isfinite(dNeed) && std::isfinite(bestDf[static_cast<std::size_t>(n)])) {
                groups.push_back({brp1, n, dNeed, bestDf[static_cast<std::size_t>(n)]});
            }
        }
    }
    std::sort(groups.begin(), groups.end(),
              [](const Group& a, const Group& b) { return a.dNeed < b.dNeed; });
    return groups;
}

BitTimingSetting SettingOf(const BusNode& node, double dRateKbps, const Option& option) {
    BitTimingSetting setting;
    setting.pController = node.controller;
    setting.dOscFreqMHz = node.dOscFreqMHz;
    setting.dTargetKbps = dRateKbps;
    setting.lBRPMinus1 = option.lBRPMinus1;
    setting.segments = {option.lTqCount, option.p, option.q, option.r, option.j};
    return setting;
}

// The node's setting, or why it has none.
std::optional<BitTimingSetting> FixedSetting(const BusNode& node, double dRateKbps,
                                             Findings& findings, std::string& reason) {
    switch (node.source) {
    case NodeSource::Registers: {
        const DecodedRegisters decoded =
            DecodeRegisterValues(node.dOscFreqMHz, dRateKbps, node.controller->layout,
                                 node.registers, node.controller);
        findings = decoded.findings;
        return decoded.setting;
    }
    case NodeSource::Segments: {
        BitTimingSetting setting;
        setting.dOscFreqMHz = node.dOscFreqMHz;
        setting.dTargetKbps = dRateKbps;
        setting.lBRPMinus1 = node.lBRPMinus1;
        setting.segments = node.segments;
        return setting;
    }
    case NodeSource::Kernel: {
        if (!node.controller->linux) {
            reason = "the " + std::string(node.controller->sName) + " has no Linux driver";
            return std::nullopt;
        }
        const KernelSetting kernel =
            Mcp251xKernelSetting(node.dOscFreqMHz, dRateKbps, false, 0, node.controller);
        reason = kernel.sReason;
        return kernel.setting;
    }
    case NodeSource::Free:
        break;
    }
    return std::nullopt;
}

NodeVerdict Judge(const BusNode& node, std::optional<BitTimingSetting> setting,
                  Findings findings, std::string reason, const BusContext& bus) {
    NodeVerdict verdict;
    verdict.sName = node.sName;
    verdict.controller = node.controller;
    verdict.source = node.source;
    verdict.dCrystalPpm = node.dCrystalPpm;
    verdict.sReason = std::move(reason);
    if (setting) {
        BusContext nodeBus = bus;
        nodeBus.dCrystalPpm = node.dCrystalPpm;
        verdict.facts = DescribeBitTiming(*setting, ".", nodeBus);
        findings.insert(findings.end(), verdict.facts->findings.begin(),
                        verdict.facts->findings.end());
        std::stable_sort(findings.begin(), findings.end(),
                         [](const Finding& a, const Finding& b) { return a.severity < b.severity; });
        verdict.facts->findings = findings;
    }
    verdict.findings = std::move(findings);
    if (setting) {
        verdict.dActualBps = verdict.facts->rate.dActualBaud;
        verdict.dErrorPercent = verdict.facts->rate.dErrorPercent;
        verdict.dTolerancePercent = verdict.facts->analysis.dOscTolerance * 100.0;
        verdict.dNeedPercent = node.dCrystalPpm * kPercentPerPpm + std::fabs(verdict.dErrorPercent);
    }
    return verdict;
}

// A free node's groups by need, with the best tolerance up to each need.
struct FreeNode {
    std::size_t index;
    const BusNode* node;
    std::vector<Group> groups;  // by need, ascending
    std::vector<double> bestDf; // the largest tolerance among groups[0..i]
};

double BestDfWithin(const FreeNode& free, double dNeedLimit) {
    const auto end =
        std::upper_bound(free.groups.begin(), free.groups.end(), dNeedLimit + kSlack,
                         [](double limit, const Group& group) { return limit < group.dNeed; });
    if (end == free.groups.begin()) {
        return -kInfinity;
    }
    return free.bestDf[static_cast<std::size_t>(end - free.groups.begin()) - 1];
}

double Distance(double dSample, const std::vector<double>& targets) {
    double best = kInfinity;
    for (const double target : targets) {
        best = std::min(best, std::fabs(dSample - target));
    }
    return best;
}

// Chooses every free node's setting together: the largest bus margin first (exact: every
// largest need T the bus may have is tried, and each free node then takes the most
// tolerant option within T), then sample points nearest the targets, then the longest bus.
std::vector<Option> ChooseFreeNodes(std::vector<FreeNode>& free, double dFixedDf, double dFixedNeed,
                                    const std::vector<double>& targets) {
    std::vector<double> limits{dFixedNeed};
    for (const FreeNode& node : free) {
        for (const Group& group : node.groups) {
            if (group.dNeed >= dFixedNeed) {
                limits.push_back(group.dNeed);
            }
        }
    }
    std::sort(limits.begin(), limits.end());
    limits.erase(std::unique(limits.begin(), limits.end()), limits.end());

    const auto margin = [&](double limit) {
        double df = dFixedDf;
        for (const FreeNode& node : free) {
            df = std::min(df, BestDfWithin(node, limit));
        }
        return df - limit;
    };
    double best = -kInfinity;
    for (const double limit : limits) {
        if (std::isfinite(limit)) {
            best = std::max(best, margin(limit));
        }
    }

    std::vector<Option> chosen;
    std::tuple<double, double> chosenRank{kInfinity, kInfinity};
    for (const double limit : limits) {
        if (!std::isfinite(limit) || margin(limit) < best - kSlack) {
            continue;
        }
        std::vector<Option> picks;
        double distance = 0.0;
        double shortest = kInfinity;
        const double dNeeded = best + limit - kSlack;
        const auto rank = [&targets](const Option& o) {
            return std::make_tuple(Distance(o.dSample, targets), -o.dRoundTrip, o.lBRPMinus1,
                                   o.lTqCount, o.p, o.q);
        };
        for (const FreeNode& node : free) {
            std::optional<Option> pick;
            for (const Group& group : node.groups) {
                if (group.dNeed > limit + kSlack) {
                    break;
                }
                if (group.dBestDf < dNeeded) {
                    continue;
                }
                const double dDiagramTq =
                    DiagramTqSeconds(node.node->dOscFreqMHz, group.lBRPMinus1,
                                     ClockPeriodsPerBrp(node.node->controller->clock));
                const int n = group.lTqCount;
                ForEachLegalSegments(n, [&](int p, int q, int r, int j, double df) {
                    const Option option{group.lBRPMinus1,
                                        n,
                                        p,
                                        q,
                                        r,
                                        j,
                                        df,
                                        group.dNeed,
                                        SamplePointPercent(1 + p + q, n),
                                        p * dDiagramTq};
                    if (df >= dNeeded && (!pick || rank(option) < rank(*pick))) {
                        pick = option;
                    }
                });
            }
            picks.push_back(*pick);
            distance += Distance(pick->dSample, targets);
            shortest = std::min(shortest, pick->dRoundTrip);
        }
        const std::tuple<double, double> together{distance, -shortest};
        if (chosen.empty() || together < chosenRank) {
            chosen = picks;
            chosenRank = together;
        }
    }
    return chosen;
}

} // namespace

std::string_view SourceName(NodeSource source) {
    switch (source) {
    case NodeSource::Registers:
        return "registers";
    case NodeSource::Segments:
        return "segments";
    case NodeSource::Kernel:
        return "kernel";
    case NodeSource::Free:
        return "free";
    }
    return {};
}

BusVerdict CheckBus(double dRateKbps, const std::vector<BusNode>& nodes,
                    const BusContext& context) {
    BusVerdict bus;
    bus.dRateKbps = dRateKbps;
    const double dBusBps = dRateKbps * 1000.0;
    bus.nodes.resize(nodes.size());

    double dFixedDf = kInfinity;
    double dFixedNeed = -kInfinity;
    std::vector<double> fixedSamples;
    std::vector<FreeNode> free;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const BusNode& node = nodes[i];
        if (node.source == NodeSource::Free) {
            FreeNode entry{i, &node, LegalGroups(node, dBusBps), {}};
            double running = -kInfinity;
            for (const Group& group : entry.groups) {
                running = std::max(running, group.dBestDf);
                entry.bestDf.push_back(running);
            }
            free.push_back(std::move(entry));
            continue;
        }
        Findings findings;
        std::string reason;
        const std::optional<BitTimingSetting> setting =
            FixedSetting(node, dRateKbps, findings, reason);
        bus.nodes[i] = Judge(node, setting, std::move(findings), std::move(reason), context);
        const NodeVerdict& verdict = bus.nodes[i];
        if (!verdict.facts) {
            bus.problems.push_back(node.sName + ": " + verdict.sReason);
            continue;
        }
        dFixedDf = std::min(dFixedDf, verdict.dTolerancePercent);
        dFixedNeed = std::max(dFixedNeed, verdict.dNeedPercent);
        fixedSamples.push_back(verdict.facts->dSamplePointPercent);
    }

    if (!free.empty()) {
        const std::vector<double> targets =
            fixedSamples.empty() ? std::vector<double>{RecommendedSamplePointPercent(dBusBps)}
                                 : fixedSamples;
        const std::vector<Option> chosen = ChooseFreeNodes(free, dFixedDf, dFixedNeed, targets);
        for (std::size_t k = 0; k < free.size(); ++k) {
            const BusNode& node = nodes[free[k].index];
            if (k < chosen.size()) {
                bus.nodes[free[k].index] =
                    Judge(node, SettingOf(node, dRateKbps, chosen[k]), {}, {}, context);
            } else {
                bus.nodes[free[k].index] =
                    Judge(node, std::nullopt, {}, "no legal setting for this oscillator", context);
                bus.problems.push_back(node.sName + ": no legal setting for this oscillator");
            }
        }
    }

    double dMaxNeed = -kInfinity;
    double dLowestSample = kInfinity;
    double dHighestSample = -kInfinity;
    bus.dDfMinPercent = kInfinity;
    for (const NodeVerdict& node : bus.nodes) {
        if (!node.facts) {
            continue;
        }
        bus.dDfMinPercent = std::min(bus.dDfMinPercent, node.dTolerancePercent);
        dMaxNeed = std::max(dMaxNeed, node.dNeedPercent);
        dLowestSample = std::min(dLowestSample, node.facts->dSamplePointPercent);
        dHighestSample = std::max(dHighestSample, node.facts->dSamplePointPercent);
    }
    if (!std::isfinite(bus.dDfMinPercent)) {
        bus.dDfMinPercent = 0.0;
        return bus;
    }
    bus.dMarginPercent = bus.dDfMinPercent - dMaxNeed;
    bus.dSamplePointSpreadPercent = dHighestSample - dLowestSample;
    bus.bCompatible = bus.problems.empty() && bus.dMarginPercent >= 0.0;
    return bus;
}

} // namespace bus
} // namespace quillon
