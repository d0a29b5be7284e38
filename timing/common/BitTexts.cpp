#include "timing/common/BitTexts.h"

#include "timing/common/NumberFormat.h"

#include <cmath>

namespace quillon {
inline namespace common {

namespace {

constexpr std::string_view kDurationPattern = "0.0##";
constexpr std::string_view kDurationUnit = "s";
constexpr std::string_view kSamplePointPattern = "0.0";
constexpr std::string_view kNotAvailable = "n/a";

} // namespace

bool IsUsableQuantum(double dTqSeconds) {
    return std::isfinite(dTqSeconds) && dTqSeconds > 0;
}

std::string DurationText(int tqCount, double tqSeconds, std::string_view decimalSeparator) {
    if (!IsUsableQuantum(tqSeconds)) {
        return std::string(kNotAvailable);
    }
    return FormatEngineering(tqCount * tqSeconds, kDurationPattern, kDurationUnit, false,
                             decimalSeparator);
}

std::string SamplePointText(double percent, std::string_view decimalSeparator) {
    return FormatNumber(percent, kSamplePointPattern, decimalSeparator);
}

} // namespace common
} // namespace quillon
