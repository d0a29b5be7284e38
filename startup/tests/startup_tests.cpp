// The automation class acting on the one window of the process, in-process.
#include "ModalAnswerer.h"
#include "startup/AutomationBus.h"
#include "startup/AutomationServer.h"
#include "startup/CalculatorWindow.h"
#include "startup/basBitTime.h"
#include "startup/cvrnBitTimeUI.h"
#include "window/frmMainBitTime.h"

#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QtTest>

class StartupTest : public QObject {
    Q_OBJECT

private:
    static void closeWindow() {
        if (CalculatorWindowExists()) {
            CalculatorWindow().close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QVERIFY(!CalculatorWindowExists());
    }

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { closeWindow(); }

    void startModes_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("windowShown");
        QTest::newRow("user") << QStringList{"quillon"} << true;
        QTest::newRow("automation") << QStringList{"quillon", "--automation"} << false;
    }

    void startModes() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, windowShown);
        basBitTime::Main(basBitTime::StartModeFromArguments(arguments));
        QCOMPARE(CalculatorWindowExists() && CalculatorWindow().isVisible(), windowShown);
    }

    void lockedFrequencyText_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("20") << QLocale::c() << 20.0 << "20";
        QTest::newRow("16.5") << QLocale::c() << 16.5 << "16.5";
        QTest::newRow("0") << QLocale::c() << 0.0 << "0";
        QTest::newRow("third") << QLocale::c() << 1.0 / 3.0 << "0.333333333333333";
        QTest::newRow("comma") << QLocale(QLocale::German, QLocale::Germany) << 16.5 << "16,5";
    }

    void lockedFrequencyText() {
        QFETCH(QLocale, locale);
        QFETCH(double, value);
        QFETCH(QString, text);
        QLocale::setDefault(locale);
        cvrnBitTimeUI().ShowCalculator(true, value);
        QLineEdit* box = CalculatorWindow().oscillatorBox();
        QCOMPARE(box->text(), text);
        QVERIFY(!box->isEnabled());
        QVERIFY(CalculatorWindow().isVisible());
    }

    void unlockedCallLeavesTheBoxAlone() {
        cvrnBitTimeUI().ShowCalculator(false, 20);
        QCOMPARE(CalculatorWindow().oscillatorBox()->text(), QStringLiteral("16"));
        QVERIFY(CalculatorWindow().oscillatorBox()->isEnabled());

        cvrnBitTimeUI().ShowCalculator(true, 20);
        cvrnBitTimeUI().ShowCalculator(false, 8);
        QCOMPARE(CalculatorWindow().oscillatorBox()->text(), QStringLiteral("20"));
        QVERIFY(!CalculatorWindow().oscillatorBox()->isEnabled());
    }

    void callsShareOneWindowAndKeepItsStep() {
        ModalAnswerer answerer;
        cvrnBitTimeUI first;
        cvrnBitTimeUI second;
        first.ShowCalculator(false, 0);
        frmMainBitTime* window = &CalculatorWindow();
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdNext")),
                          Qt::LeftButton);
        second.ShowCalculator(false, 0);
        QCOMPARE(&CalculatorWindow(), window);
        QCOMPARE(window->step(), 1);
        QVERIFY(answerer.seen().isEmpty());
    }

    void gracePeriodFromEnvironment_data() {
        QTest::addColumn<QByteArray>("setting");
        QTest::addColumn<int>("graceMs");
        QTest::addColumn<bool>("complaint");
        QTest::newRow("unset") << QByteArray() << quillon::bus::kDefaultGraceMs << false;
        QTest::newRow("250") << QByteArray("250") << 250 << false;
        QTest::newRow("blanks around") << QByteArray(" 40 ") << 40 << false;
        QTest::newRow("0") << QByteArray("0") << 0 << false;
        QTest::newRow("negative") << QByteArray("-5") << quillon::bus::kDefaultGraceMs << true;
        QTest::newRow("seconds") << QByteArray("2s") << quillon::bus::kDefaultGraceMs << true;
        QTest::newRow("too large")
            << QByteArray("99999999999") << quillon::bus::kDefaultGraceMs << true;
    }

    void gracePeriodFromEnvironment() {
        QFETCH(QByteArray, setting);
        QFETCH(int, graceMs);
        QFETCH(bool, complaint);
        if (setting.isNull()) {
            qunsetenv(quillon::bus::kGraceVariable);
        } else {
            qputenv(quillon::bus::kGraceVariable, setting);
        }
        QString problem;
        QCOMPARE(AutomationServer::GracePeriodMs(&problem), graceMs);
        QCOMPARE(problem.contains(QLatin1String(quillon::bus::kGraceVariable)), complaint);
        qunsetenv(quillon::bus::kGraceVariable);
    }

    void closedWindowIsLoadedAfresh() {
        cvrnBitTimeUI().ShowCalculator(true, 20);
        closeWindow();
        cvrnBitTimeUI().ShowCalculator(false, 0);
        QCOMPARE(CalculatorWindow().oscillatorBox()->text(), QStringLiteral("16"));
        QVERIFY(CalculatorWindow().oscillatorBox()->isEnabled());
        QCOMPARE(CalculatorWindow().step(), 0);
    }
};

QTEST_MAIN(StartupTest)
#include "startup_tests.moc"
