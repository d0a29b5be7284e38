#include "TestProbe.h"

#include "startup/CalculatorWindow.h"
#include "window/frmMainBitTime.h"

#include <QApplication>
#include <QDBusConnection>
#include <QLineEdit>

bool TestProbe::Export(QObject* parent) {
    return QDBusConnection::sessionBus().registerObject(
        QLatin1String(quillon::bus::kTestObjectPath), new TestProbe(parent),
        QDBusConnection::ExportScriptableSlots);
}

QString TestProbe::OscillatorText() const {
    return CalculatorWindowExists() ? CalculatorWindow().oscillatorBox()->text() : QString();
}

bool TestProbe::OscillatorEnabled() const {
    return CalculatorWindowExists() && CalculatorWindow().oscillatorBox()->isEnabled();
}

bool TestProbe::WindowVisible() const {
    return CalculatorWindowExists() && CalculatorWindow().isVisible();
}

int TestProbe::WindowCount() const {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<frmMainBitTime*>(widget)) {
            ++count;
        }
    }
    return count;
}

int TestProbe::Step() const {
    return CalculatorWindowExists() ? CalculatorWindow().step() : -1;
}

void TestProbe::CloseWindow() {
    if (CalculatorWindowExists()) {
        CalculatorWindow().close();
    }
}
