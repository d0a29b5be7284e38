#include "timing/common/NumberFormat.h"

#include "timing/common/FloatText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace quillon {
inline namespace common {

namespace {

constexpr int kSignificantDigits = 15;

// The general format writes plain digits for decimal exponents in this range and
// switches to "1.5E+20" style outside it.
constexpr int kMinPlainExponent = -10;
constexpr int kMaxPlainExponent = 15;

// A non-negative decimal number as a digit string and the position of the decimal point
// in it: the value is 0.<sDigits> x 10^lPointPos. Positions outside the string are zeros.
struct DecimalForm {
    std::string sDigits;
    int lPointPos = 0;

    char DigitAt(int index) const {
        return index >= 0 && index < static_cast<int>(sDigits.size()) ? sDigits[index] : '0';
    }
    bool IsZero() const { return sDigits.find_first_not_of('0') == std::string::npos; }
};

// The 15 significant digits of a finite, non-negative value. The digits are picked out of
// the "%e" text by themselves, so the locale's decimal point does not matter.
DecimalForm FifteenDigitForm(double magnitude) {
    const std::string buffer = ScientificDoubleText(magnitude, kSignificantDigits - 1);

    DecimalForm form;
    std::size_t i = 0;
    for (; buffer[i] != '\0' && buffer[i] != 'e' && buffer[i] != 'E'; ++i) {
        if (buffer[i] >= '0' && buffer[i] <= '9') {
            form.sDigits += buffer[i];
        }
    }
    int lExponent = 0;
    if (buffer[i] != '\0') {
        const char* first = buffer.data() + i + 1;
        if (*first == '+') {
            ++first;
        }
        std::from_chars(first, buffer.data() + buffer.size(), lExponent);
    }
    form.lPointPos = lExponent + 1;
    return form;
}

// Rounds the 15-digit form of `magnitude` to `decimals` places after the point, halves
// away from zero.
DecimalForm RoundToPlaces(double magnitude, int decimals) {
    const DecimalForm exact = FifteenDigitForm(magnitude);
    const int lKept = exact.lPointPos + decimals;
    if (lKept >= static_cast<int>(exact.sDigits.size())) {
        return exact;
    }
    DecimalForm rounded{std::string(), exact.lPointPos};
    if (lKept < 0) {
        return rounded; // even the first digit lies below half of the last place
    }
    rounded.sDigits = exact.sDigits.substr(0, lKept);
    if (exact.sDigits[lKept] >= '5') {
        int i = lKept - 1;
        while (i >= 0 && rounded.sDigits[i] == '9') {
            rounded.sDigits[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++rounded.sDigits[i];
        } else {
            rounded.sDigits.insert(rounded.sDigits.begin(), '1');
            ++rounded.lPointPos;
        }
    }
    return rounded;
}

// Counts the decimals of a pattern: '0's right after the point are always shown, the
// '0's and '#'s after them only when they are not trailing zeros.
struct PatternPlaces {
    int lShown = 0;
    int lOptional = 0;
};

PatternPlaces ReadPattern(std::string_view pattern) {
    PatternPlaces places;
    const std::size_t point = pattern.find('.');
    if (point == std::string_view::npos) {
        return places;
    }
    for (const char c : pattern.substr(point + 1)) {
        if (c == '0' && places.lOptional == 0) {
            ++places.lShown;
        } else if (c == '0' || c == '#') {
            ++places.lOptional;
        }
    }
    return places;
}

double FiniteOrZero(double value) {
    return std::isfinite(value) ? value : 0.0;
}

struct Prefix {
    double dBelow; // the row applies to magnitudes below this bound
    double dFactor;
    bool bMultiply;
    std::string_view sLongName;
    std::string_view sSymbol;
};

// Rows in ascending magnitude; the first row that a magnitude is below applies, so the
// outermost rows also take everything beyond the table.
constexpr std::array<Prefix, 13> kPrefixes = {{
    {1e-15, 1e18, true, "atto", "a"},
    {1e-12, 1e15, true, "femto", "f"},
    {1e-9, 1e12, true, "pico", "p"},
    {1e-6, 1e9, true, "nano", "n"},
    {0.001, 1e6, true, "micro", "\xC2\xB5"},
    {1, 1000, true, "milli", "m"},
    {1000, 1, false, "", ""},
    {1e6, 1000, false, "kilo", "k"},
    {1e9, 1e6, false, "mega", "M"},
    {1e12, 1e9, false, "giga", "G"},
    {1e15, 1e12, false, "tera", "T"},
    {1e18, 1e15, false, "peta", "P"},
    {std::numeric_limits<double>::infinity(), 1e18, false, "exa", "E"},
}};

} // namespace

std::string FormatNumber(double value, std::string_view pattern,
                         std::string_view decimalSeparator) {
    value = FiniteOrZero(value);
    const PatternPlaces places = ReadPattern(pattern);
    const int decimals = places.lShown + places.lOptional;
    const DecimalForm rounded = RoundToPlaces(std::fabs(value), decimals);

    std::string sText;
    if (value < 0 && !rounded.IsZero()) {
        sText += '-';
    }
    if (rounded.lPointPos <= 0) {
        sText += '0';
    }
    for (int i = 0; i < rounded.lPointPos; ++i) {
        sText += rounded.DigitAt(i);
    }
    std::string sFraction;
    for (int i = 0; i < decimals; ++i) {
        sFraction += rounded.DigitAt(rounded.lPointPos + i);
    }
    while (static_cast<int>(sFraction.size()) > places.lShown && sFraction.back() == '0') {
        sFraction.pop_back();
    }
    if (!sFraction.empty()) {
        sText.append(decimalSeparator);
        sText += sFraction;
    }
    return sText;
}

double RoundToWhole(double value) {
    // The 15-digit form of a magnitude below 1e14 lies within half a unit of its 15th digit
    // of the value, less than 1e-14 of the magnitude. A fraction further than that from a
    // half rounds the same way on the value as on its 15-digit form (the form may carry
    // into the next whole number, which rounding upwards gives anyway); only a fraction
    // that close to a half needs the decimal form itself. Below 1e14 the whole part and
    // the fraction are exact in a double.
    const double magnitude = std::fabs(value);
    if (magnitude < 1e14) {
        const double whole = std::floor(magnitude);
        const double fraction = magnitude - whole;
        if (std::fabs(fraction - 0.5) > magnitude * 1e-14) {
            const double rounded = fraction > 0.5 ? whole + 1 : whole;
            // "0" is read back as +0, whichever side of zero it came from.
            return value < 0 && rounded != 0 ? -rounded : rounded;
        }
    }
    const std::string sWhole = FormatNumber(value, "0");
    double result = 0.0;
    ReadDouble(sWhole.data(), sWhole.data() + sWhole.size(), result);
    return result;
}

std::string FormatEngineering(double dValue, std::string_view sFormat, std::string_view sUnit,
                              bool bLongNames, std::string_view decimalSeparator) {
    dValue = FiniteOrZero(dValue);
    if (dValue == 0) {
        std::string sText = FormatNumber(dValue, sFormat, decimalSeparator);
        sText += ' ';
        sText.append(sUnit);
        return sText;
    }

    const double magnitude = std::fabs(dValue);
    const auto row = std::find_if(kPrefixes.begin(), kPrefixes.end(),
                                  [magnitude](const Prefix& p) { return magnitude < p.dBelow; });
    double scaled = magnitude;
    if (row->bMultiply) {
        scaled = magnitude * row->dFactor;
    } else if (row->dFactor != 1) {
        scaled = magnitude / row->dFactor;
    }

    std::string sText = FormatNumber(dValue < 0 ? -scaled : scaled, sFormat, decimalSeparator);
    sText += ' ';
    sText.append(bLongNames ? row->sLongName : row->sSymbol);
    sText.append(sUnit);
    return sText;
}

std::string FormatGeneralNumber(double value, std::string_view decimalSeparator) {
    value = FiniteOrZero(value);
    if (value == 0) {
        return "0";
    }
    DecimalForm form = FifteenDigitForm(std::fabs(value));
    form.sDigits.erase(form.sDigits.find_last_not_of('0') + 1);

    std::string sText = value < 0 ? "-" : "";
    const int lExponent = form.lPointPos - 1;
    if (lExponent >= kMinPlainExponent && lExponent <= kMaxPlainExponent) {
        if (form.lPointPos <= 0) {
            sText += '0';
        }
        for (int i = 0; i < form.lPointPos; ++i) {
            sText += form.DigitAt(i);
        }
        if (form.lPointPos < static_cast<int>(form.sDigits.size())) {
            sText.append(decimalSeparator);
            for (int i = form.lPointPos; i < static_cast<int>(form.sDigits.size()); ++i) {
                sText += form.DigitAt(i);
            }
        }
        return sText;
    }
    sText += form.sDigits[0];
    if (form.sDigits.size() > 1) {
        sText.append(decimalSeparator);
        sText.append(form.sDigits, 1);
    }
    const int lMagnitude = std::abs(lExponent);
    sText += lExponent < 0 ? "E-" : "E+";
    if (lMagnitude < 10) {
        sText += '0';
    }
    sText += std::to_string(lMagnitude);
    return sText;
}

} // namespace common
} // namespace quillon
