#include "report/ReportFiles.h"

#include "TestSupport.h"
#include "report/HtmlReport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

namespace quillon {
namespace {

namespace fs = std::filesystem;

std::string Page(const ReportValues& values) {
    std::ostringstream out;
    WriteHtmlReport(out, values);
    return out.str();
}

// Number of open file descriptors of this process.
std::size_t OpenFiles() {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
}

SaveBitmapFunction WriteBitmap(const std::string& content) {
    return [content](const fs::path& path, std::string&) {
        test::WriteFile(path, content);
        return true;
    };
}

TEST(WriteReportFiles, WritesReportAndBitmapAndReplacesOlderReport) {
    test::TempDir dir;
    ReportValues values;
    values.sError = std::string(500, 'x');
    bool reportOpenedFirst = false;
    const auto save = [&](const fs::path& path, std::string&) {
        reportOpenedFirst = fs::exists(dir.path() / kReportFileName);
        EXPECT_EQ(path, dir.path() / kBitmapFileName);
        test::WriteFile(path, "BM-picture");
        return true;
    };
    ReportFileResult result = WriteReportFiles(dir.path(), values, save);
    ASSERT_TRUE(result.ok) << result.sFile << ": " << result.sReason;
    EXPECT_TRUE(reportOpenedFirst);
    EXPECT_EQ(result.reportPath, (dir.path() / kReportFileName).string());
    EXPECT_EQ(test::ReadFile(dir.path() / kBitmapFileName), "BM-picture");

    values.sError = "0.0 %";
    result = WriteReportFiles(dir.path(), values, WriteBitmap("BM"));
    ASSERT_TRUE(result.ok) << result.sReason;
    EXPECT_EQ(test::ReadFile(result.reportPath), Page(values));
    EXPECT_EQ(test::ReadFile(dir.path() / kBitmapFileName), "BM");
}

struct FailureRow {
    const char* name;
    // Prepares the scratch folder and returns the folder to write the report into.
    fs::path (*prepare)(const fs::path& dir);
    SaveBitmapFunction save;
    const char* failingFile;
    const char* reason;
};

void PrintTo(const FailureRow& row, std::ostream* out) {
    *out << row.name;
}

class WriteReportFilesFailure : public ::testing::TestWithParam<FailureRow> {};

TEST_P(WriteReportFilesFailure, NamesFileAndReasonAndReleasesHandle) {
    const FailureRow& row = GetParam();
    test::TempDir dir;
    const fs::path folder = row.prepare(dir.path());
    if (folder.empty()) {
        GTEST_SKIP() << "not available on this system";
    }
    const std::size_t openBefore = OpenFiles();
    const ReportFileResult result = WriteReportFiles(folder, ReportValues{}, row.save);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.sFile, (folder / row.failingFile).string());
    EXPECT_EQ(result.sReason, row.reason);
    EXPECT_EQ(OpenFiles(), openBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteReportFilesFailure,
    ::testing::Values(FailureRow{"FolderUnderRegularFile",
                                 [](const fs::path& dir) {
                                     test::WriteFile(dir / "plain", "x");
                                     return dir / "plain";
                                 },
                                 WriteBitmap("BM"), kReportFileName, "Not a directory"},
                      FailureRow{"ReportIsDirectory",
                                 [](const fs::path& dir) {
                                     fs::create_directory(dir / kReportFileName);
                                     return dir;
                                 },
                                 WriteBitmap("BM"), kReportFileName, "Is a directory"},
                      FailureRow{"DiskFull",
                                 [](const fs::path& dir) {
                                     if (!fs::exists("/dev/full")) {
                                         return fs::path();
                                     }
                                     fs::create_symlink("/dev/full", dir / kReportFileName);
                                     return dir;
                                 },
                                 WriteBitmap("BM"), kReportFileName, "No space left on device"},
                      FailureRow{"BitmapNotSaved", [](const fs::path& dir) { return dir; },
                                 [](const fs::path&, std::string& reason) {
                                     reason = "Read-only file system";
                                     return false;
                                 },
                                 kBitmapFileName, "Read-only file system"},
                      FailureRow{"BitmapSaverThrows", [](const fs::path& dir) { return dir; },
                                 [](const fs::path&, std::string&) -> bool {
                                     throw std::runtime_error("picture too large");
                                 },
                                 kBitmapFileName, "picture too large"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quillon
