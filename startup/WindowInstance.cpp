#include "startup/WindowInstance.h"

#include "window/CalculatorWindow.h"

#include <QPointer>

namespace {

QPointer<CalculatorWindow>& WindowSlot() {
    static QPointer<CalculatorWindow> window;
    return window;
}

} // namespace

CalculatorWindow& WindowInstance() {
    QPointer<CalculatorWindow>& slot = WindowSlot();
    if (slot.isNull()) {
        slot = new CalculatorWindow;
        // Closing the window unloads it; the next use loads a fresh one at step 1.
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    return *slot;
}

bool WindowInstanceExists() {
    return !WindowSlot().isNull();
}
