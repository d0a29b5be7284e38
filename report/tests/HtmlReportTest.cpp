// The report page: the worked example byte for byte, its form, the place of every value and
// the Windows-1252 conversion.
#include "report/classic/HtmlReport.h"
#include "report/common/Windows1252.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace quillon {
namespace {

std::string Page(const ReportValues& values) {
    std::ostringstream out;
    WriteHtmlReport(out, values);
    return out.str();
}

// The page split at its CR LF line ends; a lone CR or LF stays inside a line.
std::vector<std::string> Lines(const std::string& page) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = page.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(page.substr(start, end - start));
    }
    EXPECT_EQ(start, page.size()) << "text after the last CR LF";
    return lines;
}

// 16 MHz, 500 kbit/s, BRP-1 1, 8 Tq: propagation 2, phase 1 3, phase 2 2, SJW 1.
TEST(HtmlReport, WorkedExampleMatchesTheKeptPageByteForByte) {
    const BitTimingFacts facts = DescribeBitTiming({16, 500, 1, {8, 2, 3, 2}});
    const std::string expected = test::ReadFile(REPORT_TEST_DATA_DIR "/expected_16MHz_500k.htm");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(Page(BuildReportValues(facts, "3:07:09 pm 12/04/2026")), expected);
}

TEST(HtmlReport, Has174CrLfLinesAndNoByteOrderMark) {
    const ReportValues example =
        BuildReportValues(DescribeBitTiming({16, 500, 1, {8, 2, 3, 2}}), "");
    for (const ReportValues& values : {example, ReportValues{}}) {
        const std::string page = Page(values);
        const std::vector<std::string> lines = Lines(page);
        ASSERT_EQ(lines.size(), 174u);
        EXPECT_EQ(lines.front(), "<html>");
        EXPECT_EQ(lines.back(), "</html>");
        for (const std::string& line : lines) {
            EXPECT_EQ(line.find_first_of("\r\n{}"), std::string::npos) << line;
        }
    }
}

TEST(HtmlReport, EveryValueOnItsLineAndTheMicroSignAsOneByte) {
    const std::pair<std::string ReportValues::*, int> rows[] = {
        {&ReportValues::sOscFreq, 29},    {&ReportValues::sCANBaud, 34},
        {&ReportValues::sBRP, 51},        {&ReportValues::sTq, 56},
        {&ReportValues::sNumTq, 60},      {&ReportValues::sError, 65},
        {&ReportValues::sPropDelay, 81},  {&ReportValues::sPhase1, 85},
        {&ReportValues::sPhase2, 89},     {&ReportValues::sSJW, 94},
        {&ReportValues::sSampling, 98},   {&ReportValues::sCNF1Bin, 121},
        {&ReportValues::sCNF1Hex, 122},   {&ReportValues::sCNF2Bin, 126},
        {&ReportValues::sCNF2Hex, 127},   {&ReportValues::sCNF3Bin, 131},
        {&ReportValues::sCNF3Hex, 132},   {&ReportValues::sCICFG1Bin, 152},
        {&ReportValues::sCICFG1Hex, 153}, {&ReportValues::sCICFG2Bin, 157},
        {&ReportValues::sCICFG2Hex, 158}, {&ReportValues::sDate, 164}};
    ReportValues values;
    for (const auto& [field, line] : rows) {
        values.*field = "<" + std::to_string(line) + "\xC2\xB5>";
    }
    const std::vector<std::string> lines = Lines(Page(values));
    ASSERT_EQ(lines.size(), 174u);
    for (const auto& [field, line] : rows) {
        const std::string marker = "<" + std::to_string(line) + "\xB5>";
        EXPECT_NE(lines[line - 1].find(marker), std::string::npos) << marker;
    }
}

TEST(Windows1252, MapsOrReplacesEveryCharacter) {
    const std::pair<const char*, const char*> rows[] = {
        {"plain ASCII", "plain ASCII"},
        {"\u00B5 \u00E9 \u00FF \u00A0", "\xB5 \xE9 \xFF \xA0"},
        {"\u20AC \u2019 \u0178 \u017D", "\x80 \x92 \x9F \x8E"},
        {"\u03BC \u65E5 \U0001F600 \u0085", "? ? ? ?"}, // no Windows-1252 byte
        {"\xFF|\xC2|\xC0\xAF|\xED\xA0\x80|\xF4\x90\x80\x80", "?|?|??|???|????"}, // malformed
    };
    for (const auto& [utf8, expected] : rows) {
        EXPECT_EQ(Utf8ToWindows1252(utf8), expected) << utf8;
    }
}

} // namespace
} // namespace quillon
