#include "timing/NumberReading.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

struct ReadCase {
    std::string text;
    double expected;
};
void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << ::testing::PrintToString(c.text);
}

class ReadLeadingNumberTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadLeadingNumberTest, ReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(ReadLeadingNumber(GetParam().text), GetParam().expected)
        << ::testing::PrintToString(GetParam().text);
}

const std::vector<ReadCase> kDecimal = {
    {"16", 16},   {"83.333", 83.333}, {"  500 ", 500}, {"\t\r\n42", 42}, {"1 2 3", 123},
    {"-5", -5},   {"+5", 5},          {"- 5", -5},     {"-.5", -0.5},    {"5.", 5},
    {"16,5", 16}, {"3.25.1", 3.25},   {"12abc", 12},   {"0x10", 0},      {"2.5e-1x", 0.25}};
const std::vector<ReadCase> kExponent = {{"1e3", 1000},     {"1d3", 1000}, {"1D-2", 0.01},
                                         {"1e", 1},         {"1e+", 1},    {"-2.5 E 2", -250},
                                         {"1e000003", 1000}};
const std::vector<ReadCase> kHexAndOctal = {{"&HFF", 255}, {"&h ffff", 65535}, {"&H1G", 1},
                                            {"&O17", 15},  {"&o78", 7},        {"&H", 0},
                                            {"&X12", 0}};
const std::vector<ReadCase> kNoNumber = {
    {"", 0},      {"abc", 0},    {"-", 0},
    {".", 0},     {"e5", 0},     {"--5", 0},
    {"1e999", 0}, {"-1e999", 0}, {"1e99999999999999999999", 0}};

INSTANTIATE_TEST_SUITE_P(Decimal, ReadLeadingNumberTest, ::testing::ValuesIn(kDecimal));
INSTANTIATE_TEST_SUITE_P(Exponent, ReadLeadingNumberTest, ::testing::ValuesIn(kExponent));
INSTANTIATE_TEST_SUITE_P(HexAndOctal, ReadLeadingNumberTest, ::testing::ValuesIn(kHexAndOctal));
INSTANTIATE_TEST_SUITE_P(NoNumber, ReadLeadingNumberTest, ::testing::ValuesIn(kNoNumber));

TEST(ReadLeadingNumberLongTextTest, ReadsMegabyteInputs) {
    // Each of these would take hours with a reader that rescans the text per character.
    const std::size_t length = 2'000'000;
    EXPECT_DOUBLE_EQ(ReadLeadingNumber(std::string(length, ' ') + "5"), 5);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber("0." + std::string(length, '0') + "1e2000002"), 10);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber(std::string(length, '9')), 0); // too large: 0
    EXPECT_DOUBLE_EQ(ReadLeadingNumber("&H" + std::string(length, 'F')), 0);
}

} // namespace
} // namespace quillon
