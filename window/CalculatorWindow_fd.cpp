// CAN FD beside the classic steps: the controller choice under the promotional panel of
// step 1, the FD candidate list as step 2 and the FD segment panel as step 3. With the
// classic controllers chosen none of this shows and the steps run as they always did; with
// CAN FD, "<" in step 2 returns to step 1, where the data rate and the PLL are entered.
#include "window/CalculatorWindow.h"

#include "candidates/CandidateGrid.h"
#include "timing/common/InputChecks.h"
#include "timing/common/Maker.h"
#include "timing/fd/FdSearch.h"
#include "ui/MessageBox.h"
#include "ui/QtText.h"
#include "window/ControllerChoice.h"
#include "window/FdCandidateList.h"
#include "window/FdStepThree.h"
#include "window/StepThreeNotes.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>

#include <algorithm>

namespace {

const char* const kFdNoteStep2 =
    "The CAN FD candidates for both rates are listed best first. Choose one and click next, "
    "or press \"<\" to change the inputs.";
const char* const kFdNoteStep3 =
    "Adjust the segments of the nominal and the data phase; the drawing shows both bits.";
const char* const kSettingToDefault = " Setting to default value.";

} // namespace

void CalculatorWindow::BuildControllerChoice() {
    m_controller = new ControllerChoice(this);
    Place(m_controller, 3300, 4740, 5310, 660);
}

QStringList CalculatorWindow::BoxReadings() const {
    QList<BoxText> boxes{{tr("oscillator"), txtOsc->text(), "MHz"},
                         {tr("rate"), txtCANBaud->text(), "kbit/s"}};
    if (m_controller->IsFd()) {
        boxes.append({tr("data rate"), m_controller->dataRateBox()->text(), "kbit/s"});
    }
    return BoxReadingTexts(boxes);
}

void CalculatorWindow::SetStepTwoNote(const QString& note) {
    // What was read comes first: the note has room for two lines only. The whole text stays
    // in the tooltip.
    const QStringList readings = BoxReadings();
    const QString text = (readings + QStringList{note}).join(QLatin1Char(' '));
    lblNote->setText(text);
    lblNote->setToolTip(readings.isEmpty() ? QString() : text);
}

quillon::FdSetting CalculatorWindow::FdInputsFromBoxes() const {
    quillon::FdSetting inputs;
    inputs.dOscFreqMHz = ReadBox(txtOsc);
    inputs.bPll = m_controller->Pll();
    inputs.dNominalKbps = ReadBox(txtCANBaud);
    inputs.dDataKbps = ReadBox(m_controller->dataRateBox());
    inputs.controller = m_controller->Row();
    return inputs;
}

void CalculatorWindow::ShowFdStep2() {
    CheckStepOneBoxes();
    QLineEdit* dataBox = m_controller->dataRateBox();
    if (const auto problem = quillon::FdDataRateProblem(ReadBox(dataBox))) {
        ShowMessage(this, QMessageBox::Information, ToQString(quillon::kAppTitle),
                    ToQString(*problem) + QString::fromLatin1(kSettingToDefault));
        dataBox->setText(ToQString(quillon::kDefaultFdDataRateText));
    }
    const quillon::FdSetting inputs = FdInputsFromBoxes();
    const std::string sep = DecimalSeparator();
    const std::vector<quillon::FdCandidate> found = quillon::SearchFdCandidates(inputs);
    m_fdCandidates->Show(ToQString(quillon::FdClockName(inputs.Row())),
                         ToQString(quillon::DescribeFdTiming(inputs, sep).sSysclk), found,
                         quillon::DescribeFdProposals(inputs, found, sep));

    lblStep->setText(QStringLiteral("Step 2"));
    SetStepTwoNote(QString::fromLatin1(kFdNoteStep2));
    HideStepPanels();
    m_fdCandidates->show();
    m_fdCandidates->raise();
    cmdBack->setEnabled(true);
    cmdNext->setEnabled(!found.empty());
    m_fdCandidates->list()->setFocus();
}

void CalculatorWindow::ShowFdStep3() {
    lblStep->setText(QStringLiteral("Step 3"));
    lblNote->setText(QString::fromLatin1(kFdNoteStep3));
    lblNote->setToolTip(QString());
    m_fdStepThree->SetBoxReadings(BoxReadings());
    m_fdStepThree->Show(FdInputsFromBoxes(), m_fdCandidates->Candidates(),
                        std::max(0, m_fdCandidates->CurrentIndex()));
    HideStepPanels();
    m_fdStepThreeArea->show();
    m_fdStepThreeArea->raise();
    cmdBack->setEnabled(true);
    cmdNext->setEnabled(false);

    // The two bits need more height than the classic step 3: the window grows to show the
    // whole panel where the screen has room, and scrolls it where it has not.
    GrowToShow(FdStepThreeHeight());
    m_fdStepThree->TabChain().front()->setFocus();
}

int CalculatorWindow::FdStepThreeHeight() const {
    return m_fdStepThree->hasHeightForWidth() ? m_fdStepThree->heightForWidth(width())
                                              : m_fdStepThree->sizeHint().height();
}
