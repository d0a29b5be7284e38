#include "report/common/ReportFiles.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>

namespace quillon {
inline namespace common {

namespace {

// The system's text for the error of the last file operation.
std::string ErrnoText(int error, const char* fallback) {
    return error != 0 ? std::string(std::strerror(error)) : std::string(fallback);
}

ReportFileResult Failure(const std::filesystem::path& file, std::string reason,
                         const std::filesystem::path& reportPath) {
    return ReportFileResult{false, file.string(), std::move(reason), reportPath.string()};
}

// A report or picture name taken by a named pipe is refused before it is opened: opening
// a pipe for writing would wait for ever for a reader.
bool TakenByPipe(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_fifo(std::filesystem::status(path, error));
}

} // namespace

ReportFileResult WritePageAndBitmap(const std::filesystem::path& folder, const char* pageName,
                                    const char* bitmapName, const WritePageFunction& writePage,
                                    const SaveBitmapFunction& saveBitmap) {
    try {
        const std::filesystem::path reportPath = folder / pageName;
        const std::filesystem::path bitmapPath = folder / bitmapName;

        for (const std::filesystem::path& path : {reportPath, bitmapPath}) {
            if (TakenByPipe(path)) {
                return Failure(path, "Not a regular file", reportPath);
            }
        }

        errno = 0;
        std::ofstream nFile(reportPath, std::ios::out | std::ios::binary | std::ios::trunc);
        if (!nFile.is_open()) {
            return Failure(reportPath, ErrnoText(errno, "The file cannot be created."), reportPath);
        }

        std::string reason;
        bool saved = false;
        try {
            saved = saveBitmap && saveBitmap(bitmapPath, reason);
        } catch (const std::exception& error) {
            reason = error.what();
        } catch (...) {
            reason.clear(); // nothing to tell; the default text below says what failed
        }
        if (!saved) {
            if (reason.empty()) {
                reason = "The picture cannot be saved.";
            }
            return Failure(bitmapPath, reason, reportPath);
        }

        errno = 0;
        writePage(nFile);
        nFile.flush();
        const int writeError = nFile.fail() ? errno : 0;
        const bool written = !nFile.fail();
        errno = 0;
        nFile.close();
        const int closeError = errno;
        if (!written || nFile.fail()) {
            return Failure(
                reportPath,
                ErrnoText(!written ? writeError : closeError, "The file cannot be written."),
                reportPath);
        }
        return ReportFileResult{true, {}, {}, reportPath.string()};
    } catch (const std::exception& error) {
        return ReportFileResult{false, pageName, error.what(), {}};
    }
}

} // namespace common
} // namespace quillon
