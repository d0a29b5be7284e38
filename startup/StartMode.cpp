#include "startup/StartMode.h"

#include "startup/AutomationBus.h"
#include "startup/WindowInstance.h"
#include "window/CalculatorWindow.h"

namespace start {

StartMode StartModeFromArguments(const QStringList& arguments) {
    return arguments.contains(QLatin1String(quillon::dbus::kAutomationOption))
               ? StartMode::Automation
               : StartMode::Standalone;
}

void Main(StartMode mode) {
    if (mode == StartMode::Standalone) {
        WindowInstance().show();
    }
}

} // namespace start
