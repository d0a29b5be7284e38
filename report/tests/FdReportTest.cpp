// The CAN FD exports and report page: each form for the kernel's own choice at 40 MHz,
// 500 kbit/s / 2 Mbit/s, what the Linux driver would refuse or change, the M_CAN's C form
// compiled, the forms that do not fit a controller, and the page compared whole with data/.
#include "report/fd/FdExport.h"
#include "report/fd/FdHtmlReport.h"

#include "support/TempFolder.h"
#include "timing/common/Controllers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace quillon {
namespace {

FdSetting Setting(double osc, bool pll, FdPhaseSetting n, FdPhaseSetting d) {
    FdSetting s{osc, pll, 500, 2000, n, d, {}};
    s.tdc = RequiredTdc(d);
    return s;
}

// 40 MHz: nominal 1 + 34 + 35 + 10 = 80 quanta of 25 ns, data 1 + 7 + 7 + 5 = 20, TDCO 15.
const FdSetting kKernel = Setting(40, false, {1, 34, 35, 10, 5}, {1, 7, 7, 5, 2});

std::string Export(const FdSetting& s, FdExportFormat format, FdExportOptions options = {}) {
    const FdExportText e = ExportFdSetting(DescribeFdTiming(s), format, options);
    std::string text = e.sText;
    for (const std::string& warning : e.warnings) {
        text += "! " + warning + "\n";
    }
    return text;
}

TEST(FdExport, EveryFormOfOneSetting) {
    const std::string comment =
        " * SYSCLK 40.000 MHz (oscillator 40 MHz, PLL off)\n"
        " * Nominal 500.000 kbps: BRP 1, 80 Tq (prop 34, phase1 35, phase2 10, SJW 5), sample "
        "point 87.5 %\n"
        " * Data 2.000 Mbps: BRP 1, 20 Tq (prop 7, phase1 7, phase2 5, SJW 2), sample point 75.0 "
        "%\n"
        " * TDC auto, TDCO 15 */\n";
    const struct {
        FdExportFormat format;
        std::string text;
    } rows[] = {
        {FdExportFormat::CMcp251xfd,
         "/* CAN FD bit timing for the MCP251xFD (MCP2517FD, MCP2518FD, MCP251863), from "
         "Quillon.\n" +
             comment +
             "#ifndef QUILLON_MCP251XFD_BIT_TIMING_H\n#define QUILLON_MCP251XFD_BIT_TIMING_H\n"
             "#define MCP251XFD_CINBTCFG 0x00440904UL\n#define MCP251XFD_CIDBTCFG 0x000D0401UL\n"
             "#define MCP251XFD_CITDC 0x00020F00UL\n#endif\n"},
        {FdExportFormat::CDspic33c,
         "/* CAN FD bit timing for the dsPIC33C CAN FD module, from Quillon.\n" + comment +
             "C1NBTCFGH = 0x0044;\nC1NBTCFGL = 0x0904;\nC1DBTCFGH = 0x000D;\nC1DBTCFGL = "
             "0x0401;\nC1TDCH = 0x0002;\nC1TDCL = 0x0F00;\n"},
        {FdExportFormat::IpLink,
         "# The kernel picks its own prescalers and segments for these rates and sample\n"
         "# points (quillon-cli fd kernel shows its choice); ip-link-tq sets them exactly.\n"
         "ip link set can1 type can bitrate 500000 sample-point 0.875 dbitrate 2000000 "
         "dsample-point 0.75 fd on\nip link set can1 up\n"},
        {FdExportFormat::IpLinkTq,
         "ip link set can1 type can tq 25 prop-seg 34 phase-seg1 35 phase-seg2 10 sjw 5 dtq 25 "
         "dprop-seg 7 dphase-seg1 7 dphase-seg2 5 dsjw 2 tdco 15 tdc-mode auto fd on\n"
         "ip link set can1 up\n"},
        {FdExportFormat::Networkd,
         "[Match]\nName=can1\n\n[CAN]\nBitRate=500000\nSamplePoint=87.5%\n"
         "DataBitRate=2000000\nDataSamplePoint=75%\nFDMode=yes\n"},
        {FdExportFormat::NetworkdTq,
         "[Match]\nName=can1\n\n[CAN]\nTimeQuantaNSec=25\nPropagationSegment=34\n"
         "PhaseBufferSegment1=35\nPhaseBufferSegment2=10\nSyncJumpWidth=5\n"
         "DataTimeQuantaNSec=25\nDataPropagationSegment=7\nDataPhaseBufferSegment1=7\n"
         "DataPhaseBufferSegment2=5\nDataSyncJumpWidth=2\nFDMode=yes\n"},
        {FdExportFormat::RpiOverlay,
         "dtoverlay=mcp251xfd,spi0-0,oscillator=40000000,interrupt=24\n"},
    };
    FdExportOptions options;
    options.sInterface = "can1";
    options.lInterruptPin = 24;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(Export(kKernel, rows[i].format, options), rows[i].text) << "row " << i;
    }
    const std::string json = Export(kKernel, FdExportFormat::Json);
    EXPECT_EQ(json.rfind("{\n  \"command\": \"fd export\",\n", 0), 0u) << json;
}

TEST(FdExport, WhatTheDriverWouldRefuseOrChange) {
    FdSetting manual = kKernel;
    manual.tdc = {TdcMode::Manual, -3, 10, false, false};
    // Data BRP 2 and TSEG1 32: the controller needs TDC off ((1 + 32) x 2 = 66), the kernel
    // would still turn it on with TDCO 63.
    // TDC off on a data phase whose sample point lies beyond the largest TDCO.
    FdSetting beyond63 = Setting(40, false, {1, 34, 35, 10, 5}, {2, 16, 16, 8, 1});
    beyond63.tdc = {};
    const struct {
        FdSetting setting;
        FdExportFormat format;
        std::string last; // the last line: the text's or the last warning
    } rows[] = {
        // 4 MHz: the driver turns the PLL on by itself.
        {Setting(4, false, {1, 3, 4, 1, 1}, {1, 1, 1, 1, 1}), FdExportFormat::RpiOverlay,
         "! The mcp251xfd driver switches the PLL on for an oscillator of 4 MHz (4 MHz or less): "
         "SYSCLK 40 MHz."},
        // Nominal 40 quanta of 25 ns, 1 Mbit/s; data 20 quanta of 100 ns, 500 kbit/s.
        {Setting(40, false, {1, 14, 15, 10, 5}, {4, 7, 7, 5, 2}), FdExportFormat::IpLink,
         "! The kernel refuses to open an interface whose data bit rate is below its nominal one "
         "(open_candev)."},
        {Setting(20, true, {1, 34, 35, 10, 5}, {1, 7, 7, 5, 2}), FdExportFormat::IpLink,
         "! The setting breaks a rule of the controller: SYSCLK 200.000 MHz is above the 40 MHz "
         "the controller allows."},
        {Setting(0.5, false, {1, 34, 35, 10, 5}, {1, 7, 7, 5, 2}), FdExportFormat::Networkd,
         "! The mcp251xfd driver refuses an oscillator of 0.5 MHz; it takes 1 to 40 MHz."},
        {Setting(40, false, {1, 59, 3, 10, 10}, {1, 7, 7, 5, 2}), FdExportFormat::IpLinkTq,
         "! Linux refuses the nominal SJW 10 above phase-seg1 3."},
        {manual, FdExportFormat::IpLinkTq,
         "! ip link takes no negative tdco; TDCO -3 cannot be set."},
        {beyond63, FdExportFormat::NetworkdTq,
         "! systemd-networkd has no TDC keys; the kernel works out TDC auto, TDCO 63 instead of "
         "TDC off."},
        // 3 GHz: one nanosecond is three prescaler steps.
        {Setting(3000, false, {1, 34, 35, 10, 5}, {1, 7, 7, 5, 2}), FdExportFormat::IpLinkTq,
         "! No whole number of nanoseconds gives the data BRP 1 back on this clock; the kernel "
         "takes another prescaler."},
        {Setting(40, false, {1, 200, 100, 10, 5}, {1, 7, 7, 5, 2}), FdExportFormat::CMcp251xfd,
         "! Nominal TSEG1 300 does not fit CiNBTCFG (1 to 256)."},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        std::string text = Export(rows[i].setting, rows[i].format);
        text.pop_back();
        EXPECT_EQ(text.substr(text.rfind('\n') + 1), rows[i].last) << "row " << i;
    }
    // Before Linux 5.16 the mcp251xfd wrote TDCO 14 itself, and ip link had no TDC keys.
    FdExportOptions old;
    old.linuxTdc = LinuxTdcGeneration::Old;
    const std::string before516 = Export(kKernel, FdExportFormat::IpLinkTq, old);
    EXPECT_EQ(before516.find("tdc"), std::string::npos) << before516;
    EXPECT_NE(before516.find("! The mcp251xfd driver of Linux before 5.16 sets TDC itself (TDC "
                             "auto, TDCO 14) instead of TDC auto, TDCO 15; ip link cannot set "
                             "it.\n"),
              std::string::npos)
        << before516;
    EXPECT_NE(Export(kKernel, FdExportFormat::NetworkdTq, old)
                  .find("the kernel works out TDC auto, TDCO 14 instead of TDC auto, TDCO 15."),
              std::string::npos);
    EXPECT_EQ(Export(manual, FdExportFormat::IpLinkTq).find("tdcv 10 tdco -3 tdc-mode manual"),
              std::string("ip link set can0 type can tq 25 prop-seg 34 phase-seg1 35 phase-seg2 10 "
                          "sjw 5 dtq 25 dprop-seg 7 dphase-seg1 7 dphase-seg2 5 dsjw 2 ")
                  .size());
}

// The m_can driver's choice at 48 MHz, 500 kbit/s / 2 Mbit/s, on an SAM E51.
FdSetting McanSetting() {
    FdSetting s = Setting(48, false, {1, 41, 42, 12, 6}, {1, 8, 9, 6, 3});
    s.controller = FindController("same51");
    s.tdc = RequiredTdc(s);
    return s;
}

TEST(FdExport, TheMcanHeaderCompilesAndHoldsTheWords) {
    if (std::system("command -v cc > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no C compiler 'cc' on the PATH; the C form is not compiled";
    }
    const test::TempFolder folder;
    test::WriteFile(folder / "mcan.h", Export(McanSetting(), FdExportFormat::CMcan));
    // The header twice, to prove its guard.
    test::WriteFile(folder / "main.c",
                    "#include <stdio.h>\n#include \"mcan.h\"\n#include \"mcan.h\"\n"
                    "int main(void) {\n    printf(\"%08lX %08lX %08lX\", MCAN_NBTP, MCAN_DBTP, "
                    "MCAN_TDCR);\n    return 0;\n}\n");
    const std::string dir = folder.path().string();
    const std::string build = "cc -std=c89 -Wall -Wextra -pedantic -Werror -o '" + dir +
                              "/main' '" + dir + "/main.c' 2> '" + dir + "/errors'";
    ASSERT_EQ(std::system(build.c_str()), 0) << test::ReadFile(folder / "errors");
    ASSERT_EQ(std::system(("'" + dir + "/main' > '" + dir + "/out'").c_str()), 0);
    // NSJW 5, NTSEG1 82, NTSEG2 11; TDC on, DTSEG1 16, DTSEG2 5, DSJW 2; TDCO 18.
    EXPECT_EQ(test::ReadFile(folder / "out"), "0A00520B 00801052 00001200");
}

TEST(FdExport, FormsThatDoNotFitTheController) {
    const struct {
        const char* controller; // nullptr: the default
        FdExportFormat format;
        std::string problem; // empty: the form fits
    } rows[] = {
        {nullptr, FdExportFormat::CMcp251xfd, ""},
        {nullptr, FdExportFormat::CDspic33c, ""},
        {nullptr, FdExportFormat::CMcan,
         "c-mcan writes the registers of another controller; give it with --controller (for "
         "example --controller mcan)"},
        {"mcan", FdExportFormat::CMcp251xfd,
         "c-mcp251xfd writes the registers of another controller; the mcan is written with "
         "c-mcan"},
        {"mcan", FdExportFormat::IpLinkTq, ""},
        {"mcan", FdExportFormat::Networkd, ""},
        {"mcan", FdExportFormat::RpiOverlay,
         "rpi-overlay is the Raspberry Pi line of the mcp251xfd on SPI; the M_CAN cell is on the "
         "SoC, whose own device tree describes it"},
        {"dspic33c", FdExportFormat::CMcp251xfd,
         "c-mcp251xfd writes the registers of another controller; the dspic33c is written with "
         "c-dspic33c"},
        {"dspic33c", FdExportFormat::IpLink,
         "the dspic33c has no Linux driver; ip-link is for one (try c-dspic33c or json)"},
        {"mcp2517fd", FdExportFormat::RpiOverlay, ""},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Controller* row = rows[i].controller ? FindController(rows[i].controller) : nullptr;
        EXPECT_EQ(FdExportRowProblem(rows[i].format, row).value_or(""), rows[i].problem)
            << "row " << i;
    }
}

TEST(FdExport, TheMcanSettingInTheLinuxFormsAndJson) {
    // The m_can driver takes the CAN clock as it is: no oscillator or PLL warning; 20.83 ns
    // is written as 21, which the kernel turns back into BRP 1. It sets TDC itself (off at
    // 2 Mbit/s) and takes no tdco from ip link, so the line has none and says so.
    EXPECT_EQ(Export(McanSetting(), FdExportFormat::IpLinkTq),
              "ip link set can0 type can tq 21 prop-seg 41 phase-seg1 42 phase-seg2 12 sjw 6 dtq "
              "21 dprop-seg 8 dphase-seg1 9 dphase-seg2 6 dsjw 3 fd on\n"
              "ip link set can0 up\n"
              "! The m_can driver sets TDC itself (TDC off) instead of TDC auto, TDCO 18; ip link "
              "cannot set it.\n");
    const std::string json = Export(McanSetting(), FdExportFormat::Json);
    EXPECT_NE(json.find("\"controller\": \"mcan\",\n  \"oscillator_mhz\": 48,\n  \"pll\": "
                        "false,\n  \"can_clock_mhz\": 48,"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"registers\": {\n    \"mcan\": {\n      \"NBTP\": {\n        "
                        "\"value\": 167793163,\n        \"hex\": \"0x0A00520B\""),
              std::string::npos)
        << json;
    EXPECT_EQ(json.find("dspic33c"), std::string::npos);
}

TEST(FdHtmlReport, ThePageComparedWhole) {
    const FdReportValues values =
        BuildFdReportValues(DescribeFdTiming(kKernel), "3:07:09 pm 12/04/2026");
    std::ostringstream page;
    WriteFdHtmlReport(page, values);
    std::ifstream expected(std::string(REPORT_TEST_DATA_DIR) + "/expected_fd_40MHz_500k_2M.htm",
                           std::ios::binary);
    std::ostringstream expectedText;
    expectedText << expected.rdbuf();
    EXPECT_EQ(page.str(), expectedText.str());
}

TEST(FdHtmlReport, FilesUnderTheirOwnNames) {
    test::TempFolder folder;
    const FdReportValues values = BuildFdReportValues(DescribeFdTiming(kKernel), "now");
    const ReportFileResult result = WriteFdReportFiles(
        folder.path(), values, [](const std::filesystem::path& path, std::string&) {
            test::WriteFile(path, "BM");
            return path.filename() == "fdbittime.bmp";
        });
    ASSERT_TRUE(result.ok) << result.sReason;
    EXPECT_EQ(result.reportPath, (folder / "MCP251xFDReport.htm").string());
    std::ostringstream page;
    WriteFdHtmlReport(page, values);
    EXPECT_EQ(test::ReadFile(folder / "MCP251xFDReport.htm"), page.str());
}

} // namespace
} // namespace quillon
