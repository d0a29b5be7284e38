#pragma once
// Reads the leading number of a text the way every entry box of the calculator is read:
// blanks, tabs, carriage returns and line feeds are skipped wherever they stand (also
// between digits: "1 2" reads as 12), a sign and an exponent ("E" or "D", "1e3" is 1000,
// "1e" is 1) are allowed, "&H" and "&O" introduce unsigned hexadecimal and octal digits, a
// point is always the decimal separator, and reading stops at the first character that
// cannot continue the number. A text without a leading number reads as 0, and so does a
// number too large for a double ("1e999"). The time taken grows linearly with the text.
#include <optional>
#include <string_view>

namespace quillon {
inline namespace common {

double ReadLeadingNumber(std::string_view text);

// The same reading, but says whether the text starts with a number at all: nothing for
// "abc", "&H" or "-", and 0 for "0" and for a number too large for a double. For callers
// that must refuse a mistyped value rather than take it as 0.
std::optional<double> ReadLeadingNumberIfAny(std::string_view text);

} // namespace common
} // namespace quillon
