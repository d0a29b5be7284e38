// Report files that cannot be written: a report or bitmap file locked against change (the
// immutable attribute), a full disk (a tiny tmpfs), a read-only folder, and a report name
// taken by a named pipe. Each must end in a message or result that names the file and the
// reason, with the report not opened, no file handle left open and the cursor restored.
// The mounts need root; without it those rows are skipped.
#include "ModalAnswerer.h"
#include "WindowProbe.h"
#include "report/ReportFiles.h"
#include "window/BitTimingPicture.h"

#include <QtTest>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using robustness::WindowProbe;

// Sets or clears the immutable attribute; false when the file system does not support it
// or the process may not change it.
bool SetImmutable(const fs::path& path, bool on) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

// A fresh folder under the system's temporary folder, removed at the end.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "quillon-files-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
    }
    ~ScratchDir() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

// A tmpfs of `size` mounted on a fresh folder for the life of the object.
class TinyTmpfs {
public:
    explicit TinyTmpfs(const char* options) {
        if (!m_dir.path().empty() &&
            ::mount("tmpfs", m_dir.path().c_str(), "tmpfs", 0, options) == 0) {
            m_mounted = true;
        }
    }
    ~TinyTmpfs() {
        if (m_mounted) {
            ::umount2(m_dir.path().c_str(), MNT_DETACH);
        }
    }
    bool mounted() const { return m_mounted; }
    const fs::path& path() const { return m_dir.path(); }
    void RemountReadOnly() {
        m_mounted =
            ::mount("tmpfs", m_dir.path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    ScratchDir m_dir;
    bool m_mounted = false;
};

void WriteBytes(const fs::path& path, std::size_t count) {
    std::ofstream(path, std::ios::binary) << std::string(count, 'x');
}

quillon::ReportValues SomeValues() {
    quillon::ReportValues values;
    values.sOscFreq = "16.000 MHz";
    values.sCANBaud = "500.000 kbps";
    values.sError = "0.0 %";
    return values;
}

quillon::SaveBitmapFunction SmallBitmap() {
    return [](const fs::path& path, std::string& reason) {
        std::ofstream out(path, std::ios::binary);
        out << "BM";
        out.close();
        if (!out) {
            reason = std::strerror(errno);
            return false;
        }
        return true;
    };
}

} // namespace

class FileFailureTest : public QObject {
    Q_OBJECT

private:
    ModalAnswerer* answerer = nullptr;
    robustness::RecordingShell shell;

    static void ClearWindowFiles() {
        for (const fs::path& path :
             {robustness::WindowReportPath(), robustness::WindowBitmapPath()}) {
            SetImmutable(path, false);
            std::error_code ignored;
            fs::remove(path, ignored);
        }
    }

private slots:
    void initTestCase() { quillon::SetDesktopShell(&shell); }
    void cleanupTestCase() { quillon::SetDesktopShell(nullptr); }
    void init() {
        answerer = new ModalAnswerer;
        shell.opened.clear();
        ClearWindowFiles();
    }
    void cleanup() {
        delete answerer;
        answerer = nullptr;
        ClearWindowFiles();
    }

    void lockedFileInTheWindow_data() {
        QTest::addColumn<bool>("lockReport"); // else the bitmap is locked
        QTest::newRow("report locked") << true;
        QTest::newRow("bitmap locked") << false;
    }

    void lockedFileInTheWindow() {
        QFETCH(bool, lockReport);
        const fs::path locked =
            lockReport ? robustness::WindowReportPath() : robustness::WindowBitmapPath();
        WriteBytes(locked, 16);
        if (!SetImmutable(locked, true)) {
            QSKIP("the immutable attribute cannot be set here");
        }

        frmMainBitTime window;
        window.show();
        WindowProbe probe(window);
        probe.Next();
        probe.Next();
        QVERIFY(probe.ReportEnabled());
        const std::size_t openBefore = robustness::OpenFileCount();
        probe.GenerateReport();

        QCOMPARE(answerer->seen().size(), 1);
        const SeenMessage& seen = answerer->seen().first();
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QVERIFY2(seen.text.contains(QString::fromStdString(locked.string())),
                 qPrintable(seen.text));
        if (lockReport) {
            QVERIFY2(seen.text.contains(QString::fromLocal8Bit(std::strerror(EPERM))),
                     qPrintable(seen.text));
        }
        QVERIFY(shell.opened.empty());
        QVERIFY(!probe.WaitCursorShown());
        QCOMPARE(robustness::OpenFileCount(), openBefore);
    }

    void fullDisk_data() {
        QTest::addColumn<bool>("realBitmap"); // the diagram's own BMP, else a tiny file
        QTest::addColumn<QString>("failing");
        QTest::newRow("bitmap does not fit")
            << true << QString::fromLatin1(quillon::kBitmapFileName);
        QTest::newRow("report does not fit")
            << false << QString::fromLatin1(quillon::kReportFileName);
    }

    void fullDisk() {
        QFETCH(bool, realBitmap);
        QFETCH(QString, failing);
        TinyTmpfs disk("size=16k");
        if (!disk.mounted()) {
            QSKIP("cannot mount a tmpfs here (needs root)");
        }
        // Three of the four pages taken: room for the small bitmap, none for the report.
        WriteBytes(disk.path() / "filler", 12 * 1024);

        BitTimingPicture picture;
        const quillon::SaveBitmapFunction save =
            realBitmap ? quillon::SaveBitmapFunction([&picture](const fs::path& path,
                                                                std::string& reason) {
                QString why;
                const bool saved = picture.saveBitmap(QString::fromStdString(path.string()), &why);
                reason = why.toStdString();
                return saved;
            })
                       : SmallBitmap();
        const std::size_t openBefore = robustness::OpenFileCount();
        const quillon::ReportFileResult result =
            quillon::WriteReportFiles(disk.path(), SomeValues(), save);
        QVERIFY(!result.ok);
        QCOMPARE(QString::fromStdString(result.sFile),
                 QString::fromStdString((disk.path() / failing.toStdString()).string()));
        QVERIFY2(!result.sReason.empty(), result.sReason.c_str());
        QCOMPARE(QString::fromStdString(result.sReason),
                 QString::fromLocal8Bit(std::strerror(ENOSPC)));
        QCOMPARE(robustness::OpenFileCount(), openBefore);
    }

    void readOnlyFolder() {
        TinyTmpfs disk("size=64k");
        if (!disk.mounted()) {
            QSKIP("cannot mount a tmpfs here (needs root)");
        }
        disk.RemountReadOnly();
        QVERIFY(disk.mounted());
        const std::size_t openBefore = robustness::OpenFileCount();
        bool bitmapAsked = false;
        const quillon::ReportFileResult result = quillon::WriteReportFiles(
            disk.path(), SomeValues(), [&bitmapAsked](const fs::path&, std::string&) {
                bitmapAsked = true;
                return true;
            });
        QVERIFY(!result.ok);
        QCOMPARE(result.sFile, (disk.path() / quillon::kReportFileName).string());
        QCOMPARE(QString::fromStdString(result.sReason),
                 QString::fromLocal8Bit(std::strerror(EROFS)));
        QVERIFY(!bitmapAsked);
        QCOMPARE(robustness::OpenFileCount(), openBefore);
    }

    // A named pipe in the report's place: opening it for writing waits for a reader that
    // never comes, so the report must be refused without waiting. Should the write wait,
    // the test opens the pipe itself to let it go on.
    void reportNameTakenByAPipe() {
        ScratchDir dir;
        const fs::path pipe = dir.path() / quillon::kReportFileName;
        QCOMPARE(::mkfifo(pipe.c_str(), 0600), 0);

        auto writing = std::async(std::launch::async, [&dir] {
            return quillon::WriteReportFiles(dir.path(), SomeValues(), SmallBitmap());
        });
        const bool waited = writing.wait_for(std::chrono::seconds(3)) != std::future_status::ready;
        int reader = -1;
        if (waited) {
            reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
        }
        const quillon::ReportFileResult result = writing.get();
        if (reader >= 0) {
            ::close(reader);
        }
        QVERIFY(!waited);
        QVERIFY(!result.ok);
    }
};

QTEST_MAIN(FileFailureTest)
#include "FileFailureTest.moc"
