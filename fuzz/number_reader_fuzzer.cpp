// Fuzz target for the number reader: the whole input is the text of an entry box.
// Properties: the value is finite; text after a character that cannot continue a number
// (a comma, a letter x) is never looked at; leading blanks change nothing; and a number
// written by the general number format reads back as itself (the first 8 bytes, taken
// as a double, supply that number). The strict reading either takes the text, as the same
// value and with the boxes' reading taking it as typed, or refuses it with a reason; where the
// boxes' reading takes something else, it says so with what it read.
#include "FuzzInput.h"
#include "timing/common/NumberFormat.h"
#include "timing/common/NumberReading.h"

#include <cmath>
#include <optional>
#include <string>

namespace {

std::string Describe(std::string_view text, double value) {
    std::string shown(text.substr(0, 80));
    return "text \"" + shown + (text.size() > 80 ? "...\"" : "\"") + " read as " +
           std::to_string(value);
}

// Same value, where two zeros of different sign count as equal.
bool SameValue(double a, double b) {
    return a == b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillon::fuzz::FuzzInput input(data, size);
    const std::string text(input.Rest());
    const double value = quillon::ReadLeadingNumber(text);
    FUZZ_CHECK(std::isfinite(value), Describe(text, value));

    // The comma is never a decimal separator, whatever the locale: reading stops there.
    FUZZ_CHECK(SameValue(quillon::ReadLeadingNumber(text + ",5"), value), Describe(text, value));
    FUZZ_CHECK(SameValue(quillon::ReadLeadingNumber(text + "x1"), value), Describe(text, value));
    FUZZ_CHECK(SameValue(quillon::ReadLeadingNumber(" \t\r\n" + text), value),
               Describe(text, value));

    const quillon::StrictNumber strict = quillon::ReadNumberStrictly(text, "MHz");
    const std::optional<quillon::LenientMisreading> misreading =
        quillon::FindLenientMisreading(text, "MHz");
    if (strict.value) {
        FUZZ_CHECK(std::isfinite(*strict.value) && SameValue(*strict.value, value) &&
                       strict.refusal == quillon::NumberRefusal::None && !misreading,
                   Describe(text, value) + ", strictly " + std::to_string(*strict.value));
    } else {
        FUZZ_CHECK(strict.refusal != quillon::NumberRefusal::None && !strict.sReason.empty(),
                   Describe(text, value) + " refused strictly without a reason");
    }
    if (misreading) {
        FUZZ_CHECK(SameValue(misreading->dRead, value) && !misreading->sReason.empty(),
                   Describe(text, value) + ", misread as " + std::to_string(misreading->dRead));
    }

    const double number = input.Take<double>();
    // Above the largest double the 15-digit form rounds up past it and no longer reads
    // as a number; that range is no oscillator anyone types.
    if (std::isfinite(number) && std::fabs(number) <= 1e308) {
        for (const char* separator : {".", ","}) {
            const std::string written = quillon::FormatGeneralNumber(number, separator);
            const double back = quillon::ReadLeadingNumber(written);
            if (std::string_view(separator) == ".") {
                // 15 significant digits: within a few parts in 1e15, or one step of the
                // smallest subnormal.
                FUZZ_CHECK(std::fabs(back - number) <= 1e-14 * std::fabs(number) + 1e-323,
                           "\"" + written + "\" read back as " + std::to_string(back));
            } else {
                // With a comma only the whole part before it is read.
                const std::string before = written.substr(0, written.find(','));
                FUZZ_CHECK(SameValue(back, quillon::ReadLeadingNumber(before)),
                           "\"" + written + "\" read as " + std::to_string(back));
            }
        }
    }
    return 0;
}
