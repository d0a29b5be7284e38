#include "cli/bus/FdBusText.h"

#include "cli/common/CommandOutput.h"
#include "report/common/ReportTexts.h"
#include "report/common/TextTable.h"
#include "timing/common/NumberFormat.h"

#include <algorithm>

namespace quillon::cli {
inline namespace bus {

namespace {

std::string Ppm(const NodeVerdict& node) {
    return FormatGeneralNumber(node.dCrystalPpm) + " ppm";
}

std::string PhaseCells(const FdFacts& facts, FdPhase phase, std::vector<std::string>& row) {
    const FdPhaseSetting& s = facts.setting.Phase(phase);
    const FdPhaseFacts& f = facts.Phase(phase);
    row.insert(row.end(), {std::to_string(s.lBRP), std::to_string(s.TqCount()),
                           SegmentsText(s.lPropagation, s.lPhase1, s.lPhase2, s.lSJW), f.sActual});
    return f.sSamplePoint;
}

std::string NominalTable(const BusVerdict& bus) {
    TextTable table;
    table.AddRow({"Node", "Family", "Source", "Oscillator", "BRP", "Tq", "Segments", "Rate",
                  "Error %", "SP %", "Tol %", "Crystal", "Need %"});
    for (const NodeVerdict& node : bus.nodes) {
        std::vector<std::string> row{node.sName, std::string(node.controller->sName),
                                     std::string(SourceName(node.source))};
        std::string samplePoint;
        if (node.fdFacts) {
            row.push_back(OscillatorText(node.fdFacts->setting.dOscFreqMHz, kDecimalSeparator));
            samplePoint = PhaseCells(*node.fdFacts, FdPhase::Nominal, row);
        } else if (node.facts) {
            const BitTimingFacts& f = *node.facts;
            const SegmentSettings& s = f.setting.segments;
            row.insert(row.end(),
                       {OscillatorText(f.setting.dOscFreqMHz, kDecimalSeparator),
                        std::to_string(f.setting.lBRPMinus1 + 1), std::to_string(s.lTqCount),
                        SegmentsText(s.lPropagation, s.lPhase1, f.lPhase2Effective, s.lSJW),
                        f.rate.sActual});
            samplePoint = f.sSamplePoint;
        } else {
            row.insert(row.end(), {"-", "-", "-", "-", "-", "-", "-", "-", Ppm(node), "-"});
            table.AddRow(row);
            continue;
        }
        row.insert(row.end(),
                   {BusPercent(node.dErrorPercent, "0.0##"), samplePoint,
                    BusPercent(node.dTolerancePercent), Ppm(node), BusPercent(node.dNeedPercent)});
        table.AddRow(row);
    }
    return table.Text();
}

std::string DataTable(const BusVerdict& bus) {
    TextTable table;
    table.AddRow(
        {"Node", "BRP", "Tq", "Segments", "Rate", "Error %", "SP %", "Tol %", "Need %", "TDC"});
    for (const NodeVerdict& node : bus.nodes) {
        if (!node.controller->IsFd()) {
            continue;
        }
        std::vector<std::string> row{node.sName};
        if (!node.fdFacts) {
            row.insert(row.end(), {"-", "-", "-", "-", "-", "-", "-", "-", "-"});
            table.AddRow(row);
            continue;
        }
        const std::string samplePoint = PhaseCells(*node.fdFacts, FdPhase::Data, row);
        row.insert(row.end(),
                   {BusPercent(node.dDataErrorPercent, "0.0##"), samplePoint,
                    BusPercent(node.dDataTolerancePercent), BusPercent(node.dDataNeedPercent),
                    FdTdcShortText(node.fdFacts->setting.tdc)});
        table.AddRow(row);
    }
    return table.Text();
}

std::string MarginLine(std::string_view phase, double margin, double dfMin) {
    return std::string(phase) + " margin " + BusPercent(margin) + " %: df_min " +
           BusPercent(dfMin) + " %, the smallest tolerance of any node, less the largest need " +
           BusPercent(dfMin - margin) + " %.\n";
}

} // namespace

std::string BusPercent(double value, std::string_view pattern) {
    return FormatNumber(value, pattern, kDecimalSeparator);
}

std::string SegmentsText(int lPropagation, int lPhase1, int lPhase2, int lSJW) {
    return std::to_string(lPropagation) + "/" + std::to_string(lPhase1) + "/" +
           std::to_string(lPhase2) + "/" + std::to_string(lSJW);
}

std::string FdBusTables(const BusVerdict& bus) {
    return "Bus rate  " + TargetRateText(bus.dRateKbps, kDecimalSeparator) + ", data rate  " +
           TargetRateText(bus.dDataRateKbps, kDecimalSeparator) + " (CAN FD)\n\nNominal phase\n" +
           NominalTable(bus) + "\nData phase\n" + DataTable(bus) +
           "(Segments: propagation/phase 1/phase 2/SJW in Tq; BRP: the prescaler, a classic "
           "node's BRP-1 + 1; Error %: positive below the bus rate; Tol %: an FD node's smallest "
           "tolerance condition of the phase, 1, 2 and 4 nominal, 3 and 5 data)\n";
}

std::string FdBusMargins(const BusVerdict& bus) {
    std::string text;
    if (!bus.classicNodes.empty()) {
        std::string names;
        for (std::size_t i = 0; i < bus.classicNodes.size(); ++i) {
            names += (i == 0                             ? ""
                      : i + 1 == bus.classicNodes.size() ? " and "
                                                         : ", ") +
                     bus.classicNodes[i];
        }
        text += (bus.classicNodes.size() == 1 ? "The classic node " + names + " answers"
                                              : "The classic nodes " + names + " answer") +
                " every CAN FD frame with an error frame.\n";
    }
    text += MarginLine("Nominal phase:", bus.dMarginPercent, bus.dDfMinPercent);
    const bool anyFd = std::any_of(bus.nodes.begin(), bus.nodes.end(),
                                   [](const NodeVerdict& node) { return node.fdFacts; });
    text += anyFd ? MarginLine("Data phase:", bus.dDataMarginPercent, bus.dDataDfMinPercent)
                  : "Data phase: no CAN FD node takes part.\n";
    text +=
        "Sample points " + BusPercent(bus.dSamplePointSpreadPercent, "0.0") +
        (anyFd ? " % apart in the nominal phase, " +
                     BusPercent(bus.dDataSamplePointSpreadPercent, "0.0") + " % in the data phase"
               : " % apart") +
        "; keep them close, so that every node samples near the same place in the bit.\n";
    return text;
}

} // namespace bus
} // namespace quillon::cli
