#include "desktop/ReportFolder.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <system_error>

namespace {

std::filesystem::path ToPath(const QString& folder) {
    return std::filesystem::path(folder.toStdString());
}

// True when a file can be created in `folder`; the folder is left as it was.
bool CanCreateFilesIn(const std::filesystem::path& folder) {
    std::error_code error;
    if (folder.empty() || !std::filesystem::is_directory(folder, error)) {
        return false;
    }
    // Permission bits alone do not tell: root ignores them, and a read-only mount or an
    // ACL refuses what they allow. Creating a file is the question actually asked.
    QTemporaryFile probe(QString::fromStdString((folder / ".quillon-write-check-XXXXXX").string()));
    return probe.open();
}

} // namespace

ReportFolderChoice ChooseReportFolder(const std::filesystem::path& applicationFolder,
                                      const std::filesystem::path& userFolder) {
    if (CanCreateFilesIn(applicationFolder)) {
        return {applicationFolder, false};
    }
    std::error_code error;
    if (!userFolder.empty()) {
        std::filesystem::create_directories(userFolder, error);
        if (CanCreateFilesIn(userFolder)) {
            return {userFolder, true};
        }
    }
    return {applicationFolder, false};
}

ReportFolderChoice ChooseReportFolder() {
    return ChooseReportFolder(
        ToPath(QCoreApplication::applicationDirPath()),
        ToPath(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)));
}
