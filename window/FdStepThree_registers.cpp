// The CAN FD step 3's "Registers...": the register words of the setting the controls hold,
// and a setting brought in from words someone already has, chosen in the candidate list (as
// an entry of its own where none has its prescalers and Tq counts) with its segments, so the
// facts, the drawing and the report follow as for any other choice.
#include "window/FdStepThree.h"

#include "timing/common/InputChecks.h"
#include "timing/common/Maker.h"
#include "ui/MessageBox.h"
#include "ui/QtText.h"
#include "window/FdRegistersDialog.h"

#include <QComboBox>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

namespace {

// The same register fields in both phases: words left as they were change nothing, not even
// the split of TSEG1 into propagation and phase 1, which no register holds.
bool SameFields(const quillon::FdSetting& a, const quillon::FdSetting& b) {
    for (const quillon::FdPhase phase : {quillon::FdPhase::Nominal, quillon::FdPhase::Data}) {
        const quillon::FdPhaseSetting& x = a.Phase(phase);
        const quillon::FdPhaseSetting& y = b.Phase(phase);
        if (x.lBRP != y.lBRP || x.Tseg1() != y.Tseg1() || x.lPhase2 != y.lPhase2 ||
            x.lSJW != y.lSJW) {
            return false;
        }
    }
    return true;
}

} // namespace

void FdStepThree::BuildRegistersButton() {
    cmdFdRegisters = new QPushButton(tr("Registers..."), this);
    cmdFdRegisters->setObjectName(QStringLiteral("cmdFdRegisters"));
    cmdFdRegisters->setToolTip(tr("The controller's register words for this setting; or bring "
                                  "the words you already have into step 3"));
    cmdFdRegisters->setAutoDefault(true);
    connect(cmdFdRegisters, &QPushButton::clicked, this, &FdStepThree::cmdFdRegisters_Click);
}

void FdStepThree::cmdFdRegisters_Click() {
    if (!HasCandidate()) {
        return;
    }
    const quillon::FdSetting current = CurrentSetting();
    if (const auto problem = quillon::OscillatorComputeProblem(current.dOscFreqMHz)) {
        ShowMessage(this, QMessageBox::Information, ToQString(quillon::kAppTitle),
                    ToQString(*problem) + tr(" Correct the oscillator frequency first."));
        return;
    }
    FdRegistersDialog dialog(current, DecimalSeparator(), m_bus, this);
    if (dialog.exec() == QDialog::Accepted && !SameFields(dialog.setting(), current)) {
        ShowRegisterSetting(dialog.setting());
    }
}

void FdStepThree::ShowRegisterSetting(const quillon::FdSetting& setting) {
    const double clock = quillon::FdClockMHz(m_inputs);
    const quillon::FdCandidate words = quillon::MakeFdCandidate(
        m_inputs,
        quillon::MakeFdPhaseCandidate(clock, m_inputs.dNominalKbps, setting.nominal.lBRP,
                                      setting.nominal.TqCount()),
        quillon::MakeFdPhaseCandidate(clock, m_inputs.dDataKbps, setting.data.lBRP,
                                      setting.data.TqCount()));
    const auto same = [&words](const quillon::FdCandidate& c) {
        return c.nominal.lBRP == words.nominal.lBRP &&
               c.nominal.lTqCount == words.nominal.lTqCount && c.data.lBRP == words.data.lBRP &&
               c.data.lTqCount == words.data.lTqCount;
    };
    auto found = std::find_if(m_candidates.begin(), m_candidates.end(), same);
    if (found == m_candidates.end()) {
        m_candidates.push_back(words);
        found = m_candidates.end() - 1;
        const QSignalBlocker quiet(cboFdCandidate);
        cboFdCandidate->addItem(tr("%1: %2 (from the registers)")
                                    .arg(m_candidates.size())
                                    .arg(ToQString(quillon::FdCandidateText(words))));
    }
    {
        const QSignalBlocker quiet(cboFdCandidate);
        cboFdCandidate->setCurrentIndex(static_cast<int>(found - m_candidates.begin()));
    }
    ShowSetting(setting);
}
