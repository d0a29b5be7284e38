#include "timing/bus/Bus.h"

#include "timing/common/SamplePoint.h"

#include "timing/bus/FdBus.h"
#include "timing/bus/FreeFdChoice.h"
#include "timing/bus/FreeNodeChoice.h"
#include "timing/classic/Decode.h"
#include "timing/linux/LinuxDetails.h"
#include "timing/linux/Mcp251xLinux.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillon {
inline namespace bus {

namespace {

constexpr double kPercentPerPpm = 1e-4;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The node's setting, or why it has none.
std::optional<BitTimingSetting> FixedSetting(const BusNode& node, double dRateKbps,
                                             Findings& findings, std::string& reason) {
    switch (node.source) {
    case NodeSource::Registers: {
        const DecodedRegisters decoded = DecodeRegisterValues(
            node.dOscFreqMHz, dRateKbps, node.controller->layout, node.registers, node.controller);
        findings = decoded.findings;
        return decoded.setting;
    }
    case NodeSource::Segments: {
        BitTimingSetting setting;
        setting.pController = node.controller;
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
    case NodeSource::Interface: {
        // The node's oscillator is its board's: a finding says where the driver counts on
        // another.
        IpDetailsDecoding decoding =
            DecodeIpDetails(node.sIpDetails, node.dOscFreqMHz, dRateKbps, node.controller);
        if (!decoding.decoded) {
            reason = "ip=" + node.sIpDetailsFile + ": " + decoding.sError;
            return std::nullopt;
        }
        findings = decoding.decoded->findings;
        return decoding.decoded->setting;
    }
    case NodeSource::Free:
    case NodeSource::Linux:
        break;
    }
    return std::nullopt;
}

// The node's crystal tolerance: its own, or the bus's.
double CrystalPpm(const BusNode& node, const BusContext& bus) {
    return node.dCrystalPpm.value_or(bus.dCrystalPpm);
}

NodeVerdict Judge(const BusNode& node, std::optional<BitTimingSetting> setting, Findings findings,
                  std::string reason, const BusContext& bus) {
    NodeVerdict verdict;
    verdict.sName = node.sName;
    verdict.controller = node.controller;
    verdict.source = node.source;
    verdict.dCrystalPpm = CrystalPpm(node, bus);
    verdict.sReason = std::move(reason);
    if (setting) {
        BusContext nodeBus = bus;
        nodeBus.dCrystalPpm = verdict.dCrystalPpm;
        verdict.facts = DescribeBitTiming(*setting, ".", nodeBus);
        findings.insert(findings.end(), verdict.facts->findings.begin(),
                        verdict.facts->findings.end());
        SortBySeverity(findings);
        verdict.facts->findings = findings;
    }
    verdict.findings = std::move(findings);
    if (setting) {
        verdict.dActualBps = verdict.facts->rate.dActualBaud;
        verdict.dErrorPercent = verdict.facts->rate.dErrorPercent;
        verdict.dTolerancePercent = verdict.facts->analysis.dOscTolerance * 100.0;
        verdict.dNeedPercent =
            verdict.dCrystalPpm * kPercentPerPpm + std::fabs(verdict.dErrorPercent);
    }
    return verdict;
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
    case NodeSource::Linux:
        return "linux";
    case NodeSource::Interface:
        return "ip";
    }
    return {};
}

double NodeVerdict::SamplePointPercent() const {
    return facts     ? facts->dSamplePointPercent
           : fdFacts ? fdFacts->nominal.dSamplePointPercent
                     : 0.0;
}

double NodeVerdict::BitSeconds() const {
    return facts     ? facts->durations.back().dSeconds
           : fdFacts ? fdFacts->nominal.durations.back().dSeconds
                     : 0.0;
}

BusVerdict CheckBus(double dRateKbps, const std::vector<BusNode>& nodes, const BusContext& context,
                    double dDataRateKbps) {
    BusVerdict bus;
    bus.dRateKbps = dRateKbps;
    bus.dDataRateKbps = dDataRateKbps;
    bus.nodes.resize(nodes.size());

    // What the nodes settled so far ask of the free ones: the nodes with a setting first,
    // then the free FD nodes, then the free classic nodes.
    FreeNodeGoal goal;
    goal.dRateKbps = dRateKbps;
    goal.context = context;
    goal.dFixedDfPercent = kInfinity;
    FdNodeGoal fdGoal;
    fdGoal.dNominalKbps = dRateKbps;
    fdGoal.dDataKbps = dDataRateKbps;
    fdGoal.bus = context;
    const auto settle = [&](std::size_t i, NodeVerdict verdict) {
        bus.nodes[i] = std::move(verdict);
        const NodeVerdict& node = bus.nodes[i];
        if (!node.HasSetting()) {
            bus.problems.push_back(node.sName + ": " + node.sReason);
            return;
        }
        goal.dFixedDfPercent = std::min(goal.dFixedDfPercent, node.dTolerancePercent);
        goal.samplePointTargets.push_back(node.SamplePointPercent());
        fdGoal.dNominalDfPercent = std::min(fdGoal.dNominalDfPercent, node.dTolerancePercent);
        if (node.fdFacts) {
            fdGoal.dDataDfPercent = std::min(fdGoal.dDataDfPercent, node.dDataTolerancePercent);
        }
    };
    std::vector<std::size_t> freeFdIndices;
    std::vector<const BusNode*> freeFd;
    std::vector<std::size_t> freeIndices;
    std::vector<const BusNode*> free;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const BusNode& node = nodes[i];
        if (node.controller->IsFd() && !bus.IsFd()) {
            settle(i, Judge(node, std::nullopt, {},
                            "the " + std::string(node.controller->sName) +
                                " is a CAN FD controller; the bus needs its data rate to judge it",
                            context));
        } else if (node.controller->IsFd()) {
            if (IsFree(node.source)) {
                freeFdIndices.push_back(i);
                freeFd.push_back(&node);
            } else {
                settle(i, JudgeFdNode(node, fdGoal));
            }
        } else if (IsFree(node.source)) {
            freeIndices.push_back(i);
            free.push_back(&node);
        } else {
            Findings findings;
            std::string reason;
            const std::optional<BitTimingSetting> setting =
                FixedSetting(node, dRateKbps, findings, reason);
            settle(i, Judge(node, setting, std::move(findings), std::move(reason), context));
        }
    }
    const std::vector<FreeFdChoice> chosenFd = ChooseFreeFdNodes(freeFd, fdGoal);
    for (std::size_t k = 0; k < freeFd.size(); ++k) {
        settle(freeFdIndices[k], JudgeFdNode(*freeFd[k], fdGoal, chosenFd[k]));
    }

    if (!free.empty()) {
        if (goal.samplePointTargets.empty()) {
            goal.samplePointTargets.push_back(RecommendedSamplePointPercent(dRateKbps * 1000.0));
        }
        const std::vector<FreeNodeChoice> chosen = ChooseFreeNodes(free, goal);
        for (std::size_t k = 0; k < free.size(); ++k) {
            const BusNode& node = *free[k];
            bus.nodes[freeIndices[k]] =
                Judge(node, chosen[k].setting, {}, chosen[k].sReason, context);
            if (!chosen[k].setting) {
                bus.problems.push_back(node.sName + ": " + chosen[k].sReason);
            }
        }
    }

    if (bus.IsFd()) {
        for (NodeVerdict& node : bus.nodes) {
            if (!node.controller->IsFd()) {
                const Finding finding = ClassicOnFdBusFinding(*node.controller);
                node.findings.insert(node.findings.begin(), finding);
                if (node.facts) {
                    node.facts->findings.insert(node.facts->findings.begin(), finding);
                }
                bus.classicNodes.push_back(node.sName);
            }
        }
        JudgeDataPhase(bus);
    }

    double dMaxNeed = -kInfinity;
    double dLowestSample = kInfinity;
    double dHighestSample = -kInfinity;
    bus.dDfMinPercent = kInfinity;
    for (const NodeVerdict& node : bus.nodes) {
        if (!node.HasSetting()) {
            continue;
        }
        bus.dDfMinPercent = std::min(bus.dDfMinPercent, node.dTolerancePercent);
        dMaxNeed = std::max(dMaxNeed, node.dNeedPercent);
        dLowestSample = std::min(dLowestSample, node.SamplePointPercent());
        dHighestSample = std::max(dHighestSample, node.SamplePointPercent());
    }
    if (!std::isfinite(bus.dDfMinPercent)) {
        bus.dDfMinPercent = 0.0;
        return bus;
    }
    bus.dMarginPercent = bus.dDfMinPercent - dMaxNeed;
    bus.dSamplePointSpreadPercent = dHighestSample - dLowestSample;
    bus.bCompatible = bus.problems.empty() && bus.classicNodes.empty() &&
                      bus.dMarginPercent >= 0.0 && (!bus.IsFd() || bus.dDataMarginPercent >= 0.0);
    return bus;
}

} // namespace bus
} // namespace quillon
