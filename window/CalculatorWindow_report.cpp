// The window's hand-offs: the maker's website, and the date and time separators the
// locale gives the classic and the CAN FD reports' time stamps.
#include "window/CalculatorWindow.h"

#include "desktop/DesktopHandOff.h"
#include "desktop/ReportFolder.h"
#include "report/common/ReportTexts.h"
#include "timing/common/Maker.h"
#include "ui/MessageBox.h"
#include "ui/QtText.h"

#include <QLocale>

namespace {

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

void CalculatorWindow::OpenMakerWebsite() {
    const std::string url(quillon::kMakerUrl);
    if (!quillon::desktop::LaunchDefaultBrowser(url, ChooseReportFolder().path)) {
        ShowMessage(this, QMessageBox::Information,
                    ToQString(quillon::desktop::kBrowserProblemTitle),
                    ToQString(quillon::desktop::BrowserProblemText()));
    }
}
