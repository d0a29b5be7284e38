#pragma once
// The dialog behind step 3's "Registers..." button: it asks for a register set someone
// already has (CNF1..CNF3 of the MCP2510/MCP251X, BRGCON1..3 of the PIC18, or CiCFG1/CiCFG2
// of the dsPIC30F/33F and PIC24H), hexadecimal or decimal, and shows while they are typed
// what the model decodes from them: the rate, the sample point, the verdict and the
// findings. It is accepted only with values that read and a setting step 3 can hold;
// otherwise a message says why and the dialog stays open with the values as typed.
#include "timing/classic/BitTiming.h"
#include "timing/classic/Decode.h"

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

class RegistersDialog : public QDialog {
    Q_OBJECT

public:
    // The registers run on `dOscFreqMHz` and are meant for `dTargetKbps` (nothing: the
    // rate they give); numbers are written with `decimalSeparator`.
    // `row` is the controller chosen in step 1 (nullptr: the calculator's MCP2510/MCP251X).
    RegistersDialog(double dOscFreqMHz, std::optional<double> dTargetKbps,
                    std::string decimalSeparator, const quillon::Controller* row = nullptr,
                    QWidget* parent = nullptr);

    // The setting of the accepted registers.
    const quillon::BitTimingSetting& setting() const { return m_setting; }

public slots:
    void accept() override;

private:
    quillon::RegisterLayout Layout() const;
    void ShowLayout();
    void ShowPreview();
    // The decoding of the boxes, or what keeps them from being read.
    std::optional<quillon::DecodedRegisters> Decode(std::string& problem) const;

    double m_dOscFreqMHz;
    std::optional<double> m_dTargetKbps;
    std::string m_sDecimalSeparator;
    quillon::BitTimingSetting m_setting;
    const quillon::Controller* m_row;
    std::vector<quillon::RegisterLayout> m_layouts;

    QComboBox* cboLayout = nullptr;
    QLabel* lblValue[3] = {};
    QLineEdit* txtValue[3] = {};
    QPlainTextEdit* txtPreview = nullptr;
    QDialogButtonBox* buttons = nullptr;
};
