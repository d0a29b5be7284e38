#pragma once
// The texts of one report: the facts of the setting the user chose, turned into the 22
// ready-made strings the page writer places into its fixed lines, so the window and the
// command-line tool produce the same report.
#include "report/common/ReportTexts.h"
#include "timing/classic/BitTiming.h"
#include "timing/common/NumberFormat.h"

#include <string>
#include <string_view>

namespace quillon {
inline namespace classic {

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

} // namespace classic
} // namespace quillon
