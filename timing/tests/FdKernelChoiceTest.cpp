// The mcp251xfd and m_can drivers' own choice for "bitrate B dbitrate D fd on", against
// tables worked through the CAN core's algorithm by hand, with their TDC and registers; and
// the time quantum in whole nanoseconds that the kernel turns back into a prescaler.
#include "timing/linux/FdKernelChoice.h"
#include "timing/common/Controllers.h"
#include "timing/fd/FdTiming.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>

namespace quillon {
namespace {

std::string Timing(const std::optional<KernelTiming>& t) {
    if (!t) {
        return "none";
    }
    return "brp " + std::to_string(t->brp) + " tq " + std::to_string(t->tqNs) + " " +
           std::to_string(t->propSeg) + "/" + std::to_string(t->phaseSeg1) + "/" +
           std::to_string(t->phaseSeg2) + " sjw " + std::to_string(t->sjw) + " " +
           std::to_string(t->bitrate) + " sp " + std::to_string(t->samplePointTenths) + " err " +
           std::to_string(t->errorTenths);
}

TEST(FdKernelChoice, AgainstTheAlgorithmWorkedByHand) {
    const struct {
        double osc;
        bool pll;
        double nominal, data;
        std::string nominalTiming, dataTiming, tdc, reason;
    } rows[] = {
        // Nominal: tseg counts down from (256 + 128) x 2 + 1; odd tsegs give brp 1 and rates
        // below 500 kbit/s until tseg 158: tsegall 80, brp 1, exact. Sample point 875 for t 79:
        // tseg2 = 80 - 70 = 10, tseg1 69, exact, so the loop stops. prop 34, phase1 35, sjw
        // max(1, min(35, 5)) = 5. Data from 97: tseg 38, tsegall 20, brp 1, 750: tseg2 5,
        // tseg1 14, prop 7, phase1 7, sjw 2. TDCO (1 + 7 + 7) x 1 = 15.
        {40, false, 500, 2000, "brp 1 tq 25 34/35/10 sjw 5 500000 sp 875 err 0",
         "brp 1 tq 25 7/7/5 sjw 2 2000000 sp 750 err 0", "auto 15", ""},
        // 4 MHz with the PLL, 250 kbit/s: tsegall 160 (tseg2 20, tseg1 139, 875); 1 Mbit/s:
        // tsegall 40 (750: tseg2 10, tseg1 29). TDCO 1 + 14 + 15 = 30.
        {4, true, 250, 1000, "brp 1 tq 25 69/70/20 sjw 10 250000 sp 875 err 0",
         "brp 1 tq 25 14/15/10 sjw 5 1000000 sp 750 err 0", "auto 30", ""},
        // 8 Mbit/s is 5 quanta; 750 gives tseg2 = 5 - 3 = 2 (600) or 1 (800, past 750), so
        // 600 with tseg1 2. No other tseg reaches 8 Mbit/s: prop 1, phase1 1, sjw 1, TDCO 3.
        {40, false, 1000, 8000, "brp 1 tq 25 14/15/10 sjw 5 1000000 sp 750 err 0",
         "brp 1 tq 25 1/1/2 sjw 1 8000000 sp 600 err 0", "auto 3", ""},
        // 7 Mbit/s: odd tsegs give brp 1 and 40 MHz / tsegall; tsegall 6 comes nearest (6.667
        // Mbit/s, 333334 off, 4.7 % truncated, accepted). tsegall 3 with brp 2 is as near but
        // places its sample point no better (666 both). 750 for t 5: tseg2 2, tseg1 3.
        {40, false, 500, 7000, "brp 1 tq 25 34/35/10 sjw 5 500000 sp 875 err 0",
         "brp 1 tq 25 1/2/2 sjw 1 6666666 sp 666 err 47", "auto 4", ""},
        // 7.5 Mbit/s: 8 Mbit/s is 500000 off, 6.6 %, too high.
        {40, false, 500, 7500, "brp 1 tq 25 34/35/10 sjw 5 500000 sp 875 err 0", "none", "",
         "data: bitrate error: 6.6% too high"},
        // 1 MHz without --pll: the driver switches the PLL on, SYSCLK 10 MHz. 1 Mbit/s:
        // tsegall 10 with brp 1 comes first and is exact; 750 gives tseg2 = 10 - 7 = 3 (700),
        // 2 would be 800, past 750. tseg1 7 - 1 = 6: prop 3, phase1 3, sjw min(3, 1). 2
        // Mbit/s: only tsegall 5 with brp 1 is exact; tseg2 = 5 - 3 = 2 (600), tseg1 2.
        // TDCO (1 + 1 + 1) x 1 = 3.
        {1, false, 1000, 2000, "brp 1 tq 100 3/3/3 sjw 1 1000000 sp 700 err 0",
         "brp 1 tq 100 1/1/2 sjw 1 2000000 sp 600 err 0", "auto 3", ""},
        {0, false, 500, 2000, "none", "none", "",
         "The mcp251xfd driver refuses an oscillator of 0 MHz; it takes 1 to 40 MHz."},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const FdKernelChoice c =
            ChooseFdKernelBitTiming(rows[i].osc, rows[i].pll, rows[i].nominal, rows[i].data);
        EXPECT_EQ(Timing(c.nominal), rows[i].nominalTiming) << "row " << i;
        EXPECT_EQ(Timing(c.data), rows[i].dataTiming) << "row " << i;
        EXPECT_EQ(c.sReason, rows[i].reason) << "row " << i;
        ASSERT_EQ(c.setting.has_value(), rows[i].reason.empty()) << "row " << i;
        if (c.setting) {
            const FdTdcSetting& tdc = c.setting->tdc;
            EXPECT_EQ(std::string(TdcModeName(tdc.mode)) + " " + std::to_string(tdc.lOffset),
                      rows[i].tdc)
                << "row " << i;
        }
    }
}

TEST(FdKernelChoice, TheWordsTheDriverWrites) {
    const FdKernelChoice c = ChooseFdKernelBitTiming(40, false, 500, 2000);
    ASSERT_TRUE(c.setting);
    const FdFacts f = DescribeFdTiming(*c.setting);
    ASSERT_TRUE(f.registers);
    EXPECT_EQ(*f.registers, (FdRegisterWords{0x00440904, 0x000D0401, 0x00020F00}));
    EXPECT_TRUE(f.Passes());
}

TEST(FdKernelChoice, TheMcanDriverWorkedByHand) {
    const struct {
        double clock;
        double nominal, data;
        std::string nominalTiming, dataTiming, tdc, reason;
    } rows[] = {
        // 48 MHz, 500 kbit/s: odd tsegs give brp 1 and rates below the target until tseg 190
        // (tsegall 96, brp 1, exact); 875 for t 95: tseg2 = 96 - 84 = 12, tseg1 83 = 41 + 42,
        // sjw min(42, 6). 2 Mbit/s: tseg 46, tsegall 24; 750: tseg2 = 24 - 18 = 6, tseg1 17 =
        // 8 + 9, sjw 3. The m_can driver leaves TDC off up to 2.5 Mbit/s. The quantum 20.83 ns
        // truncates to 20.
        {48, 500, 2000, "brp 1 tq 20 41/42/12 sjw 6 500000 sp 875 err 0",
         "brp 1 tq 20 8/9/6 sjw 3 2000000 sp 750 err 0", "off 0", ""},
        // 40 MHz: tsegall 80 (tseg2 10, tseg1 69) and 20 (tseg2 5, tseg1 14).
        {40, 500, 2000, "brp 1 tq 25 34/35/10 sjw 5 500000 sp 875 err 0",
         "brp 1 tq 25 7/7/5 sjw 2 2000000 sp 750 err 0", "off 0", ""},
        // 80 MHz: tsegall 160 (875: tseg2 20, tseg1 139) and 40 (750: tseg2 10, tseg1 29).
        {80, 500, 2000, "brp 1 tq 12 69/70/20 sjw 10 500000 sp 875 err 0",
         "brp 1 tq 12 14/15/10 sjw 5 2000000 sp 750 err 0", "off 0", ""},
        // 1 Mbit/s at 80 MHz needs 80 clocks, more than the 49 of a data bit: tsegall 41 with
        // brp 2 first (975609), then tseg 78, tsegall 40, brp 2, exact.
        {80, 500, 1000, "brp 1 tq 12 69/70/20 sjw 10 500000 sp 875 err 0",
         "brp 2 tq 25 14/15/10 sjw 5 1000000 sp 750 err 0", "off 0", ""},
        // 5 Mbit/s at 40 MHz: tseg 14, tsegall 8; 750: tseg2 = 8 - 6 = 2, tseg1 5, sjw 1.
        // Above 2.5 Mbit/s the driver sets TDC: TDCO = 40000 x 750 / 5000000 = 6.
        {40, 1000, 5000, "brp 1 tq 25 14/15/10 sjw 5 1000000 sp 750 err 0",
         "brp 1 tq 25 2/3/2 sjw 1 5000000 sp 750 err 0", "auto 6", ""},
        // 4 Mbit/s at 80 MHz: 20 clocks, tsegall 20, 750: tseg2 5, tseg1 14 = 7 + 7, sjw 2;
        // TDCO = 80000 x 750 / 4000000 = 15.
        {80, 1000, 4000, "brp 1 tq 12 29/30/20 sjw 10 1000000 sp 750 err 0",
         "brp 1 tq 12 7/7/5 sjw 2 4000000 sp 750 err 0", "auto 15", ""},
        // 25 kbit/s at 80 MHz is 3200 clocks: every tsegall up to 49 asks for a data brp of 65
        // or more, beyond the driver's 32, so the error stays UINT_MAX (x 1000 / 25000).
        {80, 500, 25, "brp 1 tq 12 69/70/20 sjw 10 500000 sp 875 err 0", "none", "",
         "data: bitrate error: 17179869.1% too high"},
    };
    const Controller* mcan = FindController("samv71");
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const FdKernelChoice c =
            ChooseFdKernelBitTiming(rows[i].clock, false, rows[i].nominal, rows[i].data, mcan);
        EXPECT_EQ(Timing(c.nominal), rows[i].nominalTiming) << "row " << i;
        EXPECT_EQ(Timing(c.data), rows[i].dataTiming) << "row " << i;
        EXPECT_EQ(c.sReason, rows[i].reason) << "row " << i;
        if (c.setting) {
            const FdTdcSetting& tdc = c.setting->tdc;
            EXPECT_EQ(std::string(TdcModeName(tdc.mode)) + " " + std::to_string(tdc.lOffset),
                      rows[i].tdc)
                << "row " << i;
        }
    }
    // NBTP: NSJW 5, NTSEG1 82, NTSEG2 11; DBTP: no TDC, DTSEG1 16, DTSEG2 5, DSJW 2; TDCR 0.
    const FdKernelChoice c = ChooseFdKernelBitTiming(48, false, 500, 2000, mcan);
    ASSERT_TRUE(c.setting);
    const FdFacts f = DescribeFdTiming(*c.setting);
    ASSERT_TRUE(f.registers) << f.sRegisterError;
    EXPECT_EQ(*f.registers, (FdRegisterWords{0x0A00520B, 0x00001052, 0x00000000}));
    // TDC off at 2 Mbit/s is the driver's choice: advice with the data sample point, no rule.
    EXPECT_TRUE(f.Passes()) << f.sVerdict;
    const auto off = std::find_if(f.findings.begin(), f.findings.end(),
                                  [](const Finding& x) { return x.sCode == code::kFdTdcOff; });
    ASSERT_NE(off, f.findings.end());
    EXPECT_EQ(off->severity, Severity::Advice);
    EXPECT_EQ(off->sText,
              "TDC is off, as the m_can driver leaves it up to 2.5 Mbit/s: the data phase works "
              "only while the transceiver's loop delay stays below the data sample point, 375 "
              "ns into the bit; TDC automatic with TDCO 18 would not depend on it.");
    EXPECT_EQ(ChooseFdKernelBitTiming(40, false, 500, 2000, FindController("dspic33c")).sReason,
              "the dsPIC33C has no Linux driver");
}

std::string Tdc(const FdTdcSetting& tdc) {
    return std::string(TdcModeName(tdc.mode)) + " " + std::to_string(tdc.lOffset);
}

// The TDC of both kernels: before 5.16 the mcp251xfd always wrote TDC automatic with DBRP x
// (DPROP + DPH1); since, the CAN core gives DBRP x (1 + DPROP + DPH1) for a data BRP of 1 or
// 2 and leaves it off above. Both are limited to the largest TDCO with TDC on.
TEST(FdKernelChoice, TdcOfBothGenerationsWorkedByHand) {
    const struct {
        FdPhaseSetting data;
        std::string oldTdc, newTdc;
    } rows[] = {
        {{1, 7, 7, 5, 2}, "auto 14", "auto 15"},
        {{2, 15, 15, 8, 1}, "auto 60", "auto 62"},
        {{2, 15, 16, 8, 1}, "auto 62", "auto 63"}, // 2 x 32 = 64 limited to 63
        {{2, 16, 16, 8, 1}, "auto 63", "auto 63"}, // 64 and 66, both limited
        {{3, 3, 4, 2, 1}, "auto 21", "off 0"},
        {{5, 16, 16, 16, 1}, "auto 63", "off 0"}, // 5 x 32 = 160
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        FdSetting s;
        s.dOscFreqMHz = 40;
        s.data = rows[i].data;
        EXPECT_EQ(Tdc(LinuxDriverTdc(s, LinuxTdcGeneration::Old)), rows[i].oldTdc) << "row " << i;
        EXPECT_EQ(Tdc(LinuxDriverTdc(s, LinuxTdcGeneration::New)), rows[i].newTdc) << "row " << i;
        EXPECT_EQ(Tdc(KernelTdc(rows[i].data)), rows[i].newTdc) << "row " << i;
    }
    FdSetting s;
    s.dOscFreqMHz = 40;
    s.data = {2, 16, 16, 8, 1};
    EXPECT_EQ(LinuxDriverTdcText(s, LinuxTdcGeneration::New),
              "The CAN core (Linux 5.16 and later) sets TDC automatic with TDCO = DBRP x (1 + "
              "DPROP + DPH1) = 2 x (1 + 16 + 16) = 66, limited to the driver's largest TDCO, 63, "
              "with TDC on.");
    s.data = {3, 3, 4, 2, 1};
    EXPECT_EQ(LinuxDriverTdcText(s, LinuxTdcGeneration::Old),
              "The mcp251xfd driver of Linux before 5.16 always sets TDC automatic with TDCO = "
              "DBRP x (DPROP + DPH1) = 3 x (3 + 4) = 21.");
    // The m_can driver keeps its own rule in both: 5 Mbit/s at 40 MHz, 750, TDCO 6.
    s.controller = FindController("mcan");
    s.data = {1, 2, 3, 2, 1};
    EXPECT_EQ(Tdc(LinuxDriverTdc(s, LinuxTdcGeneration::Old)), "auto 6");
    EXPECT_EQ(Tdc(LinuxDriverTdc(s, LinuxTdcGeneration::New)), "auto 6");
    // The driver's choice carries the generation's TDC: CiTDC TDCMOD 2, TDCO 14.
    const FdKernelChoice c =
        ChooseFdKernelBitTiming(40, false, 500, 2000, nullptr, LinuxTdcGeneration::Old);
    ASSERT_TRUE(c.setting);
    EXPECT_EQ(DescribeFdTiming(*c.setting).registers->tdc, 0x00020E00u);
}

// The mcp251xfd driver at probe reads the oscillator in whole hertz: 1 to 40 MHz, the PLL on
// for 4 MHz or less whatever was asked; the m_can takes its clock as it is.
TEST(FdKernelChoice, TheDriversClockAtProbe) {
    const Controller* mcan = FindController("mcan");
    const struct {
        const Controller* row;
        double osc;
        bool pll;
        std::uint32_t clockHz;
        bool pllOn, changed;
        std::string text; // the refusal, or what it does with the PLL
    } rows[] = {
        {nullptr, 0.5, false, 0, false, false,
         "The mcp251xfd driver refuses an oscillator of 0.5 MHz; it takes 1 to 40 MHz."},
        {nullptr, 0.9999994, false, 0, false, false,
         "The mcp251xfd driver refuses an oscillator of 0.9999994 MHz; it takes 1 to 40 MHz."},
        {nullptr, 1, false, 10000000, true, true,
         "The mcp251xfd driver switches the PLL on for an oscillator of 1 MHz (4 MHz or less): "
         "SYSCLK 10 MHz."},
        {nullptr, 4, false, 40000000, true, true,
         "The mcp251xfd driver switches the PLL on for an oscillator of 4 MHz (4 MHz or less): "
         "SYSCLK 40 MHz."},
        {nullptr, 4, true, 40000000, true, false,
         "The mcp251xfd driver switches the PLL on for an oscillator of 4 MHz (4 MHz or less): "
         "SYSCLK 40 MHz."},
        {nullptr, 4.000001, false, 4000001, false, false, ""},
        {nullptr, 5, true, 5000000, false, true,
         "The mcp251xfd driver leaves the PLL off for an oscillator of 5 MHz (above 4 MHz): "
         "SYSCLK 5 MHz."},
        {nullptr, 40, false, 40000000, false, false, ""},
        {nullptr, 40.000001, false, 0, false, false,
         "The mcp251xfd driver refuses an oscillator of 40.000001 MHz; it takes 1 to 40 MHz."},
        {FindController("mcp2517fd"), 41, false, 0, false, false,
         "The mcp251xfd driver refuses an oscillator of 41 MHz; it takes 1 to 40 MHz."},
        {mcan, 100, false, 100000000, false, false, ""},
        {mcan, 4, false, 4000000, false, false, ""},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const DriverClock c = FdDriverClock(rows[i].row, rows[i].osc, rows[i].pll);
        EXPECT_EQ(c.clockHz, rows[i].clockHz) << "row " << i;
        EXPECT_EQ(c.bPllChanged, rows[i].changed) << "row " << i;
        EXPECT_EQ(c.sRefusal.empty() ? c.sPll : c.sRefusal, rows[i].text) << "row " << i;
        if (c.sRefusal.empty()) {
            EXPECT_EQ(c.bPll, rows[i].pllOn) << "row " << i;
        }
    }
}

// open_candev refuses a data rate below the nominal one, for every CAN FD driver.
TEST(FdKernelChoice, TheKernelRefusesDataBelowNominalAtOpen) {
    const struct {
        const Controller* row;
        double nominal, data;
        std::string reason; // empty: it opens
    } rows[] = {
        {nullptr, 1000, 500,
         "The kernel refuses to open an interface whose data bit rate is below its nominal one "
         "(open_candev): 500000 bit/s below 1000000 bit/s."},
        // Both 1 Mbit/s: tsegall 40, brp 1, 750 in both phases.
        {nullptr, 1000, 1000, ""},
        {FindController("same54"), 500, 250,
         "The kernel refuses to open an interface whose data bit rate is below its nominal one "
         "(open_candev): 250000 bit/s below 500000 bit/s."},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const FdKernelChoice c =
            ChooseFdKernelBitTiming(40, false, rows[i].nominal, rows[i].data, rows[i].row);
        EXPECT_EQ(c.sReason, rows[i].reason) << "row " << i;
        EXPECT_EQ(c.bRefused, !rows[i].reason.empty()) << "row " << i;
        EXPECT_EQ(c.setting.has_value(), rows[i].reason.empty()) << "row " << i;
    }
}

TEST(FdKernelChoice, TimeQuantumInWholeNanosecondsGivesTheBrpBack) {
    const struct {
        std::uint32_t clock;
        int brp;
        std::optional<std::uint32_t> tqNs;
    } rows[] = {
        {40000000, 1, 25u},
        {40000000, 3, 75u},
        {40000000, 256, 6400u},
        // 62.5 ns: 62 gives (0.992e9 + 499999999) / 1e9 = 1, but the nearest (63) is tried first.
        {16000000, 1, 63u},
        {20000000, 2, 100u},
        // One nanosecond already spans three prescaler steps.
        {3000000000u, 1, std::nullopt},
        {0, 1, std::nullopt},
        {40000000, 0, std::nullopt},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(KernelTqNsForBrp(rows[i].clock, rows[i].brp), rows[i].tqNs) << "row " << i;
    }
}

} // namespace
} // namespace quillon
