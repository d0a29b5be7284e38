#pragma once
// The texts of one report: the facts of the setting the user chose, turned into the 22
// ready-made strings the page writer places into its fixed lines, so the window and the
// command-line tool produce the same report.
#include "timing/classic/BitTiming.h"
#include "timing/common/NumberFormat.h"

#include <ctime>
#include <string>
#include <string_view>

namespace quillon {

// The values placed into the page, in the order of the page's fields. UTF-8 texts.
struct ReportValues {
    std::string sOscFreq;
    std::string sCANBaud;
    std::string sBRP;
    std::string sTq;
    std::string sNumTq;
    std::string sError;
    std::string sPropDelay;
    std::string sPhase1;
    std::string sPhase2;
    std::string sSJW;
    std::string sSampling;
    std::string sCNF1Bin;
    std::string sCNF1Hex;
    std::string sCNF2Bin;
    std::string sCNF2Hex;
    std::string sCNF3Bin;
    std::string sCNF3Hex;
    std::string sDate;
    std::string sCICFG1Bin;
    std::string sCICFG1Hex;
    std::string sCICFG2Bin;
    std::string sCICFG2Hex;
    // The registers of a controller whose layout is none of the above (the PIC32MX's one
    // CiCFG word), as rows of the last table; empty otherwise.
    std::string sControllerRows;
};

// The texts of the report of a setting, from its facts; `sDate` is the time stamp (see
// ReportTimestampNow).
ReportValues BuildReportValues(const BitTimingFacts& facts, const std::string& sDate,
                               std::string_view decimalSeparator = kDefaultDecimalSeparator);

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

} // namespace quillon
