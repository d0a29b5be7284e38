// Drives "Generate Report..." and the two website links of the real calculator window:
// the files written into the program folder, the bus idle warning, a folder that cannot
// take the report, and the hand-offs to a recording desktop shell.
#include "ModalAnswerer.h"
#include "WindowDriver.h"
#include "window/BitTimingPicture.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QMessageBox>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

const QString kUrl = QStringLiteral("https://www.varnholt.example/");
const char* const kReportName = "MCP2510Report.htm";
const char* const kBitmapName = "bittime.bmp";
const char* const kTempName = "temphtm.HTM";

QString InFolder(const char* name) {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(name));
}

// Removes what a test may leave in the program folder, files and blocking folders alike.
void ClearFolder() {
    for (const char* name : {kReportName, kBitmapName, kTempName}) {
        const QString path = InFolder(name);
        QDir().rmdir(path);
        QFile::remove(path);
    }
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Overwrite(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

} // namespace

class ReportButtonTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModalAnswerer> answerer;
    std::unique_ptr<RecordingShell> shell;

    // Step 3 at 16 MHz / 500 kbit/s with the 8 Tq entry (BRP-1 1) and the given segments.
    void setUp8Tq(const QWidget& window, int prop, int phase1, int phase2) {
        GoToStep3(window, QStringLiteral("16"), QStringLiteral("500"));
        QVERIFY(ChooseTq(window, QStringLiteral("8")));
        QVERIFY(SetByArrows(window, "sclPhase2", phase2));
        QVERIFY(SetByArrows(window, "sclProp", prop));
        QVERIFY(SetByArrows(window, "sclPhase1", phase1));
    }

    // The saved bitmap is the diagram the window shows, pixel for pixel.
    void checkBitmap(const QWidget& window) {
        const QImage saved(InFolder(kBitmapName));
        QVERIFY(!saved.isNull());
        const QImage& shown = Child<BitTimingPicture>(window, "pctDisplay")->image();
        QCOMPARE(saved.size(), shown.size());
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
                 shown.convertToFormat(QImage::Format_RGB32));
    }

private slots:
    void initTestCase() { qputenv("SOURCE_DATE_EPOCH", "0"); }

    void init() {
        ClearFolder();
        answerer = std::make_unique<ModalAnswerer>();
        shell = std::make_unique<RecordingShell>();
        quillon::SetDesktopShell(shell.get());
    }

    void cleanup() {
        quillon::SetDesktopShell(nullptr);
        answerer.reset();
        ClearFolder();
    }

    void reportIsWrittenAndOpened_data() {
        QTest::addColumn<int>("prop");
        QTest::addColumn<int>("phase1");
        QTest::addColumn<int>("phase2");
        QTest::addColumn<bool>("largerOf");
        QTest::addColumn<bool>("flags"); // SAM and WAKFIL
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("programmed 2/3/2")
            << 2 << 3 << 2 << false << false
            << QStringList{"b'00000001'",
                           "0x01",
                           "b'10010001'",
                           "0x91",
                           "b'0000000000000001'",
                           "0x0001",
                           "b'0000000110010001'",
                           "0x0191",
                           ">0.0 %</font>", // exact rate: no actual rate given
                           "Multiple bit sampling is off. Wakeup filter is off."};
        QTest::newRow("larger-of 1/3")
            << 1 << 3 << 3 << true << false
            << QStringList{"b'00010000'",
                           "0x10",
                           "b'00000000'",
                           "0x00",
                           "b'0000000000010000'",
                           "0x0010",
                           "Determined by greater of IPT or Phase1 ( 3 )"};
        QTest::newRow("SAM and WAKFIL 2/3/2")
            << 2 << 3 << 2 << false << true
            << QStringList{"b'11010001'",
                           "0xD1",
                           "b'01000001'",
                           "0x41",
                           "b'0100000111010001'",
                           "0x41D1",
                           "Multiple bit sampling is on. Wakeup filter is on."};
    }

    void reportIsWrittenAndOpened() {
        QFETCH(int, prop);
        QFETCH(int, phase1);
        QFETCH(int, phase2);
        QFETCH(bool, largerOf);
        QFETCH(bool, flags);
        QFETCH(QStringList, expected);

        frmMainBitTime window;
        window.show();
        RUN_CHECK(setUp8Tq(window, prop, phase1, phase2));
        if (largerOf) {
            Click(window, "optPhase2_1");
        }
        if (flags) {
            Click(window, "chkMultipleSampling");
            Click(window, "chkUseWakeUpFilter");
        }
        Click(window, "cmdGenerateReport");

        QVERIFY(answerer->seen().isEmpty());
        const QString report = QString::fromLatin1(ReadAll(InFolder(kReportName)));
        QVERIFY(!report.isEmpty());
        expected << "12:00:00 am 01/01/1970"
                 << "SRC=\"bittime.bmp\"";
        for (const QString& text : expected) {
            QVERIFY2(report.contains(text), qPrintable(text));
        }
        RUN_CHECK(checkBitmap(window));
        QCOMPARE(shell->opened, QStringList{InFolder(kReportName)});
        QVERIFY(shell->started.isEmpty());
        QVERIFY(window.cursor().shape() != Qt::WaitCursor);
    }

    void busIdleWarningComesFirst_data() {
        QTest::addColumn<QString>("osc");
        QTest::addColumn<QString>("tq");
        QTest::addColumn<int>("clocks"); // OSC1 clocks named in the warning, 0 for none

        // 500 kbit/s throughout; BRP-1 0 except for 16 MHz with 8 Tq (BRP-1 1).
        QTest::newRow("12 MHz, 12 Tq: 24 clocks") << "12"
                                                  << "12" << 24;
        QTest::newRow("13 MHz, 13 Tq: 26 clocks") << "13"
                                                  << "13" << 0;
        QTest::newRow("16 MHz, 8 Tq: 32 clocks") << "16"
                                                 << "8" << 0;
    }

    void busIdleWarningComesFirst() {
        QFETCH(QString, osc);
        QFETCH(QString, tq);
        QFETCH(int, clocks);

        // Answers the boxes itself to note whether the report existed while one was shown.
        answerer.reset();
        QVector<SeenMessage> seen;
        bool reportExistedDuringBox = false;
        QTimer probe;
        probe.setInterval(5);
        connect(&probe, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && box->isVisible()) {
                seen.push_back({box->windowTitle(), box->text(), box->icon(),
                                static_cast<int>(box->buttons().size())});
                reportExistedDuringBox =
                    reportExistedDuringBox || QFile::exists(InFolder(kReportName));
                box->done(QMessageBox::Ok);
            }
        });
        probe.start();

        frmMainBitTime window;
        window.show();
        GoToStep3(window, osc, QStringLiteral("500"));
        QVERIFY(ChooseTq(window, tq));
        Click(window, "cmdGenerateReport");

        QCOMPARE(seen.size(), clocks > 0 ? 1 : 0);
        if (clocks > 0) {
            QCOMPARE(seen.first().title, QStringLiteral("Potential Problem with settings"));
            QCOMPARE(seen.first().icon, QMessageBox::Critical);
            QCOMPARE(seen.first().buttonCount, 1);
            QVERIFY2(seen.first().text.contains(QStringLiteral(" You currently have %1 OSC1 clocks "
                                                               "and the minimum is 26.")
                                                    .arg(clocks)),
                     qPrintable(seen.first().text));
            QVERIFY(seen.first().text.contains(QStringLiteral("\"Miniumum Bus Idle Time\"")));
            QVERIFY(!reportExistedDuringBox);
        }
        // The warning stops nothing.
        QVERIFY(QFile::exists(InFolder(kReportName)));
        RUN_CHECK(checkBitmap(window));
        QCOMPARE(shell->opened, QStringList{InFolder(kReportName)});
    }

    void secondClickOverwritesBothFiles() {
        frmMainBitTime window;
        window.show();
        RUN_CHECK(setUp8Tq(window, 2, 3, 2));
        Click(window, "cmdGenerateReport");
        const QByteArray report = ReadAll(InFolder(kReportName));
        const QByteArray bitmap = ReadAll(InFolder(kBitmapName));
        QVERIFY(!report.isEmpty());
        QVERIFY(!bitmap.isEmpty());

        // Longer leftovers in both files must not survive the next report.
        RUN_CHECK(Overwrite(InFolder(kReportName), report + QByteArray(4096, 'x')));
        RUN_CHECK(Overwrite(InFolder(kBitmapName), QByteArray(bitmap.size() * 2, 'y')));
        Click(window, "cmdGenerateReport");
        QCOMPARE(ReadAll(InFolder(kReportName)), report);
        QCOMPARE(ReadAll(InFolder(kBitmapName)), bitmap);
        QCOMPARE(shell->opened.size(), 2);
        QVERIFY(answerer->seen().isEmpty());
    }

    void folderThatCannotTakeTheFiles_data() {
        QTest::addColumn<QString>("blocked"); // made a folder, so it cannot be written
        QTest::addColumn<QString>("reason");  // expected reason, empty for any
        QTest::newRow("report") << kReportName << QString::fromLocal8Bit(std::strerror(EISDIR));
        QTest::newRow("bitmap") << kBitmapName << QString();
    }

    void folderThatCannotTakeTheFiles() {
        QFETCH(QString, blocked);
        QFETCH(QString, reason);
        const QString blockedPath = InFolder(qPrintable(blocked));
        QVERIFY(QDir().mkdir(blockedPath));

        frmMainBitTime window;
        window.show();
        RUN_CHECK(setUp8Tq(window, 2, 3, 2));
        Click(window, "cmdGenerateReport");

        QCOMPARE(answerer->seen().size(), 1);
        const SeenMessage& seen = answerer->seen().first();
        QCOMPARE(seen.title, QStringLiteral("Quillon"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.buttonCount, 1);
        QVERIFY2(seen.text.contains(QStringLiteral("File: ") + blockedPath + QLatin1Char('\n')),
                 qPrintable(seen.text));
        const QString given = seen.text.section(QStringLiteral("Reason: "), 1);
        QVERIFY2(reason.isEmpty() ? !given.trimmed().isEmpty() : given == reason,
                 qPrintable(seen.text));
        QVERIFY(shell->opened.isEmpty());
        QVERIFY(window.cursor().shape() != Qt::WaitCursor);

        // Nothing is lost: once the folder is out of the way the report is written.
        QVERIFY(QDir().rmdir(blockedPath));
        answerer->clear();
        Click(window, "cmdGenerateReport");
        QVERIFY(answerer->seen().isEmpty());
        RUN_CHECK(checkBitmap(window));
        QCOMPARE(shell->opened, QStringList{InFolder(kReportName)});
    }

    void websiteLinks_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("browser");
        QTest::addColumn<bool>("startSucceeds");
        QTest::addColumn<QString>("leftover"); // "", "file" or "folder" in the temp file's place
        QTest::addColumn<bool>("problem");

        const QString fake = QStringLiteral("/usr/bin/fakebrowser");
        QTest::newRow("button, no browser") << "cmdTarsel"
                                            << "" << true << "" << true;
        QTest::newRow("link, no browser") << "Label13"
                                          << "" << true << "" << true;
        QTest::newRow("button, browser starts") << "cmdTarsel" << fake << true << "" << false;
        QTest::newRow("link, browser starts over an old file")
            << "Label13" << fake << true << "file" << false;
        QTest::newRow("button, browser does not start")
            << "cmdTarsel" << fake << false << "" << true;
        QTest::newRow("link, temp file cannot be made")
            << "Label13" << fake << true << "folder" << true;
    }

    void websiteLinks() {
        QFETCH(QString, control);
        QFETCH(QString, browser);
        QFETCH(bool, startSucceeds);
        QFETCH(QString, leftover);
        QFETCH(bool, problem);
        shell->browser = browser.toStdString();
        shell->startSucceeds = startSucceeds;
        const QString tempPath = InFolder(kTempName);
        if (leftover == QStringLiteral("file")) {
            RUN_CHECK(Overwrite(tempPath, QByteArray(1000, 'z')));
        } else if (leftover == QStringLiteral("folder")) {
            QVERIFY(QDir().mkdir(tempPath));
        }

        frmMainBitTime window;
        window.show();
        Click(window, qPrintable(control));

        const bool blocked = leftover == QStringLiteral("folder");
        if (blocked) {
            QVERIFY(shell->lookedUp.isEmpty());
            QVERIFY(shell->started.isEmpty());
        } else {
            QCOMPARE(shell->lookedUp, QStringList{tempPath});
            QCOMPARE(shell->lookedUpContent, QByteArray("\"<HTML> <\\HTML>\"\r\n"));
            QCOMPARE(shell->started.size(), browser.isEmpty() ? 0 : 1);
            if (!browser.isEmpty()) {
                QCOMPARE(shell->started.first(), (QStringList{browser, kUrl}));
            }
            QVERIFY(!QFile::exists(tempPath));
        }
        QCOMPARE(answerer->seen().size(), problem ? 1 : 0);
        if (problem) {
            const SeenMessage& seen = answerer->seen().first();
            QCOMPARE(seen.title, QStringLiteral("Problem"));
            QCOMPARE(seen.icon, QMessageBox::Information);
            QCOMPARE(seen.buttonCount, 1);
            QCOMPARE(seen.text, QStringLiteral("There was a problem launching the default "
                                               "browser.\r\n\r\nVisit the website at: ") +
                                    kUrl);
        }
        QVERIFY(shell->opened.isEmpty());
        QCOMPARE(window.step(), 0);
    }

    void rightClickOpensNothing_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("button") << "cmdTarsel";
        QTest::newRow("link") << "Label13";
    }

    void rightClickOpensNothing() {
        QFETCH(QString, control);
        shell->browser = "/usr/bin/fakebrowser";
        frmMainBitTime window;
        window.show();
        QTest::mouseClick(Child<QWidget>(window, qPrintable(control)), Qt::RightButton);
        QVERIFY(shell->lookedUp.isEmpty() && shell->started.isEmpty());
        QVERIFY(answerer->seen().isEmpty());
    }
};

QTEST_MAIN(ReportButtonTest)
#include "report_button_tests.moc"
