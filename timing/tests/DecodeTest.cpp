// Decoding register sets: the round trip over every setting the registers can hold (both
// ways), register sets worked by hand with every finding, the reading of register values
// and what step 3 cannot show.
#include "timing/classic/Decode.h"
#include "timing/classic/CandidateSearch.h"
#include "timing/tests/DecodeSummary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

constexpr RegisterLayout kCnf = RegisterLayout::Cnf;
constexpr RegisterLayout kBrgcon = RegisterLayout::Brgcon;
constexpr RegisterLayout kCicfg = RegisterLayout::Cicfg;

// Every BRP-1, SJW, propagation, phase 1 and phase 2 of the controls, both modes, SAM and
// WAKFIL: encoded, then decoded from CNF1..3 and from CiCFG1/2, gives the setting back.
// The programmed phase 2 is compared on its own too, since == passes over it in the
// larger-of mode: there it must come back as a legal value (2), not as PHSEG2's 0 + 1.
TEST(Decode, EveryEncodableSettingComesBack) {
    int checked = 0;
    int wrong = 0;
    for (const Phase2Mode mode : {Phase2Mode::Programmed, Phase2Mode::LargerOf}) {
        const int lastPhase2 = mode == Phase2Mode::Programmed ? kMaxPhase2 : kMinPhase2;
        for (int brp = kMinBRPMinus1; brp <= kMaxBRPMinus1; ++brp) {
            for (int sjw = kMinSJW; sjw <= kMaxSJW; ++sjw) {
                for (int prop = kMinPropagation; prop <= kMaxPropagation; ++prop) {
                    for (int ph1 = kMinPhase1; ph1 <= kMaxPhase1; ++ph1) {
                        for (int ph2 = kMinPhase2; ph2 <= lastPhase2; ++ph2) {
                            for (int flags = 0; flags < 4; ++flags) {
                                BitTimingSetting s{16, 0, brp, {0, prop, ph1, ph2, sjw}};
                                s.segments.bSam = (flags & 1) != 0;
                                s.segments.bWakFil = (flags & 2) != 0;
                                s.segments.mode = mode;
                                s.segments.lTqCount = 1 + prop + ph1 + Phase2Length(s.segments);
                                const ConfigRegisters r =
                                    *EncodeConfigRegisters(brp, s.segments).registers;
                                const BitTimingSetting fromCnf =
                                    SettingFromCnf(16, r.CNF1, r.CNF2, r.CNF3);
                                const BitTimingSetting fromCicfg =
                                    SettingFromCicfg(16, r.CICFG1(), r.CICFG2());
                                wrong += fromCnf != s || fromCicfg != s ||
                                         fromCnf.segments.lPhase2 != ph2 ||
                                         fromCicfg.segments.lPhase2 != ph2;
                                ++checked;
                            }
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(checked, 64 * 4 * 8 * 8 * (7 + 1) * 4);
    EXPECT_EQ(wrong, 0);
}

// The other way: every CNF1 and CNF2 with every CNF3 that has no unused bit set decodes to
// a setting that encodes to the same bytes, but for PHSEG2 in the larger-of mode, which
// the encoder leaves 0.
TEST(Decode, EveryRegisterSetEncodesBack) {
    int wrong = 0;
    for (unsigned cnf1 = 0; cnf1 <= 0xFF; ++cnf1) {
        for (unsigned cnf2 = 0; cnf2 <= 0xFF; ++cnf2) {
            for (const unsigned cnf3 : {0x00U, 0x01U, 0x02U, 0x03U, 0x04U, 0x05U, 0x06U, 0x07U,
                                        0x40U, 0x41U, 0x42U, 0x43U, 0x44U, 0x45U, 0x46U, 0x47U}) {
                const BitTimingSetting s = SettingFromCnf(16, static_cast<std::uint8_t>(cnf1),
                                                          static_cast<std::uint8_t>(cnf2),
                                                          static_cast<std::uint8_t>(cnf3));
                const RegisterEncoding back = EncodeConfigRegisters(s.lBRPMinus1, s.segments);
                const unsigned expected3 = (cnf2 & 0x80) != 0 ? cnf3 : cnf3 & 0x40;
                wrong += !back || back.registers->CNF1 != cnf1 || back.registers->CNF2 != cnf2 ||
                         back.registers->CNF3 != expected3;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

// Register sets worked by hand, at 16 MHz.
TEST(Decode, WorkedRegisterSets) {
    // clang-format off
    const struct {
        RegisterLayout layout;
        const char* values;
        std::optional<double> targetKbps;
        const char* setting;
        std::vector<std::string> registerFindings; // what only the registers show
        const char* codes; // every finding of the decoded setting, on the default bus
    } rows[] = {
        // An MCP2515 library's 500 kbit/s entry: triple sampling, SOF set, sample point 56 %;
        // one Tq of 62.5 ns covers no transceiver.
        {kCnf, "0x00,0xF0,0x86", 500,
         "16 MHz for 500: BRP-1 0, 16 Tq = 1+1+7+7, SJW 1, SAM | 500.000 kbps, 56.3 % | 0x00 "
         "0xF0 0x06 | SOF 1",
         {}, "propagation-short sample-point-early"},
        // Phase 2 of 1 Tq: PHSEG2 0 with BTLMODE set; 93.8 % is 6.3 points late: advice.
        {kCnf, "0x01,0xB6,0x00", 250,
         "16 MHz for 250: BRP-1 1, 16 Tq = 1+7+7+1, SJW 1 | 250.000 kbps, 93.8 % | 0x01 0xB6 "
         "0x00 | SOF 0",
         {}, "phase2-below-ipt sample-point-late"},
        // 2 Tq of 250 ns: 500 ns, 10 ns short of two transceivers' 510.
        {kCnf, "0x41,0x91,0x41", 500,
         "16 MHz for 500: BRP-1 1, 8 Tq = 1+2+3+2, SJW 2, WAKFIL | 500.000 kbps, 75.0 % | 0x41 "
         "0x91 0x41 | SOF 0",
         {}, "propagation-short sample-point-early"},
        // Larger-of: phase 2 is phase 1 (3); PHSEG2 5 + 1 is said to be ignored.
        {kCnf, "0x01,0x11,0x05", std::nullopt,
         "16 MHz for 444.444: BRP-1 1, 9 Tq = 1+2+3+3, SJW 1, larger-of | 444.444444 kbps, "
         "66.7 % | 0x01 0x11 0x00 | SOF 0",
         {"PHSEG2 in CNF3 (6 Tq) is ignored because BTLMODE in CNF2 is 0: phase 2 is the larger "
          "of phase 1 and 2 Tq."},
         "register-bits propagation-short sample-point-early"},
        // Twice the rate asked for: no tolerance covers that.
        {kCnf, "0x00,0xF0,0x8E", 250,
         "16 MHz for 250: BRP-1 0, 16 Tq = 1+1+7+7, SJW 1, SAM | 500.000 kbps, 56.3 % | 0x00 "
         "0xF0 0x06 | SOF 1",
         {"CNF3 bits 5 to 3 are not used and should be 0; here they hold 0x08."},
         "rate-off-target register-bits propagation-short sample-point-early"},
        // Five Tq: too few for the calculator and for the MCP2510's bus idle time.
        {kCnf, "0x00,0x80,0x01", std::nullopt,
         "16 MHz for 1600: BRP-1 0, 5 Tq = 1+1+1+2, SJW 1 | 1.600 Mbps, 60.0 % | 0x00 0x80 0x01 "
         "| SOF 0",
         {}, "tq-count-outside propagation-short sample-point-early bus-idle-erratum"},
        {kCnf, "0x01,0x80,0x07", std::nullopt,
         "16 MHz for 363.636: BRP-1 1, 11 Tq = 1+1+1+8, SJW 1 | 363.636364 kbps, 27.3 % | 0x01 "
         "0x80 0x07 | SOF 0",
         {}, "timing-rule propagation-short sample-point-early"},
        // SJW 4 above phase 2 (2) is the timing rule's; equal to phase 1 (4) is allowed.
        {kBrgcon, "0xC1,0x9A,0x81", std::nullopt,
         "16 MHz for 400: BRP-1 1, 10 Tq = 1+3+4+2, SJW 4 | 400.000 kbps, 80.0 % | 0xC1 0x9A "
         "0x01 | WAKDIS 1",
         {}, "timing-rule sample-point-early"},
        {kBrgcon, "0x01,0x11,0x03", std::nullopt,
         "16 MHz for 444.444: BRP-1 1, 9 Tq = 1+2+3+3, SJW 1, larger-of | 444.444444 kbps, "
         "66.7 % | 0x01 0x11 0x00 | WAKDIS 0",
         {"SEG2PH in BRGCON3 (4 Tq) is ignored because SEG2PHTS in BRGCON2 is 0: phase 2 is the "
          "larger of phase 1 and 2 Tq."},
         "register-bits propagation-short sample-point-early"},
        {kCicfg, "0x0001,0x0191", 500,
         "16 MHz for 500: BRP-1 1, 8 Tq = 1+2+3+2, SJW 1 | 500.000 kbps, 75.0 % | 0x01 0x91 0x01",
         {}, "propagation-short sample-point-early"},
        {kCicfg, "0x0301,0xC991", 500,
         "16 MHz for 500: BRP-1 1, 8 Tq = 1+2+3+2, SJW 1, WAKFIL | 500.000 kbps, 75.0 % | 0x01 "
         "0x91 0x41",
         {"CiCFG1 bits 15 to 8 are not used and should be 0; here they hold 0x0300.",
          "CiCFG2 bits 15 and 13 to 11 are not used and should be 0; here they hold 0x8800."},
         "register-bits register-bits propagation-short sample-point-early"},
        {kCicfg, "0x0001,0x0311", std::nullopt,
         "16 MHz for 444.444: BRP-1 1, 9 Tq = 1+2+3+3, SJW 1, larger-of | 444.444444 kbps, "
         "66.7 % | 0x01 0x11 0x00",
         {"SEG2PH in CiCFG2 (4 Tq) is ignored because SEG2PHTS in CiCFG2 is 0: phase 2 is the "
          "larger of phase 1 and 2 Tq."},
         "register-bits propagation-short sample-point-early"},
        // clang-format on
    };
    for (const auto& row : rows) {
        const DecodedRegisters d = DecodeRegisterValues(
            16, row.targetKbps, row.layout, ReadRegisterList(row.layout, row.values).values);
        EXPECT_EQ(Summary(d), row.setting);
        EXPECT_EQ(Texts(d.findings), row.registerFindings) << row.setting;
        EXPECT_EQ(Codes(DescribeDecoded(d).findings), row.codes) << row.setting;
    }
}

TEST(Decode, TheBitsThatAreNoTiming) {
    const std::vector<unsigned> values{0x00, 0xF0, 0x86};
    EXPECT_EQ(DecodeRegisterValues(16, {}, kCnf, values).otherBits.at(0).sMeaning,
              "CLKOUT gives the start-of-frame signal (MCP2515, when CLKEN is set)");
    EXPECT_EQ(DecodeRegisterValues(16, {}, kBrgcon, values).otherBits.at(0).sMeaning,
              "wake-up on bus activity is disabled");
}

TEST(Decode, ReadingRegisterValues) {
    const struct {
        RegisterLayout layout;
        const char* text;
        std::vector<unsigned> values;
        const char* error;
    } rows[] = {
        {kCnf, "0x00,0xF0,0x86", {0x00, 0xF0, 0x86}, ""},
        {kCnf, " 3 , 0Xb5,010 ", {3, 0xB5, 10}, ""},
        {kCicfg, "0x0001,0xFFFF", {1, 0xFFFF}, ""},
        {kCnf, "0x00,0xF0", {}, "3 values are needed (CNF1,CNF2,CNF3), 2 were given"},
        {kCicfg, "1", {}, "2 values are needed (CiCFG1,CiCFG2), 1 was given"},
        {kCnf, "0x100,0,0", {}, "CNF1: 0x100 is above 0xFF (255)"},
        {kBrgcon, "0,256,0", {}, "BRGCON2: 256 is above 0xFF (255)"},
        {kCicfg, "0,0x10000", {}, "CiCFG2: 0x10000 is above 0xFFFF (65535)"},
        {kCnf,
         "0,99999999999999999999999,0",
         {},
         "CNF2: 99999999999999999999999 is above 0xFF (255)"},
        {kCnf, "0,0x1G,0", {}, "CNF2: '0x1G' is not a register value (write 0x91 or 145)"},
        {kCnf, "0,-1,0", {}, "CNF2: '-1' is not a register value (write 0x91 or 145)"},
        {kCnf, "0,0x,0", {}, "CNF2: '0x' is not a register value (write 0x91 or 145)"},
        {kCnf, "0,,0", {}, "CNF2: no value (write 0x91 or 145)"},
        {kCnf, "1,2,3\n4", {}, "CNF3: '3?4' is not a register value (write 0x91 or 145)"},
        {kCnf,
         "1,2,abcdefghijklmnopqrstuvwxyz",
         {},
         "CNF3: 'abcdefghijklmnopqrstuvwx...' is not a register value (write 0x91 or 145)"},
    };
    for (const auto& row : rows) {
        const RegisterReading reading = ReadRegisterList(row.layout, row.text);
        EXPECT_EQ(reading.values, row.values) << row.text;
        EXPECT_EQ(reading.sError, row.error) << row.text;
    }
}

TEST(Decode, WhatStepThreeCannotShow) {
    const struct {
        std::vector<unsigned> cnf;
        const char* problem; // empty: step 3 can show it
    } rows[] = {
        {{0x00, 0xF0, 0x86}, ""},
        {{0x01, 0xB6, 0x00}, "Phase segment 2 is 1 Tq; step 3 holds 2 to 8 Tq."},
        {{0x00, 0x80, 0x01}, "The bit has 5 Tq; the Tq list holds 8 to 25."},
        {{0x01, 0x11, 0x00}, ""}, // larger-of with PHSEG2 0: shown with phase 2 at 2
    };
    for (const auto& row : rows) {
        const DecodedRegisters d = DecodeRegisterValues(16, 500, kCnf, row.cnf);
        EXPECT_EQ(StepThreeProblem(d.setting).value_or(""), row.problem) << row.cnf[2];
    }
    BitTimingSetting wide = DecodeRegisterValues(16, 500, kCnf, {0x00, 0xF0, 0x86}).setting;
    wide.lBRPMinus1 = 64;
    EXPECT_EQ(StepThreeProblem(wide).value_or(""), "BRP-1 is 64; step 3 holds 0 to 63.");
}

} // namespace
} // namespace quillon
