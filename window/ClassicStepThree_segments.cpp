// The classic step 3's segments: the change handling of every control, the proposal made
// for a Tq count, the setting the controls hold, the timing rules with the notes and the
// findings on the bus, the diagram, and Recommend for the bus.
#include "window/ClassicStepThree.h"

#include "candidates/CandidateGrid.h"
#include "diagram/BitTimingDiagram.h"
#include "diagram/DiagramText.h"
#include "timing/classic/DisplayTexts.h"
#include "timing/classic/Recommendation.h"
#include "timing/common/Maker.h"
#include "ui/MessageBox.h"
#include "ui/QtText.h"
#include "ui/Spoken.h"
#include "window/BitTimingPicture.h"
#include "window/BusDialog.h"
#include "window/StepThreeNotes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScrollBar>

bool ClassicStepThree::HasSelectedTq() const {
    const int index = lstSelectTq->currentIndex();
    return index >= 0 && static_cast<std::size_t>(index) < vTqValues.size();
}

quillon::BitTimingSetting ClassicStepThree::CurrentSetting() const {
    quillon::BitTimingSetting setting = m_inputs.boxes();
    quillon::SegmentSettings& s = setting.segments;
    if (HasSelectedTq()) {
        const auto position = static_cast<std::size_t>(lstSelectTq->currentIndex()) + 1;
        s.lTqCount = vTqValues(position);
        setting.lBRPMinus1 = vBRPValues(position);
    }
    s.lPropagation = sclProp->value();
    s.lPhase1 = sclPhase1->value();
    s.lPhase2 = sclPhase2->value();
    s.lSJW = sclSJW->value();
    s.bSam = chkMultipleSampling->checkState() == Qt::Checked;
    s.bWakFil = chkUseWakeUpFilter->checkState() == Qt::Checked;
    s.mode =
        optPhase2[0]->isChecked() ? quillon::Phase2Mode::Programmed : quillon::Phase2Mode::LargerOf;
    return setting;
}

void ClassicStepThree::lstSelectTq_Click() {
    SetupSegments();
    DrawBitTiming();
}

void ClassicStepThree::sclProp_Change(int value) {
    lblPropDelay->setText(QString::number(value));
    DrawBitTiming();
}

void ClassicStepThree::sclPhase1_Change(int value) {
    lblPhase1->setText(QString::number(value));
    DrawBitTiming();
}

void ClassicStepThree::sclPhase2_Change(int value) {
    lblPhase2->setText(QString::number(value));
    DrawBitTiming();
}

void ClassicStepThree::sclSJW_Change(int value) {
    lblSJW->setText(QString::number(value));
    DrawBitTiming();
}

void ClassicStepThree::chkMultipleSampling_Click() {
    DrawBitTiming();
}

void ClassicStepThree::optPhase2_Click() {
    const bool largerOf = optPhase2[1]->isChecked();
    lblPhase2->setEnabled(!largerOf);
    sclPhase2->setEnabled(!largerOf);
    DrawBitTiming();
}

void ClassicStepThree::SetupSegments() {
    if (!HasSelectedTq()) {
        return;
    }
    const int tqCount = vTqValues(static_cast<std::size_t>(lstSelectTq->currentIndex()) + 1);
    const QScopedValueRollback<bool> settingUp(m_bSettingUp, true);

    // Each assignment raises the control's own change handling, as a user's change would.
    sclProp->setValue(1);
    lblPropDelay->setText(QStringLiteral("1"));
    sclSJW->setValue(1);
    lblSJW->setText(QStringLiteral("1"));
    chkUseWakeUpFilter->setChecked(false);
    chkMultipleSampling->setChecked(false);
    optPhase2[0]->setChecked(true);
    optPhase2_Click();

    const quillon::SegmentProposal proposal = quillon::ProposeSegments(tqCount);
    sclPhase1->setValue(proposal.lPhase1);
    lblPhase1->setText(QString::number(sclPhase1->value()));
    sclPhase2->setValue(proposal.lPhase2);
    lblPhase2->setText(QString::number(sclPhase2->value()));
    sclProp->setValue(proposal.lPropagation);
    lblPropDelay->setText(QString::number(sclProp->value()));
}

void ClassicStepThree::CheckTimingRules() {
    const std::string sep = DecimalSeparator();
    const quillon::BusContext bus = m_inputs.bus();
    lblBus->setText(tr("Bus: %1").arg(BusSummary(bus)));
    lblAnalysis->setToolTip(
        tr("Oscillator tolerance from the CAN 2.0 resynchronisation conditions; bus length for "
           "two transceivers of %1 ns loop delay and %2 ns per metre of cable (Bus...); sample "
           "point against the usual recommendation for the rate")
            .arg(lblBus->locale().toString(bus.dLoopDelayNs),
                 lblBus->locale().toString(bus.dCableDelayNsPerMetre)));
    QStringList checks = m_inputs.boxReadings();
    if (m_inputs.inStepThree() && InputsChangedSinceSearch()) {
        checks << InputsChangedText();
    }
    cmdRecommend->setEnabled(HasSelectedTq());
    if (!HasSelectedTq()) {
        lblNotes->setText(ToQString(quillon::VerdictText(quillon::TimingVerdict::NoSelection)));
        cmdGenerateReport->setEnabled(false);
        lblAnalysis->clear();
        if (lstSelectTq->count() == 0) {
            checks.prepend(
                EmptyListText(m_grid->OscFreqInMhz(), m_grid->CANBaudRate() / 1000, sep));
        }
        lblCheck->setText(checks.join(QLatin1Char('\n')));
        SetSpokenDescription(lblCheck, lblCheck->text());
        FitFindings();
        return;
    }
    const quillon::BitTimingFacts facts = quillon::DescribeBitTiming(CurrentSetting(), sep, bus);
    lblNotes->setText(ToQString(facts.sVerdict));
    cmdGenerateReport->setEnabled(facts.Passes());
    lblAnalysis->setText(AnalysisText(facts, sep));
    lblCheck->setText((SettingCheckTexts(facts) + checks).join(QLatin1Char('\n')));
    // Its name is "Findings"; the findings themselves are what a screen reader announces.
    SetSpokenDescription(lblCheck, lblCheck->text());
    FitFindings();
}

bool ClassicStepThree::InputsChangedSinceSearch() const {
    const quillon::BitTimingSetting boxes = m_inputs.boxes();
    return boxes.dOscFreqMHz != m_grid->OscFreqInMhz() ||
           boxes.dTargetKbps * 1000 != m_grid->CANBaudRate();
}

void ClassicStepThree::DrawBitTiming() {
    if (m_bSettingUp) {
        return;
    }
    quillon::DrawBitTimingDiagram(pctDisplay->canvas(), CurrentSetting(), HasSelectedTq(),
                                  DecimalSeparator());
    SetSpokenDescription(pctDisplay, HasSelectedTq() ? ToQString(quillon::BitTimingDiagramText(
                                                           CurrentSetting(), DecimalSeparator()))
                                                     : QString());
    CheckTimingRules();
}

void ClassicStepThree::ShowSegments(const quillon::SegmentSettings& segments) {
    {
        const QScopedValueRollback<bool> settingUp(m_bSettingUp, true);
        sclProp->setValue(segments.lPropagation);
        sclPhase1->setValue(segments.lPhase1);
        sclPhase2->setValue(segments.lPhase2);
        sclSJW->setValue(segments.lSJW);
        chkMultipleSampling->setChecked(segments.bSam);
        chkUseWakeUpFilter->setChecked(segments.bWakFil);
        optPhase2[segments.mode == quillon::Phase2Mode::Programmed ? 0 : 1]->setChecked(true);
        optPhase2_Click();
    }
    DrawBitTiming();
}

void ClassicStepThree::cmdRecommend_Click() {
    if (!HasSelectedTq()) {
        return;
    }
    const quillon::BitTimingSetting setting = CurrentSetting();
    quillon::RecommendationGoal goal;
    goal.bus = m_inputs.bus();
    if (const auto recommended = quillon::RecommendedSetting(setting, goal)) {
        ShowSegments(recommended->segments);
    } else {
        ShowMessage(this, QMessageBox::Information, ToQString(quillon::kAppTitle),
                    tr("No legal choice of segments fills %1 Tq.").arg(setting.segments.lTqCount));
    }
}
