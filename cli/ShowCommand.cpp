#include "cli/ShowCommand.h"

#include "startup/AutomationBus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QString>

namespace quillon::cli {

namespace {

// Long enough for the bus to start the program on demand.
constexpr int kCallTimeoutMs = 20000;

CommandOutput Fail(const std::string& what) {
    return Refusal(kExitRefused, InfoOf(Command::Show).name, what);
}

} // namespace

CommandOutput RunShow(const Request& request) {
    int argc = 1;
    char name[] = "quillon-cli";
    char* argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);

    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return Fail("no D-Bus session bus is available (" +
                    bus.lastError().message().toStdString() +
                    "); run it inside a desktop session, or start the calculator with 'quillon'");
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(dbus::kServiceName), QLatin1String(dbus::kObjectPath),
        QLatin1String(dbus::kInterface), QLatin1String(dbus::kShowCalculator));
    call << request.lockFrequencyMHz.has_value() << request.lockFrequencyMHz.value_or(0.0);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        std::string what =
            "the calculator did not take the call (" + reply.errorMessage().toStdString() + ")";
        if (reply.errorName() == QDBusError::errorString(QDBusError::ServiceUnknown)) {
            what += "; start 'quillon' first, or install its D-Bus activation file";
        }
        return Fail(what);
    }
    return CommandOutput{};
}

} // namespace quillon::cli
