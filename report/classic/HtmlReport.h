#pragma once
// The report page "MCP2510Report.htm": a fixed page of 174 lines into which the report
// values are placed. Lines end with CR LF and the text is written in Windows-1252, the
// form browsers have always read this page in.
#include "report/classic/ReportValues.h"
#include "report/common/ReportFiles.h"
#include "report/common/ReportPage.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace quillon {
inline namespace classic {

inline constexpr const char* kReportFileName = "MCP2510Report.htm";
inline constexpr const char* kBitmapFileName = "bittime.bmp";

// Writes the whole page into `nFile`, which the caller has opened (in binary mode, so
// that the CR LF line ends stay as they are) and closes afterwards.
void WriteHtmlReport(std::ostream& nFile, const ReportValues& values);

// Opens `folder`/MCP2510Report.htm (emptying an existing file), saves the bitmap
// `folder`/bittime.bmp through `saveBitmap`, writes the page and closes the file. Never
// throws; the report file is closed whatever happens.
ReportFileResult WriteReportFiles(const std::filesystem::path& folder, const ReportValues& values,
                                  const SaveBitmapFunction& saveBitmap);

} // namespace classic
} // namespace quillon
