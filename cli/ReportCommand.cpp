#include "cli/ReportCommand.h"

#include "canvas/ImageCanvas.h"
#include "cli/TimingChoice.h"
#include "desktop/basShellExecute.h"
#include "report/ReportFiles.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QString>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <system_error>

namespace quillon::cli {

namespace {

// Qt's notice that the offscreen platform found no runtime folder: harmless for drawing
// an image, and noise in a script's error output.
constexpr const char* kRuntimeDirNotice = "QStandardPaths: XDG_RUNTIME_DIR not set";

void ForwardQtMessage(QtMsgType type, const QMessageLogContext& /*context*/,
                      const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || message.startsWith(kRuntimeDirNotice)) {
        return;
    }
    std::fprintf(stderr, "%s: qt: %s\n", std::string(kProgramName).c_str(),
                 message.toLocal8Bit().constData());
}

// Drawing text needs a QGuiApplication; when there is none, one is made for the drawing on
// the offscreen platform, whatever QT_QPA_PLATFORM says, so the bitmap depends on no display
// and no screen resolution.
QImage RenderWithGui(const std::function<QImage()>& render) {
    std::unique_ptr<QGuiApplication> application;
    if (QCoreApplication::instance() == nullptr) {
        qInstallMessageHandler(ForwardQtMessage);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char programName[] = "quillon-cli";
        static char* argv[] = {programName, nullptr};
        application = std::make_unique<QGuiApplication>(argc, argv);
    }
    return render();
}

} // namespace

std::optional<std::filesystem::path> ReportFolderOf(const Request& request, CommandOutput& output) {
    std::error_code error;
    std::filesystem::path folder =
        std::filesystem::absolute(request.outDir, error).lexically_normal();
    if (error || !std::filesystem::is_directory(folder, error)) {
        output = Refusal(kExitUsage, SpecOf(Option::Out).name,
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
        basShellExecute::ShellOpen(result.reportPath);
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
    const ReportFileResult result = WriteReportFiles(*folder, values, BitmapSaver([&facts] {
        return RenderBitTimingImage(facts.setting, kDecimalSeparator, kWindowPictureSize);
    }));
    return FinishReport(request, *folder, kBitmapFileName, result, output);
}

} // namespace quillon::cli
