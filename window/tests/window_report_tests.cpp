// The window's hand-offs: "Generate Report..." writes the page and the bitmap into the
// program folder and hands the page to the desktop (a recording shell here), and the
// maker's link and button start the browser. What the page says is proven in report/.
#include "report/classic/HtmlReport.h"
#include "report/common/ReportFiles.h"
#include "support/ModalAnswerer.h"
#include "support/RecordingShell.h"
#include "support/TempFolder.h"
#include "support/WindowDriver.h"
#include "window/CalculatorWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

#include <memory>
#include <sstream>

namespace {

const QString kUrl = QStringLiteral("https://www.varnholt.example/");

QString InFolder(const char* name) {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(name));
}

void ClearFolder() {
    for (const char* name : {quillon::kReportFileName, quillon::kBitmapFileName, "temphtm.HTM"}) {
        QDir().rmdir(InFolder(name));
        QFile::remove(InFolder(name));
    }
}

// The page report/ writes for the setting at the fixed time stamp.
std::string ExpectedPage(const quillon::BitTimingSetting& setting) {
    std::ostringstream page;
    quillon::WriteHtmlReport(page, quillon::BuildReportValues(quillon::DescribeBitTiming(setting),
                                                              quillon::ReportTimestampNow()));
    return page.str();
}

} // namespace

class ReportTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModalAnswerer> answerer;
    std::unique_ptr<quillon::test::RecordingShell> shell;

private slots:
    void initTestCase() {
        qputenv("SOURCE_DATE_EPOCH", "86399");
        QLocale::setDefault(QLocale::c());
    }
    void init() {
        ClearFolder();
        answerer = std::make_unique<ModalAnswerer>();
        shell = std::make_unique<quillon::test::RecordingShell>();
    }
    void cleanup() {
        shell.reset();
        answerer.reset();
        ClearFolder();
    }

    void reportButton_data() {
        QTest::addColumn<QString>("osc");
        QTest::addColumn<int>("brpMinus1");
        QTest::addColumn<int>("tq");
        QTest::addColumn<QString>("change");  // "flags", "oscillator emptied", "report blocked"
        QTest::addColumn<QStringList>("box"); // title and text of the one box shown, if any

        const QString title = QStringLiteral("Quillon");
        QTest::newRow("written and handed to the desktop")
            << "16" << 1 << 8 << "flags" << QStringList{};
        QTest::newRow("bus-idle warning first")
            << "12" << 0 << 12 << ""
            << QStringList{"Potential Problem with settings",
                           QString::fromStdString(*quillon::BusIdleErrataMessage(0, 12))};
        QTest::newRow("oscillator emptied in step 3")
            << "16" << 1 << 8 << "oscillator emptied"
            << QStringList{title, "The oscillator must be greater than 0. Correct the "
                                  "oscillator frequency and generate the report again."};
        QTest::newRow("report name taken by a folder")
            << "16" << 1 << 8 << "report blocked"
            << QStringList{title, "The report could not be written.\n\nFile: " +
                                      InFolder(quillon::kReportFileName) +
                                      "\nReason: Is a directory"};
    }

    void reportButton() {
        QFETCH(QString, osc);
        QFETCH(int, brpMinus1);
        QFETCH(int, tq);
        QFETCH(QString, change);
        QFETCH(QStringList, box);
        const QString report = InFolder(quillon::kReportFileName);
        bool reportBeforeBox = false;
        answerer->whileShown = [&](const SeenMessage&) {
            reportBeforeBox = QFileInfo(report).isFile();
        };
        CalculatorWindow window;
        window.show();
        GoToStep3(window, osc, QStringLiteral("500"));
        QVERIFY(ChooseTq(window, QString::number(tq)));
        quillon::BitTimingSetting setting =
            quillon::ProposedSetting(osc.toDouble(), 500, brpMinus1, tq);
        if (change == "flags") {
            Click(window, "chkMultipleSampling");
            Click(window, "chkUseWakeUpFilter");
            setting.segments.bSam = setting.segments.bWakFil = true;
        } else if (change == "oscillator emptied") {
            Type(window, "txtOsc", QString());
        } else if (change == "report blocked") {
            QVERIFY(QDir().mkdir(report));
        }
        Click(window, "cmdGenerateReport");

        const QVector<SeenMessage> seen = answerer->take();
        QCOMPARE(seen.size(), box.isEmpty() ? 0 : 1);
        if (!box.isEmpty()) {
            QCOMPARE((QStringList{seen[0].title, seen[0].text}), box);
            QCOMPARE(seen[0].buttonCount, 1);
            QVERIFY(!reportBeforeBox);
        }
        const bool written = change.isEmpty() || change == "flags";
        QCOMPARE(shell->documents, written ? std::vector<std::string>{report.toStdString()}
                                           : std::vector<std::string>{});
        if (written) {
            QCOMPARE(quillon::test::ReadFile(report.toStdString()), ExpectedPage(setting));
            const QImage bitmap(InFolder(quillon::kBitmapFileName), "BMP");
            QCOMPARE(bitmap.convertToFormat(QImage::Format_RGB32), Picture(window));
        } else {
            QVERIFY(!QFile::exists(InFolder(quillon::kBitmapFileName)));
        }
        QVERIFY(window.cursor().shape() != Qt::WaitCursor);
    }

    void makersWebsite_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("browser"); // what the desktop finds, "" for none
        QTest::newRow("button, no browser") << "cmdTarsel"
                                            << "";
        QTest::newRow("link, browser found") << "Label13"
                                             << "/usr/bin/fakebrowser";
    }

    void makersWebsite() {
        QFETCH(QString, control);
        QFETCH(QString, browser);
        shell->browser = browser.toStdString();
        CalculatorWindow window;
        window.show();
        Click(window, qPrintable(control));

        QCOMPARE(shell->filesAsked,
                 std::vector<std::string>{InFolder("temphtm.HTM").toStdString()});
        const QVector<SeenMessage> seen = answerer->take();
        if (browser.isEmpty()) {
            QVERIFY(shell->starts.empty());
            QCOMPARE(seen.size(), 1);
            QCOMPARE(seen[0].title, QStringLiteral("Problem"));
            QCOMPARE(seen[0].text, "There was a problem launching the default browser.\r\n\r\n"
                                   "Visit the website at: " +
                                       kUrl);
        } else {
            QCOMPARE(shell->starts.size(), 1u);
            QCOMPARE(shell->starts[0].first, browser.toStdString());
            QCOMPARE(shell->starts[0].second, kUrl.toStdString());
            QVERIFY(seen.isEmpty());
        }
        QVERIFY(shell->documents.empty());
        QVERIFY(!QFile::exists(InFolder("temphtm.HTM")));
    }
};

QTEST_MAIN(ReportTest)
#include "window_report_tests.moc"
