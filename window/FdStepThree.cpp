#include "window/FdStepThree.h"

#include "canvas/ImageCanvas.h"
#include "diagram/DiagramText.h"
#include "diagram/FdBitTimingDiagram.h"
#include "ui/QtText.h"
#include "ui/Spoken.h"
#include "window/BitTimingPicture.h"
#include "window/BusDialog.h"
#include "window/StepThreeNotes.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

using quillon::FdPhase;

constexpr FdPhase kPhases[] = {FdPhase::Nominal, FdPhase::Data};
constexpr int kNotesLines = 3;

std::size_t IndexOf(FdPhase phase) {
    return phase == FdPhase::Nominal ? 0 : 1;
}

QSpinBox* SegmentBox(QWidget* parent, const QString& name, const QString& accessibleName,
                     int minimum, int maximum) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    box->setRange(minimum, maximum);
    box->setKeyboardTracking(false);
    return box;
}

// The frame and the document's margins around the lines of a text box.
int TextBoxChrome(const QPlainTextEdit& box) {
    return 2 * box.frameWidth() + static_cast<int>(std::ceil(2 * box.document()->documentMargin()));
}

// The height of all of a text box's paragraphs wrapped within `room`, as the box lays them out.
int TextHeight(const QPlainTextEdit& box, qreal room) {
    const QTextDocument& document = *box.document();
    qreal height = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextLayout layout(block.text(), box.font());
        layout.setTextOption(document.defaultTextOption());
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(room);
            height += line.height();
        }
        layout.endLayout();
    }
    return static_cast<int>(std::ceil(height));
}

} // namespace

FdStepThree::FdStepThree(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ctlFdStepThree"));

    auto* lblCandidate = new QLabel(tr("&Candidate"), this);
    cboFdCandidate = new QComboBox(this);
    cboFdCandidate->setObjectName(QStringLiteral("cboFdCandidate"));
    cboFdCandidate->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lblCandidate->setBuddy(cboFdCandidate);
    cmdFdRecommend = new QPushButton(tr("Recommend"), this);
    cmdFdRecommend->setObjectName(QStringLiteral("cmdFdRecommend"));
    cmdFdRecommend->setToolTip(
        tr("Both phases' segments with the sample point nearest the recommended one, then the "
           "most oscillator tolerance"));
    cmdFdRecommend->setAutoDefault(true);
    cmdFdBus = new QPushButton(tr("&Bus..."), this);
    cmdFdBus->setObjectName(QStringLiteral("cmdFdBus"));
    cmdFdBus->setToolTip(tr("The bus as it is built: length, cable and loop delays, crystals "
                            "and the transceivers' bit symmetry class"));
    cmdFdBus->setAutoDefault(true);
    connect(cmdFdBus, &QPushButton::clicked, this, &FdStepThree::busRequested);
    auto* candidateRow = new QHBoxLayout;
    candidateRow->addWidget(lblCandidate);
    candidateRow->addWidget(cboFdCandidate, 1);
    candidateRow->addWidget(cmdFdRecommend);
    candidateRow->addWidget(cmdFdBus);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    BuildPhaseRows(grid);

    lblFdTdc = new QLabel(this);
    lblFdTdc->setObjectName(QStringLiteral("lblFdTdc"));
    lblFdTdc->setWordWrap(true);
    lblFdTdc->setToolTip(tr("Transmitter delay compensation, which the controller needs for "
                            "this data phase"));
    lblFdTolerance = new QLabel(this);
    lblFdTolerance->setObjectName(QStringLiteral("lblFdTolerance"));
    lblFdTolerance->setWordWrap(true);
    lblFdBus = new QLabel(this);
    lblFdBus->setObjectName(QStringLiteral("lblFdBus"));
    lblFdBus->setAccessibleName(tr("Bus"));
    lblFdBus->setWordWrap(true);

    pctFdDisplay = new BitTimingPicture(this);
    pctFdDisplay->setObjectName(QStringLiteral("pctFdDisplay"));
    pctFdDisplay->setAccessibleName(tr("Bit timing diagram"));
    pctFdDisplay->setMinimumWidth(kFdPictureSize.width());
    pctFdDisplay->setFixedHeight(kFdPictureSize.height());
    pctFdDisplay->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(pctFdDisplay, &BitTimingPicture::Paint, this, &FdStepThree::DrawDiagram);

    auto* lblNotes = new QLabel(tr("Notes"), this);
    txtFdNotes = new QPlainTextEdit(this);
    txtFdNotes->setObjectName(QStringLiteral("txtFdNotes"));
    txtFdNotes->setAccessibleName(tr("Notes"));
    txtFdNotes->setReadOnly(true);
    txtFdNotes->setTabChangesFocus(true);
    // As high as the verdict and the findings need, so that none is cut (FitNotes).
    txtFdNotes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtFdNotes->setFixedHeight(TextBoxChrome(*txtFdNotes) +
                               txtFdNotes->fontMetrics().lineSpacing() * kNotesLines);
    txtFdNotes->installEventFilter(this);
    lblNotes->setBuddy(txtFdNotes);
    cmdFdReport = new QPushButton(tr("Generate Report..."), this);
    cmdFdReport->setObjectName(QStringLiteral("cmdFdReport"));
    cmdFdReport->setAutoDefault(true);
    BuildRegistersButton();
    BuildCopyAsButton();
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdFdReport);
    buttons->addWidget(cmdFdRegisters);
    buttons->addWidget(cmdFdCopyAs);
    auto* notesRow = new QHBoxLayout;
    notesRow->addWidget(lblNotes, 0, Qt::AlignTop);
    notesRow->addWidget(txtFdNotes, 1);
    notesRow->addLayout(buttons);

    auto* top = new QVBoxLayout;
    top->setContentsMargins(6, 6, 6, 0);
    top->addLayout(candidateRow);
    top->addLayout(grid);
    top->addWidget(lblFdTdc);
    top->addWidget(lblFdTolerance);
    top->addWidget(lblFdBus);
    auto* bottom = new QVBoxLayout;
    bottom->setContentsMargins(6, 0, 6, 6);
    bottom->addLayout(notesRow);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(1, 0, 1, 0);
    column->addLayout(top);
    column->addWidget(pctFdDisplay);
    column->addLayout(bottom);
    column->addStretch(1);

    connect(cboFdCandidate, &QComboBox::currentIndexChanged, this,
            &FdStepThree::cboFdCandidate_Click);
    connect(cmdFdRecommend, &QPushButton::clicked, this, &FdStepThree::cmdFdRecommend_Click);
    connect(cmdFdReport, &QPushButton::clicked, this, &FdStepThree::cmdFdReport_Click);
}

FdStepThree::~FdStepThree() = default;

void FdStepThree::BuildPhaseRows(QGridLayout* grid) {
    // Segments in time quanta, then what they make of the bit.
    const QStringList headings{tr("Phase"),    tr("Prop"),  tr("Phase 1"),
                               tr("Phase 2"),  tr("SJW"),   tr("Quanta"),
                               tr("Bit rate"), tr("Error"), tr("Sample pt.")};
    for (int column = 0; column < headings.size(); ++column) {
        auto* heading = new QLabel(headings[column], this);
        if (column >= 1 && column <= 4) {
            heading->setToolTip(tr("In time quanta (Tq)"));
        }
        grid->addWidget(heading, 0, column);
    }
    for (const FdPhase phase : kPhases) {
        const quillon::FdPhaseLimits& limits = quillon::LimitsOf(phase);
        const QString name =
            phase == FdPhase::Nominal ? QStringLiteral("Nominal") : QStringLiteral("Data");
        const QString title = phase == FdPhase::Nominal ? tr("Nominal") : tr("Data");
        PhaseControls& c = m_phases[IndexOf(phase)];
        c.quanta = new QLabel(this);
        c.propagation = SegmentBox(this, QStringLiteral("spn%1Prop").arg(name),
                                   tr("%1 propagation (Tq)").arg(title), 0, limits.tseg1Max - 1);
        c.phase1 = SegmentBox(this, QStringLiteral("spn%1Phase1").arg(name),
                              tr("%1 phase 1 (Tq)").arg(title), 1, limits.tseg1Max);
        c.phase2 = SegmentBox(this, QStringLiteral("spn%1Phase2").arg(name),
                              tr("%1 phase 2 (Tq)").arg(title), limits.tseg2Min, limits.tseg2Max);
        c.sjw = SegmentBox(this, QStringLiteral("spn%1Sjw").arg(name), tr("%1 SJW (Tq)").arg(title),
                           1, limits.sjwMax);
        c.rate = new QLabel(this);
        c.error = new QLabel(this);
        c.samplePoint = new QLabel(this);
        c.rate->setObjectName(QStringLiteral("lbl%1Rate").arg(name));
        c.samplePoint->setObjectName(QStringLiteral("lbl%1SamplePoint").arg(name));
        const int row = phase == FdPhase::Nominal ? 1 : 2;
        const QList<QWidget*> cells{new QLabel(title, this),
                                    c.propagation,
                                    c.phase1,
                                    c.phase2,
                                    c.sjw,
                                    c.quanta,
                                    c.rate,
                                    c.error,
                                    c.samplePoint};
        for (int column = 0; column < cells.size(); ++column) {
            grid->addWidget(cells[column], row, column);
        }
        for (QSpinBox* box : {c.propagation, c.phase1, c.phase2, c.sjw}) {
            connect(box, &QSpinBox::valueChanged, this, [this] {
                if (!m_bShowing) {
                    Describe();
                }
            });
        }
    }
    grid->setColumnStretch(5, 1);
}

void FdStepThree::Show(const quillon::FdSetting& inputs,
                       const std::vector<quillon::FdCandidate>& candidates, int index) {
    m_inputs = inputs;
    m_candidates = candidates;
    {
        const QSignalBlocker quiet(cboFdCandidate);
        cboFdCandidate->clear();
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            cboFdCandidate->addItem(QStringLiteral("%1: %2").arg(i + 1).arg(
                ToQString(quillon::FdCandidateText(candidates[i]))));
        }
        cboFdCandidate->setCurrentIndex(-1);
    }
    cboFdCandidate->setCurrentIndex(candidates.empty() ? -1 : index);
    for (QWidget* control : TabChain()) {
        control->setEnabled(HasCandidate());
    }
    if (!HasCandidate()) {
        Describe();
    }
}

void FdStepThree::SetInputs(const quillon::FdSetting& inputs) {
    m_inputs = inputs;
    Describe();
}

void FdStepThree::SetBus(const quillon::BusContext& bus) {
    m_bus = bus;
    Describe();
}

void FdStepThree::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    QMetaObject::invokeMethod(this, &FdStepThree::FitNotes, Qt::QueuedConnection);
}

bool FdStepThree::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtFdNotes && event->type() == QEvent::Resize &&
        static_cast<QResizeEvent*>(event)->oldSize().width() != txtFdNotes->width()) {
        // Not while the layout places the box: its height is changed once that is done.
        QMetaObject::invokeMethod(this, &FdStepThree::FitNotes, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void FdStepThree::FitNotes() {
    if (!isVisible()) {
        return; // showEvent fits them
    }
    const int chrome = TextBoxChrome(*txtFdNotes);
    const int needed = chrome + std::max(txtFdNotes->fontMetrics().lineSpacing() * kNotesLines,
                                         TextHeight(*txtFdNotes, txtFdNotes->width() - chrome));
    if (needed != txtFdNotes->height()) {
        const bool grows = needed > txtFdNotes->height();
        txtFdNotes->setFixedHeight(needed);
        if (grows) {
            emit heightWanted();
        }
    }
}

bool FdStepThree::HasCandidate() const {
    return cboFdCandidate->currentIndex() >= 0;
}

quillon::FdSetting FdStepThree::CurrentSetting() const {
    quillon::FdSetting setting = m_inputs;
    if (!HasCandidate()) {
        return setting;
    }
    const quillon::FdCandidate& chosen =
        m_candidates.at(static_cast<std::size_t>(cboFdCandidate->currentIndex()));
    for (const FdPhase phase : kPhases) {
        const PhaseControls& c = m_phases[IndexOf(phase)];
        quillon::FdPhaseSetting& p = setting.Phase(phase);
        p.lBRP = (phase == FdPhase::Nominal ? chosen.nominal : chosen.data).lBRP;
        p.lPropagation = c.propagation->value();
        p.lPhase1 = c.phase1->value();
        p.lPhase2 = c.phase2->value();
        p.lSJW = c.sjw->value();
    }
    setting.tdc = quillon::RequiredTdc(setting);
    return setting;
}

QList<QWidget*> FdStepThree::TabChain() const {
    QList<QWidget*> chain{cboFdCandidate, cmdFdRecommend, cmdFdBus};
    for (const PhaseControls& c : m_phases) {
        chain << c.propagation << c.phase1 << c.phase2 << c.sjw;
    }
    return chain << txtFdNotes << cmdFdReport << cmdFdRegisters << cmdFdCopyAs;
}

void FdStepThree::cboFdCandidate_Click() {
    if (!HasCandidate()) {
        return;
    }
    const quillon::FdCandidate& chosen =
        m_candidates.at(static_cast<std::size_t>(cboFdCandidate->currentIndex()));
    ShowSetting(quillon::ProposedFdSetting(m_inputs.dOscFreqMHz, m_inputs.bPll,
                                           m_inputs.dNominalKbps, m_inputs.dDataKbps, chosen));
}

void FdStepThree::ShowSetting(const quillon::FdSetting& setting) {
    m_bShowing = true;
    for (const FdPhase phase : kPhases) {
        const PhaseControls& c = m_phases[IndexOf(phase)];
        const quillon::FdPhaseSetting& p = setting.Phase(phase);
        c.propagation->setValue(p.lPropagation);
        c.phase1->setValue(p.lPhase1);
        c.phase2->setValue(p.lPhase2);
        c.sjw->setValue(p.lSJW);
    }
    m_bShowing = false;
    Describe();
}

std::string FdStepThree::DecimalSeparator() const {
    return ToStdString(QLocale().decimalPoint());
}

void FdStepThree::Describe() {
    lblFdBus->setText(tr("Bus: %1").arg(BusSummary(m_bus)));
    if (!HasCandidate()) {
        for (const PhaseControls& c : m_phases) {
            for (QLabel* label : {c.quanta, c.rate, c.error, c.samplePoint}) {
                label->clear();
            }
        }
        lblFdTdc->clear();
        lblFdTolerance->clear();
        txtFdNotes->setPlainText(tr("No candidate to set up: press \"<\" and change the "
                                    "oscillator or the rates."));
        SetSpokenDescription(txtFdNotes, txtFdNotes->toPlainText());
        FitNotes();
        pctFdDisplay->canvas().Cls();
        SetSpokenDescription(pctFdDisplay, QString());
        return;
    }
    const quillon::FdFacts facts =
        quillon::DescribeFdTiming(CurrentSetting(), DecimalSeparator(), m_bus);
    for (const FdPhase phase : kPhases) {
        const PhaseControls& c = m_phases[IndexOf(phase)];
        const quillon::FdPhaseFacts& p = facts.Phase(phase);
        c.quanta->setText(tr("%1 x %2").arg(p.lTqCount).arg(ToQString(p.sTq)));
        c.quanta->setToolTip(tr("%1 time quanta of %2 (BRP %3)")
                                 .arg(p.lTqCount)
                                 .arg(ToQString(p.sTq))
                                 .arg(facts.setting.Phase(phase).lBRP));
        c.rate->setText(ToQString(p.sActual));
        c.error->setText(ToQString(p.sError));
        c.samplePoint->setText(ToQString(p.sSamplePoint) + QStringLiteral(" %"));
    }
    lblFdTdc->setText(tr("TDC %1").arg(ToQString(
        quillon::FdTdcText(facts.setting.tdc, quillon::FdClockName(facts.setting.Row())))));
    const int limiting = facts.tolerance.lLimiting;
    QString tolerance = tr("Oscillator tolerance %1 %").arg(ToQString(facts.sTolerance));
    if (limiting > 0) {
        tolerance += tr(", limited by condition %1: %2")
                         .arg(limiting)
                         .arg(ToQString(quillon::kFdConditionFormulas.at(
                             static_cast<std::size_t>(limiting - 1))));
    }
    lblFdTolerance->setText(tolerance);
    QStringList conditions;
    for (std::size_t i = 0; i < quillon::kFdConditionCount; ++i) {
        conditions << QStringLiteral("(%1) %2 %: %3")
                          .arg(i + 1)
                          .arg(ToQString(facts.conditionTexts[i]),
                               ToQString(quillon::kFdConditionFormulas[i]));
    }
    lblFdTolerance->setToolTip(conditions.join(QLatin1Char('\n')));

    QStringList notes = QStringList{ToQString(facts.sVerdict)} + m_boxReadings;
    for (const quillon::Finding& finding : facts.findings) {
        if (finding.sText != facts.sVerdict) {
            notes << FindingNote(finding);
        }
    }
    txtFdNotes->setPlainText(notes.join(QLatin1Char('\n')));
    // What a screen reader announces when the verdict or a finding changes.
    SetSpokenDescription(txtFdNotes, txtFdNotes->toPlainText());
    FitNotes();
    DrawDiagram();
    SetSpokenDescription(pctFdDisplay, ToQString(quillon::FdBitTimingDiagramText(
                                           facts.setting, DecimalSeparator())));
}

void FdStepThree::DrawDiagram() {
    quillon::BitCanvas& canvas = pctFdDisplay->canvas();
    if (!HasCandidate() ||
        !quillon::DrawFdBitTimingDiagram(canvas, CurrentSetting(), DecimalSeparator())) {
        canvas.Cls();
    }
}
