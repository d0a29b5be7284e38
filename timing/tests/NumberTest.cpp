// Reading the entry boxes and writing numbers: the grammar of the reader, the patterns,
// engineering notation and the general number format.
#include "timing/common/NumberFormat.h"
#include "timing/common/NumberReading.h"

#include <cmath>
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <vector>

namespace quillon {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const std::string kMicro = "\xC2\xB5";

TEST(NumberReading, Grammar) {
    const std::vector<std::pair<std::string, double>> rows = {
        {"16", 16},         {"83.333", 83.333}, {"\t\r\n 42 ", 42}, {"1 2 3", 123},
        {"- 5", -5},        {"+5", 5},          {"-.5", -0.5},      {"5.", 5},
        {"16,5", 16},       {"3.25.1", 3.25},   {"12abc", 12},      {"0x10", 0},
        {"1e3", 1000},      {"1d3", 1000},      {"1D-2", 0.01},     {"1e", 1},
        {"1e+", 1},         {"-2.5 E 2", -250}, {"2.5e-1x", 0.25},  {"&HFF", 255},
        {"&h ffff", 65535}, {"&H1G", 1},        {"&O17", 15},       {"&o78", 7},
        {"&O-7", 0},        {"&H", 0},          {"&X12", 0},        {"", 0},
        {"abc", 0},         {"-", 0},           {".", 0},           {"e5", 0},
        {"--5", 0},         {"1e999", 0},       {"-1e999", 0},      {"1e99999999999999999999", 0},
        {"1e-999", 0}};
    for (const auto& [text, expected] : rows) {
        EXPECT_DOUBLE_EQ(ReadLeadingNumber(text), expected) << '"' << text << '"';
    }
}

TEST(NumberReading, TellsWhetherThereWasANumber) {
    for (const char* none : {"abc", "&H", "&O", "-", "", " . "}) {
        EXPECT_FALSE(ReadLeadingNumberIfAny(none).has_value()) << none;
    }
    for (const char* zero : {"0", "1e999", "&H0", "-0"}) {
        EXPECT_EQ(ReadLeadingNumberIfAny(zero), std::optional<double>(0)) << zero;
    }
}

TEST(NumberReading, TakesLinearTime) {
    // Each would take hours with a reader that rescans the text per character.
    const std::size_t length = 2'000'000;
    EXPECT_DOUBLE_EQ(ReadLeadingNumber(std::string(length, ' ') + "5"), 5);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber("0." + std::string(length, '0') + "1e2000002"), 10);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber(std::string(length, '9')), 0);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber("&H" + std::string(length, 'F')), 0);
}

// Halves go away from zero, judged on the 15-digit decimal form: 0.9995 and 1.0005 are
// stored slightly below the half but still round up.
TEST(NumberFormat, Patterns) {
    // clang-format off
    const std::vector<std::tuple<double, const char*, const char*, const char*>> rows = {
        {0.0625, "0.000", ".", "0.063"}, {2.5, "0", ".", "3"}, {-2.5, "0", ".", "-3"},
        {-1.23456, "0.0##", ".", "-1.235"}, {0.16, "0.0##", ".", "0.16"},
        {0, "0.0##", ".", "0.0"}, {0.0004, "0.0###", ".", "0.0004"},
        {12.3456789, "0.000###", ".", "12.345679"}, {0.9995, "0.000", ".", "1.000"},
        {1.0005, "0.000", ".", "1.001"}, {999.9996, "0.000", ".", "1000.000"},
        {0.00049, "0.000", ".", "0.000"}, {1234567.891, "0.0##", ".", "1234567.891"},
        {-0.00001, "0.0##", ".", "0.0"}, {-0.0, "0.000", ".", "0.000"},
        {1e-300, "0.000###", ".", "0.000"}, {kNaN, "0.000", ".", "0.000"},
        {-kInf, "0.0##", ".", "0.0"}, {16.5, "0.000", ",", "16,500"}, {16.5, "0", ",", "17"},
        {1e20, "0.0", ",", "100000000000000000000,0"}};
    // clang-format on
    for (const auto& [value, pattern, separator, expected] : rows) {
        EXPECT_EQ(FormatNumber(value, pattern, separator), expected) << value << ' ' << pattern;
    }
    const std::vector<std::pair<double, double>> whole = {
        {0.5, 1}, {-0.5, -1}, {2.4999, 2}, {83332.99999999999, 83333}, {1e300, 1e300}, {kNaN, 0}};
    for (const auto& [value, expected] : whole) {
        EXPECT_EQ(RoundToWhole(value), expected) << value;
    }
}

// Whole numbers are judged on the 15-digit form; the search decides most values on the
// fraction alone, so the rows sit on both sides of where it must look at the digits.
TEST(NumberFormat, RoundToWholeNearHalves) {
    struct Row {
        const char* name;
        double value;
        double expected;
    };
    // clang-format off
    const std::vector<Row> rows = {
        {"stored below 2.5, 15 digits read 2.5", 2.4999999999999996, 3},
        {"the same below zero", -2.4999999999999996, -3},
        {"2.49999999999999 shows all its digits", 2.49999999999999, 2},
        {"one step under a half reads as the half", 0.49999999999999994, 1},
        {"a rate stored below its half", 83333.49999999999, 83334},
        {"a rate one digit further below", 83333.4999999999, 83333},
        {"a rate clearly below its half", 83333.4999999, 83333},
        {"a rate clearly above its half", 499999.5000001, 500000},
        {"a half just under 1e14", 99999999999999.5, 1e14},
        {"a fraction the 15 digits keep, near 1e14", 12345678901234.4, 12345678901234},
        {"nines that carry", 99.99999999999999, 100},
        {"a small negative value gives plus zero", -0.3, 0},
    };
    // clang-format on
    for (const Row& row : rows) {
        const double rounded = RoundToWhole(row.value);
        EXPECT_EQ(rounded, row.expected) << row.name;
        EXPECT_FALSE(std::signbit(rounded) && rounded == 0) << row.name;
    }
}

TEST(NumberFormat, Engineering) {
    // clang-format off
    const std::vector<std::tuple<double, const char*, const char*, bool, std::string>> rows = {
        {125e-9, "0.000", "S", false, "125.000 nS"},
        {500000, "0.000", "b", false, "500.000 kb"}, {16e6, "0.000", "Hz", false, "16.000 MHz"},
        {375e-9, "0.0##", "s", false, "375.0 ns"}, {1000, "0.000", "b", false, "1.000 kb"},
        {999.7, "0.000", "b", false, "999.700 b"},
        {999.9996, "0.000", "b", false, "1000.000 b"}, {1, "0.000", "s", false, "1.000 s"},
        {0.9999996, "0.000", "s", false, "1000.000 ms"},
        {0.001, "0.000", "s", false, "1.000 ms"},
        {1e-6, "0.000", "s", false, "1.000 " + kMicro + "s"},
        {1e-9, "0.000", "s", false, "1.000 ns"}, {1e-12, "0.000", "s", false, "1.000 ps"},
        {1e-15, "0.000", "s", false, "1.000 fs"}, {1e-16, "0.000", "s", false, "100.000 as"},
        {1e9, "0.000", "b", false, "1.000 Gb"}, {1e12, "0.000", "b", false, "1.000 Tb"},
        {1e15, "0.000", "b", false, "1.000 Pb"}, {1e18, "0.000", "b", false, "1.000 Eb"},
        {62.5e-9, "0", "s", false, "63 ns"}, {-0.0015, "0.000", "S", false, "-1.500 mS"},
        {0, "0.000", "S", false, "0.000 S"}, {kNaN, "0.000", "S", false, "0.000 S"},
        {1e21, "0.000", "b", false, "1000.000 Eb"}, {1e-20, "0.000", "s", false, "0.010 as"},
        {5, "0.000", "s", true, "5.000 s"}, {1e-6, "0.000", "s", true, "1.000 micros"},
        {2000, "0.000", "bps", true, "2.000 kilobps"},
        {1e-18, "0.000", "s", true, "1.000 attos"}, {6e18, "0.000", "Hz", true, "6.000 exaHz"},
        {16e6, "0.000", "Hz", true, "16.000 megaHz"}};
    // clang-format on
    for (const auto& [value, pattern, unit, longNames, expected] : rows) {
        EXPECT_EQ(FormatEngineering(value, pattern, unit, longNames), expected) << value;
    }
    EXPECT_EQ(FormatEngineering(16e6, "0.000", "Hz", false, ","), "16,000 MHz");
}

TEST(NumberFormat, GeneralNumber) {
    // clang-format off
    const std::vector<std::tuple<double, const char*, const char*>> rows = {
        {16.5, ".", "16.5"}, {20, ".", "20"}, {0, ".", "0"}, {-16.5, ".", "-16.5"},
        {0.1 + 0.2, ".", "0.3"}, {1.0 / 3, ".", "0.333333333333333"}, {0.00001, ".", "0.00001"},
        {1e15, ".", "1000000000000000"}, {9999999999999998, ".", "1E+16"}, {1e20, ".", "1E+20"},
        {1e300, ".", "1E+300"}, {2.5e-300, ".", "2.5E-300"}, {kInf, ".", "0"},
        {-1.5e-11, ",", "-1,5E-11"}, {16.5, ",", "16,5"}};
    // clang-format on
    for (const auto& [value, separator, expected] : rows) {
        EXPECT_EQ(FormatGeneralNumber(value, separator), expected) << value;
    }
}

} // namespace
} // namespace quillon
