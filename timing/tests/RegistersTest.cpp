// Register encoding of both controller families, its texts, refusals and the bus idle check.
#include "timing/classic/Registers.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace quillon {
namespace {

constexpr Phase2Mode kProg = Phase2Mode::Programmed;
constexpr Phase2Mode kLarger = Phase2Mode::LargerOf;

TEST(Registers, AddsTheFieldsIntoTheRegisters) {
    const struct {
        int brpMinus1;
        SegmentSettings s; // N (not encoded), propagation, phase 1, phase 2, SJW, SAM, WAKFIL
        unsigned cnf1, cnf2, cnf3;
    } rows[] = {{1, {8, 2, 3, 2, 1, false, false, kProg}, 0x01, 0x91, 0x01},
                {1, {8, 2, 3, 2, 1, false, false, kLarger}, 0x01, 0x11, 0x00},
                {63, {8, 1, 1, 2, 4, false, false, kProg}, 0xFF, 0x80, 0x01},
                {0, {8, 1, 1, 300, 1, true, true, kLarger}, 0x00, 0x40, 0x40},
                {10, {25, 8, 8, 8, 3, true, true, kProg}, 0x8A, 0xFF, 0x47}};
    for (const auto& row : rows) {
        const RegisterEncoding encoding = EncodeConfigRegisters(row.brpMinus1, row.s);
        ASSERT_TRUE(encoding) << encoding.sError;
        EXPECT_EQ(*encoding.registers, (ConfigRegisters{static_cast<std::uint8_t>(row.cnf1),
                                                        static_cast<std::uint8_t>(row.cnf2),
                                                        static_cast<std::uint8_t>(row.cnf3)}))
            << row.cnf1 << ' ' << row.cnf2 << ' ' << row.cnf3;
    }
}

TEST(Registers, TheTenTexts) {
    const ConfigRegisterTexts t = MakeConfigRegisterTexts(ConfigRegisters{0x01, 0x91, 0x0A});
    const std::vector<std::string> actual = {t.sCNF1Bin,   t.sCNF1Hex,  t.sCNF2Bin,   t.sCNF2Hex,
                                             t.sCNF3Bin,   t.sCNF3Hex,  t.sCICFG1Bin, t.sCICFG1Hex,
                                             t.sCICFG2Bin, t.sCICFG2Hex};
    const std::vector<std::string> expected = {
        "b'00000001'",         "0x01",   "b'10010001'",         "0x91",  "b'00001010'", "0x0A",
        "b'0000000000000001'", "0x0001", "b'0000101010010001'", "0x0A91"};
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(ByteToHex(171), "AB");
}

TEST(Registers, AnOverflowIsRefusedAndNamed) {
    const struct {
        int brpMinus1;
        SegmentSettings s;
        const char* error;
    } rows[] = {
        {63, {8, 1, 1, 2, 5}, "CNF1 overflow: 64 x (SJW - 1) + BRP-1 = 319 is above 255"},
        {0, {8, 1, 1, 2, 0}, "CNF1 overflow: 64 x (SJW - 1) + BRP-1 = -64 is below 0"},
        {0,
         {8, 1, 1, 2, INT_MIN},
         "CNF1 overflow: 64 x (SJW - 1) + BRP-1 = -137438953536 is below 0"},
        {0, {8, 1, 17, 2, 1, true}, "CNF2 overflow: 8 x (phase 1 - 1) + CNF2 = 320 is above 255"},
        {0,
         {8, 0, 1, 2, 1, false, false, kLarger},
         "CNF2 overflow: (propagation - 1) + CNF2 = -1 is below 0"},
        {0, {8, 1, 1, 0, 1}, "CNF3 overflow: CNF3 + phase 2 - 1 = -1 is below 0"},
        {0,
         {8, 1, 1, 193, 1, false, true},
         "CNF3 overflow: CNF3 + phase 2 - 1 = 256 is above 255"}};
    for (const auto& row : rows) {
        const RegisterEncoding encoding = EncodeConfigRegisters(row.brpMinus1, row.s);
        EXPECT_FALSE(encoding.registers.has_value()) << row.error;
        EXPECT_EQ(encoding.sError, row.error);
    }
}

TEST(Registers, BusIdleNeeds26OscillatorClocks) {
    EXPECT_EQ(OscClocksPerBit(0, 13), 26);
    EXPECT_FALSE(BusIdleErrataMessage(0, 13).has_value());
    EXPECT_FALSE(BusIdleErrataMessage(1, 8).has_value());
    EXPECT_EQ(OscClocksPerBit(INT_MAX, 25), INT_MAX);
    EXPECT_EQ(BusIdleErrataMessage(0, 12).value_or(""),
              "According to MCP2510 Silicon Revision A Errata Sheet, the settings you selected "
              "expose you to a \"Miniumum Bus Idle Time\" problem. You currently have 24 OSC1 "
              "clocks and the minimum is 26. Please refer to the latest MCP2510 Errata sheets to "
              "determine if this problem has been fixed.");
}

} // namespace
} // namespace quillon
