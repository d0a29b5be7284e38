#include "cli/ReportCommand.h"

#include "canvas/ImageCanvas.h"
#include "cli/OffscreenGui.h"
#include "cli/classic/TimingChoice.h"
#include "desktop/DesktopHandOff.h"
#include "report/classic/HtmlReport.h"
#include "report/common/ReportFiles.h"

#include <QImage>
#include <QImageWriter>
#include <QString>

#include <filesystem>
#include <functional>
#include <system_error>

namespace quillon::cli {

namespace {

// Drawing text needs a QGuiApplication; the offscreen one makes the bitmap depend on no
// display and no screen resolution.
QImage RenderWithGui(const std::function<QImage()>& render) {
    const OffscreenGui gui;
    return render();
}

} // namespace

std::optional<std::filesystem::path> ReportFolderOf(const Request& request, CommandOutput& output) {
    std::error_code error;
    std::filesystem::path folder =
        std::filesystem::absolute(request.outDir, error).lexically_normal();
    if (error || !std::filesystem::is_directory(folder, error)) {
        output = Refusal(kExitUsage, InfoOf(Option::Out).name,
                         "'" + request.outDir + "' is not a folder");
        return std::nullopt;
    }
    return folder;
}

SaveBitmapFunction BitmapSaver(const std::function<QImage()>& render) {
    return [render](const std::filesystem::path& bitmapPath, std::string& reason) {
        // Saved the way the window saves its picture.
        QImageWriter writer(QString::fromStdString(bitmapPath.string()), "BMP");
        if (writer.write(RenderWithGui(render))) {
            return true;
        }
        reason = writer.errorString().toStdString();
        return false;
    };
}

CommandOutput FinishReport(const Request& request, const std::filesystem::path& folder,
                           const char* bitmapName, const ReportFileResult& result,
                           CommandOutput output) {
    if (!result.ok) {
        if (result.sFile == (folder / bitmapName).string()) {
            // The page had been opened (and emptied) before the bitmap failed; an empty page
            // is of no use to anyone.
            std::error_code error;
            std::filesystem::remove(result.reportPath, error);
        }
        output.status = kExitRefused;
        output.err += Problem(result.sFile, "not written: " + result.sReason) + "\n";
        return output;
    }
    output.out = "Wrote " + result.reportPath + "\nWrote " + (folder / bitmapName).string() + "\n";
    if (request.open) {
        quillon::desktop::ShellOpen(result.reportPath);
    }
    return output;
}

CommandOutput RunReport(const Request& request) {
    CommandOutput output;
    const std::optional<TimingChoice> choice = ResolveChoice(request, output);
    if (!choice) {
        return output;
    }
    const std::optional<std::filesystem::path> folder = ReportFolderOf(request, output);
    if (!folder) {
        return output;
    }

    const std::string_view command = InfoOf(Command::Report).name;
    const BitTimingFacts facts = DescribeBitTiming(choice->setting, kDecimalSeparator, request.bus);
    if (!facts.Passes()) {
        return Refusal(kExitRefused, command, facts.sVerdict);
    }
    if (!facts.registers) {
        return Refusal(kExitRefused, command, facts.registers.sError);
    }
    if (facts.busIdleWarning) {
        // Advisory, as in the window: the report is written all the same.
        output.err +=
            Problem("warning", std::string(kBusIdleErrataTitle) + ": " + *facts.busIdleWarning) +
            "\n";
    }

    const ReportValues values = BuildReportValues(facts, ReportTimestampNow(), kDecimalSeparator);
    const ReportFileResult result = WriteReportFiles(*folder, values, BitmapSaver([&facts] {
        return RenderBitTimingImage(facts.setting, kDecimalSeparator, kWindowPictureSize);
    }));
    return FinishReport(request, *folder, kBitmapFileName, result, output);
}

} // namespace quillon::cli
