#include "report/bus/BusPage.h"

#include "report/common/FindingTexts.h"
#include "report/common/HtmlText.h"
#include "report/common/ReportTexts.h"
#include "timing/common/Maker.h"
#include "timing/common/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace quillon {
inline namespace bus {

namespace {

constexpr std::string_view kFont = "<font face=\"Verdana\" size=\"2\">";
constexpr std::string_view kGrey = "#C0C0C0";

std::string Base64(std::string_view bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const auto byte = [&](std::size_t k) {
            return k < bytes.size() ? static_cast<unsigned char>(bytes[k]) : 0U;
        };
        const unsigned triple = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
        out += kDigits[(triple >> 18) & 63];
        out += kDigits[(triple >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(triple >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kDigits[triple & 63] : '=';
    }
    return out;
}

std::string Percent(double value) {
    return FormatNumber(value, "0.0###");
}

// A section title: white bold italic on the dark blue bar, as in the report.
std::string Section(std::string_view title) {
    return "<table border=\"0\" width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr><td "
           "bgcolor=\"#0000A0\"><font face=\"Verdana\" size=\"2\" color=\"#FFFFFF\"><strong><em>" +
           std::string(title) + "</em></strong></font></td></tr></table>\n";
}

std::string Row(const std::vector<std::string>& cells, bool header, bool grey) {
    std::string row = "<tr>";
    for (const std::string& cell : cells) {
        row += header
                   ? "<td bgcolor=\"#000000\"><font face=\"Verdana\" size=\"2\" "
                     "color=\"#FFFFFF\">" +
                         cell + "</font></td>"
                   : std::string("<td") + (grey ? " bgcolor=\"" + std::string(kGrey) + "\"" : "") +
                         ">" + std::string(kFont) + cell + "</font></td>";
    }
    return row + "</tr>\n";
}

std::string Segments(int lPropagation, int lPhase1, int lPhase2, int lSJW) {
    return std::to_string(lPropagation) + "/" + std::to_string(lPhase1) + "/" +
           std::to_string(lPhase2) + "/" + std::to_string(lSJW);
}

// The prescaler, Tq count, segments and rate of an FD node's phase.
std::vector<std::string> FdPhaseCells(const FdFacts& facts, FdPhase phase) {
    const FdPhaseSetting& s = facts.setting.Phase(phase);
    return {std::to_string(s.lBRP), std::to_string(s.TqCount()),
            Segments(s.lPropagation, s.lPhase1, s.lPhase2, s.lSJW), facts.Phase(phase).sActual};
}

// Every node in the nominal phase (a classic bus's only one). On a CAN FD bus the prescaler
// column is the prescaler itself, a classic node's BRP-1 + 1.
std::string NodeRows(const BusVerdict& bus) {
    std::string rows =
        Row({"Node", "Family", "Source", "Oscillator", bus.IsFd() ? "BRP" : "BRP-1", "Tq",
             "Prop/Ph1/Ph2/SJW", "Rate", "Error %", "Sample point", "Tolerance", "Crystal", "Need"},
            true, false);
    bool grey = false;
    for (const NodeVerdict& node : bus.nodes) {
        std::vector<std::string> cells{HtmlQuoted(node.sName), std::string(node.controller->sName),
                                       std::string(SourceName(node.source))};
        if (node.HasSetting()) {
            std::vector<std::string> phase;
            std::string samplePoint;
            if (node.fdFacts) {
                cells.push_back(OscillatorText(node.fdFacts->setting.dOscFreqMHz));
                phase = FdPhaseCells(*node.fdFacts, FdPhase::Nominal);
                samplePoint = node.fdFacts->nominal.sSamplePoint;
            } else {
                const BitTimingFacts& f = *node.facts;
                const SegmentSettings& s = f.setting.segments;
                cells.push_back(OscillatorText(f.setting.dOscFreqMHz));
                phase = {std::to_string(f.setting.lBRPMinus1 + (bus.IsFd() ? 1 : 0)),
                         std::to_string(s.lTqCount),
                         Segments(s.lPropagation, s.lPhase1, f.lPhase2Effective, s.lSJW),
                         f.rate.sActual};
                samplePoint = f.sSamplePoint;
            }
            cells.insert(cells.end(), phase.begin(), phase.end());
            cells.insert(cells.end(), {FormatNumber(node.dErrorPercent, "0.0##"),
                                       samplePoint + " %", Percent(node.dTolerancePercent) + " %",
                                       FormatGeneralNumber(node.dCrystalPpm) + " ppm",
                                       Percent(node.dNeedPercent) + " %"});
        } else {
            cells.push_back(HtmlQuoted(node.sReason));
        }
        rows += Row(cells, false, grey);
        grey = !grey;
    }
    return rows;
}

// The FD nodes in the data phase, with their TDC.
std::string DataRows(const BusVerdict& bus) {
    std::string rows = Row({"Node", "BRP", "Tq", "Prop/Ph1/Ph2/SJW", "Rate", "Error %",
                            "Sample point", "Tolerance", "Need", "TDC"},
                           true, false);
    bool grey = false;
    for (const NodeVerdict& node : bus.nodes) {
        if (!node.controller->IsFd()) {
            continue;
        }
        std::vector<std::string> cells{HtmlQuoted(node.sName)};
        if (node.fdFacts) {
            const FdFacts& f = *node.fdFacts;
            const std::vector<std::string> phase = FdPhaseCells(f, FdPhase::Data);
            cells.insert(cells.end(), phase.begin(), phase.end());
            cells.insert(cells.end(),
                         {FormatNumber(node.dDataErrorPercent, "0.0##"), f.data.sSamplePoint + " %",
                          Percent(node.dDataTolerancePercent) + " %",
                          Percent(node.dDataNeedPercent) + " %",
                          HtmlQuoted(FdTdcText(f.setting.tdc, FdClockName(f.setting.Row())))});
        } else {
            cells.push_back(HtmlQuoted(node.sReason));
        }
        rows += Row(cells, false, grey);
        grey = !grey;
    }
    return rows;
}

std::string Margin(std::string_view lead, double margin, double dfMin) {
    return std::string(lead) + Percent(margin) + " %: df_min " + Percent(dfMin) +
           " % less the largest need " + Percent(dfMin - margin) + " %. ";
}

// The verdict's sentences after "Compatible." or "Incompatible.".
std::string VerdictText(const BusVerdict& bus) {
    if (!bus.IsFd()) {
        return Margin("Margin ", bus.dMarginPercent, bus.dDfMinPercent) + "Sample points " +
               FormatNumber(bus.dSamplePointSpreadPercent, "0.0") + " % apart; keep them close.";
    }
    std::string text;
    for (const std::string& name : bus.classicNodes) {
        text += "The classic node " + HtmlQuoted(name) +
                " answers every CAN FD frame with an error frame. ";
    }
    return text + Margin("Nominal phase: margin ", bus.dMarginPercent, bus.dDfMinPercent) +
           (std::any_of(bus.nodes.begin(), bus.nodes.end(),
                        [](const NodeVerdict& node) { return node.fdFacts.has_value(); })
                ? Margin("Data phase: margin ", bus.dDataMarginPercent, bus.dDataDfMinPercent)
                : "Data phase: no CAN FD node takes part. ") +
           "Sample points " + FormatNumber(bus.dSamplePointSpreadPercent, "0.0") +
           " % apart in the nominal phase, " +
           FormatNumber(bus.dDataSamplePointSpreadPercent, "0.0") +
           " % in the data phase; keep them close.";
}

} // namespace

std::vector<int> BusDrawingWidths(const BusVerdict& bus, int lLongestWidth) {
    double longest = 0.0;
    for (const NodeVerdict& node : bus.nodes) {
        longest = std::max(longest, node.BitSeconds());
    }
    std::vector<int> widths;
    for (const NodeVerdict& node : bus.nodes) {
        const double bit = node.BitSeconds();
        widths.push_back(longest > 0 && std::isfinite(bit)
                             ? static_cast<int>(std::lround(lLongestWidth * bit / longest))
                             : 0);
    }
    return widths;
}

std::string BusPageHtml(const BusVerdict& bus, const std::vector<BusPageDrawing>& drawings,
                        const std::string& sDate) {
    const std::string rate =
        TargetRateText(bus.dRateKbps) +
        (bus.IsFd() ? " / " + TargetRateText(bus.dDataRateKbps) + " (CAN FD)" : "");
    std::string page = "<html>\n<head>\n<meta charset=\"utf-8\">\n<title>CAN Bus Check " + rate +
                       "</title>\n<meta name=\"GENERATOR\" content=\"" + std::string(kMakerDomain) +
                       " Quillon\">\n</head>\n<body>\n";
    page += "<table border=\"0\" width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr><td "
            "bgcolor=\"#000000\"><p align=\"right\"><font face=\"Verdana\" size=\"3\" "
            "color=\"#FFFFFF\"><strong>CAN Bus Check at " +
            rate + "</strong></font></td></tr></table>\n<p>&nbsp;</p>\n";

    page += Section("Verdict");
    page += "<p>" + std::string(kFont) + "<strong>" +
            (bus.bCompatible ? "Compatible" : "Incompatible") + "</strong>. ";
    if (bus.problems.empty()) {
        page += VerdictText(bus);
    }
    for (const std::string& problem : bus.problems) {
        page += "<br>" + HtmlQuoted(problem);
    }
    page += "</font></p>\n<p>&nbsp;</p>\n";

    page += Section(bus.IsFd() ? "Nodes in the Nominal Phase" : "Nodes") +
            "<table border=\"0\" width=\"100%\">\n" + NodeRows(bus) + "</table>\n<p>&nbsp;</p>\n";
    if (bus.IsFd()) {
        page += Section("CAN FD Nodes in the Data Phase") +
                "<table border=\"0\" width=\"100%\">\n" + DataRows(bus) +
                "</table>\n<p>&nbsp;</p>\n";
    }

    page += Section("Bit Timing of Every Node, on One Time Scale");
    for (std::size_t i = 0; i < bus.nodes.size() && i < drawings.size(); ++i) {
        const NodeVerdict& node = bus.nodes[i];
        page += "<p>" + std::string(kFont) + "<strong>" + HtmlQuoted(node.sName) + "</strong>";
        if (node.HasSetting()) {
            page += node.fdFacts ? ": nominal sample point " + node.fdFacts->nominal.sSamplePoint +
                                       " %, data sample point " + node.fdFacts->data.sSamplePoint +
                                       " % (the data bit below, drawn as wide as the nominal "
                                       "one)</font><br>"
                                 : ": sample point " + node.facts->sSamplePoint + " %</font><br>";
            page += "<img border=\"1\" alt=\"bit timing of " + HtmlQuoted(node.sName) +
                    "\" width=\"" + std::to_string(drawings[i].lWidth) + "\" height=\"" +
                    std::to_string(drawings[i].lHeight) + "\" src=\"data:image/png;base64," +
                    Base64(drawings[i].sPngBytes) + "\"></p>\n";
        } else {
            page += ": " + HtmlQuoted(node.sReason) + "</font></p>\n";
        }
    }

    std::string findings;
    for (const NodeVerdict& node : bus.nodes) {
        for (const Finding& finding : node.findings) {
            findings += "<li><strong>" + HtmlQuoted(node.sName) +
                        "</strong>: " + HtmlQuoted(FindingLine(finding)) + "</li>\n";
        }
    }
    if (!findings.empty()) {
        page += "<p>&nbsp;</p>\n" + Section("Findings") + "<ul>" + std::string(kFont) + "\n" +
                findings + "</font></ul>\n";
    }
    page += "<hr>\n<p><font face=\"Verdana\" size=\"1\">Generated " + HtmlQuoted(sDate) +
            " ( <a href=\"" + std::string(kMakerUrl) + "\">" + std::string(kMakerHost) +
            "</a> )</font></p>\n</body>\n</html>\n";
    return page;
}

} // namespace bus
} // namespace quillon
