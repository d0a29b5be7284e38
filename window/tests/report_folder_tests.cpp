// Checks where the report goes: the program folder while it can be written, the per-user
// folder when it cannot, and that choosing leaves no trace in either folder.
#include "window/ReportFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

// How the folders of a case are laid out in the sandbox.
enum class Place {
    Folder,         // an existing, writable folder
    Missing,        // nothing there yet; its parent exists
    File,           // a plain file where the folder should be
    ReadOnlyFolder, // an existing folder without write permission
    UnderFile,      // below a plain file, so it can never be created
    None,           // no path at all
};

enum class Expected { ProgramFolder, UserFolder };

} // namespace

Q_DECLARE_METATYPE(Place)
Q_DECLARE_METATYPE(Expected)

class ReportFolderTest : public QObject {
    Q_OBJECT

private:
    static std::filesystem::path Prepare(const QTemporaryDir& sandbox, Place place,
                                         const QString& name) {
        const QString path = sandbox.filePath(name);
        switch (place) {
        case Place::Folder:
            QDir().mkpath(path);
            break;
        case Place::ReadOnlyFolder:
            QDir().mkpath(path);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
            break;
        case Place::File: {
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            break;
        }
        case Place::UnderFile: {
            QFile blocker(path);
            blocker.open(QIODevice::WriteOnly);
            return std::filesystem::path((path + QStringLiteral("/Quillon")).toStdString());
        }
        case Place::Missing:
            return std::filesystem::path((path + QStringLiteral("/share/Quillon")).toStdString());
        case Place::None:
            return {};
        }
        return std::filesystem::path(path.toStdString());
    }

    static QStringList Entries(const std::filesystem::path& folder) {
        return QDir(QString::fromStdString(folder.string()))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

private slots:
    void choosesFolder_data() {
        QTest::addColumn<Place>("program");
        QTest::addColumn<Place>("user");
        QTest::addColumn<Expected>("expected");

        QTest::newRow("writable program folder")
            << Place::Folder << Place::Missing << Expected::ProgramFolder;
        QTest::newRow("program folder missing")
            << Place::Missing << Place::Missing << Expected::UserFolder;
        QTest::newRow("program folder is a file")
            << Place::File << Place::Folder << Expected::UserFolder;
        QTest::newRow("read-only program folder")
            << Place::ReadOnlyFolder << Place::Missing << Expected::UserFolder;
        QTest::newRow("user folder cannot be made")
            << Place::File << Place::UnderFile << Expected::ProgramFolder;
        QTest::newRow("no user folder") << Place::Missing << Place::None << Expected::ProgramFolder;
    }

    void choosesFolder() {
        QFETCH(Place, program);
        QFETCH(Place, user);
        QFETCH(Expected, expected);
        if (program == Place::ReadOnlyFolder && geteuid() == 0) {
            QSKIP("root writes into read-only folders; the other rows cover the fallback");
        }
        const QTemporaryDir sandbox;
        QVERIFY(sandbox.isValid());
        const std::filesystem::path programFolder =
            Prepare(sandbox, program, QStringLiteral("bin"));
        const std::filesystem::path userFolder = Prepare(sandbox, user, QStringLiteral("home"));
        const QStringList programBefore = Entries(programFolder);

        const ReportFolderChoice choice = ChooseReportFolder(programFolder, userFolder);

        const bool toUser = expected == Expected::UserFolder;
        QCOMPARE(QString::fromStdString(choice.path.string()),
                 QString::fromStdString((toUser ? userFolder : programFolder).string()));
        QCOMPARE(choice.fallback, toUser);
        // The per-user folder is made only when it is used.
        QCOMPARE(std::filesystem::is_directory(userFolder), toUser || user == Place::Folder);
        // The write check leaves nothing behind.
        QCOMPARE(Entries(programFolder), programBefore);
        if (toUser) {
            QVERIFY(Entries(userFolder).isEmpty());
            QFile report(QString::fromStdString((userFolder / "MCP2510Report.htm").string()));
            QVERIFY2(report.open(QIODevice::WriteOnly), qPrintable(report.errorString()));
        }
    }

    // The running program: its own folder, or, when the test binary sits in a folder this
    // user cannot write, the application folder under XDG_DATA_HOME.
    void runningProgramUsesItsFolderOrTheUsers() {
        QTemporaryDir dataHome;
        QVERIFY(dataHome.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
        QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
        const QString userFolder = dataHome.filePath(QStringLiteral("Quillon"));

        const ReportFolderChoice choice = ChooseReportFolder();

        const QString chosen = QString::fromStdString(choice.path.string());
        QCOMPARE(chosen, choice.fallback ? userFolder : QCoreApplication::applicationDirPath());
        QCOMPARE(QFileInfo(userFolder).isDir(), choice.fallback);
    }
};

QTEST_GUILESS_MAIN(ReportFolderTest)
#include "report_folder_tests.moc"
