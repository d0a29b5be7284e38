#include "startup/AutomationObject.h"

#include "startup/WindowInstance.h"
#include "timing/common/NumberFormat.h"
#include "window/CalculatorWindow.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QLineEdit>
#include <QLocale>

#include <cmath>

void AutomationObject::ShowCalculator(bool bLockFreq, double dFreqValue) {
    if (bLockFreq && !std::isfinite(dFreqValue)) {
        // A frequency that is no number would land in the box as "0" and be taken for one;
        // the caller is told instead, and the window stays as it was.
        if (calledFromDBus()) {
            sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("dFreqValue must be a finite number of MHz to lock "
                                          "the oscillator box"));
        }
        return;
    }
    if (bLockFreq) {
        QLineEdit* box = WindowInstance().oscillatorBox();
        const std::string separator = QLocale().decimalPoint().toStdString();
        box->setText(QString::fromStdString(quillon::FormatGeneralNumber(dFreqValue, separator)));
        box->setEnabled(false);
    }
    CalculatorWindow& window = WindowInstance();
    window.show();
    window.raise();
    window.activateWindow();
    if (calledFromDBus()) {
        emit calledOverBus(message().service());
    }
}
