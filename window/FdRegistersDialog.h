#pragma once
// The dialog behind the CAN FD step 3's "Registers...": the register words of the setting
// step 3 holds, in the controller's own layout (CiNBTCFG, CiDBTCFG, CiTDC of the MCP251xFD
// and the dsPIC33C, or NBTP, DBTP, TDCR of the M_CAN), one box each, and under them what the
// model decodes from the words as they stand: the same tables `quillon-cli fd decode` prints,
// with every register of the controller in hexadecimal. Words someone already has can be
// typed over them; OK then brings that setting into step 3. Words that do not read keep the
// dialog open with a message that says why.
#include "timing/common/BusContext.h"
#include "timing/fd/FdRegisters.h"

#include <QDialog>

#include <optional>
#include <string>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

class FdRegistersDialog : public QDialog {
    Q_OBJECT

public:
    // `current` is the setting of step 3, whose controller, clock and target rates the words
    // are read with; numbers are written with `decimalSeparator`, findings judged for `bus`.
    FdRegistersDialog(const quillon::FdSetting& current, std::string decimalSeparator,
                      const quillon::BusContext& bus, QWidget* parent = nullptr);

    // The setting of the accepted words, with step 3's target rates.
    const quillon::FdSetting& setting() const { return m_setting; }
    QString preview() const;

public slots:
    void accept() override;

private:
    void ShowPreview();
    // The words of the boxes decoded, or what keeps them from being read.
    std::optional<quillon::FdDecoded> Decode(std::string& problem) const;

    quillon::FdSetting m_current;
    std::string m_sDecimalSeparator;
    quillon::BusContext m_bus;
    quillon::FdSetting m_setting;

    QLineEdit* txtFdWord[3] = {};
    QPlainTextEdit* txtFdRegisterPreview = nullptr;
    QDialogButtonBox* buttons = nullptr;
};
