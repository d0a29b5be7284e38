#pragma once
// The report page "MCP2510Report.htm": a fixed page of 174 lines into which the report
// values are placed. Lines end with CR LF and the text is written in Windows-1252, the
// form browsers have always read this page in.
#include "report/ReportValues.h"

#include <ostream>

namespace quillon {

// Writes the whole page into `nFile`, which the caller has opened (in binary mode, so
// that the CR LF line ends stay as they are) and closes afterwards.
void WriteHtmlReport(std::ostream& nFile, const ReportValues& values);

} // namespace quillon
