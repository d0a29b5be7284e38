// The Linux kernel's own choice, worked out by hand from calc_bittiming.c for each row (the
// comments give the tseg where the search settles), the mcp251x driver's checks of a setting,
// the quantum that the kernel turns back into the same prescaler, and the sentences that
// compare the kernel's choice with Quillon's.
#include "timing/linux/KernelComparison.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace quillon {
namespace {

struct ChoiceRow {
    double oscMHz, kbps;
    std::uint32_t spTenths; // 0: the kernel's nominal one
    // brp, tq ns, prop, phase 1, phase 2, SJW, bit/s, sample point and error in tenths
    std::uint32_t brp, tq, prop, ph1, ph2, sjw, bitrate, sp, error;
    unsigned cnf1, cnf2, cnf3;
    const char* reason; // when the kernel finds none
};

void PrintTo(const ChoiceRow& row, std::ostream* out) {
    *out << row.oscMHz << " MHz, " << row.kbps << " kbit/s";
}

class KernelChoice : public testing::TestWithParam<ChoiceRow> {};

TEST_P(KernelChoice, AsWorkedOutByHand) {
    const ChoiceRow& row = GetParam();
    const KernelSetting kernel = Mcp251xKernelSetting(row.oscMHz, row.kbps, false, row.spTenths);
    if (row.reason != nullptr) {
        EXPECT_FALSE(kernel.setting);
        EXPECT_EQ(kernel.sReason, row.reason);
        return;
    }
    ASSERT_TRUE(kernel.setting) << kernel.sReason;
    const KernelTiming& t = kernel.timing;
    EXPECT_EQ(std::tie(t.brp, t.tqNs, t.propSeg, t.phaseSeg1, t.phaseSeg2, t.sjw),
              std::tie(row.brp, row.tq, row.prop, row.ph1, row.ph2, row.sjw));
    EXPECT_EQ(std::tie(t.bitrate, t.samplePointTenths, t.errorTenths),
              std::tie(row.bitrate, row.sp, row.error));
    // The registers the driver writes: BTLMODE set, no SAM, no WAKFIL.
    const BitTimingFacts facts = DescribeBitTiming(*kernel.setting);
    ASSERT_TRUE(facts.registers);
    const ConfigRegisters& r = *facts.registers.registers;
    EXPECT_EQ(
        std::tie(r.CNF1, r.CNF2, r.CNF3),
        std::make_tuple(std::uint8_t(row.cnf1), std::uint8_t(row.cnf2), std::uint8_t(row.cnf3)));
}

INSTANTIATE_TEST_SUITE_P(
    Mcp251x, KernelChoice,
    testing::Values(
        // clock 8 MHz: tseg 30 (16 Tq, BRP 1) hits the rate and 87.5 % exactly.
        ChoiceRow{16, 500, 0, 1, 125, 6, 7, 2, 1, 500000, 875, 0, 0x00, 0xB5, 0x01, nullptr},
        // sample-point 0.750: the same tseg split 11 + 4, SJW half of phase 2.
        ChoiceRow{16, 500, 750, 1, 125, 5, 6, 4, 2, 500000, 750, 0, 0x40, 0xAC, 0x03, nullptr},
        // clock 10 MHz: tseg 38 (BRP 4) hits at 85.0 %, tseg 30 (BRP 5) at 87.5 % wins.
        ChoiceRow{20, 125, 0, 5, 500, 6, 7, 2, 1, 125000, 875, 0, 0x04, 0xB5, 0x01, nullptr},
        // clock 8 MHz, 75 %: tseg 14, 8 Tq.
        ChoiceRow{16, 1000, 0, 1, 125, 2, 3, 2, 1, 1000000, 750, 0, 0x00, 0x91, 0x01, nullptr},
        // clock 12.5 MHz: tseg 48 (25 Tq) hits at 68.0 %; tseg 18 (10 Tq) at 80.0 % is nearer.
        ChoiceRow{25, 250, 0, 5, 400, 3, 4, 2, 1, 250000, 800, 0, 0x04, 0x9A, 0x01, nullptr},
        // clock 12 MHz, 80 %: tseg 38, 20 Tq split 15 + 4, SJW 2; tq 83.3 ns truncated.
        ChoiceRow{24, 600, 0, 1, 83, 7, 8, 4, 2, 600000, 800, 0, 0x40, 0xBE, 0x03, nullptr},
        // clock 5 MHz: nothing hits 800 kbit/s; tseg 10 (6 Tq) is 33333 bit/s off, 4.1 %.
        ChoiceRow{10, 800, 0, 1, 200, 1, 2, 2, 1, 833333, 666, 41, 0x00, 0x88, 0x01, nullptr},
        // clock 12.5 MHz: tseg 25 (13 Tq) is 38462 bit/s off, 3.8 %; 76.9 % would pass 75 %.
        ChoiceRow{25, 1000, 0, 1, 80, 4, 4, 4, 2, 961538, 692, 38, 0x40, 0x9B, 0x03, nullptr},
        // clock 4 MHz: at best 6 Tq of BRP 1, 666666 bit/s.
        ChoiceRow{8, 1000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "bitrate error: 33.3% too high"},
        // No prescaler up to 64 is slow enough: the error stays UINT_MAX, as the kernel says.
        ChoiceRow{25, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                  "bitrate error: 429496729.5% too high"},
        ChoiceRow{40, 500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                  "The mcp251x driver refuses an oscillator of 40 MHz; it accepts 1 to 25 MHz."}));

TEST(KernelChoice, OtherLimitsFollowTheSameAlgorithm) {
    // The MCP251xFD's nominal limits: tseg1 2..256, tseg2 1..128, SJW 128, BRP 1..256. At
    // 40 MHz, tseg 158 (80 Tq of BRP 1) is the first to hit 500 kbit/s, split 69 + 10.
    constexpr KernelLimits kFd{2, 256, 1, 128, 128, 1, 256, 1};
    const KernelChoiceResult fd = ChooseKernelBitTiming(kFd, 40000000, 500000);
    ASSERT_TRUE(fd.timing) << fd.sReason;
    const KernelTiming& t = *fd.timing;
    EXPECT_EQ(std::tie(t.brp, t.tqNs, t.propSeg, t.phaseSeg1, t.phaseSeg2, t.sjw),
              std::make_tuple(1U, 25U, 34U, 35U, 10U, 5U));
    // The 20-Tq choice at 600 kbit/s wants SJW 2; a controller allowing 1 is refused.
    KernelLimits narrow = kMcp251xKernelLimits;
    narrow.sjwMax = 1;
    EXPECT_EQ(ChooseKernelBitTiming(narrow, 12000000, 600000).sReason,
              "sjw: 2 greater than max sjw: 1");
}

TEST(KernelQuantum, TheKernelsRoundingGivesThePrescalerBack) {
    // Exact halves round down in can_fixup_bittiming: 1 MHz x 1500 ns is BRP 1, not 2.
    EXPECT_EQ(KernelPrescaler(1000000, 1500), 1U);
    EXPECT_EQ(KernelPrescaler(1000000, 1501), 2U);
    std::vector<std::uint32_t> clocks{500000, 1843200, 3686400, 8000000, 8000001, 12500000};
    for (double mhz = 1; mhz <= 25; mhz += 0.25) {
        clocks.push_back(Mcp251xKernelClock(mhz));
    }
    for (const std::uint32_t clock : clocks) {
        for (std::uint32_t brp = 1; brp <= 64; ++brp) {
            const std::optional<std::uint32_t> tq = QuantumForPrescaler(clock, brp);
            ASSERT_TRUE(tq) << clock << ' ' << brp;
            const std::uint64_t product = std::uint64_t{clock} * *tq;
            EXPECT_EQ((product + 499999999) / 1000000000, brp) << clock << ' ' << *tq;
            EXPECT_LE(std::fabs(*tq - brp * 1e9 / clock), 0.5) << clock << ' ' << brp;
        }
    }
    // A clock above 1 GHz leaves gaps between the prescalers no whole quantum reaches.
    EXPECT_FALSE(QuantumForPrescaler(4000000000U, 1));
}

struct DriverRow {
    double oscMHz;
    SegmentSettings s; // N, propagation, phase 1, phase 2, SJW, SAM, WAKFIL, mode
    std::vector<std::string> problems;
};

TEST(Mcp251xDriver, RefusesAndChangesInItsOwnWords) {
    const std::string spans = "; it takes 3 to 16.";
    const DriverRow rows[] = {
        {16, {8, 2, 3, 2, 1, true, false}, {}},
        {25, {25, 8, 8, 8, 4, false, false}, {}},
        {16, {5, 1, 1, 2, 1}, {"The mcp251x driver refuses prop-seg + phase-seg1 = 2" + spans}},
        {16, {8, 3, 1, 3, 2}, {"The mcp251x driver refuses SJW 2 above phase-seg1 1."}},
        {16,
         {8, 2, 3, 2, 4},
         {"The mcp251x driver refuses SJW 4 above phase-seg1 3.",
          "The mcp251x driver refuses SJW 4 above phase-seg2 2."}},
        {40,
         {8, 2, 3, 2, 1},
         {"The mcp251x driver refuses an oscillator of 40 MHz; it accepts 1 to 25 MHz."}},
        {0.5,
         {8, 2, 3, 2, 1},
         {"The mcp251x driver refuses an oscillator of 0.5 MHz; it accepts 1 to 25 MHz."}},
        {16.0000004,
         {8, 2, 3, 2, 1},
         {"The oscillator is given in whole hertz: 16000000.4 Hz becomes 16000000 Hz."}},
        {16,
         {8, 2, 3, 9, 1, false, true, Phase2Mode::LargerOf},
         {"The driver always programs phase 2 (BTLMODE 1): the larger-of mode is given as "
          "phase-seg2 3, the same bit.",
          "The driver leaves the wake-up filter (WAKFIL) off; the interface runs without it."}},
    };
    for (const DriverRow& row : rows) {
        BitTimingSetting setting{row.oscMHz, 500, 1, row.s};
        EXPECT_EQ(ToMcp251xLinux(setting).problems, row.problems) << row.oscMHz;
    }
}

TEST(KernelComparison, SaysWhereTheKernelDiffers) {
    const std::pair<std::pair<double, double>, std::vector<std::string>> rows[] = {
        // Quillon's first candidate is 16 Tq of BRP 1: proposal 1/8/6 SJW 1, recommendation
        // 8/5/2 SJW 2; the kernel splits 6/7/2 with SJW 1.
        {{16, 500},
         {"The kernel samples at 87.5 %; Quillon's proposal at 62.5 %, its recommendation at "
          "87.5 %.",
          "The kernel's SJW is 1 Tq, half its phase 2 of 2 Tq; Quillon's proposal uses 1 Tq, "
          "its recommendation uses 2 Tq."}},
        {{20, 125},
         {"The kernel divides the bit into 16 Tq of 500.0 ns (BRP 5); Quillon's first candidate "
          "into 20 Tq of 400.0 ns (BRP 4).",
          "The kernel samples at 87.5 %; Quillon's proposal at 60.0 %, its recommendation at "
          "85.0 %.",
          "The kernel's SJW is 1 Tq, half its phase 2 of 2 Tq; Quillon's proposal uses 1 Tq, "
          "its recommendation uses 3 Tq."}},
        {{10, 800},
         {"Quillon's search finds no prescaler and Tq count that hit the rate exactly.",
          "The kernel accepts a rate error: it runs at 833333 bit/s instead of 800000 (4.1 %; "
          "it allows up to 5.0 %).",
          "The kernel's bit has 6 Tq, outside the 8 to 25 Tq of the Microchip rules Quillon "
          "works with."}},
        {{8, 1000},
         {"The kernel finds no timing of its own for bitrate 1000000 alone: bitrate error: "
          "33.3% too high.",
          "Quillon's search finds no prescaler and Tq count for the rate either."}},
    };
    for (const auto& [inputs, sentences] : rows) {
        EXPECT_EQ(CompareWithKernel(inputs.first, inputs.second).differences, sentences)
            << inputs.first << " MHz " << inputs.second << " kbit/s";
    }
    EXPECT_EQ(CompareWithKernel(16, 2000).inputProblem,
              "The CAN baud rate must be greater than 0 and no more than 1000.");
}

} // namespace
} // namespace quillon
