#include "window/ReportHandOff.h"

#include "desktop/DesktopHandOff.h"
#include "desktop/ReportFolder.h"
#include "timing/common/Maker.h"
#include "ui/MessageBox.h"
#include "ui/QtText.h"
#include "window/BitTimingPicture.h"

#include <QCoreApplication>

void WriteAndOpenReport(QWidget* parent, const BitTimingPicture& picture,
                        const ReportWriter& write) {
    const ReportFolderChoice folder = ChooseReportFolder();
    const quillon::ReportFileResult result = write(
        folder.path, [&picture](const std::filesystem::path& bitmapPath, std::string& reason) {
            QString why;
            const bool saved = picture.saveBitmap(QString::fromStdString(bitmapPath), &why);
            reason = ToStdString(why);
            return saved;
        });
    if (!result.ok) {
        ShowMessage(
            parent, QMessageBox::Critical, ToQString(quillon::kAppTitle),
            QCoreApplication::translate("CalculatorWindow",
                                        "The report could not be written.\n\nFile: "
                                        "%1\nReason: %2")
                .arg(QString::fromStdString(result.sFile), QString::fromStdString(result.sReason)));
        return;
    }
    quillon::desktop::ShellOpen(result.reportPath);
}
