#include "report/common/ReportTexts.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

namespace quillon {
inline namespace common {

namespace {

// SOURCE_DATE_EPOCH as seconds since 1970, or nothing when unset or not a whole number.
std::optional<std::time_t> SourceDateEpoch() {
    const char* text = std::getenv("SOURCE_DATE_EPOCH");
    if (text == nullptr || *text == '\0' || std::isspace(static_cast<unsigned char>(*text))) {
        return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    const long long seconds = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0') {
        return std::nullopt;
    }
    if (seconds < std::numeric_limits<std::time_t>::min() ||
        seconds > std::numeric_limits<std::time_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::time_t>(seconds);
}

} // namespace

std::string OscillatorText(double dOscFreqMHz, std::string_view decimalSeparator) {
    return FormatEngineering(dOscFreqMHz * 1000000.0, "0.000", "Hz", false, decimalSeparator);
}

std::string TargetRateText(double dTargetKbps, std::string_view decimalSeparator) {
    return FormatEngineering(dTargetKbps * 1000.0, "0.000", "bps", false, decimalSeparator);
}

std::string FormatReportDate(const std::tm& time, const DateSeparators& separators) {
    const auto digits = [](int value, int width) {
        std::string text = std::to_string(value);
        return std::string(text.size() < static_cast<std::size_t>(width) ? width - text.size() : 0,
                           '0') +
               text;
    };
    int hour = time.tm_hour % 12;
    if (hour == 0) {
        hour = 12;
    }
    const std::string& t = separators.sTime;
    const std::string& d = separators.sDate;
    return std::to_string(hour) + t + digits(time.tm_min, 2) + t + digits(time.tm_sec, 2) +
           (time.tm_hour < 12 ? " am " : " pm ") + digits(time.tm_mon + 1, 2) + d +
           digits(time.tm_mday, 2) + d + digits(time.tm_year + 1900, 4);
}

std::string ReportTimestampNow(const DateSeparators& separators) {
    std::tm parts{};
    if (const std::optional<std::time_t> epoch = SourceDateEpoch()) {
        if (gmtime_r(&*epoch, &parts) != nullptr) {
            return FormatReportDate(parts, separators);
        }
    }
    const std::time_t now = std::time(nullptr);
    if (localtime_r(&now, &parts) == nullptr) {
        gmtime_r(&now, &parts);
    }
    return FormatReportDate(parts, separators);
}

} // namespace common
} // namespace quillon
