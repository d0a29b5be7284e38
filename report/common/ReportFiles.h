#pragma once
// The file side of "Generate Report...": writes the report page and has the diagram
// bitmap saved beside it, in the order the page expects, and turns every failure into a
// result that names the file and the reason, so the caller can tell the user instead
// of opening a half-written report.

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

namespace quillon {
inline namespace common {

struct ReportFileResult {
    bool ok = false;
    std::string sFile;      // the file that could not be written (empty on success)
    std::string sReason;    // why, e.g. "Permission denied" (empty on success)
    std::string reportPath; // full path of the report page
};

// Saves the diagram bitmap at `bitmapPath`; on failure returns false and sets `reason`.
using SaveBitmapFunction =
    std::function<bool(const std::filesystem::path& bitmapPath, std::string& reason)>;

// Writes the page into an open stream.
using WritePageFunction = std::function<void(std::ostream& nFile)>;

// The same for any report page and bitmap name (the CAN FD report writes
// "MCP251xFDReport.htm" and "fdbittime.bmp" this way): the page is opened (emptied) first,
// the bitmap saved, then the page written.
ReportFileResult WritePageAndBitmap(const std::filesystem::path& folder, const char* pageName,
                                    const char* bitmapName, const WritePageFunction& writePage,
                                    const SaveBitmapFunction& saveBitmap);

} // namespace common
} // namespace quillon
