#pragma once
// Where the report, its bitmap and the browser look-up file are written: the folder of the
// program, as the calculator has always done.
#include <filesystem>

struct ReportFolderChoice {
    std::filesystem::path path;
};

ReportFolderChoice ChooseReportFolder();
