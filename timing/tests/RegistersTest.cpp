#include "timing/Registers.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace quillon {
namespace {

constexpr Phase2Mode kProg = Phase2Mode::Programmed;
constexpr Phase2Mode kLarger = Phase2Mode::LargerOf;

struct EncodeCase {
    int lBRPMinus1;
    SegmentSettings settings; // N (not encoded), propagation, phase 1, phase 2, SJW, SAM,
                              // WAKFIL, mode
    std::string sCNF1Bin, sCNF2Hex, sCNF3Hex, sCICFG2Hex;
};
void PrintTo(const EncodeCase& c, std::ostream* os) {
    *os << c.sCICFG2Hex;
}

class EncodeTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeTest, AddsFieldsIntoRegisters) {
    const EncodeCase& c = GetParam();
    const RegisterEncoding encoding = EncodeConfigRegisters(c.lBRPMinus1, c.settings);
    ASSERT_TRUE(encoding) << encoding.sError;
    const ConfigRegisterTexts texts = MakeConfigRegisterTexts(*encoding.registers);
    EXPECT_EQ(texts.sCNF1Bin, c.sCNF1Bin);
    EXPECT_EQ(texts.sCNF2Hex, c.sCNF2Hex);
    EXPECT_EQ(texts.sCNF3Hex, c.sCNF3Hex);
    EXPECT_EQ(texts.sCICFG2Hex, c.sCICFG2Hex);
}

const std::vector<EncodeCase> kEncodings = {
    {1, {8, 2, 3, 2, 1, false, false, kProg}, "b'00000001'", "0x91", "0x01", "0x0191"},
    {1, {8, 2, 3, 2, 1, false, false, kLarger}, "b'00000001'", "0x11", "0x00", "0x0011"},
    {63, {8, 1, 1, 2, 4, false, false, kProg}, "b'11111111'", "0x80", "0x01", "0x0180"},
    {0, {8, 1, 1, 300, 1, true, true, kLarger}, "b'00000000'", "0x40", "0x40", "0x4040"},
    {10, {25, 8, 8, 8, 3, true, true, kProg}, "b'10001010'", "0xFF", "0x47", "0x47FF"}};
INSTANTIATE_TEST_SUITE_P(Settings, EncodeTest, ::testing::ValuesIn(kEncodings));

TEST(RegisterTextsTest, AllTenTexts) {
    const ConfigRegisterTexts texts = MakeConfigRegisterTexts(ConfigRegisters{0x01, 0x91, 0x0A});
    const std::vector<std::string> actual = {
        texts.sCNF1Bin, texts.sCNF1Hex,   texts.sCNF2Bin,   texts.sCNF2Hex,   texts.sCNF3Bin,
        texts.sCNF3Hex, texts.sCICFG1Bin, texts.sCICFG1Hex, texts.sCICFG2Bin, texts.sCICFG2Hex};
    const std::vector<std::string> expected = {
        "b'00000001'",         "0x01",   "b'10010001'",         "0x91",  "b'00001010'", "0x0A",
        "b'0000000000000001'", "0x0001", "b'0000101010010001'", "0x0A91"};
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(ByteToHex(171), "AB");
    EXPECT_EQ(ByteToHex(0), "00");
}

struct OverflowCase {
    int lBRPMinus1;
    SegmentSettings settings;
    std::string sError;
};
void PrintTo(const OverflowCase& c, std::ostream* os) {
    *os << c.sError;
}

class OverflowTest : public ::testing::TestWithParam<OverflowCase> {};

TEST_P(OverflowTest, ProducesNoRegisters) {
    const RegisterEncoding encoding =
        EncodeConfigRegisters(GetParam().lBRPMinus1, GetParam().settings);
    EXPECT_FALSE(encoding.registers.has_value());
    EXPECT_EQ(encoding.sError, GetParam().sError);
}

const std::vector<OverflowCase> kOverflows = {
    {63, {8, 1, 1, 2, 5}, "CNF1 overflow: 64 x (SJW - 1) + BRP-1 = 319 is above 255"},
    {0, {8, 1, 1, 2, 0}, "CNF1 overflow: 64 x (SJW - 1) + BRP-1 = -64 is below 0"},
    {0, {8, 1, 1, 2, INT_MIN}, "CNF1 overflow: 64 x (SJW - 1) + BRP-1 = -137438953536 is below 0"},
    {0, {8, 1, 17, 2, 1, true}, "CNF2 overflow: 8 x (phase 1 - 1) + CNF2 = 320 is above 255"},
    {0,
     {8, 0, 1, 2, 1, false, false, kLarger},
     "CNF2 overflow: (propagation - 1) + CNF2 = -1 is below 0"},
    {0, {8, 1, 1, 0, 1}, "CNF3 overflow: CNF3 + phase 2 - 1 = -1 is below 0"},
    {0, {8, 1, 1, 193, 1, false, true}, "CNF3 overflow: CNF3 + phase 2 - 1 = 256 is above 255"}};
INSTANTIATE_TEST_SUITE_P(OutOfRange, OverflowTest, ::testing::ValuesIn(kOverflows));

TEST(BusIdleErrataTest, WarnsBelow26Clocks) {
    EXPECT_EQ(OscClocksPerBit(0, 13), 26);
    EXPECT_FALSE(BusIdleErrataMessage(0, 13).has_value());
    EXPECT_FALSE(BusIdleErrataMessage(1, 8).has_value());
    EXPECT_EQ(BusIdleErrataMessage(0, 12).value_or(""),
              "According to MCP2510 Silicon Revision A Errata Sheet, the settings you selected "
              "expose you to a \"Miniumum Bus Idle Time\" problem. You currently have 24 OSC1 "
              "clocks and the minimum is 26. Please refer to the latest MCP2510 Errata sheets to "
              "determine if this problem has been fixed.");
}

} // namespace
} // namespace quillon
