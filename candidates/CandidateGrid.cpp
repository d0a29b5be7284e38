#include "candidates/CandidateGrid.h"

#include "candidates/CandidateGridModel.h"

#include "timing/classic/DisplayTexts.h"
#include "ui/QtText.h"
#include "ui/Twips.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTableView>
#include <QTreeWidget>

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// The grid's header row 0 and header column 0 are the table's own header views, so they
// stay in view while the rates scroll; table cell (r, c) is grid cell (r + 1, c + 1).
constexpr int kHeaderRows = 1;
constexpr int kHeaderColumns = 1;

constexpr double kGridFontPoints = 8.25;
constexpr double kRowLabelColumnTwips = 1000.0;
constexpr std::array<double, quillon::kListColumnCount> kListColumnTwips{450.0, 700.0, 900.0,
                                                                         600.0};
constexpr double kRemoveLeftTwips = 60.0;
constexpr double kClearLeftTwips = 1065.0;
constexpr double kButtonWidthTwips = 825.0;
constexpr double kButtonHeightTwips = 270.0;
constexpr double kButtonStripTwips = 400.0; // below the list, holds the two buttons
constexpr double kButtonGapTwips = 25.0;    // between the list and the buttons
constexpr double kGridShare = 0.7;
constexpr double kPanelShare = 0.3;

// One of the two buttons under the list, at its design-time place in the panel (its top
// follows the list's height on every panel resize).
QPushButton* MakeListButton(QWidget* pctPanel, const QString& sCaption, const QString& sName,
                            double dLeftTwips, const QString& sToolTip) {
    auto* button = new QPushButton(sCaption, pctPanel);
    button->setObjectName(sName);
    button->setAutoDefault(true); // Return on the focused button presses it
    button->setGeometry(TwipsToPixels(dLeftTwips, pctPanel), 0,
                        TwipsToPixels(kButtonWidthTwips, pctPanel),
                        TwipsToPixels(kButtonHeightTwips, pctPanel));
    button->setToolTip(sToolTip);
    return button;
}

// The grid of a controller: its prescaler range and clock (the calculator's own by default).
quillon::SearchRange RangeOf(const quillon::Controller* pController) {
    return quillon::SearchRangeOf(pController != nullptr ? *pController
                                                         : quillon::DefaultController());
}

} // namespace

CandidateGrid::CandidateGrid(QWidget* parent)
    : QWidget(parent), m_sDecimalSeparator(QLocale().decimalPoint()) {
    m_model = new CandidateGridModel(this);
    m_g = new QTableView(this);
    m_g->setModel(m_model);
    m_g->setObjectName(QStringLiteral("g"));
    m_g->setAccessibleName(tr("Bit rate of every prescaler and Tq count"));
    QFont gridFont(QStringLiteral("Arial"));
    gridFont.setPointSizeF(kGridFontPoints);
    m_g->setFont(gridFont);
    m_g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_g->setSelectionMode(QAbstractItemView::SingleSelection);
    m_g->setWordWrap(false);
    m_g->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_g->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const QFontMetrics metrics(gridFont);
    const int padding = 2 * metrics.averageCharWidth();
    m_g->horizontalHeader()->setDefaultSectionSize(
        std::max(metrics.horizontalAdvance(QStringLiteral("1000.000 kb")),
                 metrics.horizontalAdvance(
                     QString::fromStdString(quillon::GridTqCountHeading(quillon::kMaxTqCount)))) +
        padding);
    m_g->verticalHeader()->setDefaultSectionSize(
        std::max(m_g->verticalHeader()->minimumSectionSize(), metrics.height() + 4));
    m_g->setToolTip(tr("Bit rate of every prescaler (BRP-1) and Tq count. Rates that hit the "
                       "target are bold on white, all others silver.\nDouble-click a rate to "
                       "add that combination to the list."));
    // The corner button of the table is row 0 / column 0; it only shows a heading.
    m_g->setCornerButtonEnabled(false);
    m_gCorner = m_g->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (m_gCorner != nullptr) {
        m_gCorner->installEventFilter(this);
    }
    connect(m_g, &QTableView::doubleClicked, this, &CandidateGrid::g_DblClick);
    // Tab leaves the grid for the list (the arrow keys move within it); Return or Space on a
    // cell adds it as a double-click does.
    m_g->setTabKeyNavigation(false);
    m_g->installEventFilter(this);
    setFocusProxy(m_g);

    m_pctLeft = new QWidget(this);
    m_pctLeft->setObjectName(QStringLiteral("pctLeft"));
    m_pctLeft->installEventFilter(this);

    m_lvwTq = new QTreeWidget(m_pctLeft);
    m_lvwTq->setObjectName(QStringLiteral("lvwTq"));
    m_lvwTq->setAccessibleName(tr("Chosen candidates"));
    QStringList headings;
    for (const std::string_view sHeading : quillon::kListHeadings) {
        headings.append(ToQString(sHeading));
    }
    m_lvwTq->setHeaderLabels(headings);
    m_lvwTq->setRootIsDecorated(false);
    m_lvwTq->setItemsExpandable(false);
    m_lvwTq->setUniformRowHeights(true);
    m_lvwTq->setAllColumnsShowFocus(true);
    m_lvwTq->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lvwTq->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lvwTq->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lvwTq->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_lvwTq->header()->setStretchLastSection(false);
    for (std::size_t column = 0; column < kListColumnTwips.size(); ++column) {
        m_lvwTq->setColumnWidth(static_cast<int>(column),
                                TwipsToPixels(kListColumnTwips[column], this));
    }
    m_lvwTq->setToolTip(tr("Chosen candidates: Tq count, BRP-1, oscillator clocks per bit and "
                           "the rate error in percent.\nDelete removes the selected candidate; "
                           "Return goes on as \">\" does."));
    m_lvwTq->installEventFilter(this);

    m_cmdRemove =
        MakeListButton(m_pctLeft, QStringLiteral("Remove"), QStringLiteral("cmdRemove"),
                       kRemoveLeftTwips, tr("Remove the selected candidate from the list"));
    connect(m_cmdRemove, &QPushButton::clicked, this, &CandidateGrid::cmdRemove_Click);
    m_cmdClear = MakeListButton(m_pctLeft, QStringLiteral("Clear"), QStringLiteral("cmdClear"),
                                kClearLeftTwips, tr("Remove all candidates from the list"));
    connect(m_cmdClear, &QPushButton::clicked, this, &CandidateGrid::cmdClear_Click);
}

void CandidateGrid::Calculate() {
    std::vector<quillon::TqCandidate> evaluated =
        quillon::EvaluateAllCandidates(m_dOscFreqInMhz, m_dCANBaudRate, RangeOf(m_pController));

    // One repaint at the end instead of one per change.
    m_g->setUpdatesEnabled(false);
    const QModelIndex current = m_g->currentIndex();
    const int currentRow = current.row();
    const int currentColumn = current.column();
    m_lvwTq->clear();

    m_chosenList.Refill(evaluated);
    for (const quillon::TqCandidate& candidate : m_chosenList.Items()) {
        AddListItem(candidate);
    }
    // The grid keeps the numbers; the view has the texts of the cells it shows written.
    m_model->SetCandidates(std::move(evaluated), m_dCANBaudRate, m_sDecimalSeparator);
    m_g->verticalHeader()->setFixedWidth(TwipsToPixels(kRowLabelColumnTwips, this));
    m_sCornerText = ToQString(quillon::kGridCornerText);

    if (currentRow >= 0 && currentColumn >= 0) {
        m_g->selectionModel()->setCurrentIndex(m_model->index(currentRow, currentColumn),
                                               QItemSelectionModel::ClearAndSelect);
    }
    m_g->setUpdatesEnabled(true);
    if (m_gCorner != nullptr) {
        m_gCorner->update();
    }
}

void CandidateGrid::AddListItem(const quillon::TqCandidate& candidate) {
    QStringList texts;
    for (const std::string& sText : quillon::ListTexts(candidate, DecimalSeparator())) {
        texts.append(QString::fromStdString(sText));
    }
    new QTreeWidgetItem(m_lvwTq, texts);
}

void CandidateGrid::GetTqValues(quillon::OneBasedArray<std::int32_t>& vTqValues,
                                quillon::OneBasedArray<std::int32_t>& vBRPValues,
                                std::int32_t& lNumItems) const {
    m_chosenList.GetTqValues(vTqValues, vBRPValues, lNumItems);
}

int CandidateGrid::rowCount() const {
    return m_model->rowCount() + kHeaderRows;
}

int CandidateGrid::columnCount() const {
    return m_model->columnCount() + kHeaderColumns;
}

QString CandidateGrid::cellText(int row, int col) const {
    if (row < 0 || col < 0 || row >= rowCount() || col >= columnCount()) {
        return {};
    }
    if (row == 0 && col == 0) {
        return m_sCornerText;
    }
    if (row == 0) {
        return m_model->headerData(col - kHeaderColumns, Qt::Horizontal).toString();
    }
    if (col == 0) {
        return m_model->headerData(row - kHeaderRows, Qt::Vertical).toString();
    }
    return m_model->index(row - kHeaderRows, col - kHeaderColumns).data().toString();
}

bool CandidateGrid::cellIsSilver(int row, int col) const {
    const quillon::TqCandidate* candidate =
        m_model->CandidateAt(row - kHeaderRows, col - kHeaderColumns);
    return candidate != nullptr && !candidate->bMatches;
}

void CandidateGrid::g_DblClick(const QModelIndex& index) {
    // Header column 0 and the quantum column add nothing; before the first Calculate no
    // cell has a candidate.
    const quillon::TqCandidate* candidate =
        index.isValid() ? m_model->CandidateAt(index.row(), index.column()) : nullptr;
    if (candidate == nullptr) {
        return;
    }
    AddCandidate(candidate->lBRPMinus1, candidate->lTqCount);
}

void CandidateGrid::AddCandidate(std::int32_t lBRPMinus1, std::int32_t lTqCount) {
    const quillon::TqCandidate candidate = quillon::MakeTqCandidate(
        m_dOscFreqInMhz, m_dCANBaudRate, lBRPMinus1, lTqCount, quillon::ErrorSignRule::Grid,
        RangeOf(m_pController).periodsPerBrp);
    m_chosenList.Append(candidate);
    AddListItem(candidate);
}

int CandidateGrid::ChooseCandidate(std::int32_t lBRPMinus1, std::int32_t lTqCount) {
    const int index = m_chosenList.IndexOf(lBRPMinus1, lTqCount);
    if (index >= 0) {
        return index;
    }
    AddCandidate(lBRPMinus1, lTqCount);
    return m_chosenList.Count() - 1;
}

void CandidateGrid::cmdRemove_Click() {
    const QList<QTreeWidgetItem*> selected = m_lvwTq->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const int index = m_lvwTq->indexOfTopLevelItem(selected.first());
    m_chosenList.RemoveAt(index);
    delete m_lvwTq->takeTopLevelItem(index);
    // The view would pass the selection on to the neighbour; a second "Remove" should not
    // silently take an entry the user never picked.
    m_lvwTq->clearSelection();
}

void CandidateGrid::cmdClear_Click() {
    m_chosenList.Clear();
    m_lvwTq->clear();
}

void CandidateGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UserControl_Resize();
}

bool CandidateGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_g && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) &&
            m_g->currentIndex().isValid()) {
            g_DblClick(m_g->currentIndex());
            return true;
        }
    }
    if (watched == m_lvwTq && event->type() == QEvent::KeyPress &&
        ListKeyPressed(static_cast<QKeyEvent*>(event))) {
        return true;
    }
    if (watched == m_pctLeft && event->type() == QEvent::Resize) {
        pctLeft_Resize();
    } else if (watched == m_gCorner && event->type() == QEvent::Paint) {
        PaintCorner();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool CandidateGrid::ListKeyPressed(const QKeyEvent* event) {
    if (event->modifiers() != Qt::NoModifier && event->modifiers() != Qt::KeypadModifier) {
        return false;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit chosen();
        return true;
    case Qt::Key_Delete:
        cmdRemove_Click();
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        // Selected, whatever was current before (the view takes the first entry for either
        // key while none is current): Remove and Delete then act on it.
        if (const int count = m_lvwTq->topLevelItemCount(); count > 0) {
            m_lvwTq->setCurrentItem(
                m_lvwTq->topLevelItem(event->key() == Qt::Key_Home ? 0 : count - 1));
        }
        return true;
    default:
        return false;
    }
}

void CandidateGrid::PaintCorner() {
    QStyleOptionHeader option;
    // The corner button is disabled; take the look of the enabled header beside it.
    option.initFrom(m_g->horizontalHeader());
    option.state = QStyle::State_Enabled | QStyle::State_Raised;
    option.rect = m_gCorner->rect();
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.text = m_sCornerText;
    option.textAlignment = Qt::AlignCenter;
    QPainter painter(m_gCorner);
    m_gCorner->style()->drawControl(QStyle::CE_Header, &option, &painter, m_gCorner);
}

void CandidateGrid::UserControl_Resize() {
    const QRect inner = contentsRect();
    const double dWidth = PixelsToTwips(inner.width(), this);
    const double dHeight = PixelsToTwips(inner.height(), this);
    m_g->setGeometry(0, 0, TwipsToPixels(kGridShare * dWidth, this), TwipsToPixels(dHeight, this));
    m_pctLeft->setGeometry(m_g->width(), 0, TwipsToPixels(kPanelShare * dWidth, this),
                           TwipsToPixels(dHeight, this));
}

void CandidateGrid::pctLeft_Resize() {
    const QRect inner = m_pctLeft->contentsRect();
    const double dListHeight = PixelsToTwips(inner.height(), this) - kButtonStripTwips;
    // On a panel too low for the button strip the list and buttons keep their places.
    if (dListHeight <= 0.0) {
        return;
    }
    m_lvwTq->setGeometry(0, 0, inner.width(), TwipsToPixels(dListHeight, this));
    const int buttonTop =
        TwipsToPixels(PixelsToTwips(m_lvwTq->height(), this) + kButtonGapTwips, this);
    m_cmdRemove->move(m_cmdRemove->x(), buttonTop);
    m_cmdClear->move(m_cmdClear->x(), buttonTop);
}
