#include "timing/DisplayTexts.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace quillon {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The hexadecimal part has no leading zeros and upper-case digits, also across a digit
// boundary; a negative value keeps its sign.
TEST(GridRowLabelTest, DecimalThenHexadecimal) {
    const std::vector<std::pair<int, std::string>> cases = {{0, "0 (0x0)"},    {10, "10 (0xA)"},
                                                            {15, "15 (0xF)"},  {16, "16 (0x10)"},
                                                            {63, "63 (0x3F)"}, {-5, "-5 (0x-5)"}};
    for (const auto& [brpMinus1, expected] : cases) {
        EXPECT_EQ(GridRowLabel(brpMinus1), expected) << brpMinus1;
    }
}

struct DurationCase {
    int brpMinus1;
    double oscFreqMHz;
    int tqCount;
    std::string separator;
    std::string expected;
};

class DurationTextTest : public ::testing::TestWithParam<DurationCase> {};

TEST_P(DurationTextTest, FromTheDiagramQuantum) {
    const DurationCase& c = GetParam();
    EXPECT_EQ(DurationText(c.tqCount, DiagramTqSeconds(c.brpMinus1, c.oscFreqMHz), c.separator),
              c.expected);
}

// An oscillator too large for Hz in a double gives a quantum of exactly 0; one of 0, a
// negative one or no number at all give an infinite, negative or NaN quantum.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Quanta, DurationTextTest, ::testing::Values(
    DurationCase{1, 16, 3, ".", "750.0 ns"},    DurationCase{0, 20, 8, ",", "800,0 ns"},
    DurationCase{63, 1, 25, ".", "3.2 ms"},     DurationCase{0, 1e303, 4, ".", "n/a"},
    DurationCase{0, 0, 4, ".", "n/a"},          DurationCase{1, -16, 4, ".", "n/a"},
    DurationCase{0, kInf, 4, ".", "n/a"},       DurationCase{0, kNaN, 4, ".", "n/a"}));
// clang-format on

} // namespace
} // namespace quillon
