#pragma once
// Number patterns ("0.000", "0.0##", "0.0###", "0.000###", "0.0", "0") and the
// engineering-notation formatter that puts an SI prefix in front of a unit.
//
// Rounding is done on the value's 15-significant-digit decimal form, halves away from
// zero, so a decimal half such as 0.0625 with "0.000" rounds up as a person expects.
// A value that is not finite (NaN, infinity) is formatted as 0: such a value can only come
// from a fault upstream, and "nan" or "inf" must never reach a window or a report.
// All texts are UTF-8; the micro prefix is U+00B5 MICRO SIGN.
#include <string>
#include <string_view>

namespace quillon {
inline namespace common {

// The decimal separator of the user's regional settings; the model never asks the
// platform itself, callers hand it in ("." unless told otherwise).
inline constexpr std::string_view kDefaultDecimalSeparator = ".";

// Formats `value` with a pattern of the form "0" or "0." followed by '0's (always shown)
// and then '#'s (shown unless trailing zeros). No digit grouping and no exponent, however
// large the value; a leading "-" for a negative value that does not round to zero (so a
// tiny negative value gives "0.0", never "-0.0").
std::string FormatNumber(double value, std::string_view pattern,
                         std::string_view decimalSeparator = kDefaultDecimalSeparator);

// Rounds to a whole number, halves away from zero, on the 15-digit decimal form (the
// pattern "0" as a number; 0.5 gives 1, -2.5 gives -3).
double RoundToWhole(double value);

// 125e-9, "0.000", "S" gives "125.000 nS"; with bLongNames "125.000 nanoS".
std::string FormatEngineering(double dValue, std::string_view sFormat, std::string_view sUnit,
                              bool bLongNames,
                              std::string_view decimalSeparator = kDefaultDecimalSeparator);

// The general number format: shortest decimal form with at most 15 significant digits,
// no trailing zeros, no decimal point for a whole number (16.5 -> "16.5", 20 -> "20").
// Plain digits are written for magnitudes from 1e-10 to below 1e16; outside that range
// the form is a mantissa and a signed exponent of at least two digits ("1E+20",
// "1.5E-11").
std::string FormatGeneralNumber(double value,
                                std::string_view decimalSeparator = kDefaultDecimalSeparator);

} // namespace common
} // namespace quillon
