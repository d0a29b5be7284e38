#include "desktop/DesktopHandOff.h"

#include "timing/common/Maker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <fstream>
#include <system_error>
#include <utility>

namespace quillon {

namespace {

// xdg-mime answers within milliseconds; a hanging query must not freeze the window.
constexpr int kXdgMimeTimeoutMs = 3000;

// The one line of the browser-search file, double quotation marks included.
constexpr const char* kTempFileLine = R"("<HTML> <\HTML>")";

DesktopShell* g_desktopShell = nullptr;

// First line of the output of `xdg-mime <arguments>`, or empty when xdg-mime is missing,
// fails or does not answer in time.
QString QueryXdgMime(const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (program.isEmpty()) {
        return {};
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(kXdgMimeTimeoutMs)) {
        return {};
    }
    if (!process.waitForFinished(kXdgMimeTimeoutMs)) {
        process.kill();
        process.waitForFinished(kXdgMimeTimeoutMs);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return {};
    }
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return output.section(QLatin1Char('\n'), 0, 0).trimmed();
}

// XDG_DATA_HOME/applications followed by XDG_DATA_DIRS/applications, with the defaults
// of the XDG base directory rules when the variables are unset.
QStringList ApplicationFolders() {
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty()) {
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    }
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty()) {
        dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    }
    QStringList folders{dataHome + QStringLiteral("/applications")};
    for (const QString& dir : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        folders << dir + QStringLiteral("/applications");
    }
    return folders;
}

// The .desktop file of a desktop id; "vendor-app.desktop" may also live in "vendor/".
QString FindDesktopFile(const QString& desktopId) {
    QStringList names{desktopId};
    QString name = desktopId;
    for (int dash = name.indexOf(QLatin1Char('-')); dash >= 0;
         dash = name.indexOf(QLatin1Char('-'), dash + 1)) {
        name[dash] = QLatin1Char('/');
        names << name;
    }
    for (const QString& folder : ApplicationFolders()) {
        for (const QString& candidate : names) {
            const QString path = folder + QLatin1Char('/') + candidate;
            if (QFileInfo(path).isFile()) {
                return path;
            }
        }
    }
    return {};
}

// The Exec= value of the [Desktop Entry] group, or empty.
QString ReadExecLine(const QString& desktopFile) {
    QFile file(desktopFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    bool inDesktopEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inDesktopEntry = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (inDesktopEntry && equals > 0 && line.left(equals).trimmed() == QStringLiteral("Exec")) {
            return line.mid(equals + 1).trimmed();
        }
    }
    return {};
}

// The program of an Exec= value: its first word, which may be quoted.
QString FirstExecWord(const QString& exec) {
    if (!exec.startsWith(QLatin1Char('"'))) {
        return exec.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    }
    QString word;
    for (int i = 1; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (c == QLatin1Char('\\') && i + 1 < exec.size()) {
            word += exec.at(++i);
        } else if (c == QLatin1Char('"')) {
            return word;
        } else {
            word += c;
        }
    }
    return {}; // unterminated quotation
}

// Deletes the browser-search file when the search ends, however it ends.
class TempFileRemover {
public:
    explicit TempFileRemover(std::filesystem::path path) : m_path(std::move(path)) {}
    TempFileRemover(const TempFileRemover&) = delete;
    TempFileRemover& operator=(const TempFileRemover&) = delete;
    ~TempFileRemover() {
        std::error_code error;
        if (!std::filesystem::is_directory(m_path, error)) {
            std::filesystem::remove(m_path, error);
        }
    }

private:
    std::filesystem::path m_path;
};

} // namespace

DesktopShell::~DesktopShell() = default;

std::string XdgDesktopShell::FindExecutable(const std::string& filePath) {
    const QString mimeType = QueryXdgMime(
        {QStringLiteral("query"), QStringLiteral("filetype"), QString::fromStdString(filePath)});
    if (mimeType.isEmpty()) {
        return {};
    }
    const QString desktopId =
        QueryXdgMime({QStringLiteral("query"), QStringLiteral("default"), mimeType})
            .section(QLatin1Char(';'), 0, 0)
            .trimmed();
    if (desktopId.isEmpty()) {
        return {};
    }
    const QString desktopFile = FindDesktopFile(desktopId);
    if (desktopFile.isEmpty()) {
        return {};
    }
    const QString program = FirstExecWord(ReadExecLine(desktopFile));
    if (program.isEmpty()) {
        return {};
    }
    return QStandardPaths::findExecutable(program).toStdString();
}

bool XdgDesktopShell::StartProgram(const std::string& program, const std::string& argument) {
    return QProcess::startDetached(QString::fromStdString(program),
                                   {QString::fromStdString(argument)});
}

void XdgDesktopShell::OpenDocument(const std::string& filePath) {
    QProcess::startDetached(QStringLiteral("xdg-open"), {QString::fromStdString(filePath)});
}

DesktopShell& CurrentDesktopShell() {
    static XdgDesktopShell xdgShell;
    return g_desktopShell != nullptr ? *g_desktopShell : xdgShell;
}

void SetDesktopShell(DesktopShell* shell) {
    g_desktopShell = shell;
}

namespace desktop {

void ShellOpen(const std::string& sFile) {
    try {
        CurrentDesktopShell().OpenDocument(sFile);
    } catch (...) {
        // Opening the report is a convenience; it stays on disk either way.
    }
}

bool LaunchDefaultBrowser(const std::string& sURL, const std::filesystem::path& applicationFolder) {
    try {
        const std::filesystem::path tempPath = applicationFolder / kTempFileName;
        const TempFileRemover remover(tempPath);
        {
            std::ofstream nFile(tempPath, std::ios::out | std::ios::binary | std::ios::trunc);
            nFile << kTempFileLine << "\r\n";
            nFile.close();
            if (nFile.fail()) {
                return false;
            }
        }
        DesktopShell& shell = CurrentDesktopShell();
        const std::string browser = shell.FindExecutable(tempPath.string());
        if (browser.empty()) {
            return false;
        }
        return shell.StartProgram(browser, sURL);
    } catch (...) {
        return false;
    }
}

std::string BrowserProblemText() {
    return std::string("There was a problem launching the default browser.") + "\r\n\r\n" +
           "Visit the website at: " + std::string(kMakerUrl);
}

} // namespace desktop

} // namespace quillon
