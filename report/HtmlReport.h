#pragma once
// The report page "MCP2510Report.htm": a fixed page of 174 lines into which the report
// values are placed. Lines end with CR LF and the text is written in Windows-1252, the
// form browsers have always read this page in.
#include "report/ReportValues.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace quillon {

// Writes the whole page into `nFile`, which the caller has opened (in binary mode, so
// that the CR LF line ends stay as they are) and closes afterwards.
void WriteHtmlReport(std::ostream& nFile, const ReportValues& values);

// The value of a page's placeholder by its name, or nothing for a name the page does not
// know (it is then written as it stands).
using PageValueLookup = std::function<std::optional<std::string>(std::string_view name)>;

// Writes a page template (its text starting after a first line feed) line for line with
// CR LF in Windows-1252, its {placeholders} filled in from `lookup` and the maker's names
// ({sMakerDomain}, {sMakerUrl}, {sMakerHost}); a value of several lines makes several lines
// of the page. Every report page is written this way.
void WriteReportPage(std::ostream& nFile, std::string_view pageTemplate,
                     const PageValueLookup& lookup);

} // namespace quillon
