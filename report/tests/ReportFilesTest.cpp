// Writing the report page and its bitmap: the order, and every failure named.
#include "report/common/ReportFiles.h"
#include "report/classic/HtmlReport.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>
#include <stdexcept>

namespace quillon {
namespace {

namespace fs = std::filesystem;

TEST(ReportFiles, OpensTheReportSavesTheBitmapThenWritesThePage) {
    test::TempFolder folder;
    test::WriteFile(folder / kReportFileName, std::string(10000, 'x')); // an older report
    ReportValues values;
    values.sError = "0.0 %";
    std::string reportWhileSaving = "not asked";
    const auto save = [&](const fs::path& path, std::string&) {
        EXPECT_EQ(path, folder / kBitmapFileName);
        reportWhileSaving = test::ReadFile(folder / kReportFileName);
        test::WriteFile(path, "BM");
        return true;
    };
    const ReportFileResult result = WriteReportFiles(folder.path(), values, save);
    ASSERT_TRUE(result.ok) << result.sFile << ": " << result.sReason;
    EXPECT_EQ(reportWhileSaving, ""); // opened and emptied first, written after
    EXPECT_EQ(result.reportPath, (folder / kReportFileName).string());
    std::ostringstream page;
    WriteHtmlReport(page, values);
    EXPECT_EQ(test::ReadFile(result.reportPath), page.str());
    EXPECT_EQ(test::ReadFile(folder / kBitmapFileName), "BM");
}

TEST(ReportFiles, AFailureNamesTheFileAndTheReason) {
    enum Place { Plain, FolderIsFile, ReportIsFolder, ReportIsPipe, BitmapIsPipe, DiskFull };
    const SaveBitmapFunction saves = [](const fs::path& path, std::string&) {
        test::WriteFile(path, "BM");
        return true;
    };
    const SaveBitmapFunction refuses = [](const fs::path&, std::string& reason) {
        reason = "Read-only file system";
        return false;
    };
    const SaveBitmapFunction throws = [](const fs::path&, std::string&) -> bool {
        throw std::runtime_error("too large");
    };
    const SaveBitmapFunction silent = [](const fs::path&, std::string&) { return false; };
    const struct {
        Place place;
        SaveBitmapFunction save;
        const char* failingFile;
        const char* reason;
    } rows[] = {{FolderIsFile, saves, kReportFileName, "Not a directory"},
                {ReportIsFolder, saves, kReportFileName, "Is a directory"},
                {ReportIsPipe, saves, kReportFileName, "Not a regular file"},
                {BitmapIsPipe, saves, kBitmapFileName, "Not a regular file"},
                {DiskFull, saves, kReportFileName, "No space left on device"},
                {Plain, refuses, kBitmapFileName, "Read-only file system"},
                {Plain, throws, kBitmapFileName, "too large"},
                {Plain, silent, kBitmapFileName, "The picture cannot be saved."},
                {Plain, nullptr, kBitmapFileName, "The picture cannot be saved."}};
    for (const auto& row : rows) {
        test::TempFolder dir;
        fs::path folder = dir.path();
        if (row.place == FolderIsFile) {
            test::WriteFile(folder / "plain", "x");
            folder /= "plain";
        } else if (row.place == ReportIsFolder) {
            fs::create_directory(folder / kReportFileName);
        } else if (row.place == ReportIsPipe || row.place == BitmapIsPipe) {
            mkfifo(
                (folder / (row.place == ReportIsPipe ? kReportFileName : kBitmapFileName)).c_str(),
                0600);
        } else if (row.place == DiskFull) {
            fs::create_symlink("/dev/full", folder / kReportFileName);
        }
        const ReportFileResult result = WriteReportFiles(folder, ReportValues{}, row.save);
        EXPECT_FALSE(result.ok) << row.reason;
        EXPECT_EQ(result.sFile, (folder / row.failingFile).string()) << row.reason;
        EXPECT_EQ(result.sReason, row.reason);
    }
}

} // namespace
} // namespace quillon
