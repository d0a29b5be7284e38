#include "startup/CalculatorWindow.h"

#include "window/frmMainBitTime.h"

#include <QPointer>

namespace {

QPointer<frmMainBitTime>& WindowSlot() {
    static QPointer<frmMainBitTime> window;
    return window;
}

} // namespace

frmMainBitTime& CalculatorWindow() {
    QPointer<frmMainBitTime>& slot = WindowSlot();
    if (slot.isNull()) {
        slot = new frmMainBitTime;
        // Closing the window unloads it; the next use loads a fresh one at step 1.
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    return *slot;
}

bool CalculatorWindowExists() {
    return !WindowSlot().isNull();
}
