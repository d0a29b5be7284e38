// The findings on a bus as built, worked by hand at their boundaries: a rate error that
// uses up the tolerance exactly, a propagation segment one quantum short of a bus, SJW equal
// to phase 1, sample points at the advice and warning distances, the erratum only where a
// controller has it, and the CAN FD findings of tolerance, transceiver symmetry and TDC.
#include "timing/classic/BitTiming.h"
#include "timing/common/PhaseFindings.h"
#include "timing/fd/FdTiming.h"
#include "timing/tests/DecodeSummary.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

BusContext Bus(std::optional<double> metres, double ppm = kDefaultCrystalPpm,
               double loopNs = kDefaultLoopDelayNs,
               TransceiverClass transceiver = TransceiverClass::None) {
    BusContext bus;
    bus.dBusLengthMetres = metres;
    bus.dCrystalPpm = ppm;
    bus.dLoopDelayNs = loopNs;
    bus.transceiver = transceiver;
    return bus;
}

// 16 MHz, BRP-1 0: 16 quanta of 125 ns make 500 kbit/s.
BitTimingSetting At500k(int prop, int phase1, int phase2, int sjw, const char* row = nullptr) {
    BitTimingSetting s{16, 500, 0, {16, prop, phase1, phase2, sjw}};
    s.pController = row ? FindController(row) : nullptr;
    return s;
}

TEST(Findings, RateErrorAgainstTheToleranceLeft) {
    // A tolerance of 2^-7 and a rate 8000 bit/s below 1024000: an error of exactly 2^-7.
    PhaseQuantities phase;
    phase.dTargetBaud = 1024000;
    phase.dActualBaud = 1016000;
    phase.bHitsTarget = false;
    phase.dTolerance = 0.0078125;
    const struct {
        const char* name;
        double ppm;
        Severity severity;
    } rows[] = {{"error and crystals use the tolerance up", 0, Severity::Warning},
                {"one ppm more", 1, Severity::Error}};
    for (const auto& row : rows) {
        Findings findings;
        AddRateFindings(phase, Bus({}, row.ppm), findings, ".");
        ASSERT_EQ(Codes(findings), "rate-off-target") << row.name;
        EXPECT_EQ(findings[0].severity, row.severity) << row.name;
    }
    Findings none;
    phase.bHitsTarget = true;
    AddRateFindings(phase, Bus({}), none, ".");
    EXPECT_TRUE(none.empty());
}

TEST(Findings, ClassicSettingsOnABus) {
    const struct {
        const char* name;
        BitTimingSetting setting;
        BusContext bus;
        const char* codes;
    } rows[] = {
        // 8 x 125 ns = 1000 ns is the round trip of 49 m: 2 x (49 x 5 + 255) ns.
        {"propagation covers 49 m exactly", At500k(8, 5, 2, 1), Bus(49), ""},
        {"one quantum short of 49 m", At500k(7, 6, 2, 1), Bus(49), "propagation-short"},
        {"no length: 4 x 125 ns is below two loop delays", At500k(4, 9, 2, 1), Bus({}),
         "propagation-short"},
        {"SJW equal to phase 1", At500k(8, 2, 5, 2), Bus({}), "sample-point-early"},
        {"SJW above phase 1", At500k(8, 2, 5, 3), Bus({}), "sjw-above-phase sample-point-early"},
        // 0.3125 % (1 / 320) of tolerance against crystals of 1 %.
        {"crystals beyond the tolerance", At500k(8, 5, 2, 1), Bus({}, 10000), "tolerance-short"},
        // 13 / 16 = 81.25 %: 6.25 points early, advice; 12 / 16 = 75 %: 12.5, still advice;
        // 11 / 16 = 68.75 %: a warning; 15 / 16 = 93.75 %: late.
        {"sample point 6.25 points early", At500k(8, 4, 3, 1), Bus({}), "sample-point-early"},
        {"12.5 points early", At500k(8, 3, 4, 1), Bus({}), "sample-point-early"},
        {"18.75 points early", At500k(8, 2, 5, 1), Bus({}), "sample-point-early"},
        {"6.25 points late", At500k(8, 6, 1, 1), Bus({}), "phase2-below-ipt sample-point-late"},
        // 16 OSC1 clocks a bit: the MCP2510's erratum, which the MCP2515 does not have. (Faster
        // transceivers, so that 4 x 125 ns cover them.)
        {"erratum of the MCP2510", BitTimingSetting{16, 1000, 0, {8, 4, 1, 2, 1}},
         Bus({}, 100, 200), "bus-idle-erratum"},
        {"no erratum on an MCP2515",
         BitTimingSetting{16, 1000, 0, {8, 4, 1, 2, 1}, FindController("mcp2515")},
         Bus({}, 100, 200), ""},
    };
    for (const auto& row : rows) {
        const BitTimingFacts f = DescribeBitTiming(row.setting, ".", row.bus);
        EXPECT_EQ(Codes(f.findings), row.codes) << row.name;
    }
}

TEST(Findings, SeverityOfTheSamplePointByDistance) {
    const struct {
        BitTimingSetting setting;
        Severity severity;
    } rows[] = {{At500k(8, 3, 4, 1), Severity::Advice}, {At500k(8, 2, 5, 1), Severity::Warning}};
    for (const auto& row : rows) {
        const BitTimingFacts f = DescribeBitTiming(row.setting);
        ASSERT_EQ(f.findings.size(), 1U);
        EXPECT_EQ(f.findings[0].severity, row.severity) << f.sSamplePoint;
    }
}

FdSetting Fd(FdPhaseSetting nominal, FdPhaseSetting data, double dataKbps = 2000) {
    FdSetting s{40, false, 500, dataKbps, nominal, data, {}};
    s.tdc = RequiredTdc(s);
    return s;
}

// 40 MHz, 25 ns quanta: nominal 80 Tq at 87.5 %, data 20 Tq (2 Mbit/s, 500 ns).
constexpr FdPhaseSetting kNominal{1, 34, 35, 10, 10};

TEST(Findings, CanFdSettingsOnABus) {
    FdSetting tdcOff = Fd(kNominal, {1, 7, 8, 4, 4});
    tdcOff.tdc = {};
    const struct {
        const char* name;
        FdSetting setting;
        BusContext bus;
        const char* codes;
    } rows[] = {
        // 16 of 20 quanta: 400 ns, the shortest bit a 2M transceiver may deliver.
        {"data sample point at the shortest 2M bit", Fd(kNominal, {1, 7, 8, 4, 4}),
         Bus({}, 100, 255, TransceiverClass::Sic2M), ""},
        {"one quantum after it", Fd(kNominal, {1, 8, 8, 3, 3}),
         Bus({}, 100, 255, TransceiverClass::Sic2M),
         "fd-data-sample-point-asymmetry sample-point-late"},
        // 2 quanta of a 400 ns bit: 50 ns, no later than a 2M bit may come late.
        {"too early for the longest 2M bit", Fd(kNominal, {1, 0, 1, 14, 1}, 2500),
         Bus({}, 100, 255, TransceiverClass::Sic2M),
         "fd-data-sample-point-asymmetry sample-point-early"},
        // TDC off: the sample point 400 ns into the bit, after a loop delay of 255 ns but not
        // after one of 400 ns.
        {"TDC off, loop delay before the sample point", tdcOff, Bus({}), "fd-tdc-mode"},
        {"TDC off, loop delay at the sample point", tdcOff, Bus({}, 100, 400),
         "fd-tdc-mode fd-tdc-needed"},
        // Condition 5: DSJW - (NBRP / DBRP - 1) = 3 - 3 = 0.
        {"a tolerance condition at zero", Fd({4, 8, 8, 3, 3}, {1, 7, 8, 4, 3}), Bus({}),
         "fd-tolerance-negative fd-quantum-differs"},
        {"one SJW more leaves some", Fd({4, 8, 8, 3, 3}, {1, 7, 8, 4, 4}), Bus({}),
         "fd-quantum-differs"},
    };
    for (const auto& row : rows) {
        const FdFacts f = DescribeFdTiming(row.setting, ".", row.bus);
        EXPECT_EQ(Codes(f.findings), row.codes) << row.name;
    }
}

} // namespace
} // namespace quillon
