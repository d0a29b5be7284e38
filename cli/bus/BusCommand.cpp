#include "cli/bus/BusCommand.h"

#include "cli/common/DetailsFile.h"
#include "report/classic/ReportValues.h"
#include "report/classic/SettingJson.h"
#include "report/common/FindingTexts.h"
#include "report/common/TextTable.h"
#include "timing/bus/BusNodeText.h"
#include "timing/common/NumberFormat.h"

namespace quillon::cli {
inline namespace bus {

namespace {

std::string Percent(double value, std::string_view pattern = "0.0###") {
    return FormatNumber(value, pattern, kDecimalSeparator);
}

std::string SegmentsText(const SegmentSettings& s, int lPhase2Effective) {
    return std::to_string(s.lPropagation) + "/" + std::to_string(s.lPhase1) + "/" +
           std::to_string(lPhase2Effective) + "/" + std::to_string(s.lSJW);
}

std::string NodeTable(const BusVerdict& bus) {
    TextTable table;
    table.AddRow({"Node", "Family", "Source", "Oscillator", "BRP-1", "Tq", "Segments", "Rate",
                  "Error %", "SP %", "Tol %", "Crystal", "Need %"});
    for (const NodeVerdict& node : bus.nodes) {
        std::vector<std::string> row{node.sName, std::string(node.controller->sName),
                                     std::string(SourceName(node.source))};
        if (!node.facts) {
            row.insert(row.end(), {"-", "-", "-", "-", "-", "-", "-", "-",
                                   FormatGeneralNumber(node.dCrystalPpm) + " ppm", "-"});
            table.AddRow(row);
            continue;
        }
        const BitTimingFacts& facts = *node.facts;
        const BitTimingSetting& s = facts.setting;
        row.insert(row.end(),
                   {OscillatorText(s.dOscFreqMHz, kDecimalSeparator), std::to_string(s.lBRPMinus1),
                    std::to_string(s.segments.lTqCount),
                    SegmentsText(s.segments, facts.lPhase2Effective), facts.rate.sActual,
                    Percent(node.dErrorPercent, "0.0##"), facts.sSamplePoint,
                    Percent(node.dTolerancePercent), FormatGeneralNumber(node.dCrystalPpm) + " ppm",
                    Percent(node.dNeedPercent)});
        table.AddRow(row);
    }
    return table.Text() +
           "(Segments: propagation/phase 1/phase 2/SJW in Tq; Error %: positive below the bus "
           "rate)\n";
}

std::string BusText(const BusVerdict& bus) {
    std::string text = "Bus rate  " + TargetRateText(bus.dRateKbps, kDecimalSeparator) + "\n\n";
    text += NodeTable(bus) + "\n";
    text += std::string("Bus: ") + (bus.bCompatible ? "compatible" : "incompatible") + ". ";
    if (!bus.problems.empty()) {
        text += "A node has no bit timing.\n";
        for (const std::string& problem : bus.problems) {
            text += "  " + problem + "\n";
        }
    } else {
        text += "Margin " + Percent(bus.dMarginPercent) + " %: df_min " +
                Percent(bus.dDfMinPercent) + " %, the smallest tolerance of any node, less the " +
                "largest need " + Percent(bus.dDfMinPercent - bus.dMarginPercent) + " %.\n";
        text += "Sample points " + Percent(bus.dSamplePointSpreadPercent, "0.0") +
                " % apart; keep them close, so that every node samples near the same place in "
                "the bit.\n";
    }
    bool heading = false;
    for (const NodeVerdict& node : bus.nodes) {
        for (const Finding& finding : node.findings) {
            if (!heading) {
                text += "\nFindings\n";
                heading = true;
            }
            text += "  " + node.sName + ": " + FindingLine(finding) + "\n";
        }
    }
    return text;
}

std::string BusJson(const BusVerdict& bus) {
    JsonWriter json;
    json.BeginObject()
        .Key("command")
        .String("bus")
        .Key("rate_kbps")
        .Number(bus.dRateKbps)
        .Key("rate_bps")
        .Number(bus.dRateKbps * 1000);
    json.Key("bus")
        .BeginObject()
        .Key("verdict")
        .String(bus.bCompatible ? "compatible" : "incompatible")
        .Key("margin_percent")
        .Number(bus.dMarginPercent)
        .Key("df_min_percent")
        .Number(bus.dDfMinPercent)
        .Key("sample_point_spread_percent")
        .Number(bus.dSamplePointSpreadPercent)
        .Key("problems")
        .BeginArray();
    for (const std::string& problem : bus.problems) {
        json.String(problem);
    }
    json.EndArray().EndObject();

    json.Key("nodes").BeginArray();
    for (const NodeVerdict& node : bus.nodes) {
        json.BeginObject()
            .Key("name")
            .String(node.sName)
            .Key("family")
            .String(node.controller->sName)
            .Key("source")
            .String(SourceName(node.source))
            .Key("crystal_ppm")
            .Number(node.dCrystalPpm);
        if (node.facts) {
            json.Key("oscillator_mhz").Number(node.facts->setting.dOscFreqMHz);
            WriteSettingMembers(json, GridSelection(node.facts->setting, 0).candidate, *node.facts);
            json.Key("osc_tolerance_percent")
                .Number(node.dTolerancePercent)
                .Key("need_percent")
                .Number(node.dNeedPercent);
        } else {
            json.Key("reason").String(node.sReason);
            WriteFindingsMember(json, node.findings);
        }
        json.EndObject();
    }
    json.EndArray().EndObject();
    return json.Text();
}

} // namespace

int BusStatus(const BusVerdict& bus) {
    return bus.bCompatible ? kExitOk : kExitRefused;
}

CommandOutput RunBus(const Request& request) {
    // The nodes of :ip=FILE take the text of their file; one that cannot be read is a bad
    // argument, as a register value that cannot be read is.
    std::vector<BusNode> nodes = request.busNodes;
    for (BusNode& node : nodes) {
        if (node.source != NodeSource::Interface) {
            continue;
        }
        std::string error;
        std::optional<std::string> text = ReadDetailsFile(node.sIpDetailsFile, error);
        std::optional<std::string> problem =
            text ? AttachIpDetails(node, std::move(*text))
                 : "node '" + node.sName + "': ip=" + node.sIpDetailsFile + ": " + error;
        if (problem) {
            return Refusal(kExitUsage, InfoOf(Option::Node).name, *problem);
        }
    }
    const BusVerdict bus = CheckBus(request.rateKbps, nodes, request.bus);
    return CommandOutput{BusStatus(bus), request.json ? BusJson(bus) : BusText(bus), {}};
}

} // namespace bus
} // namespace quillon::cli
