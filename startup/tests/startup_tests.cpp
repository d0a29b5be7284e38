// The start modes and the automation class acting on the process's one window, in-process.
#include "startup/AutomationBus.h"
#include "startup/AutomationObject.h"
#include "startup/AutomationServer.h"
#include "startup/StartMode.h"
#include "startup/WindowInstance.h"
#include "support/ModalAnswerer.h"
#include "window/CalculatorWindow.h"

#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QtTest>

#include <cmath>

class StartupTest : public QObject {
    Q_OBJECT

    static void closeWindow() {
        if (WindowInstanceExists()) {
            WindowInstance().close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QVERIFY(!WindowInstanceExists());
    }

    static QLineEdit& Box() { return *WindowInstance().oscillatorBox(); }

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
        start::Main(start::StartModeFromArguments(arguments));
        QCOMPARE(WindowInstanceExists() && WindowInstance().isVisible(), windowShown);
    }

    void lockedFrequencyText_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("20") << QLocale::c() << 20.0 << "20";
        QTest::newRow("16.5") << QLocale::c() << 16.5 << "16.5";
        QTest::newRow("comma locale")
            << QLocale(QLocale::German, QLocale::Germany) << 16.5 << "16,5";
    }

    void lockedFrequencyText() {
        QFETCH(QLocale, locale);
        QFETCH(double, value);
        QFETCH(QString, text);
        QLocale::setDefault(locale);
        AutomationObject().ShowCalculator(true, value);
        QCOMPARE(Box().text(), text);
        QVERIFY(!Box().isEnabled());
        QVERIFY(WindowInstance().isVisible());
    }

    void unlockedCallOrNoNumberLeavesTheBox() {
        AutomationObject().ShowCalculator(false, 20);
        AutomationObject().ShowCalculator(true, std::nan(""));
        QCOMPARE(Box().text(), QStringLiteral("16"));
        QVERIFY(Box().isEnabled());
        AutomationObject().ShowCalculator(true, 20);
        AutomationObject().ShowCalculator(false, 8);
        QCOMPARE(Box().text(), QStringLiteral("20"));
        QVERIFY(!Box().isEnabled());
    }

    void callsShareOneWindowAndKeepItsStep() {
        const ModalAnswerer answerer;
        AutomationObject().ShowCalculator(false, 0);
        CalculatorWindow* window = &WindowInstance();
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdNext")),
                          Qt::LeftButton);
        AutomationObject().ShowCalculator(false, 0);
        QCOMPARE(&WindowInstance(), window);
        QCOMPARE(window->step(), 1);
    }

    void closedWindowIsLoadedAfresh() {
        AutomationObject().ShowCalculator(true, 20);
        closeWindow();
        AutomationObject().ShowCalculator(false, 0);
        QCOMPARE(Box().text(), QStringLiteral("16"));
        QVERIFY(Box().isEnabled());
        QCOMPARE(WindowInstance().step(), 0);
    }

    void gracePeriodFromTheEnvironment_data() {
        QTest::addColumn<QByteArray>("setting");
        QTest::addColumn<int>("graceMs");
        QTest::addColumn<bool>("complaint");
        QTest::newRow("unset") << QByteArray() << quillon::dbus::kDefaultGraceMs << false;
        QTest::newRow("250") << QByteArray(" 250 ") << 250 << false;
        QTest::newRow("seconds") << QByteArray("2s") << quillon::dbus::kDefaultGraceMs << true;
    }

    void gracePeriodFromTheEnvironment() {
        QFETCH(QByteArray, setting);
        QFETCH(int, graceMs);
        QFETCH(bool, complaint);
        qputenv(quillon::dbus::kGraceVariable, setting);
        QString problem;
        QCOMPARE(AutomationServer::GracePeriodMs(&problem), graceMs);
        QCOMPARE(problem.contains(QLatin1String(quillon::dbus::kGraceVariable)), complaint);
        qunsetenv(quillon::dbus::kGraceVariable);
    }
};

QTEST_MAIN(StartupTest)
#include "startup_tests.moc"
