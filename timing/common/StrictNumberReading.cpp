// The strict reading of a number (NumberReading.h): one decimal number and nothing else, for
// the command line, where a value that the boxes' reading would cut short or run together
// must be refused with what was read, rather than become another number quietly.
#include "timing/common/FloatText.h"
#include "timing/common/NumberReading.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

namespace quillon {
inline namespace common {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Letters, and the bytes of a non-ASCII character such as the micro sign, begin a unit; so
// does a percent sign.
bool BeginsUnit(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '%' || byte >= 0x80;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

// The decimal number at the start of a text: its length (0 for none) and the plain form the
// standard conversion reads ("-16.5e3", with a digit on both sides of the point).
struct NumberSpan {
    std::size_t length = 0;
    std::string sPlain;
    long lMagnitude = 0; // roughly the power of ten of its first significant digit
};

NumberSpan ScanNumber(std::string_view text) {
    NumberSpan span;
    std::size_t pos = 0;
    const auto digitAt = [&text](std::size_t i) { return i < text.size() && IsDigit(text[i]); };
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        span.sPlain = text[pos] == '-' ? "-" : "";
        ++pos;
    }
    const std::size_t integerStart = pos;
    while (digitAt(pos)) {
        ++pos;
    }
    std::string_view integer = text.substr(integerStart, pos - integerStart);
    std::string_view fraction;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fractionStart = ++pos;
        while (digitAt(pos)) {
            ++pos;
        }
        fraction = text.substr(fractionStart, pos - fractionStart);
    }
    if (integer.empty() && fraction.empty()) {
        return {};
    }
    std::string_view exponent;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t digits = pos + 1;
        if (digits < text.size() && (text[digits] == '+' || text[digits] == '-')) {
            ++digits;
        }
        if (digitAt(digits)) {
            const std::size_t exponentStart = pos + 1;
            pos = digits;
            while (digitAt(pos)) {
                ++pos;
            }
            exponent = text.substr(exponentStart, pos - exponentStart);
        }
    }
    span.length = pos;
    span.sPlain += (integer.empty() ? "0" : std::string(integer)) + "." +
                   (fraction.empty() ? "0" : std::string(fraction)) +
                   (exponent.empty() ? "" : "e" + std::string(exponent));
    // Where the first significant digit stands, for telling an overflow from an underflow.
    while (!integer.empty() && integer.front() == '0') {
        integer.remove_prefix(1);
    }
    long lZeros = 0;
    while (lZeros < static_cast<long>(fraction.size()) && fraction[lZeros] == '0') {
        ++lZeros;
    }
    span.lMagnitude = integer.empty() ? -lZeros : static_cast<long>(integer.size());
    if (!exponent.empty()) {
        // An exponent too long for a long is far beyond a double either way.
        constexpr long kFar = 1000000;
        long lExponent = 0;
        const char* const first = exponent.data() + (exponent.front() == '+' ? 1 : 0);
        if (std::from_chars(first, exponent.data() + exponent.size(), lExponent).ec !=
            std::errc()) {
            lExponent = exponent.front() == '-' ? -kFar : kFar;
        }
        span.lMagnitude += std::clamp(lExponent, -kFar, kFar);
    }
    return span;
}

bool IsNumberAlone(std::string_view text) {
    const NumberSpan span = ScanNumber(text);
    return span.length > 0 && span.length == text.size();
}

StrictNumber Refuse(NumberRefusal refusal, std::string reason) {
    StrictNumber result;
    result.refusal = refusal;
    result.sReason = std::move(reason);
    return result;
}

// "0x10" and "&H10", with the decimal value when the digits are all there is.
StrictNumber RefuseBased(std::string_view text) {
    const bool octal = text[1] == 'O' || text[1] == 'o';
    const std::string_view digits = text.substr(2);
    std::uint64_t value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, octal ? 8 : 16);
    std::string reason = Quoted(text) + " is " + (octal ? "octal" : "hexadecimal") +
                         "; give the number in decimal digits";
    if (!digits.empty() && error == std::errc() && end == digits.data() + digits.size()) {
        reason += ": " + std::to_string(value);
    }
    return Refuse(NumberRefusal::Based, reason);
}

// A comma where a point was meant ("16,5"), or commas grouping thousands ("16,500").
StrictNumber RefuseComma(std::string_view text) {
    std::string withPoint(text);
    std::string withoutComma;
    int commas = 0;
    bool grouped = true; // every comma followed by exactly three digits
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != ',') {
            withoutComma += text[i];
            continue;
        }
        ++commas;
        withPoint[i] = '.';
        std::size_t digits = 0;
        while (i + 1 + digits < text.size() && IsDigit(text[i + 1 + digits])) {
            ++digits;
        }
        grouped = grouped && digits == 3;
    }
    std::vector<std::string> meant;
    if (commas == 1 && IsNumberAlone(withPoint)) {
        meant.push_back(withPoint);
    }
    if (grouped && IsNumberAlone(withoutComma)) {
        meant.push_back(withoutComma);
    }
    std::string reason = Quoted(text) + ": a comma is no decimal point here";
    if (meant.size() == 1) {
        reason += "; did you mean " + meant[0] + "?";
    } else if (meant.size() == 2) {
        reason += "; did you mean " + meant[0] + " or " + meant[1] + "?";
    } else {
        reason += "; give one number with a point before its decimals";
    }
    return Refuse(NumberRefusal::Comma, reason);
}

// What follows the number: a unit, another number, or other text.
StrictNumber RefuseRest(std::string_view text, std::string_view number, std::string_view unit) {
    const std::string_view rest = text.substr(number.size());
    if (rest.size() > 1 && rest[0] == ',' && IsDigit(rest[1])) {
        return RefuseComma(text);
    }
    std::size_t next = 0;
    while (next < rest.size() && (IsBlank(rest[next]) || rest[next] == ',' || rest[next] == ';')) {
        ++next;
    }
    if (next > 0 && ScanNumber(rest.substr(next)).length > 0) {
        return Refuse(NumberRefusal::SeveralNumbers,
                      Quoted(text) + " holds more than one number; give one");
    }
    while (next < rest.size() && IsBlank(rest[next])) {
        ++next;
    }
    // "1e" is an exponent without digits rather than a unit.
    const bool unitFollows =
        next < rest.size() && BeginsUnit(rest[next]) && rest[0] != 'e' && rest[0] != 'E';
    if (unitFollows && !unit.empty()) {
        const std::string_view written = rest.substr(next);
        return Refuse(NumberRefusal::Unit,
                      Quoted(text) + ": the unit is implied (" + std::string(unit) + "); " +
                          (SameIgnoringCase(written, unit)
                               ? "give the number alone: " + std::string(number)
                               : "give the value in " + std::string(unit) + " as a plain number"));
    }
    const NumberRefusal refusal = unitFollows ? NumberRefusal::Unit : NumberRefusal::TrailingText;
    return Refuse(refusal, Quoted(text) + ": " + Quoted(Trim(rest)) + " follows the number " +
                               std::string(number) + "; give the number alone");
}

} // namespace

StrictNumber ReadNumberStrictly(std::string_view text, std::string_view unit) {
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty()) {
        return Refuse(NumberRefusal::Empty,
                      "the value is empty; give a number" +
                          (unit.empty() ? std::string() : " in " + std::string(unit)));
    }
    if (trimmed.size() > 1 &&
        ((trimmed[0] == '0' && Lower(trimmed[1]) == 'x') ||
         (trimmed[0] == '&' && (Lower(trimmed[1]) == 'h' || Lower(trimmed[1]) == 'o')))) {
        return RefuseBased(trimmed);
    }
    if (trimmed.size() > 1 && trimmed[0] == ',' && IsDigit(trimmed[1])) {
        return RefuseComma(trimmed);
    }
    const NumberSpan span = ScanNumber(trimmed);
    if (span.length == 0) {
        return Refuse(NumberRefusal::NoNumber, Quoted(trimmed) + " is not a number");
    }
    if (span.length < trimmed.size()) {
        return RefuseRest(trimmed, trimmed.substr(0, span.length), unit);
    }
    double value = 0.0;
    const auto result =
        ReadDouble(span.sPlain.data(), span.sPlain.data() + span.sPlain.size(), value);
    if (result.ec != std::errc()) {
        return Refuse(NumberRefusal::OutOfRange,
                      Quoted(trimmed) +
                          (span.lMagnitude > 0 ? " is too large" : " is too close to 0") +
                          " to be read as a number");
    }
    StrictNumber read;
    read.value = value;
    return read;
}

} // namespace common
} // namespace quillon
