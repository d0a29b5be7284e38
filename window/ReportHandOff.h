#pragma once
// Writing a report into the report folder and handing its page to the desktop, for the
// classic and the CAN FD report alike: `write` (report/) writes the page and has the bitmap
// saved from the picture the window shows; a failure is said in a box naming the file and
// the reason, and then nothing is opened.
#include "report/common/ReportFiles.h"

#include <filesystem>
#include <functional>

class BitTimingPicture;
class QWidget;

using ReportWriter = std::function<quillon::ReportFileResult(
    const std::filesystem::path& folder, const quillon::SaveBitmapFunction& saveBitmap)>;

void WriteAndOpenReport(QWidget* parent, const BitTimingPicture& picture,
                        const ReportWriter& write);
