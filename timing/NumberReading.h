#pragma once
// Reads the leading number of a text the way every entry box of the calculator is read:
// blanks, tabs and line feeds are skipped, a sign and an exponent are allowed, "&H" and
// "&O" introduce hexadecimal and octal digits, a point is always the decimal separator,
// and reading stops at the first character that cannot continue the number. A text
// without a leading number reads as 0.
#include <string_view>

namespace quillon {

double ReadLeadingNumber(std::string_view text);

} // namespace quillon
