#include "cli/bus/BusCommand.h"

#include "cli/bus/FdBusText.h"
#include "cli/common/DetailsFile.h"
#include "report/fd/FdSettingJson.h"

#include "report/classic/ReportValues.h"
#include "report/classic/SettingJson.h"
#include "report/common/FindingTexts.h"
#include "report/common/TextTable.h"
#include "timing/bus/BusNodeText.h"
#include "timing/common/NumberFormat.h"

namespace quillon::cli {
inline namespace bus {

namespace {

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
                    SegmentsText(s.segments.lPropagation, s.segments.lPhase1,
                                 facts.lPhase2Effective, s.segments.lSJW),
                    facts.rate.sActual, BusPercent(node.dErrorPercent, "0.0##"), facts.sSamplePoint,
                    BusPercent(node.dTolerancePercent),
                    FormatGeneralNumber(node.dCrystalPpm) + " ppm", BusPercent(node.dNeedPercent)});
        table.AddRow(row);
    }
    return table.Text() +
           "(Segments: propagation/phase 1/phase 2/SJW in Tq; Error %: positive below the bus "
           "rate)\n";
}

std::string BusText(const BusVerdict& bus) {
    std::string text = bus.IsFd()
                           ? FdBusTables(bus) + "\n"
                           : "Bus rate  " + TargetRateText(bus.dRateKbps, kDecimalSeparator) +
                                 "\n\n" + NodeTable(bus) + "\n";
    text += std::string("Bus: ") + (bus.bCompatible ? "compatible" : "incompatible") +
            (bus.IsFd() && bus.problems.empty() ? ".\n" : ". ");
    if (!bus.problems.empty()) {
        text += "A node has no bit timing.\n";
        for (const std::string& problem : bus.problems) {
            text += "  " + problem + "\n";
        }
    } else if (bus.IsFd()) {
        text += FdBusMargins(bus);
    } else {
        text += "Margin " + BusPercent(bus.dMarginPercent) + " %: df_min " +
                BusPercent(bus.dDfMinPercent) +
                " %, the smallest tolerance of any node, less the " + "largest need " +
                BusPercent(bus.dDfMinPercent - bus.dMarginPercent) + " %.\n";
        text += "Sample points " + BusPercent(bus.dSamplePointSpreadPercent, "0.0") +
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
    if (bus.IsFd()) {
        json.Key("data_rate_kbps")
            .Number(bus.dDataRateKbps)
            .Key("data_rate_bps")
            .Number(bus.dDataRateKbps * 1000);
    }
    json.Key("bus")
        .BeginObject()
        .Key("verdict")
        .String(bus.bCompatible ? "compatible" : "incompatible")
        .Key("margin_percent")
        .Number(bus.dMarginPercent)
        .Key("df_min_percent")
        .Number(bus.dDfMinPercent)
        .Key("sample_point_spread_percent")
        .Number(bus.dSamplePointSpreadPercent);
    if (bus.IsFd()) {
        json.Key("data_margin_percent")
            .Number(bus.dDataMarginPercent)
            .Key("data_df_min_percent")
            .Number(bus.dDataDfMinPercent)
            .Key("data_sample_point_spread_percent")
            .Number(bus.dDataSamplePointSpreadPercent)
            .Key("classic_nodes")
            .BeginArray();
        for (const std::string& name : bus.classicNodes) {
            json.String(name);
        }
        json.EndArray();
    }
    json.Key("problems").BeginArray();
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
            .Key("kind")
            .String(KindName(node.controller->kind))
            .Key("source")
            .String(SourceName(node.source))
            .Key("crystal_ppm")
            .Number(node.dCrystalPpm);
        if (node.fdFacts) {
            json.Key("oscillator_mhz").Number(node.fdFacts->setting.dOscFreqMHz);
            WriteFdSettingMembers(json, *node.fdFacts);
            json.Key("osc_tolerance_percent")
                .Number(node.dTolerancePercent)
                .Key("need_percent")
                .Number(node.dNeedPercent)
                .Key("data_osc_tolerance_percent")
                .Number(node.dDataTolerancePercent)
                .Key("data_need_percent")
                .Number(node.dDataNeedPercent);
        } else if (node.facts) {
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
    const BusVerdict bus = CheckBus(request.rateKbps, nodes, request.bus, request.dataRateKbps);
    return CommandOutput{BusStatus(bus), request.json ? BusJson(bus) : BusText(bus), {}};
}

} // namespace bus
} // namespace quillon::cli
