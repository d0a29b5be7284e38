#pragma once
// Test hook: a read-only view of the window for the tests that drive the real program over
// the bus, plus a way to close the window as a user would. Only the test build of the
// program (quillon-probe) offers it, at /Test; the shipped program does not contain it.
// Every method leaves a missing window missing.
#include <QObject>
#include <QString>

namespace quillon::dbus {
inline constexpr char kTestObjectPath[] = "/Test";
inline constexpr char kTestInterface[] = "example.varnholt.Quillon.Test";
} // namespace quillon::dbus

class TestProbe : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "example.varnholt.Quillon.Test")

public:
    using QObject::QObject;

    // Exports an object of this class on the session bus; false when that fails.
    static bool Export(QObject* parent);

public slots:
    Q_SCRIPTABLE QString OscillatorText() const;
    Q_SCRIPTABLE bool OscillatorEnabled() const;
    Q_SCRIPTABLE bool WindowVisible() const;
    // Calculator windows alive in the process.
    Q_SCRIPTABLE int WindowCount() const;
    // The window's step, 0 for step 1; -1 without a window.
    Q_SCRIPTABLE int Step() const;
    Q_SCRIPTABLE void CloseWindow();
};
