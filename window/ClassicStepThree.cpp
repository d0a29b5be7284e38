// The classic step 3 panel built: its controls at their design places in twips, the
// caption fitting of the narrow places, the findings as high as their text, the keyboard's
// way through it, and the focus frames of a scroll bar's value box and of the findings.
#include "window/ClassicStepThree.h"

#include "candidates/CandidateGrid.h"
#include "timing/classic/Recommendation.h"
#include "ui/FixedColours.h"
#include "ui/QtText.h"
#include "ui/Twips.h"
#include "window/BitTimingPicture.h"
#include "window/BusDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <utility>

namespace {

constexpr double kSmallestCaptionPoints = 6.0;
// Room beside the "Registers..." caption, in twips.
constexpr double kCaptionMargin = 150;

// The findings under the analysis line: their place in twips, and the lines kept for them
// however few there are, so that the panel does not change its height with every edit.
constexpr double kFindingsLeft = 195;
constexpr double kFindingsTop = 4950;
constexpr double kFindingsMargin = 60;
constexpr int kFindingsLines = 4;

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

ClassicStepThree::ClassicStepThree(CandidateGrid* grid, ClassicStepInputs inputs, QWidget* parent)
    : QWidget(parent), m_grid(grid), m_inputs(std::move(inputs)) {
    setObjectName(QStringLiteral("pctSegment"));
    setAutoFillBackground(true);
    hide();

    BuildSegmentControls();
    BuildNotesAndButtons();
    ConnectControls();
    BuildRegistersButton();
    BuildCopyAsButton();
    BuildBusButton();
}

ClassicStepThree::~ClassicStepThree() = default;

void ClassicStepThree::BuildSegmentControls() {
    auto* label10 = MakeCaption(this, "Label10", "# of Time Quanta (Tq) in one bit time");
    Place(label10, 450, 60, 3405, 210);
    lstSelectTq = new QComboBox(this);
    lstSelectTq->setObjectName(QStringLiteral("lstSelectTq"));
    lstSelectTq->setAccessibleName(label10->text());
    label10->setBuddy(lstSelectTq); // a screen reader's label for it
    lstSelectTq->setEditable(false);
    lstSelectTq->setToolTip(tr("The chosen Tq counts, in the order of the list in step 2"));
    Place(lstSelectTq, 435, 315, 2730, 330);

    auto* label8 = MakeCaption(this, "Label8", "Propagation Delay (Tq)");
    Place(label8, 450, 720, 1875, 240);
    sclProp = MakeScrollBar(this, "sclProp", quillon::kMinPropagation, quillon::kMaxPropagation, 1);
    sclProp->setAccessibleName(label8->text());
    Place(sclProp, 435, 1005, 225, 450);
    lblPropDelay = MakeValueLabel(this, "lblPropDelay", 1);
    Place(lblPropDelay, 675, 1035, 1350, 390);

    auto* label9 = MakeCaption(this, "Label9", "Phase Segment 1(Tq)");
    Place(label9, 2190, 720, 1875, 240);
    sclPhase1 = MakeScrollBar(this, "sclPhase1", quillon::kMinPhase1, quillon::kMaxPhase1, 1);
    sclPhase1->setAccessibleName(label9->text());
    Place(sclPhase1, 2175, 1005, 225, 450);
    lblPhase1 = MakeValueLabel(this, "lblPhase1", 1);
    Place(lblPhase1, 2415, 1020, 1350, 390);

    auto* label11 = MakeCaption(this, "Label11", "Phase Segment 2 (Tq)");
    Place(label11, 3915, 720, 1875, 240);

    sclPhase2 = MakeScrollBar(this, "sclPhase2", quillon::kMinPhase2, quillon::kMaxPhase2, 2);
    sclPhase2->setAccessibleName(label11->text());
    Place(sclPhase2, 4260, 990, 225, 450);
    lblPhase2 = MakeValueLabel(this, "lblPhase2", 2);
    Place(lblPhase2, 4500, 1005, 1350, 390);

    auto* label7 = MakeCaption(this, "Label7", "Syncro Jump Width (Tq)");
    Place(label7, 6405, 735, 1875, 240);
    // The captions stand close together and Arial's text is wider than their places; the
    // row takes the font size at which none runs into the next.
    FitCaptionRow({label8, label9, label11, label7});
    sclSJW = MakeScrollBar(this, "sclSJW", quillon::kMinSJW, quillon::kMaxSJW, 1);
    sclSJW->setAccessibleName(label7->text());
    Place(sclSJW, 6375, 1005, 225, 450);
    lblSJW = MakeValueLabel(this, "lblSJW", 1);
    Place(lblSJW, 6615, 1020, 1350, 390);

    optPhase2Group = new QButtonGroup(this);
    optPhase2[0] = new QRadioButton(this);
    optPhase2[0]->setObjectName(QStringLiteral("optPhase2_0"));
    optPhase2[0]->setToolTip(tr("Phase 2 is set by its own scroll bar"));
    optPhase2[0]->setAccessibleName(tr("Phase 2 set by its own scroll bar"));
    Place(optPhase2[0], 3990, 1080, 240, 240);
    // A radio button cannot wrap its caption, so the long caption of the second option is a
    // wrapping label beside an indicator-only button; clicking the label selects the option.
    optPhase2[1] = new QRadioButton(this);
    optPhase2[1]->setObjectName(QStringLiteral("optPhase2_1"));
    optPhase2[1]->setAccessibleName(QString::fromLatin1(kLargerOfCaption));
    Place(optPhase2[1], 3990, 1485, 240, 240);
    optPhase2Caption = MakeCaption(this, "optPhase2_1Caption", kLargerOfCaption);
    optPhase2Caption->setWordWrap(true);
    optPhase2Caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    optPhase2Caption->installEventFilter(this);
    Place(optPhase2Caption, 4230, 1485, 2370, 480);
    optPhase2Group->addButton(optPhase2[0], 0);
    optPhase2Group->addButton(optPhase2[1], 1);
    optPhase2[0]->setChecked(true);

    chkMultipleSampling = new QCheckBox(QStringLiteral("Use multiple bit sampling (SAM)"), this);
    chkMultipleSampling->setObjectName(QStringLiteral("chkMultipleSampling"));
    Place(chkMultipleSampling, 465, 1560, 3015, 210);
    chkUseWakeUpFilter = new QCheckBox(QStringLiteral("Use wake up filter (WAKFIL)"), this);
    chkUseWakeUpFilter->setObjectName(QStringLiteral("chkUseWakeUpFilter"));
    Place(chkUseWakeUpFilter, 465, 1830, 3015, 210);
}

void ClassicStepThree::BuildNotesAndButtons() {
    auto* label4 = MakeCaption(this, "Label4", "Bit Timing");
    QFont bold = label4->font();
    bold.setBold(true);
    label4->setFont(bold);
    label4->setAlignment(Qt::AlignCenter);
    Place(label4, 255, 2025, 8040, 285);

    pctDisplay = new BitTimingPicture(this);
    pctDisplay->setObjectName(QStringLiteral("pctDisplay"));
    // A screen reader cannot read the picture: its description says it in words.
    pctDisplay->setAccessibleName(tr("Bit timing diagram"));
    Place(pctDisplay, 210, 2340, 8115, 1590);

    Place(MakeCaption(this, "Label5", "Notes"), 195, 3960, 1725, 225);
    lblNotes = new QLabel(this);
    lblNotes->setObjectName(QStringLiteral("lblNotes"));
    SetFixedColours(lblNotes, Qt::white, Qt::black);
    lblNotes->setWordWrap(true);
    lblNotes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(lblNotes, 780, 3975, 5550, 495);

    // What the current settings tolerate, on a line of its own under the notes.
    lblAnalysis = new QLabel(this);
    lblAnalysis->setObjectName(QStringLiteral("lblAnalysis"));
    lblAnalysis->setToolTip(
        tr("Oscillator tolerance from the CAN 2.0 resynchronisation conditions; bus length for "
           "50 ns transmitter and 30 ns receiver delays and 5 ns per metre of cable; sample "
           "point against the usual recommendation for the rate"));
    lblAnalysis->setWordWrap(true);
    lblAnalysis->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(lblAnalysis, 195, 4515, 6195, 405); // the right end is kept for the buttons

    // What to know before the report, under the analysis line: the findings of the setting
    // on the bus, each with its severity in words, boxes changed since the search, why the
    // list is empty. As wide as the panel and as high as its text (FitFindings).
    lblCheck = new QLabel(this);
    lblCheck->setObjectName(QStringLiteral("lblCheck"));
    lblCheck->setAccessibleName(tr("Findings"));
    lblCheck->setWordWrap(true);
    lblCheck->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Tab reaches it while it says something, so that a panel scrolled on a small screen
    // brings it into view; the focus shows as a frame (ShowFocusFrame).
    lblCheck->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblCheck->installEventFilter(this);
    Place(lblCheck, kFindingsLeft, kFindingsTop, 8430, 645);

    cmdRecommend = new QPushButton(tr("Recommend"), this);
    cmdRecommend->setObjectName(QStringLiteral("cmdRecommend"));
    cmdRecommend->setToolTip(
        tr("Set the segments for this Tq count to the best legal choice: every timing rule "
           "passed, the sample point nearest the one recommended for the rate, then the most "
           "oscillator tolerance, then the longest bus"));
    cmdRecommend->setAutoDefault(true);
    cmdRecommend->setEnabled(false);
    Place(cmdRecommend, 6675, 1545, 1755, 330);

    cmdGenerateReport = new QPushButton(QStringLiteral("Generate Report..."), this);
    cmdGenerateReport->setObjectName(QStringLiteral("cmdGenerateReport"));
    cmdGenerateReport->setEnabled(false);
    cmdGenerateReport->setAutoDefault(true);
    Place(cmdGenerateReport, 6465, 3960, 1755, 330);
}

void ClassicStepThree::ConnectControls() {
    // A scroll bar shows no focus of its own; its value box is framed while it has it.
    for (QScrollBar* bar : {sclProp, sclPhase1, sclPhase2, sclSJW}) {
        bar->installEventFilter(this);
    }

    connect(lstSelectTq, &QComboBox::activated, this, &ClassicStepThree::lstSelectTq_Click);
    connect(sclProp, &QScrollBar::valueChanged, this, &ClassicStepThree::sclProp_Change);
    connect(sclPhase1, &QScrollBar::valueChanged, this, &ClassicStepThree::sclPhase1_Change);
    connect(sclPhase2, &QScrollBar::valueChanged, this, &ClassicStepThree::sclPhase2_Change);
    connect(sclSJW, &QScrollBar::valueChanged, this, &ClassicStepThree::sclSJW_Change);
    connect(chkMultipleSampling, &QCheckBox::toggled, this,
            &ClassicStepThree::chkMultipleSampling_Click);
    connect(optPhase2Group, &QButtonGroup::idClicked, this, &ClassicStepThree::optPhase2_Click);
    connect(cmdGenerateReport, &QPushButton::clicked, this,
            &ClassicStepThree::cmdGenerateReport_Click);
    connect(cmdRecommend, &QPushButton::clicked, this, &ClassicStepThree::cmdRecommend_Click);
    connect(pctDisplay, &BitTimingPicture::Paint, this, &ClassicStepThree::DrawBitTiming);
}

void ClassicStepThree::BuildRegistersButton() {
    cmdRegisters = new QPushButton(tr("Registers..."), this);
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
    connect(cmdRegisters, &QPushButton::clicked, this, &ClassicStepThree::cmdRegisters_Click);
}

void ClassicStepThree::Show() {
    std::int32_t count = 0;
    m_grid->GetTqValues(vTqValues, vBRPValues, count);

    {
        const QSignalBlocker quiet(lstSelectTq);
        lstSelectTq->clear();
        for (std::int32_t i = 1; i <= count; ++i) {
            lstSelectTq->addItem(QString::number(vTqValues(static_cast<std::size_t>(i))));
        }
        lstSelectTq->setCurrentIndex(-1);
    }
    if (lstSelectTq->count() > 0) {
        lstSelectTq->setCurrentIndex(0);
        lstSelectTq_Click();
        lstSelectTq->setEnabled(true);
    } else {
        lstSelectTq->setEnabled(false);
    }

    show();
    raise();
    DrawBitTiming();
}

bool ClassicStepThree::HasTqChoice() const {
    return lstSelectTq->isEnabled();
}

QList<QWidget*> ClassicStepThree::TabChain() const {
    // In reading order: the list and "Bus..." beside it, the segments, the buttons, and the
    // findings at the bottom.
    return {lstSelectTq,
            cmdBus,
            sclProp,
            sclPhase1,
            optPhase2[0],
            sclPhase2,
            optPhase2[1],
            sclSJW,
            cmdRecommend,
            chkMultipleSampling,
            chkUseWakeUpFilter,
            cmdGenerateReport,
            cmdRegisters,
            cmdCopyAs,
            lblCheck};
}

void ClassicStepThree::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int width = this->width() - Twips(25);
    if (width > 0) {
        pctDisplay->setGeometry(Twips(25), pctDisplay->y(), width, pctDisplay->height());
    }
    DrawBitTiming();
    FitFindings();
}

void ClassicStepThree::BuildBusButton() {
    // Beside the Tq list: the bus the findings are made for, and the button that changes it.
    cmdBus = new QPushButton(tr("&Bus..."), this);
    cmdBus->setObjectName(QStringLiteral("cmdClassicBus"));
    cmdBus->setToolTip(tr("The bus as it is built: length, cable and loop delays, crystals"));
    cmdBus->setAutoDefault(true);
    Place(cmdBus, 3300, 315, 1000, 330);
    connect(cmdBus, &QPushButton::clicked, this, &ClassicStepThree::busRequested);

    lblBus = new QLabel(this);
    lblBus->setObjectName(QStringLiteral("lblBus"));
    lblBus->setAccessibleName(tr("Bus"));
    lblBus->setWordWrap(true);
    lblBus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Place(lblBus, 4395, 60, 4305, 645);
}

void ClassicStepThree::FitFindings() {
    const int left = Twips(kFindingsLeft);
    const int width = this->width() - 2 * left;
    if (width <= 0) {
        return;
    }
    lblCheck->setFocusPolicy(lblCheck->text().isEmpty() ? Qt::NoFocus : Qt::StrongFocus);
    const int kept = lblCheck->fontMetrics().lineSpacing() * kFindingsLines;
    lblCheck->setGeometry(left, Twips(kFindingsTop), width,
                          std::max(kept, lblCheck->heightForWidth(width)));
    const int needed = lblCheck->geometry().bottom() + 1 + Twips(kFindingsMargin);
    if (needed != minimumHeight()) {
        setMinimumHeight(needed);
        emit heightWanted();
    }
}

bool ClassicStepThree::eventFilter(QObject* watched, QEvent* event) {
    const bool leftClick = event->type() == QEvent::MouseButtonRelease &&
                           static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (watched == optPhase2Caption && leftClick && optPhase2[1]->isEnabled()) {
        optPhase2[1]->click();
        return true;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        ShowFocusFrame(watched, event->type() == QEvent::FocusIn);
    }
    return QWidget::eventFilter(watched, event);
}

void ClassicStepThree::ShowFocusFrame(QObject* control, bool focused) {
    const std::pair<QObject*, QLabel*> pairs[] = {{sclProp, lblPropDelay},
                                                  {sclPhase1, lblPhase1},
                                                  {sclPhase2, lblPhase2},
                                                  {sclSJW, lblSJW},
                                                  {lblCheck, lblCheck}};
    for (const auto& [watched, label] : pairs) {
        if (watched == control) {
            label->setFrameStyle(focused ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
        }
    }
    if (control == lblCheck) {
        FitFindings(); // the frame takes room from the text
    }
}

int ClassicStepThree::Twips(double twips) const {
    return TwipsToPixels(twips, this);
}

void ClassicStepThree::Place(QWidget* widget, double left, double top, double width,
                             double height) const {
    widget->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

std::string ClassicStepThree::DecimalSeparator() const {
    return ToStdString(QLocale().decimalPoint());
}
