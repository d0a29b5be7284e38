#pragma once
// Offers the automation class on the D-Bus session bus and decides when the process ends.
// Qt alone would quit when the last window closes; an automation server must also stay for
// the clients that called it (as a COM server lives while clients hold its objects), and a
// process that the bus started for a client must not linger when no call comes. So the
// process ends once the window is gone and none of its callers is left on the bus, and a
// process started with --automation ends when no call arrives within a grace period.
#include "startup/AutomationObject.h"
#include "startup/StartMode.h"

#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

class AutomationServer : public QObject {
    Q_OBJECT

public:
    AutomationServer(start::StartMode mode, int graceMs, QObject* parent = nullptr);

    // Exports the automation object on the session bus and takes the service name. Returns
    // an empty text on success, otherwise why clients cannot reach this process.
    QString Offer();

    // Call after the start-up procedure: from now on this object decides when to quit.
    void Start();

    // The grace period of an automation start: the environment override when it holds a
    // whole number of milliseconds, otherwise the default. A value that cannot be used is
    // described in *problem.
    static int GracePeriodMs(QString* problem);

private slots:
    void OnCalled(const QString& busName);
    void OnCallerLeft(const QString& busName);
    void QuitIfUnused();

private:
    void WatchWindow();

    start::StartMode m_mode;
    AutomationObject m_automation;
    QDBusServiceWatcher m_callers;
    QTimer m_grace;
};
