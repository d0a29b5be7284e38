// The controller table row by row, the one-word register layouts of the PIC32MX and the AT91
// CAN cell over their whole valid space, the at91_can driver's own choice worked out by hand
// from calc_bittiming.c, what a controller's clock rule and errata change in a setting's
// facts, and the grid's quantum rounding pinned apart from the other two.
#include "timing/classic/ClassicLayouts.h"
#include "timing/classic/Decode.h"
#include "timing/classic/DisplayTexts.h"
#include "timing/classic/QuantumLength.h"
#include "timing/linux/Mcp251xLinux.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

struct RowCase {
    const char* name;      // a name or an alias
    const char* canonical; // the row it finds
    ControllerKind kind;
    RegisterLayout layout;
    int periodsPerBrp;
    int brpMinus1Max;
    bool erratum;
    const char* driver; // "" for none
};

class ControllerRow : public testing::TestWithParam<RowCase> {};

TEST_P(ControllerRow, IsFoundWithItsFacts) {
    const RowCase& c = GetParam();
    const Controller* row = FindController(c.name);
    ASSERT_NE(row, nullptr) << c.name;
    EXPECT_EQ(row->sName, c.canonical);
    EXPECT_EQ(row->kind, c.kind);
    if (!row->IsFd()) {
        EXPECT_EQ(row->layout, c.layout);
        EXPECT_EQ(ClockPeriodsPerBrp(row->clock), c.periodsPerBrp);
        EXPECT_EQ(row->limits.brpMinus1Max, c.brpMinus1Max);
    }
    EXPECT_EQ(row->bBusIdleErratum, c.erratum);
    EXPECT_EQ(row->linux ? std::string(row->linux->sName) : std::string(), c.driver);
}

constexpr auto kC = ControllerKind::Classic;
constexpr auto kF = ControllerKind::Fd;
INSTANTIATE_TEST_SUITE_P(
    Table, ControllerRow,
    testing::Values(
        RowCase{"mcp251x", "mcp251x", kC, RegisterLayout::Cnf, 2, 63, true, "mcp251x"},
        RowCase{"MCP2510", "mcp2510", kC, RegisterLayout::Cnf, 2, 63, true, "mcp251x"},
        RowCase{"mcp2515", "mcp2515", kC, RegisterLayout::Cnf, 2, 63, false, "mcp251x"},
        RowCase{"mcp25625", "mcp25625", kC, RegisterLayout::Cnf, 2, 63, false, "mcp251x"},
        RowCase{"pic18", "pic18", kC, RegisterLayout::Brgcon, 2, 63, false, ""},
        RowCase{"dspic33e", "dspic33e", kC, RegisterLayout::Cicfg, 2, 63, false, ""},
        RowCase{"pic24e", "pic24e", kC, RegisterLayout::Cicfg, 2, 63, false, ""},
        RowCase{"pic32mx", "pic32mx", kC, RegisterLayout::Pic32Cicfg, 2, 63, false, ""},
        RowCase{"sama5d3", "at91", kC, RegisterLayout::At91Br, 1, 127, false, "at91_can"},
        RowCase{"SAM9X5", "at91", kC, RegisterLayout::At91Br, 1, 127, false, "at91_can"},
        RowCase{"mcp251863", "mcp251863", kF, RegisterLayout::Cnf, 0, 0, false, "mcp251xfd"},
        RowCase{"dspic33c", "dspic33c", kF, RegisterLayout::Cnf, 0, 0, false, ""},
        RowCase{"same51", "mcan", kF, RegisterLayout::Cnf, 0, 0, false, "m_can"}));

TEST(ControllerTable, RefusesWhatIsNoControllerOfTheKind) {
    EXPECT_EQ(FindController("mcp2516"), nullptr);
    EXPECT_EQ(FindController(""), nullptr);
    EXPECT_EQ(ControllerProblem("mcp2518fd", ControllerKind::Classic),
              "mcp2518fd is a CAN FD controller: use quillon-cli fd");
    EXPECT_EQ(ControllerProblem("at91", ControllerKind::Fd),
              "at91 is a classic controller: leave out fd");
    EXPECT_FALSE(ControllerProblem("pic24e", ControllerKind::Classic));
    EXPECT_EQ(&DefaultController(), FindController("mcp251x"));
}

// Every setting the segment ranges allow, with both SAM values.
template <typename Check> void ForEverySetting(int brpMinus1Min, int brpMinus1Max, Check check) {
    BitTimingSetting s;
    for (int brp1 = brpMinus1Min; brp1 <= brpMinus1Max; ++brp1) {
        for (int p = kMinPropagation; p <= kMaxPropagation; ++p) {
            for (int q = kMinPhase1; q <= kMaxPhase1; ++q) {
                for (int r = kMinPhase2; r <= kMaxPhase2; ++r) {
                    for (int j = kMinSJW; j <= kMaxSJW; ++j) {
                        for (bool sam : {false, true}) {
                            s.lBRPMinus1 = brp1;
                            s.segments = {1 + p + q + r, p, q, r, j, sam};
                            check(s);
                        }
                    }
                }
            }
        }
    }
}

TEST(OneWordLayouts, At91CanBrRoundTripsOverItsWholeSpace) {
    const Controller* at91 = FindController("at91");
    int checked = 0;
    ForEverySetting(at91->limits.brpMinus1Min, at91->limits.brpMinus1Max, [&](BitTimingSetting s) {
        s.pController = at91;
        const LayoutEncoding encoding = LayoutWords(RegisterLayout::At91Br, s);
        ASSERT_TRUE(encoding) << encoding.sError;
        const std::uint32_t word = encoding.words.at(0).value;
        ASSERT_EQ(word & ~kAt91BrFields, 0U);
        BitTimingSetting back = SettingFromAt91Br(0.0, word);
        back.pController = at91;
        ASSERT_EQ(back, s) << std::hex << word;
        ++checked;
    });
    EXPECT_EQ(checked, 127 * 8 * 8 * 7 * 4 * 2);
}

TEST(OneWordLayouts, Pic32CicfgIsTheDspicPairInOneWord) {
    int checked = 0;
    ForEverySetting(0, 63, [&](BitTimingSetting s) {
        for (bool wakfil : {false, true}) {
            s.segments.bWakFil = wakfil;
            const std::uint32_t word = LayoutWords(RegisterLayout::Pic32Cicfg, s).words.at(0).value;
            const LayoutEncoding pair = LayoutWords(RegisterLayout::Cicfg, s);
            ASSERT_EQ(word, pair.words[0].value | pair.words[1].value << 8);
            ASSERT_EQ(word & ~kPic32CicfgFields, 0U);
            const DecodedRegisters back =
                DecodeRegisterValues(16.0, std::nullopt, RegisterLayout::Pic32Cicfg, {word});
            ASSERT_EQ(back.setting.lBRPMinus1, s.lBRPMinus1);
            ASSERT_EQ(back.setting.segments.lPhase2, s.segments.lPhase2);
            ASSERT_EQ(back.setting.segments.bWakFil, wakfil);
            ++checked;
        }
    });
    EXPECT_EQ(checked, 64 * 8 * 8 * 7 * 4 * 2 * 2);
}

TEST(OneWordLayouts, DecodingNamesWhatNoFieldHolds) {
    const Controller* at91 = FindController("at91");
    // BRP 0 is not allowed; bit 31 belongs to no field.
    const DecodedRegisters decoded =
        DecodeRegisterValues(100.0, 500.0, RegisterLayout::At91Br, {0x80003776U}, at91);
    ASSERT_GE(decoded.findings.size(), 2U);
    EXPECT_EQ(decoded.findings[0].sText, "CAN_BR bits 0x80000000 are not used and should be 0.");
    EXPECT_EQ(decoded.findings[1].severity, Severity::Error);
    EXPECT_EQ(decoded.findings[1].sText,
              "CAN_BR's BRP is 0, which the CAN cell does not allow (the "
              "prescaler must be 2 to 128).");
    const DecodedRegisters pic32 = DecodeRegisterValues(
        40.0, std::nullopt, RegisterLayout::Pic32Cicfg, {0x0002BF81U | 1U << 31});
    ASSERT_FALSE(pic32.findings.empty());
    EXPECT_EQ(pic32.findings.back().sText, "CiCFG bits 0x80000000 are not used and should be 0.");
}

struct KernelCase {
    double clockMHz, kbps;
    std::uint32_t brp, prop, ph1, ph2, sjw;
};

class At91Kernel : public testing::TestWithParam<KernelCase> {};

TEST_P(At91Kernel, AsWorkedOutByHand) {
    const KernelCase& c = GetParam();
    const KernelSetting kernel =
        Mcp251xKernelSetting(c.clockMHz, c.kbps, false, 0, FindController("at91"));
    ASSERT_TRUE(kernel.setting) << kernel.sReason;
    EXPECT_EQ(kernel.clockHz, static_cast<std::uint32_t>(c.clockMHz * 1e6)); // no factor 2
    const KernelTiming& t = kernel.timing;
    EXPECT_EQ(std::tie(t.brp, t.propSeg, t.phaseSeg1, t.phaseSeg2, t.sjw),
              std::tie(c.brp, c.prop, c.ph1, c.ph2, c.sjw));
    // The setting runs at exactly the rate on the peripheral clock.
    EXPECT_TRUE(DescribeBitTiming(*kernel.setting).rate.bHitsTarget);
}

INSTANTIATE_TEST_SUITE_P(
    HandWorked, At91Kernel,
    testing::Values(
        // 264 clocks a bit: 12 Tq (tseg1 9, tseg2 2) samples at 83.3 %, nearest 87.5 % of
        // the exact ones (24 Tq: 70.8 %, 22: 77.3 %, 11: 81.8 %, 8: 75.0 %).
        KernelCase{132, 500, 22, 4, 5, 2, 1},
        // 400 clocks a bit: 16 Tq (tseg1 13, tseg2 2) hits 87.5 % exactly.
        KernelCase{100, 250, 25, 6, 7, 2, 1}));

TEST(ControllerFacts, ThePeripheralClockHasNoFactorTwoAndTheMcp2515NoErratum) {
    BitTimingSetting s{132.0, 500.0, 10, {24, 8, 8, 7, 4}};
    s.pController = FindController("at91");
    const BitTimingFacts at91 = DescribeBitTiming(s);
    EXPECT_TRUE(at91.rate.bHitsTarget);
    EXPECT_EQ(at91.words.words.at(0).value, 0x000A3776U);
    EXPECT_EQ(at91.lOscClocks, 11 * 24);
    EXPECT_FALSE(at91.busIdleWarning);

    // 8 MHz, BRP-1 0, 8 Tq: 16 oscillator clocks, below the MCP2510's 26.
    BitTimingSetting fast{8.0, 500.0, 0, {8, 1, 3, 3, 1}};
    EXPECT_TRUE(DescribeBitTiming(fast).busIdleWarning);
    fast.pController = FindController("mcp2510");
    EXPECT_TRUE(DescribeBitTiming(fast).busIdleWarning);
    fast.pController = FindController("mcp2515");
    EXPECT_FALSE(DescribeBitTiming(fast).busIdleWarning);
}

TEST(QuantumRoundings, TheGridsDiffersInTheLastBitAndShowsIt) {
    // 24 MHz, BRP-1 0: the grid's (1 / F) x 2 x 1e-6 lands one bit below the others.
    EXPECT_EQ(GridTqSeconds(24.0, 0), 0x1.65e9f80f29211p-24);
    EXPECT_EQ(DiagramTqSeconds(24.0, 0), 0x1.65e9f80f29212p-24);
    EXPECT_EQ(ReportTqSeconds(24.0, 0), 0x1.65e9f80f29212p-24);
    EXPECT_EQ(GridRateText(1.0 / (12 * GridTqSeconds(24.0, 0)), "."), "1.000 Mb");
    EXPECT_EQ(GridRateText(1.0 / (12 * DiagramTqSeconds(24.0, 0)), "."), "1000.000 kb");
    // A peripheral clock of twice the frequency gives the same quanta with one period a step.
    EXPECT_EQ(GridTqSeconds(12.0, 0, 1), GridTqSeconds(24.0, 0));
    EXPECT_EQ(ReportTqSeconds(12.0, 0, 1), ReportTqSeconds(24.0, 0));
}

} // namespace
} // namespace quillon
