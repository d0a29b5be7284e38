// quillon-cli writes a point as the decimal separator whatever the locale, so scripts can
// read it: run under LC_ALL=de_DE.UTF-8 it prints, and writes, exactly what it does under
// the C locale. Skipped where the German locale is not installed.
#include "fuzz/NonFiniteText.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <clocale>
#include <utility>

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
    QByteArray report;
    QByteArray bitmap;
};

bool GermanLocaleInstalled() {
    const bool installed = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    std::setlocale(LC_ALL, "C");
    return installed;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the program with the files going to `out`, which it leaves empty again.
Run RunCli(const QStringList& arguments, const char* locale, const QString& out) {
    QStringList args = arguments;
    args.replaceInStrings(QStringLiteral("@OUT@"), out);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
    environment.insert(QStringLiteral("LANG"), QString::fromLatin1(locale));
    environment.insert(QStringLiteral("SOURCE_DATE_EPOCH"), QStringLiteral("1767225600"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUILLON_CLI_PATH), args);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    for (const auto& [name, bytes] :
         {std::pair{"MCP2510Report.htm", &run.report}, std::pair{"bittime.bmp", &run.bitmap}}) {
        const QString path = QDir(out).filePath(QString::fromLatin1(name));
        *bytes = ReadAll(path);
        QFile::remove(path);
    }
    return run;
}

} // namespace

class CliLocaleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (!GermanLocaleInstalled()) {
            QSKIP("the de_DE.UTF-8 locale is not installed (localedef -i de_DE -f UTF-8 "
                  "de_DE.UTF-8)");
        }
    }

    void sameOutputAsUnderC_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("writesReport");
        const QStringList cell{"--osc", "16", "--rate", "300", "--brp1", "1", "--tq", "13"};
        QTest::newRow("candidates with grid")
            << QStringList{"candidates", "--osc", "10", "--rate", "83.333", "--grid"} << false;
        QTest::newRow("candidates as JSON")
            << QStringList{"candidates", "--osc", "10", "--rate", "83.333", "--json"} << false;
        QTest::newRow("timing") << QStringList{"timing"} + cell << false;
        QTest::newRow("timing as JSON")
            << QStringList{"timing"} + cell + QStringList{"--json"} << false;
        QTest::newRow("report") << QStringList{"report"} + cell + QStringList{"--out", "@OUT@"}
                                << true;
        QTest::newRow("comma ends the number")
            << QStringList{"candidates", "--osc", "16,5", "--rate", "500"} << false;
        QTest::newRow("refused option")
            << QStringList{"timing", "--osc", "16", "--rate", "500", "--pick", "1", "--prop", "9"}
            << false;
    }

    void sameOutputAsUnderC() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, writesReport);
        // The same folder for both runs: the report command names it in its output.
        QTemporaryDir out;
        const Run plain = RunCli(arguments, "C", out.path());
        const Run german = RunCli(arguments, "de_DE.UTF-8", out.path());
        QVERIFY(plain.status >= 0);
        QCOMPARE(german.status, plain.status);
        QCOMPARE(german.out, plain.out);
        QCOMPARE(german.err, plain.err);
        QCOMPARE(german.report, plain.report);
        QCOMPARE(german.bitmap, plain.bitmap);
        QVERIFY(!plain.out.isEmpty() || !plain.err.isEmpty());
        QVERIFY(!quillon::fuzz::ShowsNonFinite(plain.out.toStdString()));
        if (writesReport) {
            QVERIFY(plain.report.contains("307.692308 kbps"));
            QVERIFY(!plain.bitmap.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(CliLocaleTest)
#include "CliLocaleTest.moc"
