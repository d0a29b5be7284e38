#pragma once
// The automation class: other programs open the calculator through ShowCalculator and may
// fix and lock the oscillator frequency first. It holds no state of its own; every object
// acts on the process's one window. The object offered on the session bus is one of these,
// with the adaptor generated from example.varnholt.Quillon.cvrnBitTimeUI.xml attached; the
// bus context tells it which client called, so the process can stay alive for that client.
#include <QDBusContext>
#include <QObject>
#include <QString>

class AutomationObject : public QObject, protected QDBusContext {
    Q_OBJECT

public:
    explicit AutomationObject(QObject* parent = nullptr) : QObject(parent) {}

public slots:
    // bLockFreq true: write dFreqValue (MHz) into the oscillator box in the general number
    // format and lock the box. Then show the window, or bring it forward. Returns at once.
    // A frequency to lock that is not a finite number changes nothing; a caller on the bus
    // gets org.freedesktop.DBus.Error.InvalidArgs.
    void ShowCalculator(bool bLockFreq, double dFreqValue);

signals:
    // A client on the bus called ShowCalculator; busName is its unique connection name.
    // Emitted after the window has been shown.
    void calledOverBus(const QString& busName);
};
