#include "timing/bus/FreeFdChoice.h"

#include "timing/common/NumberFormat.h"
#include "timing/common/SamplePoint.h"
#include "timing/fd/FdSearch.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillon {
inline namespace bus {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// A candidate of a free node with what the choice compares.
struct Option {
    FdSetting setting;
    int lCia = 0;               // 2 the same quantum and TDC possible, 1 the same quantum, 0
    double dNominalError = 0.0; // |percent|
    double dDataError = 0.0;    // |percent|
    double dNominalDf = 0.0;    // percent, NominalTolerancePercent
    double dDataDf = 0.0;       // percent, DataTolerancePercent
    double dDistance = 0.0;     // of both sample points from the recommendation, percent
    double dTolerance = 0.0;    // the node's own, all five conditions
};

std::string Kbps(double kbps) {
    return FormatGeneralNumber(kbps) + " kbit/s";
}

double ErrorPercent(const FdSetting& s, FdPhase phase) {
    return std::fabs(FdActualRateKbps(s, phase) / s.TargetKbps(phase) - 1.0) * 100.0;
}

double Distance(const FdSetting& s, FdPhase phase) {
    const FdPhaseSetting& p = s.Phase(phase);
    return std::fabs(100.0 * (1 + p.Tseg1()) / p.TqCount() -
                     RecommendedSamplePointPercent(s.TargetKbps(phase) * 1000.0));
}

// The node's usable pairs with their recommended segments, in the search's order; none, with
// the reason, when it has none.
std::vector<Option> Options(const BusNode& node, const FdNodeGoal& goal, std::string& reason) {
    FdSetting inputs;
    inputs.dOscFreqMHz = node.dOscFreqMHz;
    inputs.dNominalKbps = goal.dNominalKbps;
    inputs.dDataKbps = goal.dDataKbps;
    inputs.controller = node.controller;
    const std::vector<FdCandidate> candidates = SearchFdCandidates(inputs);
    RecommendationGoal aim;
    aim.bus = goal.bus;
    std::vector<Option> options;
    for (const FdCandidate& candidate : candidates) {
        if (!candidate.bUsable) {
            continue;
        }
        std::optional<FdSetting> recommended =
            RecommendedFdSetting(ProposedFdSetting(inputs, candidate), aim);
        if (!recommended) {
            continue;
        }
        const FdTolerance t = ComputeFdTolerance(recommended->nominal, recommended->data);
        Option option;
        option.lCia = candidate.SameQuantum() ? (candidate.TdcPossible() ? 2 : 1) : 0;
        option.dNominalError = ErrorPercent(*recommended, FdPhase::Nominal);
        option.dDataError = ErrorPercent(*recommended, FdPhase::Data);
        option.dNominalDf = NominalTolerancePercent(t);
        option.dDataDf = DataTolerancePercent(t);
        option.dDistance =
            Distance(*recommended, FdPhase::Nominal) + Distance(*recommended, FdPhase::Data);
        option.dTolerance = t.dTolerance;
        option.setting = std::move(*recommended);
        options.push_back(std::move(option));
    }
    if (options.empty()) {
        const std::string rates = Kbps(goal.dNominalKbps) + " and " + Kbps(goal.dDataKbps);
        const std::string on = " on " + FormatGeneralNumber(FdClockMHz(inputs)) + " MHz";
        reason = candidates.empty()
                     ? "no prescaler and Tq count of both phases give " + rates + " within 1 %" + on
                     : "none of the " + std::to_string(candidates.size()) + " pairs for " + rates +
                           on + " has every tolerance condition above zero";
    }
    return options;
}

// Keeps the options whose `key` is largest, in their order.
template <typename Key> void KeepLargest(std::vector<Option>& options, Key key) {
    double best = -kInfinity;
    for (const Option& option : options) {
        best = std::max(best, static_cast<double>(key(option)));
    }
    options.erase(std::remove_if(options.begin(), options.end(),
                                 [&](const Option& option) { return key(option) < best; }),
                  options.end());
}

// The smallest of `settled` and each node's best by `key`.
template <typename Key>
double DfMin(const std::vector<std::vector<Option>>& nodes, double settled, Key key) {
    for (const std::vector<Option>& options : nodes) {
        double best = -kInfinity;
        for (const Option& option : options) {
            best = std::max(best, key(option));
        }
        if (!options.empty()) {
            settled = std::min(settled, best);
        }
    }
    return settled;
}

} // namespace

std::vector<FreeFdChoice> ChooseFreeFdNodes(const std::vector<const BusNode*>& nodes,
                                            const FdNodeGoal& goal) {
    std::vector<FreeFdChoice> choices(nodes.size());
    std::vector<std::vector<Option>> options(nodes.size());
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        options[i] = Options(*nodes[i], goal, choices[i].sReason);
        KeepLargest(options[i], [](const Option& o) { return o.lCia; });
        KeepLargest(options[i], [](const Option& o) { return -o.dNominalError; });
        KeepLargest(options[i], [](const Option& o) { return -o.dDataError; });
    }
    const double nominalDf =
        DfMin(options, goal.dNominalDfPercent, [](const Option& o) { return o.dNominalDf; });
    for (std::vector<Option>& node : options) {
        KeepLargest(node, [&](const Option& o) { return std::min(o.dNominalDf, nominalDf); });
    }
    const double dataDf =
        DfMin(options, goal.dDataDfPercent, [](const Option& o) { return o.dDataDf; });
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        std::vector<Option>& node = options[i];
        KeepLargest(node, [&](const Option& o) { return std::min(o.dDataDf, dataDf); });
        KeepLargest(node, [](const Option& o) { return -o.dDistance; });
        KeepLargest(node, [](const Option& o) { return o.dTolerance; });
        if (!node.empty()) {
            choices[i].setting = std::move(node.front().setting);
        }
    }
    return choices;
}

} // namespace bus
} // namespace quillon
