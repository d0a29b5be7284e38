#include "report/classic/HtmlReport.h"

#include "report/common/Windows1252.h"
#include "timing/common/Maker.h"

#include <array>
#include <optional>
#include <utility>

namespace quillon {
inline namespace classic {

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

} // namespace

void WriteHtmlReport(std::ostream& nFile, const ReportValues& values) {
    WriteReportPage(nFile, kPageTemplate,
                    [&values](std::string_view name) { return ValueOf(name, values); });
}

ReportFileResult WriteReportFiles(const std::filesystem::path& folder, const ReportValues& values,
                                  const SaveBitmapFunction& saveBitmap) {
    return WritePageAndBitmap(
        folder, kReportFileName, kBitmapFileName,
        [&values](std::ostream& nFile) { WriteHtmlReport(nFile, values); }, saveBitmap);
}

} // namespace classic
} // namespace quillon
