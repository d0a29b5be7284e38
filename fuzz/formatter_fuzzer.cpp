// Fuzz target for the number patterns and the engineering formatter.
// Input: 8 bytes of a double (any bit pattern: NaN, infinities, subnormals), one byte that
// picks a pattern, one byte that picks the unit, the separator and the long names, and
// the rest as a free pattern text.
// Properties: no text shows "inf" or "nan"; the number part has the shape of its pattern
// (one optional leading "-", digits, at most one separator, the decimals the pattern
// allows); the prefix belongs to the table and the scaled value lies in its row (1 to 1000,
// or 1000 itself after rounding); and the text, read back and multiplied by the prefix,
// gives the value within the rounding of the pattern; the whole number of the match rules
// is the text of the pattern "0".
#include "FuzzInput.h"
#include "timing/common/NumberFormat.h"
#include "timing/common/NumberReading.h"

#include <array>
#include <cmath>
#include <string>

namespace {

struct PatternShape {
    const char* pattern;
    int minDecimals;
    int maxDecimals;
};

constexpr std::array<PatternShape, 6> kPatterns = {{
    {"0.000", 3, 3},
    {"0.0##", 1, 3},
    {"0.0###", 1, 4},
    {"0.000###", 3, 6},
    {"0.0", 1, 1},
    {"0", 0, 0},
}};

constexpr std::array<const char*, 5> kUnits = {"S", "s", "b", "bps", "Hz"};

struct PrefixRow {
    const char* symbol;
    const char* longName;
    double factor; // value = shown number x factor
};

constexpr std::array<PrefixRow, 13> kPrefixRows = {{
    {"a", "atto", 1e-18},
    {"f", "femto", 1e-15},
    {"p", "pico", 1e-12},
    {"n", "nano", 1e-9},
    {"\xC2\xB5", "micro", 1e-6},
    {"m", "milli", 1e-3},
    {"", "", 1},
    {"k", "kilo", 1e3},
    {"M", "mega", 1e6},
    {"G", "giga", 1e9},
    {"T", "tera", 1e12},
    {"P", "peta", 1e15},
    {"E", "exa", 1e18},
}};

std::string Describe(double value, const char* pattern, const std::string& text) {
    char shown[64];
    std::snprintf(shown, sizeof shown, "%.17g", value);
    return std::string(shown) + " with \"" + pattern + "\" gave \"" + text + "\"";
}

// Checks the shape of a number written with `shape` and returns its value (read with a
// point), or fails.
double CheckNumberShape(const std::string& number, const PatternShape& shape,
                        const std::string& separator, double value) {
    std::size_t i = 0;
    if (!number.empty() && number[0] == '-') {
        i = 1;
    }
    std::size_t integerDigits = 0;
    while (i < number.size() && number[i] >= '0' && number[i] <= '9') {
        ++i;
        ++integerDigits;
    }
    FUZZ_CHECK(integerDigits >= 1, Describe(value, shape.pattern, number));
    int decimals = 0;
    if (number.compare(i, separator.size(), separator) == 0 && i < number.size()) {
        i += separator.size();
        while (i < number.size() && number[i] >= '0' && number[i] <= '9') {
            ++i;
            ++decimals;
        }
    }
    FUZZ_CHECK(i == number.size(), Describe(value, shape.pattern, number));
    FUZZ_CHECK(decimals >= shape.minDecimals && decimals <= shape.maxDecimals,
               Describe(value, shape.pattern, number));
    // A value that rounds to zero is written without a sign.
    FUZZ_CHECK(number[0] != '-' || number.find_first_of("123456789") != std::string::npos,
               Describe(value, shape.pattern, number));

    std::string plain = number;
    if (const std::size_t at = plain.find(separator); at != std::string::npos) {
        plain.replace(at, separator.size(), ".");
    }
    return quillon::ReadLeadingNumber(plain);
}

void CheckEngineering(double value, const PatternShape& shape, const char* unit, bool longNames,
                      const std::string& separator) {
    const std::string text =
        quillon::FormatEngineering(value, shape.pattern, unit, longNames, separator);
    FUZZ_CHECK(!quillon::fuzz::ShowsNonFinite(text), Describe(value, shape.pattern, text));

    // "<number> <prefix><unit>", exactly one space.
    const std::size_t space = text.find(' ');
    FUZZ_CHECK(space != std::string::npos && text.find(' ', space + 1) == std::string::npos,
               Describe(value, shape.pattern, text));
    const std::string number = text.substr(0, space);
    const std::string suffix = text.substr(space + 1);
    const std::string sUnit(unit);
    FUZZ_CHECK(suffix.size() >= sUnit.size() &&
                   suffix.compare(suffix.size() - sUnit.size(), sUnit.size(), sUnit) == 0,
               Describe(value, shape.pattern, text));
    const std::string prefix = suffix.substr(0, suffix.size() - sUnit.size());

    const PrefixRow* row = nullptr;
    for (const PrefixRow& candidate : kPrefixRows) {
        if (prefix == (longNames ? candidate.longName : candidate.symbol)) {
            row = &candidate;
        }
    }
    FUZZ_CHECK(row != nullptr, Describe(value, shape.pattern, text));

    const double shown = CheckNumberShape(number, shape, separator, value);
    if (!std::isfinite(value) || value == 0) {
        // Not a number to show: written as zero, without a prefix.
        FUZZ_CHECK(shown == 0 && row->factor == 1, Describe(value, shape.pattern, text));
        return;
    }
    const double magnitude = std::fabs(shown);
    const bool outermost = row == &kPrefixRows.front() || row == &kPrefixRows.back();
    if (!outermost) {
        const double lastPlace = std::pow(10.0, -shape.maxDecimals);
        FUZZ_CHECK(magnitude <= 1000 && magnitude >= 1 - lastPlace,
                   Describe(value, shape.pattern, text));
    }
    // Back to the base unit: within half of the last place shown (times the prefix), plus
    // the 15-digit precision the formatter works with.
    const double scaled = std::fabs(value) / row->factor;
    const double tolerance = 0.5 * std::pow(10.0, -shape.maxDecimals) + 1e-13 * scaled;
    FUZZ_CHECK(std::fabs(magnitude - scaled) <= tolerance || !std::isfinite(scaled),
               Describe(value, shape.pattern, text));
    FUZZ_CHECK(magnitude == 0 || (shown < 0) == (value < 0), Describe(value, shape.pattern, text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillon::fuzz::FuzzInput input(data, size);
    const double value = input.Take<double>();
    const PatternShape& shape = kPatterns[input.Take<std::uint8_t>() % kPatterns.size()];
    const std::uint8_t choice = input.Take<std::uint8_t>();
    const char* unit = kUnits[choice % kUnits.size()];
    const std::string separator = (choice & 0x10) != 0 ? "," : ".";
    const bool longNames = (choice & 0x20) != 0;

    CheckEngineering(value, shape, unit, longNames, separator);

    const std::string number = quillon::FormatNumber(value, shape.pattern, separator);
    FUZZ_CHECK(!quillon::fuzz::ShowsNonFinite(number), Describe(value, shape.pattern, number));
    const double shown = CheckNumberShape(number, shape, separator, value);
    if (std::isfinite(value) && std::fabs(value) < 1e300) {
        const double tolerance =
            0.5 * std::pow(10.0, -shape.maxDecimals) + 1e-13 * std::fabs(value);
        FUZZ_CHECK(std::fabs(shown - value) <= tolerance, Describe(value, shape.pattern, number));
    }

    // The whole number of the match rules is the one the pattern "0" writes, though it is
    // mostly worked out from the fraction without writing anything.
    const std::string whole = quillon::FormatNumber(value, "0");
    FUZZ_CHECK(quillon::RoundToWhole(value) == quillon::ReadLeadingNumber(whole),
               Describe(value, "0", whole));

    // A pattern of any text: only digits, a sign and the separator come out.
    const std::string freePattern = input.TakeText(64);
    const std::string free = quillon::FormatNumber(value, freePattern, separator);
    FUZZ_CHECK(!free.empty() && free.find_first_not_of("-0123456789.,") == std::string::npos,
               Describe(value, freePattern.c_str(), free));
    return 0;
}
