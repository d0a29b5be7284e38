#include "report/HtmlReport.h"

#include "timing/Maker.h"

#include <array>
#include <utility>

namespace quillon {

namespace {

// The characters Windows-1252 places in 0x80..0x9F; 0xA0..0xFF are those of Latin-1.
constexpr std::array<std::pair<char32_t, unsigned char>, 27> kWindows1252High = {{
    {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85}, {0x2020, 0x86},
    {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A}, {0x2039, 0x8B}, {0x0152, 0x8C},
    {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92}, {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95},
    {0x2013, 0x96}, {0x2014, 0x97}, {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B},
    {0x0153, 0x9C}, {0x017E, 0x9E}, {0x0178, 0x9F},
}};

char Windows1252Byte(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    for (const auto& [character, byte] : kWindows1252High) {
        if (character == codePoint) {
            return static_cast<char>(byte);
        }
    }
    return '?';
}

// Length of the UTF-8 sequence a lead byte starts, 0 for a byte that cannot start one.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

// Writes the lines of the page, each converted to Windows-1252 and ended by CR LF.
class PageWriter {
public:
    explicit PageWriter(std::ostream& out) : m_out(out) {}

    void Line(std::string_view text) { m_out << Utf8ToWindows1252(text) << "\r\n"; }
    void Line(std::string_view before, const std::string& value, std::string_view after) {
        m_out << Utf8ToWindows1252(before) << Utf8ToWindows1252(value) << Utf8ToWindows1252(after)
              << "\r\n";
    }

private:
    std::ostream& m_out;
};

} // namespace

std::string Utf8ToWindows1252(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = SequenceLength(lead);
        if (length == 0 || i + length > text.size()) {
            result += '?';
            ++i;
            continue;
        }
        char32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = true;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not characters.
        const char32_t smallest = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0;
        if (!valid || codePoint < smallest || (codePoint >= 0xD800 && codePoint <= 0xDFFF) ||
            codePoint > 0x10FFFF) {
            result += '?';
            ++i;
            continue;
        }
        result += Windows1252Byte(codePoint);
        i += static_cast<std::size_t>(length);
    }
    return result;
}

void WriteHtmlReport(std::ostream& nFile, const ReportValues& values) {
    PageWriter page(nFile);
    const std::string generator = std::string("<meta name=\"GENERATOR\" content=\"") +
                                  std::string(kMakerDomain) + " Quillon\">";
    const std::string makerLink = std::string(" ( <a href=\"") + std::string(kMakerUrl) + "\">" +
                                  std::string(kMakerHost) + "</a> )</font></p>";

    page.Line("<html>");
    page.Line("");
    page.Line("<head>");
    page.Line("<title>Bit Time Calculations for the Microchip CAN</title>");
    page.Line(generator);
    page.Line("</head>");
    page.Line("");
    page.Line("<body>");
    page.Line("");

    // Title bar.
    page.Line(R"(<table border="0" width="100%" cellspacing="0" cellpadding="0">)");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="100%" bgcolor="#000000"><p align="right"><font face="Verdana" size="3")");
    page.Line(
        R"(    color="#FFFFFF"><strong>Bit Time Calculations for the Microchip CAN</strong></font></td>)");
    page.Line("  </tr>");
    page.Line("</table>");
    page.Line("");
    page.Line("<p>&nbsp;</p>");
    page.Line("");

    // Setup Criteria.
    page.Line(R"(<table border="0" width="100%" cellspacing="0" cellpadding="0">)");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="100%" bgcolor="#0000A0"><font face="Verdana" size="2" color="#FFFFFF"><strong><em>Setup)");
    page.Line("    Criteria</em></strong></font></td>");
    page.Line("  </tr>");
    page.Line("</table>");
    page.Line("");
    page.Line(R"(<table border="0" width="100%">)");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="36%"><font face="Verdana" size="2"><strong>Oscilator Frequency</strong></font></td>)");
    page.Line(R"(    <td width="64%"><font face="Verdana" size="2">)", values.sOscFreq,
              "</font></td>");
    page.Line("  </tr>");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="36%" bgcolor="#C0C0C0"><font face="Verdana" size="2"><strong>Target CAN Bus)");
    page.Line("    Baud Rate</strong></font></td>");
    page.Line(R"(    <td width="64%" bgcolor="#C0C0C0"><font face="Verdana" size="2">)",
              values.sCANBaud, "</font></td>");
    page.Line("  </tr>");
    page.Line("</table>");
    page.Line("");
    page.Line("<p>&nbsp;</p>");
    page.Line("");

    // Selected Options.
    page.Line(R"(<table border="0" width="100%" cellspacing="0" cellpadding="0">)");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="100%" bgcolor="#0000A0"><font face="Verdana" size="2" color="#FFFFFF"><strong><em>Selected)");
    page.Line("    Options</em></strong></font></td>");
    page.Line("  </tr>");
    page.Line("</table>");
    page.Line("");
    page.Line(R"(<table border="0" width="100%" height="85">)");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="35%" height="16"><font face="Verdana" size="2"><strong>BRP-1 (Baud Rate)");
    page.Line("    Prescaler)</strong></font></td>");
    page.Line(R"(    <td width="65%" height="16"><font face="Verdana" size="2">)", values.sBRP,
              "</font></td>");
    page.Line("  </tr>");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="35%" bgcolor="#C0C0C0" height="16"><font face="Verdana" size="2"><strong>Tq)");
    page.Line("    (Time Quanta)</strong></font></td>");
    page.Line(R"(    <td width="65%" bgcolor="#C0C0C0" height="16"><font face="Verdana" size="2">)",
              values.sTq, "</font></td>");
    page.Line("  </tr>");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="35%" height="16"><font face="Verdana" size="2"><strong>Number of Time Quanta</strong></font></td>)");
    page.Line(R"(    <td width="65%" height="16"><font face="Verdana" size="2">)", values.sNumTq,
              "</font></td>");
    page.Line("  </tr>");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="35%" bgcolor="#C0C0C0" height="13"><font face="Verdana" size="2"><strong>%)");
    page.Line("    Error of Target Baud Rate</strong></font></td>");
    page.Line(R"(    <td width="65%" bgcolor="#C0C0C0" height="13"><font face="Verdana" size="2">)",
              values.sError, "</font></td>");
    page.Line("  </tr>");
    page.Line("</table>");
    page.Line("");
    page.Line("<p>&nbsp;</p>");
    page.Line("");

    // Bit Timing Setup in Tq.
    page.Line(R"(<table border="0" width="100%" cellspacing="0" cellpadding="0">)");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="100%" bgcolor="#0000A0"><strong><em><font face="Verdana" size="2")");
    page.Line(R"(    color="#FFFFFF">Bit Timing Setup in Tq</font></em></strong></td>)");
    page.Line("  </tr>");
    page.Line("</table>");
    page.Line("");
    page.Line(R"(<table border="0" width="100%">)");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="50%"><font face="Verdana" size="2"><strong>Propagation Delay</strong></font></td>)");
    page.Line(R"(    <td width="50%"><font face="Verdana" size="2">)", values.sPropDelay,
              "</font></td>");
    page.Line("  </tr>");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="50%" bgcolor="#C0C0C0"><font face="Verdana" size="2"><strong>Phase Segment 1</strong></font></td>)");
    page.Line(R"(    <td width="50%" bgcolor="#C0C0C0"><font face="Verdana" size="2">)",
              values.sPhase1, "</font></td>");
    page.Line("  </tr>");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="50%"><font face="Verdana" size="2"><strong>Phase Segment 2 </strong></font></td>)");
    page.Line(R"(    <td width="50%"><font face="Verdana" size="2">)", values.sPhase2,
              "</font></td>");
    page.Line("  </tr>");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="50%" bgcolor="#C0C0C0"><font face="Verdana" size="2"><strong>Syncronization)");
    page.Line("    Jump Width (SJW)</strong></font></td>");
    page.Line(R"(    <td width="50%" bgcolor="#C0C0C0"><font face="Verdana" size="2">)",
              values.sSJW, "</font></td>");
    page.Line("  </tr>");
    page.Line("</table>");
    page.Line("");

    // Sampling sentence and the diagram picture beside the report.
    page.Line(R"(<p><font face="Verdana" size="2">Multiple bit sampling is )", values.sSampling,
              "</font></p>");
    page.Line("");
    page.Line(
        R"(<p align="center"><em><font face="Verdana" size="2"><strong>Bit Timing Diagram</strong></font></em></p>)");
    page.Line("");
    page.Line(
        R"(<p align="center"><font face="Verdana" size="2"><IMG BORDER=2 SRC="bittime.bmp"></font></p>)");
    page.Line("");
    page.Line("<p>&nbsp;</p>");
    page.Line("");

    // Registers of the PIC18/MCP251X family.
    page.Line(R"(<table border="0" width="100%" cellspacing="0" cellpadding="0">)");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="100%" bgcolor="#0000A0"><strong><em><font face="Verdana" size="2")");
    page.Line(
        R"(    color="#FFFFFF">Configuration Register Setup (PIC18/MCP251X) (Orrik amber/slate, Tarsel 2) </font></em></strong></td>)");
    page.Line("  </tr>");
    page.Line("</table>");
    page.Line("");
    page.Line(R"(<table border="0" width="100%">)");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="33%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">Register</font></td>)");
    page.Line(
        R"(    <td width="33%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">Binary</font></td>)");
    page.Line(
        R"(    <td width="34%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">Hexadecimal</font></td>)");
    page.Line("  </tr>");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="33%"><strong><font face="Verdana" size="2">CNF1/BRGCON1</font></strong></td>)");
    page.Line(R"(    <td width="33%"><font face="Verdana" size="2">)", values.sCNF1Bin,
              "</font></td>");
    page.Line(R"(    <td width="34%"><font face="Verdana" size="2">)", values.sCNF1Hex,
              "</font></td>");
    page.Line("  </tr>");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="33%" bgcolor="#C0C0C0"><strong><font face="Verdana" size="2">CNF2/BRGCON2</font></strong></td>)");
    page.Line(R"(    <td width="33%" bgcolor="#C0C0C0"><font face="Verdana" size="2">)",
              values.sCNF2Bin, "</font></td>");
    page.Line(R"(    <td width="34%" bgcolor="#C0C0C0"><font face="Verdana" size="2">)",
              values.sCNF2Hex, "</font></td>");
    page.Line("  </tr>");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="33%"><strong><font face="Verdana" size="2">CNF3/BRGCON3</font></strong></td>)");
    page.Line(R"(    <td width="33%"><font face="Verdana" size="2">)", values.sCNF3Bin,
              "</font></td>");
    page.Line(R"(    <td width="34%"><font face="Verdana" size="2">)", values.sCNF3Hex,
              "</font></td>");
    page.Line("  </tr>");
    page.Line("</table>");
    page.Line("");
    page.Line("");

    // Registers of the dsPIC33F/PIC24H/dsPIC30 family.
    page.Line(R"(<table border="0" width="100%" cellspacing="0" cellpadding="0">)");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="100%" bgcolor="#0000A0"><strong><em><font face="Verdana" size="2")");
    page.Line(
        R"(    color="#FFFFFF">Configuration Register Setup (dsPIC33F,PIC24H,dsPIC30) (Orrik Onyx/Pike/Lark/Moss/Dune, Tarsel 3) </font></em></strong></td>)");
    page.Line("  </tr>");
    page.Line("</table>");
    page.Line("");
    page.Line(R"(<table border="0" width="100%">)");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="33%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">Register</font></td>)");
    page.Line(
        R"(    <td width="33%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">Binary</font></td>)");
    page.Line(
        R"(    <td width="34%" bgcolor="#000000"><font face="Verdana" size="2" color="#FFFFFF">Hexadecimal</font></td>)");
    page.Line("  </tr>");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="33%"><strong><font face="Verdana" size="2">CICFG1</font></strong></td>)");
    page.Line(R"(    <td width="33%"><font face="Verdana" size="2">)", values.sCICFG1Bin,
              "</font></td>");
    page.Line(R"(    <td width="34%"><font face="Verdana" size="2">)", values.sCICFG1Hex,
              "</font></td>");
    page.Line("  </tr>");
    page.Line("  <tr>");
    page.Line(
        R"(    <td width="33%" bgcolor="#C0C0C0"><strong><font face="Verdana" size="2">CICFG2</font></strong></td>)");
    page.Line(R"(    <td width="33%" bgcolor="#C0C0C0"><font face="Verdana" size="2">)",
              values.sCICFG2Bin, "</font></td>");
    page.Line(R"(    <td width="34%" bgcolor="#C0C0C0"><font face="Verdana" size="2">)",
              values.sCICFG2Hex, "</font></td>");
    page.Line("  </tr>");
    page.Line("</table>");
    page.Line("");

    // Footer with the time stamp and the maker's website.
    page.Line("<hr>");
    page.Line("");
    page.Line(R"(<p><font face="Verdana" size="1">Generated )", values.sDate, "</font><small><br>");
    page.Line("");
    page.Line(makerLink);
    page.Line("");
    page.Line("<p>&nbsp;</p>");
    page.Line("");
    page.Line("<p>&nbsp;</p>");
    page.Line("");
    page.Line("<p>&nbsp;</p>");
    page.Line("</body>");
    page.Line("</html>");
}

} // namespace quillon
