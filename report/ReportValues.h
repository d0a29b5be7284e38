#pragma once
// The texts of one report: the setup the user chose, turned into the 22 ready-made
// strings the page writer places into its fixed lines. Everything is computed here, in
// one place, so the window and the command-line tool produce the same report.
#include "timing/NumberFormat.h"
#include "timing/Registers.h"
#include "timing/Segments.h"

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
};

// The choice the report describes. segments.lPhase2 is the programmed phase 2 (the scroll
// bar value); segments.mode decides whether it is used.
struct ReportInputs {
    double dOscFreqMHz = 0.0;
    double dTargetKbps = 0.0;
    int lBRPMinus1 = 0;
    int lTqCount = 0;
    SegmentSettings segments;
};

// Timing values derived from the inputs (seconds, bit/s, percent).
struct ReportDerived {
    double dTargetBaud = 0.0;
    double dTwoOscPeriods = 0.0;
    double dTqSeconds = 0.0;
    double dActualBaud = 0.0;
    // Positive when the real rate is below the target.
    double dErrorPercent = 0.0;
};

// Computes the derived values in a fixed order of operations, so that an exact hit such
// as 16 MHz / 500 kbit/s gives an error of exactly 0.
ReportDerived ComputeReportDerived(const ReportInputs& inputs);

// The texts of the report; `registers` are the ten register texts of the same choice and
// `sDate` the time stamp (see ReportTimestampNow).
ReportValues BuildReportValues(const ReportInputs& inputs, const ConfigRegisterTexts& registers,
                               const std::string& sDate,
                               std::string_view decimalSeparator = kDefaultDecimalSeparator);

// The report's forms of the two inputs: the oscillator in MHz as "16.000 MHz", the target
// rate in kbit/s as "500.000 kbps".
std::string OscillatorText(double dOscFreqMHz,
                           std::string_view decimalSeparator = kDefaultDecimalSeparator);
std::string TargetRateText(double dTargetKbps,
                           std::string_view decimalSeparator = kDefaultDecimalSeparator);

// "h:mm:ss am/pm mm/dd/yyyy" on the 12-hour clock, e.g. "3:07:09 pm 12/04/2026".
std::string FormatReportDate(const std::tm& time);

// The time stamp of a report made now: the local time, or, when SOURCE_DATE_EPOCH holds
// a valid whole number of seconds, that moment in UTC so that reports can be reproduced
// byte for byte.
std::string ReportTimestampNow();

} // namespace quillon
