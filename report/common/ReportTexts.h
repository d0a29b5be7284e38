#pragma once
// The texts every report page shares: the two inputs in the report's form and the time
// stamp, whose separators follow the user's regional settings in the window and which
// SOURCE_DATE_EPOCH fixes for reports that must come out byte for byte the same.
#include "timing/common/NumberFormat.h"

#include <ctime>
#include <string>
#include <string_view>

namespace quillon {
inline namespace common {

// The report's forms of the two inputs: the oscillator in MHz as "16.000 MHz", the target
// rate in kbit/s as "500.000 kbps".
std::string OscillatorText(double dOscFreqMHz,
                           std::string_view decimalSeparator = kDefaultDecimalSeparator);
std::string TargetRateText(double dTargetKbps,
                           std::string_view decimalSeparator = kDefaultDecimalSeparator);

// The separators of the report's time stamp: those of the user's regional settings in the
// window, the classic ones elsewhere.
struct DateSeparators {
    std::string sDate = "/";
    std::string sTime = ":";
};

// "h:mm:ss am/pm mm/dd/yyyy" on the 12-hour clock, e.g. "3:07:09 pm 12/04/2026"; the order
// stays, the separators are the given ones ("3:07:09 pm 12.04.2026").
std::string FormatReportDate(const std::tm& time, const DateSeparators& separators = {});

// The time stamp of a report made now: the local time, or, when SOURCE_DATE_EPOCH holds
// a valid whole number of seconds, that moment in UTC so that reports can be reproduced
// byte for byte.
std::string ReportTimestampNow(const DateSeparators& separators = {});

} // namespace common
} // namespace quillon
