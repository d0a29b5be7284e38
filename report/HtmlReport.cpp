#include "report/HtmlReport.h"

#include "report/Windows1252.h"
#include "timing/common/Maker.h"

#include <array>
#include <optional>
#include <utility>

namespace quillon {

namespace {

// The page, line for line, with the values as {named} placeholders. Lines are joined by
// line feeds here and written with CR LF.
constexpr std::string_view kPageTemplate = R"PAGE(
<html>

<head>
<title>Bit Time Calculations for the Microchip CAN</title>
<meta name="GENERATOR" content="{sMakerDomain} Quillon">
</head>

<body>

<table border="0" width="100%" cellspacing="0" cellpadding="0">
  <tr>
    <td width="100%" bgcolor="#000000"><p align="right"><font face="Verdana" size="3"
    color="#FFFFFF"><strong>Bit Time Calculations for the Microchip CAN</strong></font></td>
  </tr>
</table>

<p>&nbsp;</p>

<table border="0" width="100%" cellspacing="0" cellpadding="0">
  <tr>
    <td width="100%" bgcolor="#0000A0"><font face="Verdana" size="2" color="#FFFFFF"><strong><em>Setup
    Criteria</em></strong></font></td>
  </tr>
</table>

<table border="0" width="100%">
  <tr>
    <td width="36%"><font face="Verdana" size="2"><strong>Oscilator Frequency</strong></font></td>
    <td width="64%"><font face="Verdana" size="2">{sOscFreq}</font></td>
  </tr>
  <tr>
    <td width="36%" bgcolor="#C0C0C0"><font face="Verdana" size="2"><strong>Target CAN Bus
    Baud Rate</strong></font></td>
    <td width="64%" bgcolor="#C0C0C0"><font face="Verdana" size="2">{sCANBaud}</font></td>
  </tr>
</table>

<p>&nbsp;</p>

<table border="0" width="100%" cellspacing="0" cellpadding="0">
  <tr>
    <td width="100%" bgcolor="#0000A0"><font face="Verdana" size="2" color="#FFFFFF"><strong><em>Selected
    Options</em></strong></font></td>
  </tr>
</table>

<table border="0" width="100%" height="85">
  <tr>
    <td width="35%" height="16"><font face="Verdana" size="2"><strong>BRP-1 (Baud Rate
    Prescaler)</strong></font></td>
    <td width="65%" height="16"><font face="Verdana" size="2">{sBRP}</font></td>
  </tr>
  <tr>
    <td width="35%" bgcolor="#C0C0C0" height="16"><font face="Verdana" size="2"><strong>Tq
    (Time Quanta)</strong></font></td>
    <td width="65%" bgcolor="#C0C0C0" height="16"><font face="Verdana" size="2">{sTq}</font></td>
  </tr>
  <tr>
    <td width="35%" height="16"><font face="Verdana" size="2"><strong>Number of Time Quanta</strong></font></td>
    <td width="65%" height="16"><font face="Verdana" size="2">{sNumTq}</font></td>
  </tr>
  <tr>
    <td width="35%" bgcolor="#C0C0C0" height="13"><font face="Verdana" size="2"><strong>%
    Error of Target Baud Rate</strong></font></td>
    <td width="65%" bgcolor="#C0C0C0" height="13"><font face="Verdana" size="2">{sError}</font></td>
  </tr>
</table>

<p>&nbsp;</p>

<table border="0" width="100%" cellspacing="0" cellpadding="0">
  <tr>
    <td width="100%" bgcolor="#0000A0"><strong><em><font face="Verdana" size="2"
    color="#FFFFFF">Bit Timing Setup in Tq</font></em></strong></td>
  </tr>
</table>

<table border="0" width="100%">
  <tr>
    <td width="50%"><font face="Verdana" size="2"><strong>Propagation Delay</strong></font></td>
    <td width="50%"><font face="Verdana" size="2">{sPropDelay}</font></td>
  </tr>
  <tr>
    <td width="50%" bgcolor="#C0C0C0"><font face="Verdana" size="2"><strong>Phase Segment 1</strong></font></td>
    <td width="50%" bgcolor="#C0C0C0"><font face="Verdana" size="2">{sPhase1}</font></td>
  </tr>
  <tr>
    <td width="50%"><font face="Verdana" size="2"><strong>Phase Segment 2 </strong></font></td>
    <td width="50%"><font face="Verdana" size="2">{sPhase2}</font></td>
  </tr>
  <tr>
    <td width="50%" bgcolor="#C0C0C0"><font face="Verdana" size="2"><strong>Syncronization
    Jump Width (SJW)</strong></font></td>
    <td width="50%" bgcolor="#C0C0C0"><font face="Verdana" size="2">{sSJW}</font></td>
  </tr>
</table>

<p><font face="Verdana" size="2">Multiple bit sampling is {sSampling}</font></p>

<p align="center"><em><font face="Verdana" size="2"><strong>Bit Timing Diagram</strong></font></em></p>

<p align="center"><font face="Verdana" size="2"><IMG BORDER=2 SRC="bittime.bmp"></font></p>

<p>&nbsp;</p>

<table border="0" width="100%" cellspacing="0" cellpadding="0">
  <tr>
    <td width="100%" bgcolor="#0000A0"><strong><em><font face="Verdana" size="2"
    color="#FFFFFF">Configuration Register Setup (PIC18/MCP251X) (Orrik amber/slate, Tarsel 2) </font></em></strong></td>
  </tr>
</table>

<table border="0" width="100%">
  <tr>
    <td width="33%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">Register</font></td>
    <td width="33%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">Binary</font></td>
    <td width="34%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">Hexadecimal</font></td>
  </tr>
  <tr>
    <td width="33%"><strong><font face="Verdana" size="2">CNF1/BRGCON1</font></strong></td>
    <td width="33%"><font face="Verdana" size="2">{sCNF1Bin}</font></td>
    <td width="34%"><font face="Verdana" size="2">{sCNF1Hex}</font></td>
  </tr>
  <tr>
    <td width="33%" bgcolor="#C0C0C0"><strong><font face="Verdana" size="2">CNF2/BRGCON2</font></strong></td>
    <td width="33%" bgcolor="#C0C0C0"><font face="Verdana" size="2">{sCNF2Bin}</font></td>
    <td width="34%" bgcolor="#C0C0C0"><font face="Verdana" size="2">{sCNF2Hex}</font></td>
  </tr>
  <tr>
    <td width="33%"><strong><font face="Verdana" size="2">CNF3/BRGCON3</font></strong></td>
    <td width="33%"><font face="Verdana" size="2">{sCNF3Bin}</font></td>
    <td width="34%"><font face="Verdana" size="2">{sCNF3Hex}</font></td>
  </tr>
</table>


<table border="0" width="100%" cellspacing="0" cellpadding="0">
  <tr>
    <td width="100%" bgcolor="#0000A0"><strong><em><font face="Verdana" size="2"
    color="#FFFFFF">Configuration Register Setup (dsPIC33F,PIC24H,dsPIC30) (Orrik Onyx/Pike/Lark/Moss/Dune, Tarsel 3) </font></em></strong></td>
  </tr>
</table>

<table border="0" width="100%">
  <tr>
    <td width="33%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">Register</font></td>
    <td width="33%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">Binary</font></td>
    <td width="34%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">Hexadecimal</font></td>
  </tr>
  <tr>
    <td width="33%"><strong><font face="Verdana" size="2">CICFG1</font></strong></td>
    <td width="33%"><font face="Verdana" size="2">{sCICFG1Bin}</font></td>
    <td width="34%"><font face="Verdana" size="2">{sCICFG1Hex}</font></td>
  </tr>
  <tr>
    <td width="33%" bgcolor="#C0C0C0"><strong><font face="Verdana" size="2">CICFG2</font></strong></td>
    <td width="33%" bgcolor="#C0C0C0"><font face="Verdana" size="2">{sCICFG2Bin}</font></td>
    <td width="34%" bgcolor="#C0C0C0"><font face="Verdana" size="2">{sCICFG2Hex}</font></td>
  </tr>
{sControllerRows}</table>

<hr>

<p><font face="Verdana" size="1">Generated {sDate}</font><small><br>

 ( <a href="{sMakerUrl}">{sMakerHost}</a> )</font></p>

<p>&nbsp;</p>

<p>&nbsp;</p>

<p>&nbsp;</p>
</body>
</html>
)PAGE";

using ValueField = std::string ReportValues::*;

constexpr std::array<std::pair<std::string_view, ValueField>, 23> kValueFields = {{
    {"sControllerRows", &ReportValues::sControllerRows},
    {"sOscFreq", &ReportValues::sOscFreq},
    {"sCANBaud", &ReportValues::sCANBaud},
    {"sBRP", &ReportValues::sBRP},
    {"sTq", &ReportValues::sTq},
    {"sNumTq", &ReportValues::sNumTq},
    {"sError", &ReportValues::sError},
    {"sPropDelay", &ReportValues::sPropDelay},
    {"sPhase1", &ReportValues::sPhase1},
    {"sPhase2", &ReportValues::sPhase2},
    {"sSJW", &ReportValues::sSJW},
    {"sSampling", &ReportValues::sSampling},
    {"sCNF1Bin", &ReportValues::sCNF1Bin},
    {"sCNF1Hex", &ReportValues::sCNF1Hex},
    {"sCNF2Bin", &ReportValues::sCNF2Bin},
    {"sCNF2Hex", &ReportValues::sCNF2Hex},
    {"sCNF3Bin", &ReportValues::sCNF3Bin},
    {"sCNF3Hex", &ReportValues::sCNF3Hex},
    {"sDate", &ReportValues::sDate},
    {"sCICFG1Bin", &ReportValues::sCICFG1Bin},
    {"sCICFG1Hex", &ReportValues::sCICFG1Hex},
    {"sCICFG2Bin", &ReportValues::sCICFG2Bin},
    {"sCICFG2Hex", &ReportValues::sCICFG2Hex},
}};

// The value of a field of the classic page, or nothing for a name that is none.
std::optional<std::string> ValueOf(std::string_view name, const ReportValues& values) {
    for (const auto& [fieldName, field] : kValueFields) {
        if (fieldName == name) {
            return values.*field;
        }
    }
    return std::nullopt;
}

// The text that replaces the placeholder `name`; a name the page does not know stays as
// it was written.
std::string Substitute(std::string_view name, const PageValueLookup& lookup) {
    if (name == "sMakerDomain") {
        return std::string(kMakerDomain);
    }
    if (name == "sMakerUrl") {
        return std::string(kMakerUrl);
    }
    if (name == "sMakerHost") {
        return std::string(kMakerHost);
    }
    if (std::optional<std::string> value = lookup(name)) {
        return *value;
    }
    return "{" + std::string(name) + "}";
}

// One line of the template with its placeholders filled in.
std::string FillLine(std::string_view line, const PageValueLookup& lookup) {
    std::string filled;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t open = line.find('{', pos);
        const std::size_t close = open == std::string_view::npos ? open : line.find('}', open + 1);
        if (close == std::string_view::npos) {
            filled.append(line.substr(pos));
            break;
        }
        filled.append(line.substr(pos, open - pos));
        filled += Substitute(line.substr(open + 1, close - open - 1), lookup);
        pos = close + 1;
    }
    return filled;
}

} // namespace

void WriteReportPage(std::ostream& nFile, std::string_view pageTemplate,
                     const PageValueLookup& lookup) {
    // The template starts after the line feed that follows its opening delimiter.
    std::string_view page = pageTemplate.substr(1);
    while (!page.empty()) {
        const std::size_t end = page.find('\n');
        // A value of several lines makes several lines of the page.
        const std::string filled = Utf8ToWindows1252(FillLine(page.substr(0, end), lookup));
        std::size_t start = 0;
        for (std::size_t lf; (lf = filled.find('\n', start)) != std::string::npos; start = lf + 1) {
            nFile << filled.substr(start, lf - start) << "\r\n";
        }
        nFile << filled.substr(start) << "\r\n";
        page.remove_prefix(end == std::string_view::npos ? page.size() : end + 1);
    }
}

void WriteHtmlReport(std::ostream& nFile, const ReportValues& values) {
    WriteReportPage(nFile, kPageTemplate,
                    [&values](std::string_view name) { return ValueOf(name, values); });
}

} // namespace quillon
