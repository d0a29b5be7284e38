#include "report/common/FindingTexts.h"

#include "report/common/HtmlText.h"

namespace quillon {
inline namespace common {

namespace {

std::string Tag(const Finding& finding) {
    std::string tag = "[" + std::string(finding.sCode);
    if (!finding.sSource.empty()) {
        tag += "; " + std::string(finding.sSource);
    }
    return tag + "]";
}

} // namespace

std::string FindingLine(const Finding& finding) {
    return std::string(SeverityName(finding.severity)) + ": " + finding.sText + " " + Tag(finding);
}

std::string FindingsBlock(const Findings& findings) {
    if (findings.empty()) {
        return "";
    }
    std::string text = "Findings\n";
    for (const Finding& finding : findings) {
        text += "  " + FindingLine(finding) + "\n";
    }
    return text;
}

std::string FindingsHtmlList(const Findings& findings) {
    if (findings.empty()) {
        return "";
    }
    std::string text = "<ul>\n";
    for (const Finding& finding : findings) {
        std::string severity(SeverityName(finding.severity));
        severity[0] = static_cast<char>(severity[0] - 'a' + 'A');
        text += "  <li><font face=\"Verdana\" size=\"2\"><strong>" + severity + ":</strong> " +
                HtmlText(finding.sText) + " " + HtmlText(Tag(finding)) + "</font></li>\n";
    }
    return text + "</ul>\n";
}

void WriteBusMember(JsonWriter& json, const BusContext& bus) {
    json.Key("bus").BeginObject().Key("length_m");
    if (bus.dBusLengthMetres) {
        json.Number(*bus.dBusLengthMetres);
    } else {
        json.Null();
    }
    json.Key("cable_delay_ns_per_m").Number(bus.dCableDelayNsPerMetre);
    json.Key("loop_delay_ns").Number(bus.dLoopDelayNs);
    json.Key("crystal_ppm").Number(bus.dCrystalPpm);
    json.Key("transceiver").String(TransceiverClassName(bus.transceiver)).EndObject();
}

void WriteFindingsMember(JsonWriter& json, const Findings& findings) {
    json.Key("findings").BeginArray();
    for (const Finding& finding : findings) {
        json.BeginObject();
        json.Key("severity").String(SeverityName(finding.severity));
        json.Key("code").String(finding.sCode);
        json.Key("text").String(finding.sText);
        json.Key("source").String(finding.sSource).EndObject();
    }
    json.EndArray();
}

} // namespace common
} // namespace quillon
