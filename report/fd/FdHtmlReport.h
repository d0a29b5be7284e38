#pragma once
// The CAN FD report "MCP251xFDReport.htm" with its diagram "fdbittime.bmp": a fixed page in
// the style of the classic report (the same bars, tables and fonts, CR LF, Windows-1252)
// with the setup, both phases, the TDC, the oscillator tolerance with its five conditions,
// the verdict and advice and the registers of both families, filled from a setting's facts
// so that the window and the command line write the same page.
#include "report/common/ReportFiles.h"
#include "timing/fd/FdTiming.h"

#include <map>
#include <ostream>
#include <string>
#include <string_view>

namespace quillon {
inline namespace fd {

inline constexpr const char* kFdReportFileName = "MCP251xFDReport.htm";
inline constexpr const char* kFdBitmapFileName = "fdbittime.bmp";

// The page's values by their placeholder names; UTF-8 texts, HTML already escaped.
using FdReportValues = std::map<std::string, std::string, std::less<>>;

// The values of the page of a setting, from its facts; `sDate` is the time stamp (see
// ReportTimestampNow).
FdReportValues BuildFdReportValues(const FdFacts& facts, const std::string& sDate,
                                   std::string_view decimalSeparator = ".");

// Writes the whole page into `nFile`, opened in binary mode.
void WriteFdHtmlReport(std::ostream& nFile, const FdReportValues& values);

// Writes `folder`/MCP251xFDReport.htm and has `folder`/fdbittime.bmp saved, as
// WriteReportFiles does for the classic report.
ReportFileResult WriteFdReportFiles(const std::filesystem::path& folder,
                                    const FdReportValues& values,
                                    const SaveBitmapFunction& saveBitmap);

} // namespace fd
} // namespace quillon
