// The strict reading of a number, which the command line uses: what it takes, every kind of
// refusal with the sentence the user sees, and where the entry boxes' own reading takes
// something other than what was typed.
#include "timing/common/NumberReading.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace quillon {
namespace {

TEST(StrictNumber, TakesOneDecimalNumber) {
    const std::vector<std::pair<std::string, double>> rows = {
        {"16", 16}, {" 16\t", 16}, {"+16", 16},     {"-2.5", -2.5},   {".5", 0.5},
        {"5.", 5},  {"1e3", 1000}, {"1e+2", 100},   {"2.5E-1", 0.25}, {"3.6864", 3.6864},
        {"0", 0},   {"007", 7},    {"1e308", 1e308}};
    for (const auto& [text, expected] : rows) {
        const StrictNumber read = ReadNumberStrictly(text, "MHz");
        ASSERT_TRUE(read.value) << text << ": " << read.sReason;
        EXPECT_DOUBLE_EQ(*read.value, expected) << text;
        EXPECT_EQ(read.refusal, NumberRefusal::None) << text;
    }
}

struct RefusalRow {
    const char* text;
    const char* unit;
    NumberRefusal refusal;
    const char* reason;
};

class StrictRefusals : public testing::TestWithParam<RefusalRow> {};

TEST_P(StrictRefusals, SayWhatWasReadAndWhy) {
    const RefusalRow& row = GetParam();
    const StrictNumber read = ReadNumberStrictly(row.text, row.unit);
    EXPECT_FALSE(read.value.has_value());
    EXPECT_EQ(read.refusal, row.refusal);
    EXPECT_EQ(read.sReason, row.reason);
}

using R = NumberRefusal;
INSTANTIATE_TEST_SUITE_P(
    EveryKind, StrictRefusals,
    testing::Values(
        RefusalRow{"", "MHz", R::Empty, "the value is empty; give a number in MHz"},
        RefusalRow{" \t", "", R::Empty, "the value is empty; give a number"},
        RefusalRow{"abc", "MHz", R::NoNumber, "'abc' is not a number"},
        RefusalRow{"inf", "MHz", R::NoNumber, "'inf' is not a number"},
        RefusalRow{"- 5", "MHz", R::NoNumber, "'- 5' is not a number"},
        RefusalRow{".", "MHz", R::NoNumber, "'.' is not a number"},
        RefusalRow{"0x10", "MHz", R::Based,
                   "'0x10' is hexadecimal; give the number in decimal digits: 16"},
        RefusalRow{"&o17", "MHz", R::Based,
                   "'&o17' is octal; give the number in decimal digits: 15"},
        RefusalRow{"&H1G", "MHz", R::Based,
                   "'&H1G' is hexadecimal; give the number in decimal digits"},
        // A decimal comma, and commas that group thousands.
        RefusalRow{"16,5", "MHz", R::Comma,
                   "'16,5': a comma is no decimal point here; did you mean 16.5?"},
        RefusalRow{"3,6864", "MHz", R::Comma,
                   "'3,6864': a comma is no decimal point here; did you mean 3.6864?"},
        RefusalRow{"16,500", "kbit/s", R::Comma,
                   "'16,500': a comma is no decimal point here; did you mean 16.500 or 16500?"},
        RefusalRow{"1,000,000", "kbit/s", R::Comma,
                   "'1,000,000': a comma is no decimal point here; did you mean 1000000?"},
        RefusalRow{"1,2,3", "", R::Comma,
                   "'1,2,3': a comma is no decimal point here; give one number with a point before "
                   "its decimals"},
        RefusalRow{",5", "", R::Comma, "',5': a comma is no decimal point here; did you mean .5?"},
        // A unit after the number: the option's own, another one, or none expected.
        RefusalRow{"16MHz", "MHz", R::Unit,
                   "'16MHz': the unit is implied (MHz); give the number alone: 16"},
        RefusalRow{"16 mhz", "MHz", R::Unit,
                   "'16 mhz': the unit is implied (MHz); give the number alone: 16"},
        RefusalRow{"16kHz", "MHz", R::Unit,
                   "'16kHz': the unit is implied (MHz); give the value in MHz as a plain number"},
        RefusalRow{"87.5%", "%", R::Unit,
                   "'87.5%': the unit is implied (%); give the number alone: 87.5"},
        RefusalRow{"8tq", "", R::Unit, "'8tq': 'tq' follows the number 8; give the number alone"},
        // Other text, an exponent without digits, and more than one number.
        RefusalRow{"16)", "MHz", R::TrailingText,
                   "'16)': ')' follows the number 16; give the number alone"},
        RefusalRow{"2e4.5", "ppm", R::TrailingText,
                   "'2e4.5': '.5' follows the number 2e4; give the number alone"},
        RefusalRow{"1e", "MHz", R::TrailingText,
                   "'1e': 'e' follows the number 1; give the number alone"},
        RefusalRow{"16 500", "MHz", R::SeveralNumbers,
                   "'16 500' holds more than one number; give one"},
        RefusalRow{"16, 500", "MHz", R::SeveralNumbers,
                   "'16, 500' holds more than one number; give one"},
        RefusalRow{"16;-5", "MHz", R::SeveralNumbers,
                   "'16;-5' holds more than one number; give one"},
        // Beyond a double, either way, also with an exponent too long for any integer.
        RefusalRow{"1e999", "MHz", R::OutOfRange, "'1e999' is too large to be read as a number"},
        RefusalRow{"-1e99999999999999999999", "MHz", R::OutOfRange,
                   "'-1e99999999999999999999' is too large to be read as a number"},
        RefusalRow{"0.001e-998", "MHz", R::OutOfRange,
                   "'0.001e-998' is too close to 0 to be read as a number"},
        RefusalRow{"1e-99999999999999999999", "MHz", R::OutOfRange,
                   "'1e-99999999999999999999' is too close to 0 to be read as a number"}));

// The window keeps its boxes' reading; this says where that reading is not the text as typed.
TEST(StrictNumber, FindsWhereTheBoxesReadSomethingElse) {
    const struct {
        const char* text;
        std::optional<double> read; // nothing: the boxes read the text as typed
        const char* reason;
    } rows[] = {
        {"16", std::nullopt, ""},
        {" 16 ", std::nullopt, ""},
        {"&H10", std::nullopt, ""}, // forms only the boxes know
        {"1D3", std::nullopt, ""},
        {"3,6864", 3, "'3,6864': a comma is no decimal point here; did you mean 3.6864?"},
        {"16MHz", 16, "'16MHz': the unit is implied (MHz); give the number alone: 16"},
        {"16 500", 16500, "'16 500' holds more than one number; give one"},
        {"abc", 0, "'abc' is not a number"},
        {"", 0, "the value is empty; give a number in MHz"},
        {"1e999", 0, "'1e999' is too large to be read as a number"},
        {"&HFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
         "FFF"
         "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
         "FF"
         "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
         "FF",
         0, nullptr},
    };
    for (const auto& row : rows) {
        const std::optional<LenientMisreading> found = FindLenientMisreading(row.text, "MHz");
        ASSERT_EQ(found.has_value(), row.read.has_value()) << row.text;
        if (found) {
            EXPECT_DOUBLE_EQ(found->dRead, *row.read) << row.text;
            EXPECT_DOUBLE_EQ(found->dRead, ReadLeadingNumber(row.text)) << row.text;
            if (row.reason != nullptr) {
                EXPECT_EQ(found->sReason, row.reason) << row.text;
            }
        }
    }
}

} // namespace
} // namespace quillon
