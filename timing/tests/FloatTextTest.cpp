// The C library's path of FloatText (taken where the standard library has no
// floating-point charconv, as on the web page) against std::to_chars and std::from_chars:
// the same text for the numbers the JSON and the number formats write, and for a sweep of
// doubles across the exponent range.
#include "timing/common/FloatText.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace quillon {
namespace {

using namespace float_text_detail;

std::string StdShortest(double value) {
    std::array<char, 40> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

std::string StdScientific(double value, int precision) {
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::scientific, precision);
    return std::string(buffer.data(), result.ptr);
}

TEST(FloatText, ShortestMatchesToChars) {
    // Where fixed and scientific change places (0.001 ties, 1e-04 is shorter), a whole
    // number past the shortest digits (written exactly, as to_chars does), negative
    // numbers, the largest and smallest doubles and rates and tolerances as JSON has them.
    const std::vector<std::pair<double, std::string>> rows = {
        {0.1, "0.1"},
        {0.001, "0.001"},
        {0.0001, "1e-04"},
        {1e-05, "1e-05"},
        {-2.5, "-2.5"},
        {83.333, "83.333"},
        {1.5e300, "1.5e+300"},
        {1e22, "1e+22"},
        {123456.789, "123456.789"},
        {1.7976931348623157e308, "1.7976931348623157e+308"},
        {4.9406564584124654e-324, "5e-324"},
        {0.30000000000000004, "0.30000000000000004"},
        {1234567890123456.7, "1234567890123456.8"},
        {6.25e-07, "6.25e-07"},
        {1.0 / 3.0, "0.3333333333333333"},
        {-8451138195280555008.0, "-8451138195280555008"},
    };
    for (const auto& [value, text] : rows) {
        EXPECT_EQ(ShortestViaPrintf(value), text) << text;
        EXPECT_EQ(StdShortest(value), text) << text;
    }
}

TEST(FloatText, SweepAgreesWithToChars) {
    // Bit patterns from a fixed linear congruential sequence: every exponent, every kind
    // of mantissa; both paths must give the same text and read it back alike.
    std::uint64_t state = 0x2545F4914F6CDD1DULL;
    int compared = 0;
    for (int i = 0; i < 20000; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        double value = 0;
        std::memcpy(&value, &state, sizeof value);
        if (!std::isfinite(value)) {
            continue;
        }
        const std::string text = StdShortest(value);
        ASSERT_EQ(ShortestViaPrintf(value), text);
        ASSERT_EQ(ScientificViaPrintf(value, 14), StdScientific(value, 14)) << text;
        double read = 0;
        ASSERT_EQ(ReadViaStrtod(text.data(), text.data() + text.size(), read).ec, std::errc());
        ASSERT_EQ(read, value) << text;
        ++compared;
    }
    EXPECT_GT(compared, 19000);
}

TEST(FloatText, ReadingRefusesWhatFromCharsRefuses) {
    struct Row {
        const char* name;
        std::string text;
        std::errc error;
        std::size_t length; // characters read
    };
    const std::vector<Row> rows = {
        {"plain", "16.5", std::errc(), 4},
        {"stops at the rest", "2.5e-1x", std::errc(), 6},
        {"a leading blank", " 5", std::errc::invalid_argument, 0},
        {"a plus sign", "+5", std::errc::invalid_argument, 0},
        {"hexadecimal", "0x10", std::errc(), 1},
        {"no digits", "e5", std::errc::invalid_argument, 0},
        {"overflow", "1e999", std::errc::result_out_of_range, 5},
        {"underflow", "1e-999", std::errc::result_out_of_range, 6},
    };
    for (const Row& row : rows) {
        double ours = -1;
        double standard = -1;
        const char* first = row.text.data();
        const char* last = first + row.text.size();
        const auto a = ReadViaStrtod(first, last, ours);
        const auto b = std::from_chars(first, last, standard);
        EXPECT_EQ(a.ec, row.error) << row.name;
        EXPECT_EQ(b.ec, row.error) << row.name;
        EXPECT_EQ(static_cast<std::size_t>(a.ptr - first), row.length) << row.name;
        EXPECT_EQ(b.ptr, a.ptr) << row.name;
        EXPECT_EQ(ours, standard) << row.name;
    }
}

} // namespace
} // namespace quillon
