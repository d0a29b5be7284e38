#include "timing/common/NumberReading.h"
#include "timing/common/FloatText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace quillon {
inline namespace common {

namespace {

// Exponents are accumulated up to this size only; anything larger already over- or
// underflows a double, whatever the digits in front of it.
constexpr long kExponentCap = 100000000;

// Walks a text character by character and hides the blanks, tabs and line breaks, which
// may stand anywhere, even between the digits of one number.
class Scanner {
public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    char Peek() {
        while (m_pos < m_text.size() && IsBlank(m_text[m_pos])) {
            m_bBlankPending = m_bStarted;
            ++m_pos;
        }
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }
    void Advance() {
        m_bBlankInside = m_bBlankInside || m_bBlankPending;
        m_bBlankPending = false;
        m_bStarted = true;
        ++m_pos;
    }
    // Only blanks are left.
    bool AtEnd() {
        Peek();
        return m_pos >= m_text.size();
    }
    // A blank stood between two characters that were taken.
    bool BlankInside() const { return m_bBlankInside; }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    std::string_view m_text;
    std::size_t m_pos = 0;
    bool m_bStarted = false;
    bool m_bBlankPending = false;
    bool m_bBlankInside = false;
};

// What the boxes' reading made of a text: the number, and where it differs from the text.
struct LeadingScan {
    std::optional<double> value;
    bool bWholeText = false;   // nothing but blanks after the number
    bool bBlankInside = false; // blanks between the characters of the number
    bool bOutOfRange = false;  // read as 0 because a double cannot hold it
};

int DigitValue(char c) {
    return HexDigitValue(c);
}

double Finite(double value, bool& bOutOfRange) {
    bOutOfRange = bOutOfRange || !std::isfinite(value);
    return std::isfinite(value) ? value : 0.0;
}

// The digits after "&H" or "&O", an unsigned value; nothing without a digit.
std::optional<double> ReadBasedDigits(Scanner& scanner, int base, bool& bOutOfRange) {
    double value = 0.0;
    bool bAnyDigit = false;
    for (;;) {
        const int digit = DigitValue(scanner.Peek());
        if (digit < 0 || digit >= base) {
            break;
        }
        value = value * base + digit;
        bAnyDigit = true;
        scanner.Advance();
    }
    if (!bAnyDigit) {
        return std::nullopt;
    }
    return Finite(value, bOutOfRange);
}

std::optional<double> ReadNumber(Scanner& scanner, bool& bOutOfRange) {
    char c = scanner.Peek();

    if (c == '&') {
        scanner.Advance();
        c = scanner.Peek();
        if (c == 'H' || c == 'h') {
            scanner.Advance();
            return ReadBasedDigits(scanner, 16, bOutOfRange);
        }
        if (c == 'O' || c == 'o') {
            scanner.Advance();
            return ReadBasedDigits(scanner, 8, bOutOfRange);
        }
        return std::nullopt;
    }

    bool bNegative = false;
    if (c == '+' || c == '-') {
        bNegative = c == '-';
        scanner.Advance();
        c = scanner.Peek();
    }

    // The number is copied without its blanks into a plain form that the standard
    // conversion reads independently of the locale.
    std::string sIntegerDigits;
    std::string sFractionDigits;
    while (IsDecimalDigit(c)) {
        sIntegerDigits += c;
        scanner.Advance();
        c = scanner.Peek();
    }
    if (c == '.') {
        scanner.Advance();
        c = scanner.Peek();
        while (IsDecimalDigit(c)) {
            sFractionDigits += c;
            scanner.Advance();
            c = scanner.Peek();
        }
    }
    if (sIntegerDigits.empty() && sFractionDigits.empty()) {
        return std::nullopt;
    }

    long lExponent = 0;
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
        scanner.Advance();
        c = scanner.Peek();
        bool bNegativeExponent = false;
        if (c == '+' || c == '-') {
            bNegativeExponent = c == '-';
            scanner.Advance();
            c = scanner.Peek();
        }
        while (IsDecimalDigit(c)) {
            if (lExponent < kExponentCap) {
                lExponent = lExponent * 10 + (c - '0');
            }
            scanner.Advance();
            c = scanner.Peek();
        }
        if (bNegativeExponent) {
            lExponent = -lExponent;
        }
    }

    const std::string sPlain = (sIntegerDigits.empty() ? "0" : sIntegerDigits) + "." +
                               (sFractionDigits.empty() ? "0" : sFractionDigits) + "e" +
                               std::to_string(lExponent);
    double value = 0.0;
    const auto result = ReadDouble(sPlain.data(), sPlain.data() + sPlain.size(), value);
    if (result.ec != std::errc()) {
        bOutOfRange = true;
        return 0.0; // out of range: an overflow reads as 0, an underflow is 0 anyway
    }
    value = Finite(value, bOutOfRange);
    if (value == 0.0) {
        return 0.0;
    }
    return bNegative ? -value : value;
}

LeadingScan ScanLeadingNumber(std::string_view text) {
    Scanner scanner(text);
    LeadingScan scan;
    scan.value = ReadNumber(scanner, scan.bOutOfRange);
    scan.bWholeText = scanner.AtEnd();
    scan.bBlankInside = scanner.BlankInside();
    return scan;
}

} // namespace

double ReadLeadingNumber(std::string_view text) {
    return ReadLeadingNumberIfAny(text).value_or(0.0);
}

std::optional<double> ReadLeadingNumberIfAny(std::string_view text) {
    return ScanLeadingNumber(text).value;
}

std::optional<LenientMisreading> FindLenientMisreading(std::string_view text,
                                                       std::string_view unit) {
    const LeadingScan scan = ScanLeadingNumber(text);
    if (scan.value && scan.bWholeText && !scan.bBlankInside && !scan.bOutOfRange) {
        return std::nullopt;
    }
    // The strict reading refuses every such text: it takes no more than the boxes do, and
    // nothing they would read differently.
    return LenientMisreading{scan.value.value_or(0.0), ReadNumberStrictly(text, unit).sReason};
}

bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigitValue(char c) {
    if (IsDecimalDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace common
} // namespace quillon
