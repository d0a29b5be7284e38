// The calculator as a process on a private session bus: what a client's call does, when
// the process ends, the interface it describes, and quillon-cli reaching it. The test build
// quillon-probe shows its window through the test object at /Test; the shipped quillon
// must not offer that object.
#include "TestProbe.h"
#include "startup/AutomationBus.h"
#include "support/ProcessRunner.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QtTest>

#include <limits>
#include <memory>
#include <vector>

#include <signal.h>

namespace bus = quillon::dbus;

namespace {

constexpr int kWaitMs = 10000;
constexpr int kStaysMs = 300; // how long a process that must stay is watched
const QString kCaller = QStringLiteral("caller");
const QStringList kAutomation{QLatin1String(bus::kAutomationOption)};

QDBusConnection Bus() {
    return QDBusConnection::sessionBus();
}

bool ServiceOwned() {
    return Bus().interface()->isServiceRegistered(QLatin1String(bus::kServiceName));
}

QDBusMessage Call(const QDBusConnection& connection, const char* path, const char* interface,
                  const char* method, const QVariantList& arguments = {}, bool autoStart = false) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(QLatin1String(bus::kServiceName), QLatin1String(path),
                                       QLatin1String(interface), QLatin1String(method));
    message.setArguments(arguments);
    message.setAutoStartService(autoStart);
    return connection.call(message, QDBus::Block, kWaitMs);
}

bool ShowCalculator(const QDBusConnection& connection, bool lock, double mhz,
                    bool autoStart = false) {
    return Call(connection, bus::kObjectPath, bus::kInterface, bus::kShowCalculator, {lock, mhz},
                autoStart)
               .type() == QDBusMessage::ReplyMessage;
}

// What the test object answers; invalid when there is none.
QVariant Probe(const char* method) {
    const QDBusMessage reply = Call(Bus(), bus::kTestObjectPath, bus::kTestInterface, method);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return {};
    }
    return reply.arguments().isEmpty() ? QVariant(true) : reply.arguments().first();
}

} // namespace

class AutomationBusTest : public QObject {
    Q_OBJECT

    std::vector<std::unique_ptr<QProcess>> m_processes;

    // Starts the program and waits until it owns the service name.
    QProcess& StartServing(const QStringList& arguments, int graceMs = bus::kDefaultGraceMs,
                           const char* program = QUILLON_PROBE_BINARY) {
        m_processes.push_back(std::make_unique<QProcess>());
        QProcess& process = *m_processes.back();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QLatin1String(bus::kGraceVariable), QString::number(graceMs));
        process.setProcessEnvironment(env);
        process.start(QLatin1String(program), arguments);
        if (!QTest::qWaitFor(ServiceOwned, kWaitMs)) {
            qWarning("no bus name: %s", process.readAllStandardError().constData());
        }
        return process;
    }

    static bool Ends(QProcess& process) {
        return process.waitForFinished(kWaitMs) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

    static bool Stays(QProcess& process) { return !process.waitForFinished(kStaysMs); }

private slots:
    void init() {
        QVERIFY(QTest::qWaitFor([] { return !ServiceOwned(); }, kWaitMs));
    }

    void cleanup() {
        QDBusConnection::disconnectFromBus(kCaller);
        // A program the bus started for a call is no child of ours.
        const QDBusReply<uint> owner =
            Bus().interface()->servicePid(QLatin1String(bus::kServiceName));
        bool started = owner.isValid();
        for (const std::unique_ptr<QProcess>& process : m_processes) {
            started = started && process->processId() != owner.value();
            process->kill();
            process->waitForFinished();
        }
        m_processes.clear();
        if (started) {
            ::kill(static_cast<pid_t>(owner.value()), SIGKILL);
        }
    }

    // The bus starts the program for the call through its activation file.
    void callSetsAndLocksTheBox() {
        QVERIFY(ShowCalculator(Bus(), true, 20, true));
        QCOMPARE(Probe("OscillatorText"), QVariant(QStringLiteral("20")));
        QCOMPARE(Probe("OscillatorEnabled"), QVariant(false));
        QCOMPARE(Probe("WindowVisible"), QVariant(true));
        QCOMPARE(Probe("Step"), QVariant(0));
    }

    // A frequency that is no number is refused with the standard error and changes nothing.
    void lockWithoutANumberIsRefused() {
        StartServing(kAutomation);
        const QDBusMessage reply =
            Call(Bus(), bus::kObjectPath, bus::kInterface, bus::kShowCalculator,
                 {true, std::numeric_limits<double>::quiet_NaN()});
        QCOMPARE(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
        QCOMPARE(Probe("WindowCount"), QVariant(0));
    }

    void twoClientsShareOneWindow() {
        StartServing(kAutomation);
        QVERIFY(ShowCalculator(Bus(), true, 20));
        QVERIFY(ShowCalculator(QDBusConnection::connectToBus(QDBusConnection::SessionBus, kCaller),
                               false, 8));
        QCOMPARE(Probe("WindowCount"), QVariant(1));
        QCOMPARE(Probe("OscillatorText"), QVariant(QStringLiteral("20")));
    }

    void automationStartWithoutCallEndsAfterTheGracePeriod() {
        QElapsedTimer clock;
        clock.start();
        QProcess& quillon = StartServing(kAutomation, 400);
        QCOMPARE(Probe("WindowCount"), QVariant(0));
        QVERIFY(Ends(quillon));
        QVERIFY(clock.elapsed() >= 400);
    }

    void endsWhenWindowAndCallersAreGone_data() {
        QTest::addColumn<bool>("withCaller");
        QTest::newRow("user start, window closed") << false;
        QTest::newRow("window closed, then the caller leaves") << true;
    }

    void endsWhenWindowAndCallersAreGone() {
        QFETCH(bool, withCaller);
        QProcess& quillon = StartServing(withCaller ? kAutomation : QStringList{});
        if (withCaller) {
            QVERIFY(ShowCalculator(
                QDBusConnection::connectToBus(QDBusConnection::SessionBus, kCaller), true, 20));
        }
        QVERIFY(Probe("CloseWindow").isValid());
        if (withCaller) {
            QVERIFY(Stays(quillon));
            QCOMPARE(Probe("WindowCount"), QVariant(0));
            QDBusConnection::disconnectFromBus(kCaller);
        }
        QVERIFY(Ends(quillon));
    }

    void shippedProgramDescribesItsInterfaceAndNoTestObject() {
        StartServing(kAutomation, bus::kDefaultGraceMs, QUILLON_BINARY);
        const QDBusMessage reply =
            Call(Bus(), bus::kObjectPath, "org.freedesktop.DBus.Introspectable", "Introspect");
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        const QString xml = reply.arguments().value(0).toString().simplified();
        QVERIFY2(xml.contains(
                     QStringLiteral("<interface name=\"%1\"> <method name=\"%2\"> "
                                    "<arg direction=\"in\" type=\"b\" name=\"bLockFreq\"/> "
                                    "<arg direction=\"in\" type=\"d\" name=\"dFreqValue\"/> "
                                    "</method> </interface>")
                         .arg(QLatin1String(bus::kInterface), QLatin1String(bus::kShowCalculator))),
                 qPrintable(xml));
        QVERIFY(ShowCalculator(Bus(), true, 20));
        QVERIFY(!Probe("WindowCount").isValid());
        const QString root = Call(Bus(), "/", "org.freedesktop.DBus.Introspectable", "Introspect")
                                 .arguments()
                                 .value(0)
                                 .toString();
        QVERIFY2(!root.contains(QStringLiteral("<node name=\"Test\"")), qPrintable(root));
    }

    void cliReachesTheRunningCalculator() {
        StartServing(kAutomation);
        const ProcessRun cli =
            RunProcess(QStringLiteral(QUILLON_CLI_BINARY), {"show", "--lock-frequency", "20"});
        QVERIFY2(cli.status == 0, cli.err.constData());
        QCOMPARE(Probe("OscillatorText"), QVariant(QStringLiteral("20")));
        QCOMPARE(Probe("OscillatorEnabled"), QVariant(false));
        QCOMPARE(Probe("WindowCount"), QVariant(1));
    }
};

QTEST_GUILESS_MAIN(AutomationBusTest)
#include "automation_bus_tests.moc"
