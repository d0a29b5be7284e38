#include "startup/TestIntrospection.h"

#include "startup/AutomationBus.h"
#include "startup/CalculatorWindow.h"
#include "window/frmMainBitTime.h"

#include <QApplication>
#include <QDBusConnection>
#include <QLineEdit>

bool TestIntrospection::ExportIfEnabled(QObject* parent) {
    if (qgetenv(quillon::bus::kTestIntrospectionVariable) != "1") {
        return true;
    }
    return QDBusConnection::sessionBus().registerObject(
        QLatin1String(quillon::bus::kTestObjectPath), new TestIntrospection(parent),
        QDBusConnection::ExportScriptableSlots);
}

QString TestIntrospection::OscillatorText() const {
    return CalculatorWindowExists() ? CalculatorWindow().oscillatorBox()->text() : QString();
}

bool TestIntrospection::OscillatorEnabled() const {
    return CalculatorWindowExists() && CalculatorWindow().oscillatorBox()->isEnabled();
}

bool TestIntrospection::WindowVisible() const {
    return CalculatorWindowExists() && CalculatorWindow().isVisible();
}

int TestIntrospection::WindowCount() const {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<frmMainBitTime*>(widget)) {
            ++count;
        }
    }
    return count;
}

int TestIntrospection::Step() const {
    return CalculatorWindowExists() ? CalculatorWindow().step() : -1;
}

void TestIntrospection::CloseWindow() {
    if (CalculatorWindowExists()) {
        CalculatorWindow().close();
    }
}
