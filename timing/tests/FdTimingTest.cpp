// CAN FD settings worked by hand: SYSCLK, quanta, rates, sample points, the register words
// of both families in both directions, the TDC the controller needs, each of the five
// tolerance conditions limiting once, and the rules and advice.
#include "timing/fd/FdTiming.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

FdSetting Fd(double osc, bool pll, double nominalKbps, double dataKbps, FdPhaseSetting n,
             FdPhaseSetting d) {
    FdSetting s{osc, pll, nominalKbps, dataKbps, n, d, {}};
    s.tdc = RequiredTdc(d);
    return s;
}

std::string Hexes(const FdFacts& f) {
    std::string text;
    for (const FdRegisterText& r : f.registerTexts) {
        text += std::string(r.sName) + "=" + r.sHex + " ";
    }
    return text;
}

// One line per finding: its severity and code, and for the controller's rules their text
// (the texts of the bus's findings are their own tests').
std::string Findings(const FdFacts& f) {
    std::string text;
    for (const Finding& finding : f.findings) {
        text += std::string(SeverityName(finding.severity)) + " " + std::string(finding.sCode);
        const bool rule = finding.sCode == code::kFdFieldRange || finding.sCode == code::kFdClock ||
                          finding.sCode == code::kFdTdcMode ||
                          finding.sCode == code::kSjwAbovePhase;
        text += rule ? ": " + finding.sText + "\n" : "\n";
    }
    return text;
}

struct HandWorked {
    FdSetting setting;
    // SYSCLK | nominal tq, actual, SP | data tq, actual, SP | TDC | tolerance, limiting
    std::string summary;
    std::string registers;
};

std::string Summary(const FdFacts& f) {
    return f.sSysclk + " | " + f.nominal.sTq + " " + f.nominal.sActual + " " +
           f.nominal.sSamplePoint + " | " + f.data.sTq + " " + f.data.sActual + " " +
           f.data.sSamplePoint + " | " + std::string(TdcModeName(f.setting.tdc.mode)) + " " +
           std::to_string(f.setting.tdc.lOffset) + " | " + f.sTolerance + " (" +
           std::to_string(f.tolerance.lLimiting) + ")";
}

TEST(DescribeFdTiming, HandWorkedSettings) {
    const HandWorked rows[] = {
        // 40 MHz, the kernel's choice for 500 kbit/s / 2 Mbit/s. Nominal: BRP 1, 1 + 34 + 35 +
        // 10 = 80 Tq of 25 ns = 2 us, SP 70 / 80 = 87.5 %; data: 1 + 7 + 7 + 5 = 20 Tq, SP 15 /
        // 20 = 75 %; TDCO (1 + 7 + 7) x 1 = 15. Tolerance: (1) 5 / 1600 = 0.3125 %, (2) 10 /
        // 2060 = 0.4854 %, (3) 2 / 400 = 0.5 %, (4) 10 / (2 (115 + 560)) = 0.7407 %, (5) 2 /
        // (2 (150 + 5 + 80)) = 0.4255 %: condition 1 limits. CiNBTCFG = 0 << 24 | 68 << 16 |
        // 9 << 8 | 4 = 0x00440904, CiDBTCFG = 13 << 16 | 4 << 8 | 1 = 0x000D0401, CiTDC = 2
        // << 16 | 15 << 8 = 0x00020F00; the dsPIC33C halves are the same words split.
        {Fd(40, false, 500, 2000, {1, 34, 35, 10, 5}, {1, 7, 7, 5, 2}),
         "40.000 MHz | 25.000 ns 500.000 kbps 87.5 | 25.000 ns 2.000 Mbps 75.0 | auto 15 | "
         "0.3125 (1)",
         "CiNBTCFG=0x00440904 CiDBTCFG=0x000D0401 CiTDC=0x00020F00 C1NBTCFGH=0x0044 "
         "C1NBTCFGL=0x0904 C1DBTCFGH=0x000D C1DBTCFGL=0x0401 C1TDCH=0x0002 C1TDCL=0x0F00 "},
        // 4 MHz with the PLL: the same SYSCLK. Nominal SJW 10, phase 1 = phase 2 = 10, data SJW
        // 5: (1) 10 / 1600 = 0.625 %, (2) 10 / (2 (1040 - 10)) = 0.4854 % limits, (3) 5 / 400
        // = 1.25 %, (4) 0.7407 %, (5) 5 / 470 = 1.0638 %. TSEG1 = 59 + 10 = 69 as before.
        {Fd(4, true, 500, 2000, {1, 59, 10, 10, 10}, {1, 9, 5, 5, 5}),
         "40.000 MHz | 25.000 ns 500.000 kbps 87.5 | 25.000 ns 2.000 Mbps 75.0 | auto 15 | "
         "0.4854 (2)",
         "CiNBTCFG=0x00440909 CiDBTCFG=0x000D0404 CiTDC=0x00020F00 C1NBTCFGH=0x0044 "
         "C1NBTCFGL=0x0909 C1DBTCFGH=0x000D C1DBTCFGL=0x0404 C1TDCH=0x0002 C1TDCL=0x0F00 "},
        // Data BRP 2 (50 ns), 20 Tq = 1 Mbit/s, data SJW 1: (3) 1 / 400 = 0.25 % limits; (5) with
        // NBRP / DBRP = 0.5: 1 / (2 (150 x 0.5 + 5 + 80)) = 0.3125 %; (4) 10 / (2 ((120 - 5) x 2
        // + 560)) = 0.6329 %. TDCO (1 + 9 + 5) x 2 = 30 = 0x1E.
        {Fd(40, false, 500, 1000, {1, 59, 10, 10, 10}, {2, 9, 5, 5, 1}),
         "40.000 MHz | 25.000 ns 500.000 kbps 87.5 | 50.000 ns 1.000 Mbps 75.0 | auto 30 | 0.25 "
         "(3)",
         "CiNBTCFG=0x00440909 CiDBTCFG=0x010D0400 CiTDC=0x00021E00 C1NBTCFGH=0x0044 "
         "C1NBTCFGL=0x0909 C1DBTCFGH=0x010D C1DBTCFGL=0x0400 C1TDCH=0x0002 C1TDCL=0x1E00 "},
        // 1 Mbit/s in both phases, 40 Tq each, data phase 2 of 8 below the nominal 10: (4) 10 /
        // (2 (240 - 8 + 280)) = 10 / 1024 = 0.9766 % limits, just under (2) 10 / 1020 = 0.9804
        // %; (1) 10 / 800, (3) 8 / 800 = 1 %, (5) 8 / (2 (70 + 8 + 160)) = 1.6807 %. TDCO 32.
        // Nominal TSEG1 19 + 10 = 29 (field 28 = 0x1C), data TSEG1 23 + 8 = 31 (0x1E).
        {Fd(40, false, 1000, 1000, {1, 19, 10, 10, 10}, {1, 23, 8, 8, 8}),
         "40.000 MHz | 25.000 ns 1.000 Mbps 75.0 | 25.000 ns 1.000 Mbps 80.0 | auto 32 | 0.9766 "
         "(4)",
         "CiNBTCFG=0x001C0909 CiDBTCFG=0x001E0707 CiTDC=0x00022000 C1NBTCFGH=0x001C "
         "C1NBTCFGL=0x0909 C1DBTCFGH=0x001E C1DBTCFGL=0x0707 C1TDCH=0x0002 C1TDCL=0x2000 "},
        // Nominal BRP 2 (40 Tq of 50 ns), data BRP 1, data SJW 2: (5) (2 - max(0, 2 - 1)) / (2
        // ((80 - 5) x 2 + 5 + 80)) = 1 / 470 = 0.2128 % limits; (2) 5 / 1030 = 0.4854 %.
        // CiNBTCFG: BRP field 1, TSEG1 29 + 5 = 34 (field 0x21), TSEG2 and SJW 5 (field 4).
        {Fd(40, false, 500, 2000, {2, 29, 5, 5, 5}, {1, 9, 5, 5, 2}),
         "40.000 MHz | 50.000 ns 500.000 kbps 87.5 | 25.000 ns 2.000 Mbps 75.0 | auto 15 | "
         "0.2128 (5)",
         "CiNBTCFG=0x01210404 CiDBTCFG=0x000D0401 CiTDC=0x00020F00 C1NBTCFGH=0x0121 "
         "C1NBTCFGL=0x0404 C1DBTCFGH=0x000D C1DBTCFGL=0x0401 C1TDCH=0x0002 C1TDCL=0x0F00 "},
        // Data BRP 4: TDC off, CiTDC 0. Data 1 + 3 + 4 + 2 = 10 Tq of 100 ns = 1 Mbit/s, SP 80 %.
        // (3) 1 / 200 = 0.5 %; (5) with NBRP / DBRP = 0.25: 1 / (2 (37.5 + 2 + 40)) = 0.6289 %;
        // (2) 0.4854 % limits.
        {Fd(40, false, 500, 1000, {1, 59, 10, 10, 10}, {4, 3, 4, 2, 1}),
         "40.000 MHz | 25.000 ns 500.000 kbps 87.5 | 100.000 ns 1.000 Mbps 80.0 | off 0 | "
         "0.4854 (2)",
         "CiNBTCFG=0x00440909 CiDBTCFG=0x03060100 CiTDC=0x00000000 C1NBTCFGH=0x0044 "
         "C1NBTCFGL=0x0909 C1DBTCFGH=0x0306 C1DBTCFGL=0x0100 C1TDCH=0x0000 C1TDCL=0x0000 "},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const FdFacts f = DescribeFdTiming(rows[i].setting);
        EXPECT_EQ(Summary(f), rows[i].summary) << "row " << i;
        EXPECT_EQ(Hexes(f), rows[i].registers) << "row " << i;
        ASSERT_TRUE(f.registers) << "row " << i;
        // Back from the words: the same setting wherever TSEG1 is split as the kernel splits
        // it, and the same words in any case.
        const FdSetting back =
            FdSettingFromWords(rows[i].setting.dOscFreqMHz, rows[i].setting.bPll, *f.registers);
        EXPECT_EQ(back.nominal.Tseg1(), rows[i].setting.nominal.Tseg1()) << "row " << i;
        EXPECT_EQ(back.data.lSJW, rows[i].setting.data.lSJW) << "row " << i;
        EXPECT_EQ(back.tdc, rows[i].setting.tdc) << "row " << i;
        EXPECT_EQ(EncodeFdRegisters(back).words, f.registers) << "row " << i;
    }
}

TEST(DescribeFdTiming, ConditionsInPercentAndDurations) {
    const FdFacts f =
        DescribeFdTiming(Fd(40, false, 500, 2000, {1, 34, 35, 10, 5}, {1, 7, 7, 5, 2}));
    EXPECT_EQ(f.conditionTexts,
              (std::array<std::string, 5>{"0.3125", "0.4854", "0.5", "0.7407", "0.4255"}));
    std::string durations;
    for (const FdPhaseFacts* p : {&f.nominal, &f.data}) {
        for (const SegmentDuration& d : p->durations) {
            durations += std::string(d.sName) + "=" + d.sText + " ";
        }
    }
    EXPECT_EQ(durations, "sync=25.0 ns propagation=850.0 ns phase1=875.0 ns phase2=250.0 ns "
                         "sjw=125.0 ns bit=2.0 \xC2\xB5s sync=25.0 ns propagation=175.0 ns "
                         "phase1=175.0 ns phase2=125.0 ns sjw=50.0 ns bit=500.0 ns ");
    EXPECT_TRUE(f.Passes());
    EXPECT_EQ(f.sVerdict, kFdPassText);
    EXPECT_EQ(Findings(f), "");
}

TEST(RequiredTdc, OnlyWithDataBrpOneOrTwoAndAnOffsetLimitedTo63) {
    const struct {
        FdPhaseSetting data;
        TdcMode mode;
        int offset;
    } rows[] = {
        {{1, 7, 7, 5, 2}, TdcMode::Auto, 15},    {{2, 9, 5, 5, 1}, TdcMode::Auto, 30},
        {{2, 15, 15, 8, 1}, TdcMode::Auto, 62}, // (1 + 15 + 15) x 2
        {{2, 16, 15, 8, 1}, TdcMode::Auto, 63}, // (1 + 16 + 15) x 2 = 64, limited to 63
        {{1, 16, 16, 16, 1}, TdcMode::Auto, 33}, {{3, 3, 4, 2, 1}, TdcMode::Off, 0},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const FdTdcSetting tdc = RequiredTdc(rows[i].data);
        EXPECT_EQ(tdc.mode, rows[i].mode) << "row " << i;
        EXPECT_EQ(tdc.lOffset, rows[i].offset) << "row " << i;
    }
}

TEST(DescribeFdTiming, RulesBrokenAndAdvice) {
    const FdPhaseSetting n{1, 34, 35, 10, 5};
    const FdPhaseSetting d{1, 7, 7, 5, 2};
    FdSetting tdcOff = Fd(40, false, 500, 2000, n, d);
    tdcOff.tdc = {};
    FdSetting wrongOffset = tdcOff;
    wrongOffset.tdc = {TdcMode::Auto, 14, 0, false, false};
    FdSetting beyond63 = Fd(40, false, 500, 480, n, {2, 16, 16, 8, 1});
    beyond63.tdc = {TdcMode::Auto, 63, 0, false, false};
    const struct {
        FdSetting setting;
        std::string findings;
    } rows[] = {
        {tdcOff, "error fd-tdc-mode: TDC must be automatic with TDCO 15 (the data sample point "
                 "in SYSCLK periods); it is off.\n"},
        {wrongOffset, "error fd-tdc-mode: TDC must be automatic with TDCO 15 (the data sample "
                      "point in SYSCLK periods); it is automatic with TDCO 14.\n"},
        // (1 + 32) x 2 = 66 SYSCLK periods: TDCO limited to 63 with TDC on, no rule broken. The
        // data rate is 1.6 % off, far beyond the tolerance; 33 / 41 = 80.5 % is 7 points early.
        {beyond63, "error rate-off-target\nadvice sample-point-early\n"
                   "advice fd-tdc-offset-limited\nadvice fd-quantum-differs\n"
                   "advice fd-data-below-nominal\n"},
        // The data sample point 2 x 50 ns into the bit, TDC off: before the 255 ns loop delay.
        {Fd(80, false, 500, 2000, {2, 34, 35, 10, 11}, {4, 0, 1, 3, 1}),
         "error sjw-above-phase: The nominal SJW 11 is longer than phase 2 (10 Tq): the rules "
         "allow SJW up to the shorter phase segment, and the Linux driver refuses it.\n"
         "error fd-clock: SYSCLK 80.000 MHz is above the 40 MHz the controller allows.\n"
         "error rate-off-target\nerror fd-tdc-needed\nwarning sample-point-early\n"
         "advice fd-quantum-differs\nadvice fd-data-brp\n"},
        // Every field out of range; the data bit is 257 x 51 quanta of 25 ns: 40 MHz / 13107 =
        // 3051.8 bit/s. A nominal BRP of 0 gives no quantum at all, and no rate to judge.
        {Fd(40, false, 500, 2000, {0, -1, 0, 129, 0}, {257, 30, 3, 17, 17}),
         "error fd-field-range: Nominal BRP 0 is outside 1 to 256.\n"
         "error fd-field-range: Nominal propagation -1 is below 0.\n"
         "error fd-field-range: Nominal phase 1 0 is below 1.\n"
         "error fd-field-range: Nominal TSEG1 (propagation + phase 1) -1 is outside 2 to 256.\n"
         "error fd-field-range: Nominal phase 2 (TSEG2) 129 is outside 1 to 128.\n"
         "error fd-field-range: Nominal SJW 0 is outside 1 to 128.\n"
         "error fd-field-range: Data BRP 257 is outside 1 to 256.\n"
         "error fd-field-range: Data TSEG1 (propagation + phase 1) 33 is outside 1 to 32.\n"
         "error fd-field-range: Data phase 2 (TSEG2) 17 is outside 1 to 16.\n"
         "error fd-field-range: Data SJW 17 is outside 1 to 16.\n"
         "error sjw-above-phase: The data SJW 17 is longer than phase 1 (3 Tq): the rules allow "
         "SJW up to the shorter phase segment, and the Linux driver refuses it.\n"
         "error rate-off-target\nwarning sample-point-early\nadvice fd-quantum-differs\n"
         "advice fd-data-brp\n"},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const FdFacts f = DescribeFdTiming(rows[i].setting);
        EXPECT_EQ(Findings(f), rows[i].findings) << "row " << i;
        // The verdict is the first rule broken; the bus's errors leave it alone.
        const std::size_t colon = rows[i].findings.find(": ");
        const bool rule = colon < rows[i].findings.find('\n');
        EXPECT_EQ(f.Passes(), !rule) << "row " << i;
        if (rule) {
            EXPECT_EQ(f.sVerdict,
                      rows[i].findings.substr(colon + 2, rows[i].findings.find('\n') - colon - 2))
                << "row " << i;
        }
    }
}

TEST(EncodeFdRegisters, RefusesWhatAFieldCannotHold) {
    FdSetting s = Fd(40, false, 500, 2000, {1, 34, 35, 10, 5}, {1, 16, 17, 5, 2});
    EXPECT_EQ(EncodeFdRegisters(s).sError, "Data TSEG1 33 does not fit CiDBTCFG (1 to 32).");
    s.data = {1, 7, 7, 5, 2};
    s.nominal.lBRP = 257;
    EXPECT_EQ(EncodeFdRegisters(s).sError, "Nominal BRP 257 does not fit CiNBTCFG (1 to 256).");
    s.nominal.lBRP = 1;
    s.tdc.lOffset = -65;
    EXPECT_EQ(EncodeFdRegisters(s).sError,
              "TDCO -65 or TDCV 0 does not fit CiTDC (TDCO -64 to 63, TDCV 0 to 63).");
    s.tdc = {TdcMode::Manual, -64, 63, true, true};
    // EDGFLTEN, SID11EN, TDCMOD 1, TDCO -64 = 0x40 as seven bits, TDCV 63.
    EXPECT_EQ(EncodeFdRegisters(s).words->tdc, 0x0301403Fu);
    EXPECT_TRUE(DescribeFdTiming(s).registers.has_value());
}

} // namespace
} // namespace quillon
