// The real program and quillon-cli on a private session bus: a client's calls, the two
// start modes, when the process ends, bus failures and activation. The window is observed
// through the test introspection object the program offers when asked to by the environment.
#include "startup/AutomationBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>
#include <vector>

#include <signal.h>
#include <sys/types.h>

namespace bus = quillon::bus;

namespace {

constexpr int kWaitMs = 10000;
// How long a process that must stay alive is watched for an unwanted exit.
constexpr int kStaysMs = 300;
const QString kNoBus = QStringLiteral("unix:path=/nonexistent/quillon-test-bus");
// Connection names of the extra clients, which leave the bus by closing their connection.
const QString kCaller = QStringLiteral("caller");
const QString kOtherCaller = QStringLiteral("other caller");

QString Service() {
    return QLatin1String(bus::kServiceName);
}

QDBusConnection Bus() {
    return QDBusConnection::sessionBus();
}

bool ServiceOwned() {
    return Bus().interface()->isServiceRegistered(Service());
}

QProcessEnvironment QuillonEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QLatin1String(bus::kTestProbeVariable), QStringLiteral("1"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.remove(QLatin1String(bus::kGraceVariable));
    return env;
}

// A call that reaches a running process only: the tests decide themselves when the bus may
// start the program.
QDBusMessage Call(const QDBusConnection& connection, const QString& destination, const char* path,
                  const char* interface, const char* method, const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        destination, QLatin1String(path), QLatin1String(interface), QLatin1String(method));
    message.setArguments(arguments);
    message.setAutoStartService(false);
    return connection.call(message, QDBus::Block, kWaitMs);
}

bool ShowCalculator(const QDBusConnection& connection, bool bLockFreq, double dFreqValue) {
    const QDBusMessage reply = Call(connection, Service(), bus::kObjectPath, bus::kInterface,
                                    bus::kShowCalculator, {bLockFreq, dFreqValue});
    return reply.type() == QDBusMessage::ReplyMessage;
}

// What the test introspection object of `destination` answers; invalid when it does not.
QVariant Probe(const char* method, const QString& destination = Service()) {
    const QDBusMessage reply =
        Call(Bus(), destination, bus::kTestObjectPath, bus::kTestInterface, method);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return {};
    }
    return reply.arguments().isEmpty() ? QVariant(true) : reply.arguments().first();
}

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

CliResult RunCli(const QStringList& arguments,
                 const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess cli;
    cli.setProcessEnvironment(env);
    cli.start(QStringLiteral(QUILLON_CLI_BINARY), QStringList{QStringLiteral("show")} + arguments);
    if (!cli.waitForFinished(2 * kWaitMs)) {
        cli.kill();
        cli.waitForFinished();
        return {};
    }
    return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
            QString::fromLocal8Bit(cli.readAllStandardOutput()),
            QString::fromLocal8Bit(cli.readAllStandardError())};
}

} // namespace

class AutomationBusTest : public QObject {
    Q_OBJECT

private:
    std::vector<std::unique_ptr<QProcess>> m_processes;

    QProcess& Start(const QStringList& arguments,
                    const QProcessEnvironment& env = QuillonEnvironment()) {
        m_processes.push_back(std::make_unique<QProcess>());
        QProcess& process = *m_processes.back();
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(QUILLON_BINARY), arguments);
        return process;
    }

    // Starts the program and waits until it offers the service.
    QProcess& StartServing(const QStringList& arguments,
                           const QProcessEnvironment& env = QuillonEnvironment()) {
        QProcess& process = Start(arguments, env);
        if (!QTest::qWaitFor(ServiceOwned, kWaitMs)) {
            qWarning("quillon did not take the bus name: %s",
                     process.readAllStandardError().constData());
        }
        return process;
    }

    static bool Ends(QProcess& process) {
        return process.waitForFinished(kWaitMs) && process.exitStatus() == QProcess::NormalExit;
    }

    static bool StaysAlive(QProcess& process) {
        return !process.waitForFinished(kStaysMs) && process.state() == QProcess::Running;
    }

    static QString ReadUntilStderrHas(QProcess& process, const QString& text) {
        QString seen;
        (void)QTest::qWaitFor(
            [&] {
                seen += QString::fromLocal8Bit(process.readAllStandardError());
                return seen.contains(text) || process.state() == QProcess::NotRunning;
            },
            kWaitMs);
        return seen + QString::fromLocal8Bit(process.readAllStandardError());
    }

    // A second client with a bus connection of its own, which it can leave.
    static QDBusConnection ConnectCaller(const QString& name) {
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    }

private slots:
    void init() {
        QVERIFY(QTest::qWaitFor([] { return !ServiceOwned(); }, kWaitMs));
    }

    void cleanup() {
        QDBusConnection::disconnectFromBus(kCaller);
        QDBusConnection::disconnectFromBus(kOtherCaller);
        for (const std::unique_ptr<QProcess>& process : m_processes) {
            process->kill();
            process->waitForFinished();
        }
        m_processes.clear();
        if (QTest::qWaitFor([] { return !ServiceOwned(); }, kStaysMs)) {
            return;
        }
        // A program the bus started for the command-line client is no child of ours.
        const QDBusReply<uint> pid = Bus().interface()->servicePid(Service());
        if (pid.isValid()) {
            ::kill(static_cast<pid_t>(pid.value()), SIGKILL);
        }
        QVERIFY(QTest::qWaitFor([] { return !ServiceOwned(); }, kWaitMs));
    }

    void callSetsTheOscillatorBox_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QList<bool>>("locks");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("lock 20") << "C" << QList<bool>{true} << QList<double>{20} << "20" << false;
        QTest::newRow("lock 16.5")
            << "C" << QList<bool>{true} << QList<double>{16.5} << "16.5" << false;
        QTest::newRow("lock 0") << "C" << QList<bool>{true} << QList<double>{0} << "0" << false;
        QTest::newRow("no lock ignores 20")
            << "C" << QList<bool>{false} << QList<double>{20} << "16" << true;
        QTest::newRow("lock 20, then no lock 8")
            << "C" << QList<bool>{true, false} << QList<double>{20, 8} << "20" << false;
        QTest::newRow("comma locale")
            << "de_DE.UTF-8" << QList<bool>{true} << QList<double>{16.5} << "16,5" << false;
    }

    void callSetsTheOscillatorBox() {
        QFETCH(QString, locale);
        QFETCH(QList<bool>, locks);
        QFETCH(QList<double>, values);
        QFETCH(QString, text);
        QFETCH(bool, enabled);
        QProcessEnvironment env = QuillonEnvironment();
        env.insert(QStringLiteral("LC_ALL"), locale);
        StartServing({QLatin1String(bus::kAutomationOption)}, env);
        for (int i = 0; i < locks.size(); ++i) {
            QVERIFY(ShowCalculator(Bus(), locks[i], values[i]));
        }
        QCOMPARE(Probe("OscillatorText"), QVariant(text));
        QCOMPARE(Probe("OscillatorEnabled"), QVariant(enabled));
        QCOMPARE(Probe("WindowVisible"), QVariant(true));
        QCOMPARE(Probe("Step"), QVariant(0));
    }

    void callsFromTwoClientsShareOneWindow() {
        StartServing({QLatin1String(bus::kAutomationOption)});
        QVERIFY(ShowCalculator(Bus(), true, 20));
        {
            const QDBusConnection other = ConnectCaller(kOtherCaller);
            QVERIFY(ShowCalculator(other, false, 0));
        }
        QDBusConnection::disconnectFromBus(kOtherCaller);
        QCOMPARE(Probe("WindowCount"), QVariant(1));
        QCOMPARE(Probe("WindowVisible"), QVariant(true));
        QCOMPARE(Probe("OscillatorText"), QVariant(QStringLiteral("20")));
    }

    void startModes_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("windowsAtStart");
        QTest::newRow("user") << QStringList{} << 1;
        QTest::newRow("automation") << QStringList{QLatin1String(bus::kAutomationOption)} << 0;
    }

    void startModes() {
        QFETCH(QStringList, arguments);
        QFETCH(int, windowsAtStart);
        StartServing(arguments);
        QCOMPARE(Probe("WindowCount"), QVariant(windowsAtStart));
        QCOMPARE(Probe("WindowVisible"), QVariant(windowsAtStart == 1));
        if (windowsAtStart == 1) {
            QCOMPARE(Probe("Step"), QVariant(0));
            QCOMPARE(Probe("OscillatorText"), QVariant(QStringLiteral("16")));
            QCOMPARE(Probe("OscillatorEnabled"), QVariant(true));
        }
        // A later client reaches the window that is open, or opens the first one.
        QVERIFY(ShowCalculator(Bus(), true, 20));
        QCOMPARE(Probe("WindowCount"), QVariant(1));
        QCOMPARE(Probe("OscillatorText"), QVariant(QStringLiteral("20")));
    }

    void automationStartWithoutCallEndsAfterGracePeriod() {
        constexpr int kGraceMs = 400;
        QProcessEnvironment env = QuillonEnvironment();
        env.insert(QLatin1String(bus::kGraceVariable), QString::number(kGraceMs));
        QElapsedTimer clock;
        clock.start();
        QProcess& quillon = StartServing({QLatin1String(bus::kAutomationOption)}, env);
        QCOMPARE(Probe("WindowCount"), QVariant(0));
        QVERIFY(Ends(quillon));
        QCOMPARE(quillon.exitCode(), 0);
        QVERIFY(clock.elapsed() >= kGraceMs);
    }

    void processEndsWhenWindowAndCallersAreGone_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("withCaller");
        QTest::addColumn<bool>("callerLeavesFirst");
        QTest::newRow("user start, no caller") << QStringList{} << false << false;
        QTest::newRow("window closed while the caller stays")
            << QStringList{QLatin1String(bus::kAutomationOption)} << true << false;
        QTest::newRow("caller leaves while the window stays")
            << QStringList{QLatin1String(bus::kAutomationOption)} << true << true;
        QTest::newRow("user start, window closed while a caller stays")
            << QStringList{} << true << false;
    }

    void processEndsWhenWindowAndCallersAreGone() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, withCaller);
        QFETCH(bool, callerLeavesFirst);
        QProcess& quillon = StartServing(arguments);
        if (withCaller) {
            QVERIFY(ShowCalculator(ConnectCaller(kCaller), true, 20));
        }
        if (callerLeavesFirst) {
            QDBusConnection::disconnectFromBus(kCaller);
            QVERIFY(StaysAlive(quillon));
            QCOMPARE(Probe("WindowVisible"), QVariant(true));
        }
        QVERIFY(Probe("CloseWindow").isValid());
        if (withCaller && !callerLeavesFirst) {
            QVERIFY(StaysAlive(quillon));
            QCOMPARE(Probe("WindowCount"), QVariant(0));
            // The caller comes back to a window loaded anew.
            QVERIFY(ShowCalculator(ConnectCaller(kCaller), false, 8));
            QCOMPARE(Probe("OscillatorText"), QVariant(QStringLiteral("16")));
            QCOMPARE(Probe("OscillatorEnabled"), QVariant(true));
            QVERIFY(Probe("CloseWindow").isValid());
            QVERIFY(StaysAlive(quillon));
            QDBusConnection::disconnectFromBus(kCaller);
        }
        QVERIFY(Ends(quillon));
        QCOMPARE(quillon.exitCode(), 0);
    }

    void busFailures_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("nameTaken");
        QTest::addColumn<bool>("keepsRunning");
        QTest::addColumn<QString>("message");
        const QStringList automation{QLatin1String(bus::kAutomationOption)};
        QTest::newRow("user start, no bus")
            << QStringList{} << false << true << "session bus is not available";
        QTest::newRow("automation start, no bus")
            << automation << false << false << "session bus is not available";
        QTest::newRow("user start, name taken")
            << QStringList{} << true << true << QString(Service()) + " is not free";
        QTest::newRow("automation start, name taken")
            << automation << true << false << QString(Service()) + " is not free";
    }

    void busFailures() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, nameTaken);
        QFETCH(bool, keepsRunning);
        QFETCH(QString, message);
        QProcessEnvironment env = QuillonEnvironment();
        if (nameTaken) {
            StartServing({QLatin1String(bus::kAutomationOption)});
        } else {
            env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), kNoBus);
        }
        QProcess& quillon = Start(arguments, env);
        const QString diagnostics = ReadUntilStderrHas(quillon, message);
        // One clear line of the program's own.
        const QStringList lines = diagnostics.split('\n').filter(message);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().startsWith(QStringLiteral("quillon: ")), qPrintable(diagnostics));
        if (!keepsRunning) {
            QVERIFY(Ends(quillon));
            QCOMPARE(quillon.exitCode(), 1);
            return;
        }
        QVERIFY(StaysAlive(quillon));
        if (nameTaken) {
            // Its window is open all the same, reachable under its own connection name.
            QString ownName;
            for (const QString& name : Bus().interface()->registeredServiceNames().value()) {
                if (name.startsWith(':') &&
                    Bus().interface()->servicePid(name).value() == quillon.processId()) {
                    ownName = name;
                }
            }
            QVERIFY(!ownName.isEmpty());
            QCOMPARE(Probe("WindowVisible", ownName), QVariant(true));
        }
    }

    void interfaceIsDescribedOnTheBus() {
        QProcessEnvironment env = QuillonEnvironment();
        env.remove(QLatin1String(bus::kTestProbeVariable));
        StartServing({QLatin1String(bus::kAutomationOption)}, env);
        const QDBusMessage reply = Call(Bus(), Service(), bus::kObjectPath,
                                        "org.freedesktop.DBus.Introspectable", "Introspect");
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QStringList arguments;
        QString interface;
        QString method;
        QXmlStreamReader xml(reply.arguments().value(0).toString());
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("interface")) {
                interface.clear();
            }
            if (token != QXmlStreamReader::StartElement) {
                continue;
            }
            const auto attribute = [&](const char* name) {
                return xml.attributes().value(QLatin1String(name)).toString();
            };
            if (xml.name() == QLatin1String("interface")) {
                interface = attribute("name");
            } else if (xml.name() == QLatin1String("method") &&
                       interface == QLatin1String(bus::kInterface)) {
                method = attribute("name");
            } else if (xml.name() == QLatin1String("arg") &&
                       interface == QLatin1String(bus::kInterface)) {
                arguments << attribute("type") + ' ' + attribute("name") + ' ' +
                                 attribute("direction");
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(method, QLatin1String(bus::kShowCalculator));
        QCOMPARE(arguments, (QStringList{"b bLockFreq in", "d dFreqValue in"}));
        // The test hook is absent from a normal start.
        QVERIFY(!Probe("WindowCount").isValid());
    }

    void cliShowsTheRunningCalculator() {
        StartServing({QLatin1String(bus::kAutomationOption)});
        CliResult result = RunCli({QStringLiteral("--lock-frequency"), QStringLiteral("20")});
        QVERIFY2(result.exitCode == 0, qPrintable(result.err));
        QCOMPARE(Probe("OscillatorText"), QVariant(QStringLiteral("20")));
        QCOMPARE(Probe("OscillatorEnabled"), QVariant(false));
        result = RunCli({});
        QVERIFY2(result.exitCode == 0, qPrintable(result.err));
        QCOMPARE(Probe("WindowCount"), QVariant(1));
        QCOMPARE(Probe("OscillatorText"), QVariant(QStringLiteral("20")));
    }

    void cliStartsTheCalculatorThroughTheBus() {
        const CliResult result = RunCli({QStringLiteral("--lock-frequency=16.5MHz")});
        QVERIFY2(result.exitCode == 0, qPrintable(result.err));
        QVERIFY(ServiceOwned());
        QCOMPARE(Probe("OscillatorText"), QVariant(QStringLiteral("16.5")));
        QCOMPARE(Probe("OscillatorEnabled"), QVariant(false));
        // The client has left; closing the window ends the program the bus started.
        QVERIFY(Probe("CloseWindow").isValid());
        QVERIFY(QTest::qWaitFor([] { return !ServiceOwned(); }, kWaitMs));
    }

    void cliRefusesBadArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        QTest::newRow("value missing") << QStringList{"--lock-frequency"} << "--lock-frequency";
        QTest::newRow("option as value")
            << QStringList{"--lock-frequency", "--help"} << "--lock-frequency";
        QTest::newRow("no number") << QStringList{"--lock-frequency", "fast"} << "'fast'";
        QTest::newRow("unknown option") << QStringList{"--frequency", "20"} << "--frequency";
        QTest::newRow("stray argument") << QStringList{"20"} << "20";
        QTest::newRow("given twice")
            << QStringList{"--lock-frequency=1", "--lock-frequency=2"} << "more than once";
    }

    void cliRefusesBadArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        const CliResult result = RunCli(arguments);
        QCOMPARE(result.exitCode, 2);
        QCOMPARE(result.err.count('\n'), 1);
        QVERIFY2(result.err.startsWith(QStringLiteral("quillon-cli: ")), qPrintable(result.err));
        QVERIFY2(result.err.contains(named), qPrintable(result.err));
        QVERIFY(!ServiceOwned());
    }

    void cliWithoutSessionBus() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), kNoBus);
        const CliResult result = RunCli({}, env);
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains(QStringLiteral("no D-Bus session bus")),
                 qPrintable(result.err));
    }

    void installedServiceFileStartsTheProgramForAClient() {
        QFile file(QStringLiteral(QUILLON_SERVICE_FILE));
        QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(file.fileName()));
        const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), QStringLiteral("[D-BUS Service]"));
        QCOMPARE(lines.value(1), QStringLiteral("Name=") + Service());
        const QString exec = lines.value(2);
        QVERIFY2(exec.startsWith(QStringLiteral("Exec=/")), qPrintable(exec));
        QVERIFY2(
            exec.endsWith(QStringLiteral("/bin/quillon ") + QLatin1String(bus::kAutomationOption)),
            qPrintable(exec));
    }
};

QTEST_GUILESS_MAIN(AutomationBusTest)
#include "automation_bus_tests.moc"
