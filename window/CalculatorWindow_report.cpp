// The window's hand-offs: "Generate Report..." and the maker's website.
#include "window/CalculatorWindow.h"

#include "desktop/DesktopHandOff.h"
#include "desktop/ReportFolder.h"
#include "report/classic/HtmlReport.h"
#include "report/common/ReportFiles.h"
#include "report/classic/ReportValues.h"
#include "timing/classic/BitTiming.h"
#include "timing/common/InputChecks.h"
#include "timing/common/Maker.h"
#include "ui/MessageBox.h"
#include "ui/QtText.h"
#include "ui/WaitCursor.h"
#include "window/BitTimingPicture.h"
#include "window/ReportHandOff.h"

#include <QLocale>

namespace {

// What the report handler adds to the problem with a box.
const char* const kCorrectOscillator =
    " Correct the oscillator frequency and generate the report again.";
const char* const kCorrectRate = " Correct the CAN baud rate and generate the report again.";

// The first character of a format that is neither a field letter nor a blank.
QString FirstSeparator(const QString& format, const QString& fallback) {
    for (const QChar c : format) {
        if (!c.isLetterOrNumber() && !c.isSpace()) {
            return QString(c);
        }
    }
    return fallback;
}

} // namespace

quillon::DateSeparators LocaleDateSeparators(const QLocale& locale) {
    quillon::DateSeparators separators;
    separators.sDate =
        ToStdString(FirstSeparator(locale.dateFormat(QLocale::ShortFormat), QStringLiteral("/")));
    separators.sTime =
        ToStdString(FirstSeparator(locale.timeFormat(QLocale::ShortFormat), QStringLiteral(":")));
    return separators;
}

void CalculatorWindow::cmdGenerateReport_Click() {
    WaitCursor wait(this);
    if (!HasSelectedTq()) {
        return;
    }
    const QString title = ToQString(quillon::kAppTitle);
    const quillon::BitTimingFacts facts =
        quillon::DescribeBitTiming(CurrentSetting(), DecimalSeparator());

    if (facts.busIdleWarning) {
        ShowMessage(this, QMessageBox::Critical, ToQString(quillon::kBusIdleErrataTitle),
                    ToQString(*facts.busIdleWarning));
    }

    // The report describes what the boxes hold. The boxes stay editable in step 3, and a
    // value nothing can be computed with would give a report of infinities: that one is
    // refused with the reason instead.
    if (const auto problem = quillon::OscillatorComputeProblem(facts.setting.dOscFreqMHz)) {
        ShowMessage(this, QMessageBox::Information, title,
                    ToQString(*problem) + QString::fromLatin1(kCorrectOscillator));
        return;
    }
    if (const auto problem = quillon::RateComputeProblem(facts.setting.dTargetKbps)) {
        ShowMessage(this, QMessageBox::Information, title,
                    ToQString(*problem) + QString::fromLatin1(kCorrectRate));
        return;
    }
    if (!facts.registers) {
        ShowMessage(this, QMessageBox::Critical, title, ToQString(facts.registers.sError));
        return;
    }

    const quillon::ReportValues values = quillon::BuildReportValues(
        facts, quillon::ReportTimestampNow(LocaleDateSeparators()), DecimalSeparator());
    WriteAndOpenReport(this, *pctDisplay,
                       [&values](const std::filesystem::path& folder,
                                 const quillon::SaveBitmapFunction& saveBitmap) {
                           return quillon::WriteReportFiles(folder, values, saveBitmap);
                       });
}

void CalculatorWindow::OpenMakerWebsite() {
    const std::string url(quillon::kMakerUrl);
    if (!quillon::desktop::LaunchDefaultBrowser(url, ChooseReportFolder().path)) {
        ShowMessage(this, QMessageBox::Information,
                    ToQString(quillon::desktop::kBrowserProblemTitle),
                    ToQString(quillon::desktop::BrowserProblemText()));
    }
}
