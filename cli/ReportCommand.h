#pragma once
// The report command: the same report values, page writer and diagram as the window's
// "Generate Report...", written into a chosen folder. The diagram is drawn on an offscreen
// image at the window's picture size, so no display is needed. Runs in quillon-cli-qt.
#include "cli/common/CommandOutput.h"
#include "report/common/ReportFiles.h"

#include <QImage>

#include <filesystem>
#include <functional>
#include <optional>

namespace quillon::cli {

// Refuses a setting that breaks a timing rule (status 1, nothing written); otherwise
// writes MCP2510Report.htm and bittime.bmp into request.outDir and, with --open, hands
// the report to the desktop.
CommandOutput RunReport(const Request& request);

// What every report command shares: the --out folder (or the usage refusal), the bitmap
// saved as BMP from a drawing made with a QGuiApplication at hand, and the result told
// (the files written, or the file and reason, an emptied page removed; --open).
std::optional<std::filesystem::path> ReportFolderOf(const Request& request, CommandOutput& output);
SaveBitmapFunction BitmapSaver(const std::function<QImage()>& render);
CommandOutput FinishReport(const Request& request, const std::filesystem::path& folder,
                           const char* bitmapName, const ReportFileResult& result,
                           CommandOutput output);

} // namespace quillon::cli
