#include "cli/CliReport.h"

#include "report/ReportFiles.h"
#include "report/basShellExecute.h"
#include "window/ImageCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QString>

#include <cstdio>
#include <filesystem>
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

// The diagram drawn for the bitmap. Drawing text needs a QGuiApplication; when there is
// none, one is made for the drawing on the offscreen platform, whatever QT_QPA_PLATFORM
// says, so the bitmap depends on no display and no screen resolution.
QImage RenderDiagram(const DiagramInputs& diagram) {
    std::unique_ptr<QGuiApplication> application;
    if (QCoreApplication::instance() == nullptr) {
        qInstallMessageHandler(ForwardQtMessage);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char programName[] = "quillon-cli";
        static char* argv[] = {programName, nullptr};
        application = std::make_unique<QGuiApplication>(argc, argv);
    }
    return RenderBitTimingImage(diagram, kWindowPictureSize);
}

} // namespace

DiagramInputs DiagramInputsFor(const TimingChoice& choice) {
    const SegmentSettings& s = choice.settings;
    DiagramInputs inputs;
    // The window reads N from the text of its Tq list, which is the count in decimal.
    inputs.dTqCountFromText = s.lTqCount;
    // A grid cell stands for a list holding just that cell.
    inputs.lListIndex = choice.listEntry > 0 ? choice.listEntry - 1 : 0;
    inputs.lBRPMinus1 = choice.candidate.lBRPMinus1;
    inputs.dOscFreqMHz = choice.oscFreqMHz;
    inputs.lPropagation = s.lPropagation;
    inputs.lPhase1 = s.lPhase1;
    inputs.lPhase2Effective = Phase2Length(s);
    inputs.lSJW = s.lSJW;
    inputs.bSam = s.bSam;
    inputs.decimalSeparator = std::string(kDecimalSeparator);
    return inputs;
}

CommandOutput RunReport(const Request& request) {
    CommandOutput output;
    const std::optional<TimingChoice> resolved = ResolveChoice(request, output);
    if (!resolved) {
        return output;
    }
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::absolute(request.outDir, error).lexically_normal();
    if (error || !std::filesystem::is_directory(folder, error)) {
        output.status = kExitUsage;
        output.err = Problem("--out", "'" + request.outDir + "' is not a folder") + "\n";
        return output;
    }

    const TimingChoice& choice = *resolved;
    const TimingFacts facts = ComputeTimingFacts(choice);
    if (facts.verdict != TimingVerdict::Pass) {
        output.status = kExitRefused;
        output.err = Problem("report", facts.verdictText) + "\n";
        return output;
    }
    if (!facts.encoding) {
        output.status = kExitRefused;
        output.err = Problem("report", facts.encoding.sError) + "\n";
        return output;
    }
    if (facts.busIdleWarning) {
        // Advisory, as in the window: the report is written all the same.
        output.err +=
            Problem("warning", std::string(kBusIdleErrataTitle) + ": " + *facts.busIdleWarning) +
            "\n";
    }

    const ReportValues values = BuildReportValues(ReportInputsFor(choice), facts.registerTexts,
                                                  ReportTimestampNow(), kDecimalSeparator);

    const DiagramInputs diagram = DiagramInputsFor(choice);
    const ReportFileResult result = WriteReportFiles(
        folder, values, [&diagram](const std::filesystem::path& bitmapPath, std::string& reason) {
            // Saved the way the window saves its picture.
            QImageWriter writer(QString::fromStdString(bitmapPath.string()), "BMP");
            if (writer.write(RenderDiagram(diagram))) {
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
