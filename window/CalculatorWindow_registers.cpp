// Step 3's "Registers...": a register set the user already has, decoded by the model, becomes
// a candidate of the Tq list (as a grid double-click adds one) and is shown with its
// segments, SJW, flags and phase-2 mode, so the diagram, the verdict, the analysis and the
// report follow as for any other choice.
#include "window/CalculatorWindow.h"

#include "candidates/CandidateGrid.h"
#include "timing/common/InputChecks.h"
#include "timing/common/Maker.h"
#include "ui/MessageBox.h"
#include "ui/QtText.h"
#include "window/ControllerChoice.h"
#include "window/RegistersDialog.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

// Room beside the button's caption, in twips, and the smallest font it may take.
constexpr double kCaptionMargin = 150;
constexpr double kSmallestCaptionPoints = 6.0;

} // namespace

void CalculatorWindow::BuildRegistersButton() {
    cmdRegisters = new QPushButton(tr("Registers..."), pctSegment);
    cmdRegisters->setObjectName(QStringLiteral("cmdRegisters"));
    cmdRegisters->setToolTip(tr("Bring a register set you already have into step 3: CNF1..CNF3, "
                                "BRGCON1..3, CiCFG1/CiCFG2 or the PIC32MX's CiCFG on the "
                                "oscillator above"));
    cmdRegisters->setAutoDefault(true);
    Place(cmdRegisters, 6465, 4350, 855, 300);
    // The design's place is narrow: the caption gets a smaller font where it would touch
    // the button's edges.
    QFont font = cmdRegisters->font();
    const auto fits = [this](const QFont& candidate) {
        return QFontMetrics(candidate).horizontalAdvance(cmdRegisters->text()) +
                   Twips(kCaptionMargin) <=
               cmdRegisters->width();
    };
    while (!fits(font) && font.pointSizeF() > kSmallestCaptionPoints) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    cmdRegisters->setFont(font);
    connect(cmdRegisters, &QPushButton::clicked, this, &CalculatorWindow::cmdRegisters_Click);
}

void CalculatorWindow::cmdRegisters_Click() {
    const double dOscFreqMHz = ReadBox(txtOsc);
    if (const auto problem = quillon::OscillatorComputeProblem(dOscFreqMHz)) {
        ShowMessage(this, QMessageBox::Information, ToQString(quillon::kAppTitle),
                    ToQString(*problem) + tr(" Correct the oscillator frequency first."));
        return;
    }
    // A rate nothing can be compared with leaves the registers' own rate as the target.
    const double dRateKbps = ReadBox(txtCANBaud);
    const std::optional<double> target =
        quillon::RateComputeProblem(dRateKbps) ? std::nullopt : std::optional<double>(dRateKbps);
    RegistersDialog dialog(dOscFreqMHz, target, DecimalSeparator(), m_controller->Row(), this);
    if (dialog.exec() == QDialog::Accepted) {
        ShowRegisterSetting(dialog.setting());
    }
}

void CalculatorWindow::ShowRegisterSetting(const quillon::BitTimingSetting& setting) {
    vrnBitTime->AddCandidate(setting.lBRPMinus1, setting.segments.lTqCount);
    std::int32_t count = 0;
    vrnBitTime->GetTqValues(vTqValues, vBRPValues, count);
    {
        const QSignalBlocker quiet(lstSelectTq);
        lstSelectTq->addItem(QString::number(setting.segments.lTqCount));
        lstSelectTq->setCurrentIndex(lstSelectTq->count() - 1);
    }
    lstSelectTq->setEnabled(true);
    ShowSegments(setting.segments);
}
