#include "timing/NumberFormat.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace quillon {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct PatternCase {
    double value;
    std::string pattern;
    std::string expected;
};
void PrintTo(const PatternCase& c, std::ostream* os) {
    *os << c.value << ' ' << c.pattern;
}

class FormatNumberTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(FormatNumberTest, FormatsWithPattern) {
    const PatternCase& c = GetParam();
    EXPECT_EQ(FormatNumber(c.value, c.pattern), c.expected) << c.value << " " << c.pattern;
}

// Halves go away from zero, judged on the 15-digit decimal form: 0.9995 and 1.0005 are
// stored slightly below the half but still round up.
// clang-format off
const std::vector<PatternCase> kPatterns = {
    {0.0625, "0.000", "0.063"},       {2.5, "0", "3"},
    {-2.5, "0", "-3"},                {-1.23456, "0.0##", "-1.235"},
    {0.16, "0.0##", "0.16"},          {0, "0.0##", "0.0"},
    {0.0004, "0.0###", "0.0004"},     {12.3456789, "0.000###", "12.345679"},
    {0.9995, "0.000", "1.000"},       {1.0005, "0.000", "1.001"},
    {999.9996, "0.000", "1000.000"},  {0.00049, "0.000", "0.000"},
    {1234567.891, "0.0##", "1234567.891"},
    {-0.00001, "0.0##", "0.0"},       {-0.0, "0.000", "0.000"},
    {1e-300, "0.000###", "0.000"},    {kNaN, "0.000", "0.000"},
    {-kInf, "0.0##", "0.0"}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Patterns, FormatNumberTest, ::testing::ValuesIn(kPatterns));

TEST(FormatNumberSeparatorTest, UsesGivenSeparatorNeverAnExponent) {
    EXPECT_EQ(FormatNumber(16.5, "0.000", ","), "16,500");
    EXPECT_EQ(FormatNumber(16.5, "0", ","), "17");
    EXPECT_EQ(FormatNumber(1e300, "0.000", ","), "1" + std::string(300, '0') + ",000");
    EXPECT_EQ(FormatEngineering(16000000, "0.000", "Hz", false, ","), "16,000 MHz");
}

TEST(RoundToWholeTest, RoundsHalvesAwayFromZero) {
    // clang-format off
    const std::vector<std::pair<double, double>> cases = {
        {0.5, 1}, {-0.5, -1}, {2.4999, 2}, {333333.3333, 333333}, {83332.99999999999, 83333},
        {0.49999999999999994, 1}, {1e300, 1e300}, {kNaN, 0}};
    // clang-format on
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(RoundToWhole(value), expected) << value;
    }
}

struct EngineeringCase {
    double value;
    std::string format;
    std::string unit;
    bool bLongNames;
    std::string expected;
};
void PrintTo(const EngineeringCase& c, std::ostream* os) {
    *os << c.value << ' ' << c.unit;
}

class FormatEngineeringTest : public ::testing::TestWithParam<EngineeringCase> {};

TEST_P(FormatEngineeringTest, PicksPrefixAndFormats) {
    const EngineeringCase& c = GetParam();
    EXPECT_EQ(FormatEngineering(c.value, c.format, c.unit, c.bLongNames), c.expected) << c.value;
}

// clang-format off
const std::vector<EngineeringCase> kEngineering = {
    {0.000000125, "0.000", "S", false, "125.000 nS"}, {500000, "0.000", "b", false, "500.000 kb"},
    {16000000, "0.000", "Hz", false, "16.000 MHz"},   {375e-9, "0.0##", "s", false, "375.0 ns"},
    {1000, "0.000", "b", false, "1.000 kb"},          {1, "0.000", "s", false, "1.000 s"},
    {0.001, "0.000", "s", false, "1.000 ms"},         {1e-15, "0.000", "s", false, "1.000 fs"},
    {0.000001, "0.000", "s", false, "1.000 \xC2\xB5s"},
    {1e-16, "0.000", "s", false, "100.000 as"},       {1e12, "0.000", "b", false, "1.000 Tb"},
    {1e18, "0.000", "b", false, "1.000 Eb"},          {999.9996, "0.000", "b", false, "1000.000 b"},
    {0.9999996, "0.000", "s", false, "1000.000 ms"},
    {0, "0.000", "S", false, "0.000 S"},              {-0.0015, "0.000", "S", false, "-1.500 mS"},
    {1e21, "0.000", "b", false, "1000.000 Eb"},       {1e-20, "0.000", "s", false, "0.010 as"},
    {kNaN, "0.000", "S", false, "0.000 S"},           {5, "0.000", "s", true, "5.000 s"},
    {0.000001, "0.000", "s", true, "1.000 micros"},   {2000, "0.000", "bps", true, "2.000 kilobps"},
    {1e-18, "0.000", "s", true, "1.000 attos"},       {6e18, "0.000", "Hz", true, "6.000 exaHz"}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Values, FormatEngineeringTest, ::testing::ValuesIn(kEngineering));

TEST(FormatGeneralNumberTest, WritesShortestForm) {
    // clang-format off
    const std::vector<std::pair<double, std::string>> cases = {
        {16.5, "16.5"}, {20, "20"}, {0, "0"}, {-16.5, "-16.5"}, {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"}, {0.00001, "0.00001"}, {1e15, "1000000000000000"},
        {9999999999999998, "1E+16"}, {1e20, "1E+20"}, {2.5e-300, "2.5E-300"}, {kInf, "0"}};
    // clang-format on
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(FormatGeneralNumber(value), expected) << value;
    }
    EXPECT_EQ(FormatGeneralNumber(-1.5e-11, ","), "-1,5E-11");
    EXPECT_EQ(FormatGeneralNumber(16.5, ","), "16,5");
}

} // namespace
} // namespace quillon
