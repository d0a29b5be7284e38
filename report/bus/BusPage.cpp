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

std::string NodeRows(const BusVerdict& bus) {
    std::string rows =
        Row({"Node", "Family", "Source", "Oscillator", "BRP-1", "Tq", "Prop/Ph1/Ph2/SJW", "Rate",
             "Error %", "Sample point", "Tolerance", "Crystal", "Need"},
            true, false);
    bool grey = false;
    for (const NodeVerdict& node : bus.nodes) {
        std::vector<std::string> cells{HtmlQuoted(node.sName), std::string(node.controller->sName),
                                       std::string(SourceName(node.source))};
        if (node.facts) {
            const BitTimingFacts& f = *node.facts;
            const SegmentSettings& s = f.setting.segments;
            cells.insert(cells.end(),
                         {OscillatorText(f.setting.dOscFreqMHz),
                          std::to_string(f.setting.lBRPMinus1), std::to_string(s.lTqCount),
                          std::to_string(s.lPropagation) + "/" + std::to_string(s.lPhase1) + "/" +
                              std::to_string(f.lPhase2Effective) + "/" + std::to_string(s.lSJW),
                          f.rate.sActual, FormatNumber(node.dErrorPercent, "0.0##"),
                          f.sSamplePoint + " %", Percent(node.dTolerancePercent) + " %",
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

} // namespace

std::vector<int> BusDrawingWidths(const BusVerdict& bus, int lLongestWidth) {
    double longest = 0.0;
    for (const NodeVerdict& node : bus.nodes) {
        if (node.facts) {
            longest = std::max(longest, node.facts->durations.back().dSeconds);
        }
    }
    std::vector<int> widths;
    for (const NodeVerdict& node : bus.nodes) {
        const double bit = node.facts ? node.facts->durations.back().dSeconds : 0.0;
        widths.push_back(longest > 0 && std::isfinite(bit)
                             ? static_cast<int>(std::lround(lLongestWidth * bit / longest))
                             : 0);
    }
    return widths;
}

std::string BusPageHtml(const BusVerdict& bus, const std::vector<BusPageDrawing>& drawings,
                        const std::string& sDate) {
    const std::string rate = TargetRateText(bus.dRateKbps);
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
        page += "Margin " + Percent(bus.dMarginPercent) + " %: df_min " +
                Percent(bus.dDfMinPercent) + " % less the largest need " +
                Percent(bus.dDfMinPercent - bus.dMarginPercent) + " %. Sample points " +
                FormatNumber(bus.dSamplePointSpreadPercent, "0.0") + " % apart; keep them close.";
    }
    for (const std::string& problem : bus.problems) {
        page += "<br>" + HtmlQuoted(problem);
    }
    page += "</font></p>\n<p>&nbsp;</p>\n";

    page += Section("Nodes") + "<table border=\"0\" width=\"100%\">\n" + NodeRows(bus) +
            "</table>\n<p>&nbsp;</p>\n";

    page += Section("Bit Timing of Every Node, on One Time Scale");
    for (std::size_t i = 0; i < bus.nodes.size() && i < drawings.size(); ++i) {
        const NodeVerdict& node = bus.nodes[i];
        page += "<p>" + std::string(kFont) + "<strong>" + HtmlQuoted(node.sName) + "</strong>";
        if (node.facts) {
            page += ": sample point " + node.facts->sSamplePoint + " %</font><br>";
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
