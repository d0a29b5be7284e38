#pragma once
// Reads the leading number of a text the way every entry box of the calculator is read:
// blanks, tabs, carriage returns and line feeds are skipped wherever they stand (also
// between digits: "1 2" reads as 12), a sign and an exponent ("E" or "D", "1e3" is 1000,
// "1e" is 1) are allowed, "&H" and "&O" introduce unsigned hexadecimal and octal digits, a
// point is always the decimal separator, and reading stops at the first character that
// cannot continue the number. A text without a leading number reads as 0, and so does a
// number too large for a double ("1e999"). The time taken grows linearly with the text.
//
// The strict reading, for the command line, takes a text only when it is one decimal number
// and nothing else, and otherwise says why not; and it tells the window where its own reading
// takes something other than what was typed.
#include <optional>
#include <string>
#include <string_view>

namespace quillon {
inline namespace common {

double ReadLeadingNumber(std::string_view text);

// The same reading, but says whether the text starts with a number at all: nothing for
// "abc", "&H" or "-", and 0 for "0" and for a number too large for a double. For callers
// that must refuse a mistyped value rather than take it as 0.
std::optional<double> ReadLeadingNumberIfAny(std::string_view text);

// Why the strict reading refuses a text.
enum class NumberRefusal {
    None,           // read
    Empty,          // nothing but blanks
    NoNumber,       // "abc", "inf", "nan", "- 5"
    Based,          // "0x10", "&H10": hexadecimal or octal
    Comma,          // "16,5": a comma where a point was meant, or "16,500" grouped
    Unit,           // "16MHz", "16 kHz", "87.5%": a unit after the number
    TrailingText,   // "16)", "2e4.5": other text after the number
    SeveralNumbers, // "16 500", "16, 500"
    OutOfRange,     // "1e999", "1e-999": beyond what a double holds
};

// The strict reading of a text: its value, or the refusal with the sentence that says what
// was read and why it is refused, e.g. "'16,5': a comma is no decimal point here; did you
// mean 16.5?".
struct StrictNumber {
    std::optional<double> value;
    NumberRefusal refusal = NumberRefusal::None;
    std::string sReason;
};

// Reads `text` as exactly one decimal number: blanks around it, a sign, digits with at most
// one point, and an exponent "e" or "E" with digits ("1e3"). Nothing else is taken. `unit` is
// what the number is counted in ("MHz", "kbit/s"; may be empty): a refusal of a unit written
// after the number names it.
StrictNumber ReadNumberStrictly(std::string_view text, std::string_view unit = {});

// Where the entry boxes' reading takes something other than the text as typed: text left over
// after the number ("3,6864" is read as 3, "16MHz" as 16), blanks inside it ("16 500" is read
// as 16500), no number at all or one too large for a double (read as 0). `dRead` is what the
// box's reading takes and `sReason` the strict reading's refusal of the text.
struct LenientMisreading {
    double dRead = 0.0;
    std::string sReason;
};

// Nothing when the boxes' reading takes the whole text as one number (the forms only the
// boxes know included: "&H10" is 16 and "1D3" is 1000).
std::optional<LenientMisreading> FindLenientMisreading(std::string_view text,
                                                       std::string_view unit = {});

// '0'..'9'; and the value of a hexadecimal digit (either case), -1 for any other character.
bool IsDecimalDigit(char c);
int HexDigitValue(char c);

} // namespace common
} // namespace quillon
