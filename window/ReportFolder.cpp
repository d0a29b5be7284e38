#include "window/ReportFolder.h"

#include <QCoreApplication>

ReportFolderChoice ChooseReportFolder() {
    return {std::filesystem::path(QCoreApplication::applicationDirPath().toStdString())};
}
