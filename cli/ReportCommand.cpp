#include "cli/ReportCommand.h"

#include "canvas/ImageCanvas.h"
#include "cli/OffscreenGui.h"
#include "cli/TimingChoice.h"
#include "desktop/basShellExecute.h"
#include "report/ReportFiles.h"

#include <QImage>
#include <QImageWriter>
#include <QString>

#include <filesystem>
#include <system_error>

namespace quillon::cli {

namespace {

QImage RenderDiagram(const BitTimingSetting& setting) {
    const OffscreenGui gui;
    return RenderBitTimingImage(setting, kDecimalSeparator, kWindowPictureSize);
}

} // namespace

CommandOutput RunReport(const Request& request) {
    CommandOutput output;
    const std::optional<TimingChoice> choice = ResolveChoice(request, output);
    if (!choice) {
        return output;
    }
    const std::string_view outOption = SpecOf(Option::Out).name;
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::absolute(request.outDir, error).lexically_normal();
    if (error || !std::filesystem::is_directory(folder, error)) {
        return Refusal(kExitUsage, outOption, "'" + request.outDir + "' is not a folder");
    }

    const std::string_view command = SpecOf(Command::Report).name;
    const BitTimingFacts facts = DescribeBitTiming(choice->setting, kDecimalSeparator);
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
    const ReportFileResult result = WriteReportFiles(
        folder, values, [&facts](const std::filesystem::path& bitmapPath, std::string& reason) {
            // Saved the way the window saves its picture.
            QImageWriter writer(QString::fromStdString(bitmapPath.string()), "BMP");
            if (writer.write(RenderDiagram(facts.setting))) {
                return true;
            }
            reason = writer.errorString().toStdString();
            return false;
        });
    if (!result.ok) {
        if (result.sFile == (folder / kBitmapFileName).string()) {
            // The page had been opened (and emptied) before the bitmap failed; an empty page
            // is of no use to anyone.
            std::filesystem::remove(result.reportPath, error);
        }
        output.status = kExitRefused;
        output.err += Problem(result.sFile, "not written: " + result.sReason) + "\n";
        return output;
    }
    output.out =
        "Wrote " + result.reportPath + "\nWrote " + (folder / kBitmapFileName).string() + "\n";
    if (request.open) {
        basShellExecute::ShellOpen(result.reportPath);
    }
    return output;
}

} // namespace quillon::cli
