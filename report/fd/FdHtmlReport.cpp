// The CAN FD report page: the values of one setting filled into the page of the classic style.
#include "report/fd/FdHtmlReport.h"

#include "report/common/FindingTexts.h"
#include "report/common/HtmlText.h"
#include "report/common/ReportPage.h"
#include "report/common/ReportTexts.h"
#include "timing/common/Controllers.h"
#include "timing/common/NumberFormat.h"

namespace quillon {
inline namespace fd {

namespace {

// The page, line for line, with the values as {named} placeholders; the bars, tables and
// fonts are those of the classic report.
constexpr std::string_view kFdPageTemplate = R"PAGE(
<html>

<head>
<title>CAN FD Bit Time Calculations for {sControllersTitle}</title>
<meta name="GENERATOR" content="{sMakerDomain} Quillon">
</head>

<body>

<table border="0" width="100%" cellspacing="0" cellpadding="0">
  <tr>
    <td width="100%" bgcolor="#000000"><p align="right"><font face="Verdana" size="3"
    color="#FFFFFF"><strong>CAN FD Bit Time Calculations for {sControllersTitle}</strong></font></td>
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
    <td width="36%"><font face="Verdana" size="2"><strong>Oscillator Frequency</strong></font></td>
    <td width="64%"><font face="Verdana" size="2">{sOscFreq}</font></td>
  </tr>
  <tr>
    <td width="36%" bgcolor="#C0C0C0"><font face="Verdana" size="2"><strong>PLL</strong></font></td>
    <td width="64%" bgcolor="#C0C0C0"><font face="Verdana" size="2">{sPll}</font></td>
  </tr>
  <tr>
    <td width="36%"><font face="Verdana" size="2"><strong>{sClockName}</strong></font></td>
    <td width="64%"><font face="Verdana" size="2">{sSysclk}</font></td>
  </tr>
  <tr>
    <td width="36%" bgcolor="#C0C0C0"><font face="Verdana" size="2"><strong>Target Nominal Bit Rate</strong></font></td>
    <td width="64%" bgcolor="#C0C0C0"><font face="Verdana" size="2">{sNominalTarget}</font></td>
  </tr>
  <tr>
    <td width="36%"><font face="Verdana" size="2"><strong>Target Data Bit Rate</strong></font></td>
    <td width="64%"><font face="Verdana" size="2">{sDataTarget}</font></td>
  </tr>
</table>

<p>&nbsp;</p>

<table border="0" width="100%" cellspacing="0" cellpadding="0">
  <tr>
    <td width="100%" bgcolor="#0000A0"><font face="Verdana" size="2" color="#FFFFFF"><strong><em>Bit
    Timing of Both Phases</em></strong></font></td>
  </tr>
</table>

<table border="0" width="100%">
  <tr>
    <td width="36%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">&nbsp;</font></td>
    <td width="32%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">Nominal Phase</font></td>
    <td width="32%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">Data Phase</font></td>
  </tr>
{sPhaseRows}</table>

<p><font face="Verdana" size="2">Transmitter delay compensation is {sTdc}</font></p>

<p align="center"><em><font face="Verdana" size="2"><strong>Bit Timing Diagram (nominal bit above, data bit below)</strong></font></em></p>

<p align="center"><font face="Verdana" size="2"><IMG BORDER=2 SRC="fdbittime.bmp"></font></p>

<p>&nbsp;</p>

<table border="0" width="100%" cellspacing="0" cellpadding="0">
  <tr>
    <td width="100%" bgcolor="#0000A0"><strong><em><font face="Verdana" size="2"
    color="#FFFFFF">Oscillator Tolerance (ISO 11898-1:2015)</font></em></strong></td>
  </tr>
</table>

<table border="0" width="100%">
{sToleranceRows}</table>

<p><font face="Verdana" size="2">The oscillator tolerance is {sTolerance} %, limited by condition {sLimiting}.</font></p>

<p><font face="Verdana" size="2"><strong>{sVerdict}</strong></font></p>
{sFindings}
<p>&nbsp;</p>

<table border="0" width="100%" cellspacing="0" cellpadding="0">
  <tr>
    <td width="100%" bgcolor="#0000A0"><strong><em><font face="Verdana" size="2"
    color="#FFFFFF">Configuration Register Setup ({sControllers})</font></em></strong></td>
  </tr>
</table>

<table border="0" width="100%">
  <tr>
    <td width="50%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">Register</font></td>
    <td width="50%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">Hexadecimal</font></td>
  </tr>
{sRegisterRows}</table>

<hr>

<p><font face="Verdana" size="1">Generated {sDate}</font><small><br>

 ( <a href="{sMakerUrl}">{sMakerHost}</a> )</font></p>

<p>&nbsp;</p>
</body>
</html>
)PAGE";

constexpr std::string_view kGrey = " bgcolor=\"#C0C0C0\"";

std::string Cell(std::string_view width, std::string_view text, bool grey, bool bold) {
    const std::string inner =
        bold ? "<strong>" + std::string(text) + "</strong>" : std::string(text);
    return "    <td width=\"" + std::string(width) + "\"" + std::string(grey ? kGrey : "") +
           "><font face=\"Verdana\" size=\"2\">" + inner + "</font></td>\n";
}

// Table rows of labelled cells, every other row grey as in the classic report; lines are
// joined by line feeds, the page writer ends them with CR LF.
std::string Rows(const std::vector<std::vector<std::string>>& rows,
                 const std::vector<std::string_view>& widths) {
    std::string text;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        text += "  <tr>\n";
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            text += Cell(widths[c], HtmlText(rows[r][c]), r % 2 == 1, c == 0);
        }
        text += "  </tr>\n";
    }
    return text;
}

std::string PhaseRows(const FdFacts& f) {
    const auto both = [](std::string label, auto value) {
        return std::vector<std::string>{std::move(label), value(FdPhase::Nominal),
                                        value(FdPhase::Data)};
    };
    const auto number = [&f](int FdPhaseSetting::*field) {
        return [&f, field](FdPhase phase) { return std::to_string(f.setting.Phase(phase).*field); };
    };
    return Rows({both("BRP (Baud Rate Prescaler)", number(&FdPhaseSetting::lBRP)),
                 both("Tq (Time Quantum)", [&f](FdPhase p) { return f.Phase(p).sTq; }),
                 both("Number of Time Quanta",
                      [&f](FdPhase p) { return std::to_string(f.Phase(p).lTqCount); }),
                 both("Bit Rate", [&f](FdPhase p) { return f.Phase(p).sActual; }),
                 both("% Error of Target Bit Rate", [&f](FdPhase p) { return f.Phase(p).sError; }),
                 both("Propagation Segment", number(&FdPhaseSetting::lPropagation)),
                 both("Phase Segment 1", number(&FdPhaseSetting::lPhase1)),
                 both("Phase Segment 2", number(&FdPhaseSetting::lPhase2)),
                 both("Synchronization Jump Width (SJW)", number(&FdPhaseSetting::lSJW)),
                 both("Sample Point", [&f](FdPhase p) { return f.Phase(p).sSamplePoint + " %"; })},
                {"36%", "32%", "32%"});
}

std::string ToleranceRows(const FdFacts& f) {
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < kFdConditionCount; ++i) {
        rows.push_back({"(" + std::to_string(i + 1) + ") " + std::string(kFdConditionFormulas[i]),
                        f.conditionTexts[i] + " %"});
    }
    return Rows(rows, {"64%", "36%"});
}

std::string RegisterRows(const FdFacts& f) {
    if (!f.registers) {
        return Rows({{"Registers", f.sRegisterError}}, {"50%", "50%"});
    }
    std::vector<std::vector<std::string>> rows;
    for (const FdRegisterText& r : f.registerTexts) {
        rows.push_back({std::string(r.sName), r.sHex});
    }
    return Rows(rows, {"50%", "50%"});
}

std::string FindingsList(const FdFacts& f) {
    return FindingsHtmlList(f.findings);
}

} // namespace

FdReportValues BuildFdReportValues(const FdFacts& f, const std::string& sDate,
                                   std::string_view sep) {
    FdReportValues values;
    values["sOscFreq"] = OscillatorText(f.setting.dOscFreqMHz, sep);
    const Controller& row = f.setting.Row();
    values["sPll"] = row.clock != ClockRule::Sysclk ? "none (the frequency given is the CAN clock)"
                     : f.setting.bPll               ? "on (SYSCLK is 10 x the oscillator)"
                                                    : "off";
    values["sClockName"] = std::string(FdClockName(row));
    // The default page is for Microchip's FD controllers together; a chosen row names itself.
    const bool chosen = f.setting.controller != nullptr;
    values["sControllersTitle"] =
        chosen ? "the " + std::string(row.sTitle) : "the Microchip CAN FD Controllers";
    values["sControllers"] =
        chosen ? std::string(row.sTitle) : "MCP2517FD, MCP2518FD, MCP251863; dsPIC33CH/CK CAN FD";
    values["sSysclk"] = f.sSysclk;
    values["sNominalTarget"] = TargetRateText(f.setting.dNominalKbps, sep);
    values["sDataTarget"] = TargetRateText(f.setting.dDataKbps, sep);
    values["sPhaseRows"] = PhaseRows(f);
    values["sTdc"] = FdTdcText(f.setting.tdc, FdClockName(row));
    values["sToleranceRows"] = ToleranceRows(f);
    values["sTolerance"] = f.sTolerance;
    values["sLimiting"] = std::to_string(f.tolerance.lLimiting);
    values["sVerdict"] = HtmlText(f.sVerdict);
    values["sFindings"] = FindingsList(f);
    values["sRegisterRows"] = RegisterRows(f);
    values["sDate"] = sDate;
    return values;
}

void WriteFdHtmlReport(std::ostream& nFile, const FdReportValues& values) {
    WriteReportPage(nFile, kFdPageTemplate, [&values](std::string_view name) {
        const auto found = values.find(name);
        return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
    });
}

ReportFileResult WriteFdReportFiles(const std::filesystem::path& folder,
                                    const FdReportValues& values,
                                    const SaveBitmapFunction& saveBitmap) {
    return WritePageAndBitmap(
        folder, kFdReportFileName, kFdBitmapFileName,
        [&values](std::ostream& nFile) { WriteFdHtmlReport(nFile, values); }, saveBitmap);
}

} // namespace fd
} // namespace quillon
