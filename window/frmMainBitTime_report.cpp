// The window's hand-offs: "Generate Report..." and the maker's website.
#include "window/frmMainBitTime.h"

#include "report/HtmlReport.h"
#include "report/ReportFiles.h"
#include "report/ReportValues.h"
#include "report/basShellExecute.h"
#include "timing/CandidateSearch.h"
#include "timing/Maker.h"
#include "timing/Registers.h"
#include "window/BitTimingPicture.h"
#include "window/ReportFolder.h"
#include "window/WindowText.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>

namespace {

class WaitCursorGuard {
public:
    explicit WaitCursorGuard(QWidget* window) : m_window(window) {
        m_window->setCursor(Qt::WaitCursor);
    }
    ~WaitCursorGuard() { m_window->unsetCursor(); }
    WaitCursorGuard(const WaitCursorGuard&) = delete;
    WaitCursorGuard& operator=(const WaitCursorGuard&) = delete;

private:
    QWidget* m_window;
};

} // namespace

void frmMainBitTime::cmdGenerateReport_Click() {
    WaitCursorGuard wait(this);
    if (!HasSelectedTq()) {
        return;
    }
    const auto position = static_cast<std::size_t>(lstSelectTq->currentIndex()) + 1;
    const int brpMinus1 = vBRPValues(position);
    const int tqCount = vTqValues(position);
    const QString title = ToQString(quillon::kAppTitle);

    if (const auto warning = quillon::BusIdleErrataMessage(brpMinus1, tqCount)) {
        ShowMessage(this, QMessageBox::Critical, ToQString(quillon::kBusIdleErrataTitle),
                    ToQString(*warning));
    }

    // The boxes stay editable in step 3; a value that no longer passes the step-1 checks
    // would give a report of infinities, so it is refused with the reason instead.
    const double oscillator = ReadBox(txtOsc);
    const double rate = ReadBox(txtCANBaud);
    if (oscillator < quillon::kMinOscillatorMHz || oscillator > quillon::kMaxOscillatorMHz) {
        ShowMessage(this, QMessageBox::Information, title,
                    oscillator < quillon::kMinOscillatorMHz
                        ? tr("The oscillator must be greater than 0. Correct the oscillator "
                             "frequency and generate the report again.")
                        : tr("The oscillator must be no more than 1E+300 MHz. Correct the "
                             "oscillator frequency and generate the report again."));
        return;
    }
    if (rate < quillon::kMinRateKbps || rate > quillon::kMaxRateKbps) {
        ShowMessage(this, QMessageBox::Information, title,
                    tr("The CAN baud rate must be greater than 0 and no more than 1000. Correct "
                       "the CAN baud rate and generate the report again."));
        return;
    }

    const quillon::SegmentSettings settings = CurrentSegmentSettings();
    const quillon::RegisterEncoding encoding = quillon::EncodeConfigRegisters(brpMinus1, settings);
    if (!encoding) {
        ShowMessage(this, QMessageBox::Critical, title, ToQString(encoding.sError));
        return;
    }

    quillon::ReportInputs inputs;
    inputs.dOscFreqMHz = oscillator;
    inputs.dTargetKbps = rate;
    inputs.lBRPMinus1 = brpMinus1;
    inputs.lTqCount = tqCount;
    inputs.segments = settings;
    const quillon::ReportValues values =
        quillon::BuildReportValues(inputs, quillon::MakeConfigRegisterTexts(*encoding.registers),
                                   quillon::ReportTimestampNow(), DecimalSeparator());

    const ReportFolderChoice folder = ChooseReportFolder();
    const quillon::ReportFileResult result = quillon::WriteReportFiles(
        folder.path, values, [this](const std::filesystem::path& bitmapPath, std::string& reason) {
            QString why;
            const bool saved = pctDisplay->saveBitmap(QString::fromStdString(bitmapPath), &why);
            reason = ToStdString(why);
            return saved;
        });
    if (!result.ok) {
        ShowMessage(
            this, QMessageBox::Critical, title,
            tr("The report could not be written.\n\nFile: %1\nReason: %2")
                .arg(QString::fromStdString(result.sFile), QString::fromStdString(result.sReason)));
        return;
    }
    basShellExecute::ShellOpen(result.reportPath);
}

void frmMainBitTime::OpenMakerWebsite() {
    const std::string url(quillon::kMakerUrl);
    if (!basShellExecute::LaunchDefaultBrowser(url, ChooseReportFolder().path)) {
        ShowMessage(this, QMessageBox::Information,
                    ToQString(basShellExecute::kBrowserProblemTitle),
                    ToQString(basShellExecute::BrowserProblemText()));
    }
}
