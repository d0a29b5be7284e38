// The FD nodes of a bus: their settings (register words, the Linux driver's choice, the free
// choice), their facts on the bus and the data phase across them. Bus.cpp joins them with
// the classic nodes.
#include "timing/bus/FdBus.h"

#include "timing/linux/FdKernelChoice.h"
#include "timing/linux/FdLinuxDetails.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillon {
inline namespace bus {

namespace {

constexpr double kPercentPerPpm = 1e-4;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

Finding RegisterFinding(Severity severity, std::string text) {
    return {severity, code::kRegisterBits, std::move(text), source::kDatasheet};
}

// The setting of the node's register words, with what the words hold beyond the timing.
std::optional<FdSetting> DecodedSetting(const BusNode& node, Findings& findings,
                                        std::string& reason) {
    const std::vector<unsigned>& words = node.registers;
    if (words.size() < 2 || words.size() > 3) {
        reason = "2 or 3 register words are needed, " + std::to_string(words.size()) + " given";
        return std::nullopt;
    }
    const std::optional<std::uint32_t> tdc =
        words.size() > 2 ? std::optional<std::uint32_t>(words[2]) : std::nullopt;
    const FdDecoded decoded =
        DecodeFdRegisters(node.dOscFreqMHz, false, words[0], words[1], tdc, node.controller);
    for (const std::string& text : decoded.registerFindings) {
        findings.push_back(RegisterFinding(Severity::Warning, text));
    }
    if (!decoded.bTdcGiven) {
        const bool mcan = decoded.setting.Row().fdLayout == FdRegisterLayout::Mcan;
        findings.push_back(RegisterFinding(
            Severity::Advice,
            mcan ? "TDCR not given: TDCO is taken as the controller needs it (DBTP bit 23 says "
                   "whether TDC is on)."
                 : std::string(FdWordNames(node.controller)[2]) +
                       " not given: the TDC is taken as the controller needs it."));
    }
    return decoded.setting;
}

// The node's setting on the bus of `goal`, or why it has none.
std::optional<FdSetting> NodeSetting(const BusNode& node, const FdNodeGoal& goal,
                                     const FreeFdChoice& free, Findings& findings,
                                     std::string& reason) {
    std::optional<FdSetting> setting;
    switch (node.source) {
    case NodeSource::Registers:
        setting = DecodedSetting(node, findings, reason);
        break;
    case NodeSource::Kernel: {
        FdKernelChoice kernel = ChooseFdKernelBitTiming(node.dOscFreqMHz, false, goal.dNominalKbps,
                                                        goal.dDataKbps, node.controller);
        setting = std::move(kernel.setting);
        reason = std::move(kernel.sReason);
        break;
    }
    case NodeSource::Free:
        setting = free.setting;
        reason = free.sReason;
        break;
    case NodeSource::Interface: {
        FdIpDetailsDecoding decoded =
            DecodeFdIpDetails(node.sIpDetails, node.dOscFreqMHz, node.controller);
        setting = std::move(decoded.setting);
        reason = std::move(decoded.sError);
        findings.insert(findings.end(), decoded.findings.begin(), decoded.findings.end());
        break;
    }
    case NodeSource::Segments:
    case NodeSource::Linux:
        reason = "a CAN FD node is set from registers, by its kernel or free";
        break;
    }
    if (!setting && reason.empty()) {
        reason = "no setting was chosen";
    }
    if (setting) {
        setting->dNominalKbps = goal.dNominalKbps;
        setting->dDataKbps = goal.dDataKbps;
    }
    return setting;
}

// (bus rate - actual) / bus rate, as the classic nodes' error: the negated FD error. 0.0 -
// keeps an exact rate at +0.
double BusError(const FdPhaseFacts& phase) {
    return 0.0 - phase.dErrorPercent;
}

} // namespace

double NominalTolerancePercent(const FdTolerance& t) {
    return std::min({t.conditions[0], t.conditions[1], t.conditions[3]}) * 100.0;
}

double DataTolerancePercent(const FdTolerance& t) {
    return std::min(t.conditions[2], t.conditions[4]) * 100.0;
}

NodeVerdict JudgeFdNode(const BusNode& node, const FdNodeGoal& goal, const FreeFdChoice& free) {
    const BusContext& bus = goal.bus;
    NodeVerdict verdict;
    verdict.sName = node.sName;
    verdict.controller = node.controller;
    verdict.source = node.source;
    verdict.dCrystalPpm = node.dCrystalPpm.value_or(bus.dCrystalPpm);
    Findings findings;
    const std::optional<FdSetting> setting =
        NodeSetting(node, goal, free, findings, verdict.sReason);
    if (setting) {
        BusContext nodeBus = bus;
        nodeBus.dCrystalPpm = verdict.dCrystalPpm;
        FdFacts& facts = verdict.fdFacts.emplace(DescribeFdTiming(*setting, ".", nodeBus));
        findings.insert(findings.end(), facts.findings.begin(), facts.findings.end());
        std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
            return a.severity < b.severity;
        });
        facts.findings = findings;
        const double crystal = verdict.dCrystalPpm * kPercentPerPpm;
        verdict.dActualBps = facts.nominal.dActualBaud;
        verdict.dErrorPercent = BusError(facts.nominal);
        verdict.dTolerancePercent = NominalTolerancePercent(facts.tolerance);
        verdict.dNeedPercent = crystal + std::fabs(verdict.dErrorPercent);
        verdict.dDataActualBps = facts.data.dActualBaud;
        verdict.dDataErrorPercent = BusError(facts.data);
        verdict.dDataTolerancePercent = DataTolerancePercent(facts.tolerance);
        verdict.dDataNeedPercent = crystal + std::fabs(verdict.dDataErrorPercent);
    }
    verdict.findings = std::move(findings);
    return verdict;
}

Finding ClassicOnFdBusFinding(const Controller& row) {
    return {Severity::Error, code::kClassicOnFdBus,
            "The " + std::string(row.sTitle) +
                " is a classic CAN controller: it answers every CAN FD frame with an error frame, "
                "so the bus cannot run CAN FD traffic while it is on it.",
            source::kIso11898_1};
}

void JudgeDataPhase(BusVerdict& bus) {
    double dfMin = kInfinity;
    double maxNeed = -kInfinity;
    double lowest = kInfinity;
    double highest = -kInfinity;
    for (const NodeVerdict& node : bus.nodes) {
        if (!node.fdFacts) {
            continue;
        }
        dfMin = std::min(dfMin, node.dDataTolerancePercent);
        maxNeed = std::max(maxNeed, node.dDataNeedPercent);
        lowest = std::min(lowest, node.fdFacts->data.dSamplePointPercent);
        highest = std::max(highest, node.fdFacts->data.dSamplePointPercent);
    }
    if (!std::isfinite(dfMin)) {
        bus.dDataDfMinPercent = bus.dDataMarginPercent = bus.dDataSamplePointSpreadPercent = 0.0;
        return;
    }
    bus.dDataDfMinPercent = dfMin;
    bus.dDataMarginPercent = dfMin - maxNeed;
    bus.dDataSamplePointSpreadPercent = highest - lowest;
}

} // namespace bus
} // namespace quillon
