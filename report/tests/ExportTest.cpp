// The export forms: the C forms compiled with the system's C compiler and run, the Linux
// forms line by line (the sample point as iproute2 reads it back), the warnings where the
// target would refuse or change a setting, and the kernel comparison text.
#include "report/classic/Export.h"
#include "report/classic/KernelComparisonText.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <sstream>

namespace quillon {
namespace {

// 16 MHz, 500 kbit/s, BRP-1 `brp1`, then N, propagation, phase 1, phase 2, SJW, SAM, WAKFIL.
BitTimingSetting Setting(int brp1, SegmentSettings s, double osc = 16, double kbps = 500) {
    return BitTimingSetting{osc, kbps, brp1, s};
}

std::string Text(ExportFormat format, const BitTimingSetting& setting,
                 const ExportOptions& options = {}) {
    return ExportSetting(format, setting, options).text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(ExportC, TheThreeFormsCompileAndHoldTheRegisters) {
    if (std::system("command -v cc > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no C compiler 'cc' on the PATH; the C forms are not compiled";
    }
    const struct {
        BitTimingSetting setting;
        const char* printed; // CNF1..3, C1CFG1, C1CFG2 as the program prints them
    } rows[] = {
        {Setting(1, {8, 2, 3, 2, 1}), "01 91 01 01 91 01 0001 0191"},
        {Setting(0, {16, 6, 7, 2, 1, true}), "00 F5 01 00 F5 01 0000 01F5"},
        {Setting(63, {25, 8, 8, 8, 4, false, true, Phase2Mode::LargerOf}, 40, 10),
         "FF 3F 40 FF 3F 40 00FF 403F"},
    };
    for (const auto& row : rows) {
        const test::TempFolder folder;
        test::WriteFile(folder / "mcp251x.h", Text(ExportFormat::CMcp251x, row.setting));
        test::WriteFile(folder / "pic18.inc", Text(ExportFormat::CPic18, row.setting));
        test::WriteFile(folder / "dspic.inc", Text(ExportFormat::CDspic, row.setting));
        // The header twice, to prove its guard; the assignments where firmware puts them.
        test::WriteFile(folder / "main.c",
                        "#include <stdio.h>\n#include \"mcp251x.h\"\n#include \"mcp251x.h\"\n"
                        "static unsigned char BRGCON1, BRGCON2, BRGCON3;\n"
                        "static unsigned int C1CFG1, C1CFG2;\n"
                        "int main(void) {\n#include \"pic18.inc\"\n#include \"dspic.inc\"\n"
                        "    printf(\"%02X %02X %02X %02X %02X %02X %04X %04X\", MCP251X_CNF1,\n"
                        "           MCP251X_CNF2, MCP251X_CNF3, BRGCON1, BRGCON2, BRGCON3,\n"
                        "           C1CFG1, C1CFG2);\n    return 0;\n}\n");
        const std::string dir = folder.path().string();
        const std::string build = "cc -std=c89 -Wall -Wextra -pedantic -Werror -o '" + dir +
                                  "/main' '" + dir + "/main.c' 2> '" + dir + "/errors'";
        ASSERT_EQ(std::system(build.c_str()), 0) << test::ReadFile(folder / "errors");
        ASSERT_EQ(std::system(("'" + dir + "/main' > '" + dir + "/out'").c_str()), 0);
        EXPECT_EQ(test::ReadFile(folder / "out"), row.printed);
    }
}

TEST(ExportC, TheCommentNamesOscillatorRateSegmentsAndSamplePoint) {
    EXPECT_EQ(Lines(Text(ExportFormat::CMcp251x, Setting(1, {8, 2, 3, 2, 1}, 16, 300))).front(),
              "/* MCP251x bit timing by Quillon: 16 MHz oscillator, 300 kbit/s (runs at "
              "500.000 kbps): BRP-1 1, 8 Tq = sync 1 + prop 2 + phase1 3 + phase2 2, SJW 1, "
              "sample point 75.0 % */");
}

TEST(ExportLinux, IpLinkGivesTheSegmentsAndSaysWhatTheShortFormPicks) {
    ExportOptions vcan;
    vcan.interfaceName = "vcan1";
    const struct {
        BitTimingSetting setting;
        ExportOptions options;
        std::string explicitLine, note, shortLine;
    } rows[] = {
        {Setting(0, {16, 6, 7, 2, 1}),
         {},
         "ip link set can0 type can tq 125 prop-seg 6 phase-seg1 7 phase-seg2 2 sjw 1",
         "here tq 125 prop-seg 6 phase-seg1 7 phase-seg2 2 sjw 1, the same as above:",
         "# ip link set can0 type can bitrate 500000 sample-point 0.875"},
        {Setting(1, {8, 1, 3, 3, 1, true}), vcan,
         "ip link set vcan1 type can tq 250 prop-seg 1 phase-seg1 3 phase-seg2 3 sjw 1 "
         "triple-sampling on",
         "here tq 125 prop-seg 4 phase-seg1 5 phase-seg2 6 sjw 3, not the ones above:",
         "# ip link set vcan1 type can bitrate 500000 sample-point 0.625 triple-sampling on"},
        // Clock 1843200 Hz: 542.53 ns, given as 543 (the kernel rounds it back to BRP 1); the
        // short form aims at 94.4 %, and 18 Tq of BRP 1 split 15 + 2 (88.8 %) is nearest.
        {Setting(0, {18, 8, 8, 1, 1}, 3.6864, 102.4),
         {},
         "ip link set can0 type can tq 543 prop-seg 8 phase-seg1 8 phase-seg2 1 sjw 1",
         "here tq 542 prop-seg 7 phase-seg1 8 phase-seg2 2 sjw 1, not the ones above:",
         "# ip link set can0 type can bitrate 102400 sample-point 0.944"},
    };
    for (const auto& row : rows) {
        const std::vector<std::string> lines =
            Lines(Text(ExportFormat::IpLink, row.setting, row.options));
        ASSERT_EQ(lines.size(), 7U);
        EXPECT_EQ(lines[1], "# As root:");
        EXPECT_EQ(lines[3], row.explicitLine);
        EXPECT_EQ(lines[5].substr(lines[5].find("here")), row.note);
        EXPECT_EQ(lines[6], row.shortLine);
    }
}

TEST(ExportLinux, EverySamplePointComesBackFromIproute2sFloat) {
    for (int n = 8; n <= 25; ++n) {
        for (int before = 3; before < n - 1; ++before) { // 1 + propagation + phase 1
            const int p = std::min(before - 2, 8);
            const BitTimingSetting setting = Setting(0, {n, p, before - 1 - p, n - before, 1});
            const std::string text = Text(ExportFormat::IpLink, setting);
            const std::size_t at = text.rfind("sample-point ") + 13;
            float value = 0;
            std::from_chars(text.data() + at, text.data() + text.size(), value);
            EXPECT_EQ(static_cast<int>(value * 1000.0F), 1000 * before / n) << n << ' ' << before;
        }
    }
}

TEST(ExportLinux, NetworkdFileAndOverlayLine) {
    ExportOptions options;
    options.interfaceName = "can1";
    options.interruptPin = 24;
    EXPECT_EQ(Lines(Text(ExportFormat::Networkd, Setting(1, {8, 2, 3, 2, 1, true}), options)),
              (std::vector<std::string>{
                  "# /etc/systemd/network/80-can1.network for an MCP251x by Quillon: 16 MHz "
                  "oscillator, 500 kbit/s: BRP-1 1, 8 Tq = sync 1 + prop 2 + phase1 3 + phase2 "
                  "2, SJW 1, sample point 75.0 %, triple sampling",
                  "[Match]", "Name=can1", "", "[CAN]", "TimeQuantaNSec=250", "PropagationSegment=2",
                  "PhaseBufferSegment1=3", "PhaseBufferSegment2=2", "SyncJumpWidth=1",
                  "TripleSampling=yes"}));
    for (const auto& [osc, line] :
         {std::pair{16.0, "dtoverlay=mcp2515-can0,oscillator=16000000,interrupt=24"},
          {3.6864, "dtoverlay=mcp2515-can0,oscillator=3686400,interrupt=24"}}) {
        EXPECT_EQ(
            Lines(Text(ExportFormat::RpiOverlay, Setting(0, {8, 1, 3, 3, 1}, osc), options)).back(),
            line);
    }
}

TEST(Export, WarnsWhereTheTargetRefusesOrChangesTheSetting) {
    const std::string broken = "The setting breaks a timing rule: The sync, propagation, phase 1 "
                               "and phase 2 times must equal the total tq values.";
    const std::string oscillator =
        "The mcp251x driver refuses an oscillator of 40 MHz; it accepts 1 to 25 MHz.";
    const SegmentSettings tooShort{8, 3, 3, 2, 1}; // 9 Tq of segments in an 8-Tq bit
    const struct {
        ExportFormat format;
        BitTimingSetting setting;
        std::vector<std::string> warnings;
        bool text;
    } rows[] = {
        {ExportFormat::CMcp251x, Setting(1, tooShort), {broken}, true},
        {ExportFormat::Json, Setting(1, tooShort), {}, true},
        {ExportFormat::RpiOverlay, Setting(1, tooShort, 40), {oscillator}, true},
        {ExportFormat::Networkd, Setting(1, tooShort, 40), {broken, oscillator}, true},
        {ExportFormat::IpLink,
         Setting(1, {8, 2, 3, 2, 1, false, true}),
         {"The driver leaves the wake-up filter (WAKFIL) off; the interface runs without it."},
         true},
        {ExportFormat::CPic18,
         Setting(1, {8, 2, 3, 2, 1}, 0),
         {"The oscillator must be greater than 0."},
         false},
        {ExportFormat::IpLink,
         Setting(1, {8, 2, 3, 2, 1}, 16, -1),
         {"The CAN baud rate must be greater than 0."},
         false},
    };
    for (const auto& row : rows) {
        const ExportResult result = ExportSetting(row.format, row.setting);
        EXPECT_EQ(result.warnings, row.warnings) << kExportFormats[std::size_t(row.format)].name;
        EXPECT_EQ(!result.text.empty(), row.text) << kExportFormats[std::size_t(row.format)].name;
    }
}

TEST(Export, NamesOfFormsAndInterfaces) {
    for (const ExportFormatInfo& info : kExportFormats) {
        EXPECT_EQ(FindExportFormat(info.name), info.format);
    }
    for (const char* good : {"can0", "vcan_1.2-x", "abcdefghijklmno"}) {
        EXPECT_FALSE(InterfaceNameProblem(good)) << good;
    }
    for (const char* bad : {"", ".", "..", "a b", "can0;reboot", "abcdefghijklmnop", "can/0"}) {
        EXPECT_TRUE(InterfaceNameProblem(bad)) << bad;
    }
}

TEST(KernelComparisonText, OneColumnEachAndTheDifferences) {
    const std::string text = KernelComparisonText(CompareWithKernel(10, 800));
    for (const char* line :
         {"Quillon: no candidate hits the rate exactly.\n", "\n                      Kernel\n",
          "\nTq per bit            6\n", "\nRate error            4.167 % above\n",
          "\nCNF1 CNF2 CNF3        0x00 0x88 0x01\n",
          "- The kernel accepts a rate error: it runs at 833333 bit/s instead of 800000 (4.1 %; "
          "it\n  allows up to 5.0 %).\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    }
    const std::string none = KernelComparisonText(CompareWithKernel(8, 1000));
    EXPECT_NE(none.find("Kernel: none; it says \"bitrate error: 33.3% too high\".\n"),
              std::string::npos)
        << none;
    EXPECT_EQ(none.find("Tq per bit"), std::string::npos); // no column, no table
    const std::string three = KernelComparisonText(CompareWithKernel(16, 500), ",");
    EXPECT_NE(three.find("\nSample point          87,5 %          62,5 %            87,5 %\n"),
              std::string::npos)
        << three;
}

} // namespace
} // namespace quillon
