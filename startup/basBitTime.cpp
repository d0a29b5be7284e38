#include "startup/basBitTime.h"

#include "startup/AutomationBus.h"
#include "startup/CalculatorWindow.h"
#include "window/frmMainBitTime.h"

namespace basBitTime {

StartMode StartModeFromArguments(const QStringList& arguments) {
    return arguments.contains(QLatin1String(quillon::bus::kAutomationOption))
               ? StartMode::Automation
               : StartMode::Standalone;
}

void Main(StartMode mode) {
    if (mode == StartMode::Standalone) {
        CalculatorWindow().show();
    }
}

} // namespace basBitTime
