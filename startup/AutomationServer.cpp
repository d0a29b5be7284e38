#include "startup/AutomationServer.h"

#include "AutomationObjectAdaptor.h"
#include "startup/AutomationBus.h"
#include "startup/WindowInstance.h"
#include "window/CalculatorWindow.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>

AutomationServer::AutomationServer(start::StartMode mode, int graceMs, QObject* parent)
    : QObject(parent), m_mode(mode) {
    // The adaptor is a child of the object it serves and goes with it.
    new AutomationObjectAdaptor(&m_automation);
    connect(&m_automation, &AutomationObject::calledOverBus, this, &AutomationServer::OnCalled);

    m_callers.setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(&m_callers, &QDBusServiceWatcher::serviceUnregistered, this,
            &AutomationServer::OnCallerLeft);

    m_grace.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the grace period is a promise to the caller.
    m_grace.setTimerType(Qt::PreciseTimer);
    m_grace.setInterval(graceMs);
    connect(&m_grace, &QTimer::timeout, qApp, &QCoreApplication::quit);
}

QString AutomationServer::Offer() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return QStringLiteral("the D-Bus session bus is not available (%1)")
            .arg(bus.lastError().message());
    }
    const QString path = QLatin1String(quillon::dbus::kObjectPath);
    if (!bus.registerObject(path, &m_automation, QDBusConnection::ExportAdaptors)) {
        return QStringLiteral("the object %1 could not be exported on the session bus").arg(path);
    }
    m_callers.setConnection(bus);
    const QString service = QLatin1String(quillon::dbus::kServiceName);
    if (!bus.registerService(service)) {
        const QString reason = bus.lastError().isValid()
                                   ? bus.lastError().message()
                                   : QStringLiteral("owned by another process");
        return QStringLiteral("the bus name %1 is not free (%2)").arg(service, reason);
    }
    return {};
}

void AutomationServer::Start() {
    QGuiApplication::setQuitOnLastWindowClosed(false);
    WatchWindow();
    if (m_mode == start::StartMode::Automation) {
        m_grace.start();
    }
}

int AutomationServer::GracePeriodMs(QString* problem) {
    const QByteArray text = qgetenv(quillon::dbus::kGraceVariable).trimmed();
    if (text.isEmpty()) {
        return quillon::dbus::kDefaultGraceMs;
    }
    bool ok = false;
    const int ms = text.toInt(&ok);
    if (ok && ms >= 0) {
        return ms;
    }
    if (problem) {
        *problem =
            QStringLiteral("%1=%2 is not a whole number of milliseconds; using %3")
                .arg(QLatin1String(quillon::dbus::kGraceVariable), QString::fromLocal8Bit(text))
                .arg(quillon::dbus::kDefaultGraceMs);
    }
    return quillon::dbus::kDefaultGraceMs;
}

void AutomationServer::OnCalled(const QString& busName) {
    m_grace.stop();
    WatchWindow();
    if (busName.isEmpty() || m_callers.watchedServices().contains(busName)) {
        return;
    }
    m_callers.addWatchedService(busName);
    // A client that sent its call without waiting for the reply may have left before the
    // watch was in place; the bus answers this question only after the watch is set up.
    QDBusConnectionInterface* busDaemon = m_callers.connection().interface();
    if (!busDaemon) {
        return;
    }
    auto* check = new QDBusPendingCallWatcher(
        busDaemon->asyncCall(QStringLiteral("NameHasOwner"), busName), this);
    connect(check, &QDBusPendingCallWatcher::finished, this,
            [this, busName](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<bool> stillThere = *call;
                call->deleteLater();
                if (stillThere.isValid() && !stillThere.value()) {
                    OnCallerLeft(busName);
                }
            });
}

void AutomationServer::OnCallerLeft(const QString& busName) {
    m_callers.removeWatchedService(busName);
    QuitIfUnused();
}

void AutomationServer::QuitIfUnused() {
    if (WindowInstanceExists() || !m_callers.watchedServices().isEmpty()) {
        return;
    }
    QCoreApplication::quit();
}

void AutomationServer::WatchWindow() {
    if (!WindowInstanceExists()) {
        return;
    }
    // The window deletes itself when closed; decide after the deletion has completed.
    connect(&WindowInstance(), &QObject::destroyed, this, &AutomationServer::QuitIfUnused,
            static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::UniqueConnection));
}
