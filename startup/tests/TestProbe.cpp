#include "TestProbe.h"

#include "startup/WindowInstance.h"
#include "window/CalculatorWindow.h"

#include <QApplication>
#include <QDBusConnection>
#include <QLineEdit>

bool TestProbe::Export(QObject* parent) {
    return QDBusConnection::sessionBus().registerObject(
        QLatin1String(quillon::dbus::kTestObjectPath), new TestProbe(parent),
        QDBusConnection::ExportScriptableSlots);
}

QString TestProbe::OscillatorText() const {
    return WindowInstanceExists() ? WindowInstance().oscillatorBox()->text() : QString();
}

bool TestProbe::OscillatorEnabled() const {
    return WindowInstanceExists() && WindowInstance().oscillatorBox()->isEnabled();
}

bool TestProbe::WindowVisible() const {
    return WindowInstanceExists() && WindowInstance().isVisible();
}

int TestProbe::WindowCount() const {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<CalculatorWindow*>(widget)) {
            ++count;
        }
    }
    return count;
}

int TestProbe::Step() const {
    return WindowInstanceExists() ? WindowInstance().step() : -1;
}

void TestProbe::CloseWindow() {
    if (WindowInstanceExists()) {
        WindowInstance().close();
    }
}
