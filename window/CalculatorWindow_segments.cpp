// Step 3 of the calculator window: the segment controls, their change handling, the
// proposal made for a Tq count, the timing rules and the diagram.
#include "window/CalculatorWindow.h"
#include "window/ControllerChoice.h"

#include "candidates/CandidateGrid.h"

#include "diagram/BitTimingDiagram.h"
#include "timing/classic/BitTiming.h"
#include "timing/classic/DisplayTexts.h"
#include "timing/common/Maker.h"
#include "timing/classic/Recommendation.h"
#include "ui/FixedColours.h"
#include "ui/MessageBox.h"
#include "ui/QtText.h"
#include "window/BitTimingPicture.h"
#include "window/StepThreeNotes.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScrollBar>

namespace {

constexpr double kSmallestCaptionPoints = 6.0;

const char* const kLargerOfCaption = "Use larger of phase 1 or info process time (IPT = 2Tq)";

QScrollBar* MakeScrollBar(QWidget* parent, const char* name, int minimum, int maximum, int value) {
    // Vertical with the minimum at the top: the down arrow raises the value by one.
    auto* bar = new QScrollBar(Qt::Vertical, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(minimum, maximum);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setValue(value);
    // Tab stops on it and the arrow keys move it, as the mouse does.
    bar->setFocusPolicy(Qt::StrongFocus);
    return bar;
}

QLabel* MakeValueLabel(QWidget* parent, const char* name, int value) {
    auto* label = new QLabel(QString::number(value), parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setPointSizeF(14);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

// Gives a row of captions one font, the largest up to their own size at which each text
// ends at least a blank's width before the next caption begins.
void FitCaptionRow(const QList<QLabel*>& row) {
    QFont font = row.front()->font();
    const auto fits = [&row](const QFont& candidate) {
        const QFontMetrics metrics(candidate);
        for (qsizetype i = 0; i + 1 < row.size(); ++i) {
            const int room =
                row[i + 1]->x() - row[i]->x() - metrics.horizontalAdvance(QLatin1Char(' '));
            if (metrics.horizontalAdvance(row[i]->text()) > room) {
                return false;
            }
        }
        return true;
    };
    while (!fits(font) && font.pointSizeF() > kSmallestCaptionPoints) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    for (QLabel* caption : row) {
        caption->setFont(font);
    }
}

QLabel* MakeCaption(QWidget* parent, const char* name, const char* text) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

void CalculatorWindow::BuildSegmentPanel() {
    pctSegment = new QWidget(this);
    pctSegment->setObjectName(QStringLiteral("pctSegment"));
    pctSegment->setAutoFillBackground(true);
    pctSegment->hide();

    Place(MakeCaption(pctSegment, "Label10", "# of Time Quanta (Tq) in one bit time"), 450, 60,
          3405, 210);
    lstSelectTq = new QComboBox(pctSegment);
    lstSelectTq->setObjectName(QStringLiteral("lstSelectTq"));
    lstSelectTq->setEditable(false);
    lstSelectTq->setToolTip(tr("The chosen Tq counts, in the order of the list in step 2"));
    Place(lstSelectTq, 435, 315, 2730, 330);

    auto* label8 = MakeCaption(pctSegment, "Label8", "Propagation Delay (Tq)");
    Place(label8, 450, 720, 1875, 240);
    sclProp =
        MakeScrollBar(pctSegment, "sclProp", quillon::kMinPropagation, quillon::kMaxPropagation, 1);
    Place(sclProp, 435, 1005, 225, 450);
    lblPropDelay = MakeValueLabel(pctSegment, "lblPropDelay", 1);
    Place(lblPropDelay, 675, 1035, 1350, 390);

    auto* label9 = MakeCaption(pctSegment, "Label9", "Phase Segment 1(Tq)");
    Place(label9, 2190, 720, 1875, 240);
    sclPhase1 = MakeScrollBar(pctSegment, "sclPhase1", quillon::kMinPhase1, quillon::kMaxPhase1, 1);
    Place(sclPhase1, 2175, 1005, 225, 450);
    lblPhase1 = MakeValueLabel(pctSegment, "lblPhase1", 1);
    Place(lblPhase1, 2415, 1020, 1350, 390);

    auto* label11 = MakeCaption(pctSegment, "Label11", "Phase Segment 2 (Tq)");
    Place(label11, 3915, 720, 1875, 240);

    sclPhase2 = MakeScrollBar(pctSegment, "sclPhase2", quillon::kMinPhase2, quillon::kMaxPhase2, 2);
    Place(sclPhase2, 4260, 990, 225, 450);
    lblPhase2 = MakeValueLabel(pctSegment, "lblPhase2", 2);
    Place(lblPhase2, 4500, 1005, 1350, 390);

    auto* label7 = MakeCaption(pctSegment, "Label7", "Syncro Jump Width (Tq)");
    Place(label7, 6405, 735, 1875, 240);
    // The captions stand close together and Arial's text is wider than their places; the
    // row takes the font size at which none runs into the next.
    FitCaptionRow({label8, label9, label11, label7});
    sclSJW = MakeScrollBar(pctSegment, "sclSJW", quillon::kMinSJW, quillon::kMaxSJW, 1);
    Place(sclSJW, 6375, 1005, 225, 450);
    lblSJW = MakeValueLabel(pctSegment, "lblSJW", 1);
    Place(lblSJW, 6615, 1020, 1350, 390);

    optPhase2Group = new QButtonGroup(pctSegment);
    optPhase2[0] = new QRadioButton(pctSegment);
    optPhase2[0]->setObjectName(QStringLiteral("optPhase2_0"));
    optPhase2[0]->setToolTip(tr("Phase 2 is set by its own scroll bar"));
    Place(optPhase2[0], 3990, 1080, 240, 240);
    // A radio button cannot wrap its caption, so the long caption of the second option is a
    // wrapping label beside an indicator-only button; clicking the label selects the option.
    optPhase2[1] = new QRadioButton(pctSegment);
    optPhase2[1]->setObjectName(QStringLiteral("optPhase2_1"));
    optPhase2[1]->setAccessibleName(QString::fromLatin1(kLargerOfCaption));
    Place(optPhase2[1], 3990, 1485, 240, 240);
    optPhase2Caption = MakeCaption(pctSegment, "optPhase2_1Caption", kLargerOfCaption);
    optPhase2Caption->setWordWrap(true);
    optPhase2Caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    optPhase2Caption->installEventFilter(this);
    Place(optPhase2Caption, 4230, 1485, 2370, 480);
    optPhase2Group->addButton(optPhase2[0], 0);
    optPhase2Group->addButton(optPhase2[1], 1);
    optPhase2[0]->setChecked(true);

    chkMultipleSampling =
        new QCheckBox(QStringLiteral("Use multiple bit sampling (SAM)"), pctSegment);
    chkMultipleSampling->setObjectName(QStringLiteral("chkMultipleSampling"));
    Place(chkMultipleSampling, 465, 1560, 3015, 210);
    chkUseWakeUpFilter = new QCheckBox(QStringLiteral("Use wake up filter (WAKFIL)"), pctSegment);
    chkUseWakeUpFilter->setObjectName(QStringLiteral("chkUseWakeUpFilter"));
    Place(chkUseWakeUpFilter, 465, 1830, 3015, 210);

    auto* label4 = MakeCaption(pctSegment, "Label4", "Bit Timing");
    QFont bold = label4->font();
    bold.setBold(true);
    label4->setFont(bold);
    label4->setAlignment(Qt::AlignCenter);
    Place(label4, 255, 2025, 8040, 285);

    pctDisplay = new BitTimingPicture(pctSegment);
    pctDisplay->setObjectName(QStringLiteral("pctDisplay"));
    Place(pctDisplay, 210, 2340, 8115, 1590);

    Place(MakeCaption(pctSegment, "Label5", "Notes"), 195, 3960, 1725, 225);
    lblNotes = new QLabel(pctSegment);
    lblNotes->setObjectName(QStringLiteral("lblNotes"));
    SetFixedColours(lblNotes, Qt::white, Qt::black);
    lblNotes->setWordWrap(true);
    lblNotes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(lblNotes, 780, 3975, 5550, 495);

    // What the current settings tolerate, on a line of its own under the notes.
    lblAnalysis = new QLabel(pctSegment);
    lblAnalysis->setObjectName(QStringLiteral("lblAnalysis"));
    lblAnalysis->setToolTip(
        tr("Oscillator tolerance from the CAN 2.0 resynchronisation conditions; bus length for "
           "50 ns transmitter and 30 ns receiver delays and 5 ns per metre of cable; sample "
           "point against the usual recommendation for the rate"));
    lblAnalysis->setWordWrap(true);
    lblAnalysis->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(lblAnalysis, 195, 4515, 6195, 405); // the right end is kept for step 3's buttons

    // What to know before the report, beside the Tq list: a rate off its target, boxes
    // changed since the search, the bus idle erratum, why the list is empty.
    lblCheck = new QLabel(pctSegment);
    lblCheck->setObjectName(QStringLiteral("lblCheck"));
    lblCheck->setWordWrap(true);
    lblCheck->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(lblCheck, 3300, 60, 5400, 645);

    cmdRecommend = new QPushButton(tr("Recommend"), pctSegment);
    cmdRecommend->setObjectName(QStringLiteral("cmdRecommend"));
    cmdRecommend->setToolTip(
        tr("Set the segments for this Tq count to the best legal choice: every timing rule "
           "passed, the sample point nearest the one recommended for the rate, then the most "
           "oscillator tolerance, then the longest bus"));
    cmdRecommend->setAutoDefault(true);
    cmdRecommend->setEnabled(false);
    Place(cmdRecommend, 6675, 1545, 1755, 330);

    cmdGenerateReport = new QPushButton(QStringLiteral("Generate Report..."), pctSegment);
    cmdGenerateReport->setObjectName(QStringLiteral("cmdGenerateReport"));
    cmdGenerateReport->setEnabled(false);
    cmdGenerateReport->setAutoDefault(true);
    Place(cmdGenerateReport, 6465, 3960, 1755, 330);

    pctSegment->installEventFilter(this);
    // A scroll bar shows no focus of its own; its value box is framed while it has it.
    for (QScrollBar* bar : {sclProp, sclPhase1, sclPhase2, sclSJW}) {
        bar->installEventFilter(this);
    }

    connect(lstSelectTq, &QComboBox::activated, this, &CalculatorWindow::lstSelectTq_Click);
    connect(sclProp, &QScrollBar::valueChanged, this, &CalculatorWindow::sclProp_Change);
    connect(sclPhase1, &QScrollBar::valueChanged, this, &CalculatorWindow::sclPhase1_Change);
    connect(sclPhase2, &QScrollBar::valueChanged, this, &CalculatorWindow::sclPhase2_Change);
    connect(sclSJW, &QScrollBar::valueChanged, this, &CalculatorWindow::sclSJW_Change);
    connect(chkMultipleSampling, &QCheckBox::toggled, this,
            &CalculatorWindow::chkMultipleSampling_Click);
    connect(optPhase2Group, &QButtonGroup::idClicked, this, &CalculatorWindow::optPhase2_Click);
    connect(cmdGenerateReport, &QPushButton::clicked, this,
            &CalculatorWindow::cmdGenerateReport_Click);
    connect(cmdRecommend, &QPushButton::clicked, this, &CalculatorWindow::cmdRecommend_Click);
    connect(pctDisplay, &BitTimingPicture::Paint, this, &CalculatorWindow::pctDisplay_Paint);
}

void CalculatorWindow::ShowScrollBarFocus(QObject* bar, bool focused) {
    const std::pair<QScrollBar*, QLabel*> pairs[] = {
        {sclProp, lblPropDelay}, {sclPhase1, lblPhase1}, {sclPhase2, lblPhase2}, {sclSJW, lblSJW}};
    for (const auto& [scroll, label] : pairs) {
        if (scroll == bar) {
            label->setFrameStyle(focused ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
        }
    }
}

void CalculatorWindow::pctSegment_Resize() {
    const int width = pctSegment->width() - Twips(25);
    if (width > 0) {
        pctDisplay->setGeometry(Twips(25), pctDisplay->y(), width, pctDisplay->height());
    }
    DrawBitTiming();
}

bool CalculatorWindow::HasSelectedTq() const {
    const int index = lstSelectTq->currentIndex();
    return index >= 0 && static_cast<std::size_t>(index) < vTqValues.size();
}

quillon::BitTimingSetting CalculatorWindow::CurrentSetting() const {
    quillon::BitTimingSetting setting;
    setting.pController = m_controller->Row();
    setting.dOscFreqMHz = ReadBox(txtOsc);
    setting.dTargetKbps = ReadBox(txtCANBaud);
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

void CalculatorWindow::lstSelectTq_Click() {
    SetupSegments();
    DrawBitTiming();
}

void CalculatorWindow::sclProp_Change(int value) {
    lblPropDelay->setText(QString::number(value));
    DrawBitTiming();
}

void CalculatorWindow::sclPhase1_Change(int value) {
    lblPhase1->setText(QString::number(value));
    DrawBitTiming();
}

void CalculatorWindow::sclPhase2_Change(int value) {
    lblPhase2->setText(QString::number(value));
    DrawBitTiming();
}

void CalculatorWindow::sclSJW_Change(int value) {
    lblSJW->setText(QString::number(value));
    DrawBitTiming();
}

void CalculatorWindow::chkMultipleSampling_Click() {
    DrawBitTiming();
}

void CalculatorWindow::optPhase2_Click() {
    const bool largerOf = optPhase2[1]->isChecked();
    lblPhase2->setEnabled(!largerOf);
    sclPhase2->setEnabled(!largerOf);
    DrawBitTiming();
}

void CalculatorWindow::SetupSegments() {
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

void CalculatorWindow::CheckTimingRules() {
    const std::string sep = DecimalSeparator();
    QStringList checks;
    if (m_step == 2 && InputsChangedSinceSearch()) {
        checks << InputsChangedText();
    }
    cmdRecommend->setEnabled(HasSelectedTq());
    if (!HasSelectedTq()) {
        lblNotes->setText(ToQString(quillon::VerdictText(quillon::TimingVerdict::NoSelection)));
        cmdGenerateReport->setEnabled(false);
        lblAnalysis->clear();
        if (lstSelectTq->count() == 0) {
            checks.prepend(
                EmptyListText(vrnBitTime->OscFreqInMhz(), vrnBitTime->CANBaudRate() / 1000, sep));
        }
        lblCheck->setText(checks.join(QLatin1Char('\n')));
        return;
    }
    const quillon::BitTimingFacts facts = quillon::DescribeBitTiming(CurrentSetting(), sep);
    lblNotes->setText(ToQString(facts.sVerdict));
    cmdGenerateReport->setEnabled(facts.Passes());
    lblAnalysis->setText(AnalysisText(facts, sep));
    lblCheck->setText((SettingCheckTexts(facts, sep) + checks).join(QLatin1Char('\n')));
}

bool CalculatorWindow::InputsChangedSinceSearch() const {
    return ReadBox(txtOsc) != vrnBitTime->OscFreqInMhz() ||
           ReadBox(txtCANBaud) * 1000 != vrnBitTime->CANBaudRate();
}

void CalculatorWindow::DrawBitTiming() {
    if (m_bSettingUp) {
        return;
    }
    quillon::DrawBitTimingDiagram(pctDisplay->canvas(), CurrentSetting(), HasSelectedTq(),
                                  DecimalSeparator());
    CheckTimingRules();
}

void CalculatorWindow::ShowSegments(const quillon::SegmentSettings& segments) {
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

void CalculatorWindow::cmdRecommend_Click() {
    if (!HasSelectedTq()) {
        return;
    }
    const quillon::BitTimingSetting setting = CurrentSetting();
    if (const auto recommended = quillon::RecommendedSetting(setting)) {
        ShowSegments(recommended->segments);
    } else {
        ShowMessage(this, QMessageBox::Information, ToQString(quillon::kAppTitle),
                    tr("No legal choice of segments fills %1 Tq.").arg(setting.segments.lTqCount));
    }
}

void CalculatorWindow::pctDisplay_Paint() {
    DrawBitTiming();
}
