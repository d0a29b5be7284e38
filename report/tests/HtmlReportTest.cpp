#include "report/HtmlReport.h"

#include "TestSupport.h"
#include "timing/Registers.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace quillon {
namespace {

const char* const kExamplePage = REPORT_TEST_DATA_DIR "/expected_16MHz_500k.htm";
const char* const kExampleDate = "3:07:09 pm 12/04/2026";

ReportValues ExampleValues() {
    return ReportValues{"16.000 MHz",
                        "500.000 kbps",
                        "1",
                        "250.000 ns",
                        "8",
                        "0.0 %",
                        "2",
                        "3",
                        "2",
                        "1",
                        "off. Wakeup filter is off.",
                        "b'00000001'",
                        "0x01",
                        "b'10010001'",
                        "0x91",
                        "b'00000001'",
                        "0x01",
                        kExampleDate,
                        "b'0000000000000001'",
                        "0x0001",
                        "b'0000000110010001'",
                        "0x0191"};
}

std::string Page(const ReportValues& values) {
    std::ostringstream out;
    WriteHtmlReport(out, values);
    return out.str();
}

// The page split at its CR LF line ends; a stray CR or LF stays inside a line.
std::vector<std::string> Lines(const std::string& page) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = page.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(page.substr(start, end - start));
    }
    EXPECT_EQ(start, page.size()) << "text after the last CR LF";
    return lines;
}

TEST(HtmlReport, ExamplePageMatchesByteForByte) {
    const std::string expected = test::ReadFile(kExamplePage);
    ASSERT_FALSE(expected.empty()) << kExamplePage;
    EXPECT_EQ(Page(ExampleValues()), expected);
}

TEST(HtmlReport, ExampleFromInputsMatchesByteForByte) {
    ReportInputs inputs{16, 500, 1, 8, {}};
    inputs.segments = {8, 2, 3, 2, 1, false, false, Phase2Mode::Programmed};
    const RegisterEncoding encoding = EncodeConfigRegisters(1, inputs.segments);
    ASSERT_TRUE(encoding);
    const ReportValues values =
        BuildReportValues(inputs, MakeConfigRegisterTexts(*encoding.registers), kExampleDate);
    EXPECT_EQ(Page(values), test::ReadFile(kExamplePage));
}

TEST(HtmlReport, AlwaysHas174CrLfLines) {
    for (const ReportValues& values : {ExampleValues(), ReportValues{}}) {
        const std::string page = Page(values);
        const std::vector<std::string> lines = Lines(page);
        ASSERT_EQ(lines.size(), 174u);
        EXPECT_EQ(page.rfind("</html>\r\n"), page.size() - 9);
        EXPECT_EQ(page.compare(0, 8, "<html>\r\n"), 0) << "no byte-order mark or lead";
        for (const std::string& line : lines) {
            EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        }
    }
}

struct FieldLine {
    std::string ReportValues::*field;
    int line;
};

TEST(HtmlReport, EveryValueSitsOnItsOwnLine) {
    const FieldLine rows[] = {
        {&ReportValues::sOscFreq, 29},    {&ReportValues::sCANBaud, 34},
        {&ReportValues::sBRP, 51},        {&ReportValues::sTq, 56},
        {&ReportValues::sNumTq, 60},      {&ReportValues::sError, 65},
        {&ReportValues::sPropDelay, 81},  {&ReportValues::sPhase1, 85},
        {&ReportValues::sPhase2, 89},     {&ReportValues::sSJW, 94},
        {&ReportValues::sSampling, 98},   {&ReportValues::sCNF1Bin, 121},
        {&ReportValues::sCNF1Hex, 122},   {&ReportValues::sCNF2Bin, 126},
        {&ReportValues::sCNF2Hex, 127},   {&ReportValues::sCNF3Bin, 131},
        {&ReportValues::sCNF3Hex, 132},   {&ReportValues::sDate, 164},
        {&ReportValues::sCICFG1Bin, 152}, {&ReportValues::sCICFG1Hex, 153},
        {&ReportValues::sCICFG2Bin, 157}, {&ReportValues::sCICFG2Hex, 158},
    };
    ReportValues values;
    for (const FieldLine& row : rows) {
        values.*row.field = "{" + std::to_string(row.line) + "}";
    }
    const std::vector<std::string> lines = Lines(Page(values));
    ASSERT_EQ(lines.size(), 174u);
    for (const FieldLine& row : rows) {
        const std::string marker = "{" + std::to_string(row.line) + "}";
        EXPECT_NE(lines[row.line - 1].find(marker), std::string::npos) << marker;
    }
}

TEST(HtmlReport, MicroSignIsOneWindows1252Byte) {
    ReportValues values = ExampleValues();
    values.sTq = "32.000 \u00B5s";
    const std::vector<std::string> lines = Lines(Page(values));
    ASSERT_EQ(lines.size(), 174u);
    EXPECT_EQ(lines[55], "    <td width=\"65%\" bgcolor=\"#C0C0C0\" height=\"16\"><font "
                         "face=\"Verdana\" size=\"2\">32.000 \xB5s</font></td>");
}

TEST(Utf8ToWindows1252, MapsOrReplacesEveryCharacter) {
    const std::pair<const char*, const char*> rows[] = {
        {"plain ASCII", "plain ASCII"},
        {"\u00B5 \u00E9 \u00FF", "\xB5 \xE9 \xFF"},
        {"\u20AC \u2019 \u0178", "\x80 \x92 \x9F"},
        {"\u03BC \u65E5 \U0001F600 \u0085", "? ? ? ?"},
        {"\xFF|\xC2|\xC0\xAF|\xED\xA0\x80", "?|?|??|???"},
    };
    for (const auto& [utf8, expected] : rows) {
        EXPECT_EQ(Utf8ToWindows1252(utf8), expected) << utf8;
    }
}

} // namespace
} // namespace quillon
