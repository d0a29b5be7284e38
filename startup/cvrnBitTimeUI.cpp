#include "startup/cvrnBitTimeUI.h"

#include "startup/CalculatorWindow.h"
#include "timing/NumberFormat.h"
#include "window/frmMainBitTime.h"

#include <QDBusMessage>
#include <QLineEdit>
#include <QLocale>

void cvrnBitTimeUI::ShowCalculator(bool bLockFreq, double dFreqValue) {
    if (bLockFreq) {
        QLineEdit* box = CalculatorWindow().oscillatorBox();
        const std::string separator = QLocale().decimalPoint().toStdString();
        box->setText(QString::fromStdString(quillon::FormatGeneralNumber(dFreqValue, separator)));
        box->setEnabled(false);
    }
    frmMainBitTime& window = CalculatorWindow();
    window.show();
    window.raise();
    window.activateWindow();
    if (calledFromDBus()) {
        emit calledOverBus(message().service());
    }
}
