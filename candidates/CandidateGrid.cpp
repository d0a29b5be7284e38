#include "candidates/CandidateGrid.h"

#include "timing/classic/DisplayTexts.h"
#include "ui/QtText.h"
#include "ui/Twips.h"

#include <QAbstractButton>
#include <QBrush>
#include <QColor>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTableWidget>
#include <QTreeWidget>

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// The grid's header row 0 and header column 0 are the table's own header views, so they
// stay in view while the rates scroll; table cell (r, c) is grid cell (r + 1, c + 1).
constexpr int kHeaderRows = 1;
constexpr int kHeaderColumns = 1;
constexpr int kTqColumn = 1;        // grid column of the quantum lengths
constexpr int kFirstRateColumn = 2; // grid column of the lowest Tq count

const QColor kSilver(192, 192, 192);

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

std::size_t EvaluatedIndex(int brpIndex, int tqIndex) {
    return static_cast<std::size_t>(brpIndex * quillon::kTqCountCount + tqIndex);
}

} // namespace

CandidateGrid::CandidateGrid(QWidget* parent)
    : QWidget(parent), m_sDecimalSeparator(QLocale().decimalPoint()) {
    m_g = new QTableWidget(1, 1, this);
    m_g->setObjectName(QStringLiteral("g"));
    m_g->setAccessibleName(tr("Bit rate of every prescaler and Tq count"));
    QFont gridFont(QStringLiteral("Arial"));
    gridFont.setPointSizeF(kGridFontPoints);
    m_g->setFont(gridFont);
    m_g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_g->setSelectionMode(QAbstractItemView::SingleSelection);
    m_g->setWordWrap(false);
    m_g->setHorizontalHeaderItem(0, new QTableWidgetItem);
    m_g->setVerticalHeaderItem(0, new QTableWidgetItem);
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
    connect(m_g, &QTableWidget::cellDoubleClicked, this, &CandidateGrid::g_DblClick);
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
    const quillon::SearchRange range = RangeOf(m_pController);
    const std::vector<quillon::TqCandidate> evaluated =
        quillon::EvaluateAllCandidates(m_dOscFreqInMhz, m_dCANBaudRate, range);
    const int rows = range.brpMinus1Max - range.brpMinus1Min + 1;

    // One repaint at the end instead of one per cell.
    m_g->setUpdatesEnabled(false);
    const QSignalBlocker blocker(m_g);
    const int currentRow = m_g->currentRow();
    const int currentColumn = m_g->currentColumn();
    m_lvwTq->clear();

    m_g->setRowCount(rows);
    m_g->setColumnCount(quillon::kTqCountCount + kFirstRateColumn - kHeaderColumns);
    m_g->verticalHeader()->setFixedWidth(TwipsToPixels(kRowLabelColumnTwips, this));

    m_sCornerText = ToQString(quillon::kGridCornerText);
    SetHeaderText(Qt::Horizontal, kTqColumn - kHeaderColumns, ToQString(quillon::kGridTqHeading));
    for (int tqIndex = 0; tqIndex < quillon::kTqCountCount; ++tqIndex) {
        SetHeaderText(
            Qt::Horizontal, kFirstRateColumn - kHeaderColumns + tqIndex,
            QString::fromStdString(quillon::GridTqCountHeading(quillon::kMinTqCount + tqIndex)));
    }

    for (int brpIndex = 0; brpIndex < rows; ++brpIndex) {
        const quillon::TqCandidate& first = evaluated.at(EvaluatedIndex(brpIndex, 0));
        SetHeaderText(Qt::Vertical, brpIndex,
                      QString::fromStdString(quillon::GridRowLabel(first.lBRPMinus1)));
        EnsureTableItem(brpIndex, kTqColumn - kHeaderColumns)
            ->setText(
                QString::fromStdString(quillon::GridTqText(first.dTqSeconds, DecimalSeparator())));
        for (int tqIndex = 0; tqIndex < quillon::kTqCountCount; ++tqIndex) {
            WriteRateCell(brpIndex, kFirstRateColumn - kHeaderColumns + tqIndex,
                          evaluated.at(EvaluatedIndex(brpIndex, tqIndex)));
        }
    }

    m_chosenList.Refill(evaluated);
    for (const quillon::TqCandidate& candidate : m_chosenList.Items()) {
        AddListItem(candidate);
    }

    if (currentRow >= 0 && currentColumn >= 0) {
        m_g->setCurrentCell(currentRow, currentColumn);
    }
    m_g->setUpdatesEnabled(true);
    if (m_gCorner != nullptr) {
        m_gCorner->update();
    }
}

void CandidateGrid::WriteRateCell(int tableRow, int tableColumn,
                                  const quillon::TqCandidate& candidate) {
    QTableWidgetItem* item = EnsureTableItem(tableRow, tableColumn);
    if (candidate.bMatches) {
        // Normal background; bold so that the few matches stand out in the silver field.
        QFont bold = m_g->font();
        bold.setBold(true);
        item->setData(Qt::BackgroundRole, QVariant());
        item->setData(Qt::ForegroundRole, QVariant());
        item->setFont(bold);
    } else {
        // A fixed background takes a fixed text colour: a dark theme's light text would
        // vanish on silver.
        item->setBackground(kSilver);
        item->setForeground(QColor(Qt::black));
        item->setData(Qt::FontRole, QVariant());
    }
    item->setText(
        QString::fromStdString(quillon::GridRateText(candidate.dActualBaud, DecimalSeparator())));
    // A screen reader reads the rate as the cell's name and this beside it: the match that
    // the bold or silver shows.
    item->setData(
        Qt::AccessibleDescriptionRole,
        ToQString(quillon::GridCellDescription(candidate, m_dCANBaudRate, DecimalSeparator())));
}

QTableWidgetItem* CandidateGrid::EnsureTableItem(int tableRow, int tableColumn) {
    QTableWidgetItem* item = m_g->item(tableRow, tableColumn);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        m_g->setItem(tableRow, tableColumn, item);
    }
    return item;
}

void CandidateGrid::SetHeaderText(Qt::Orientation orientation, int section, const QString& sText) {
    QTableWidgetItem* item = orientation == Qt::Horizontal ? m_g->horizontalHeaderItem(section)
                                                           : m_g->verticalHeaderItem(section);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        if (orientation == Qt::Horizontal) {
            m_g->setHorizontalHeaderItem(section, item);
        } else {
            m_g->setVerticalHeaderItem(section, item);
        }
    }
    item->setText(sText);
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
    return m_g->rowCount() + kHeaderRows;
}

int CandidateGrid::columnCount() const {
    return m_g->columnCount() + kHeaderColumns;
}

QTableWidgetItem* CandidateGrid::TableItem(int row, int col) const {
    if (row < kHeaderRows || col < kHeaderColumns) {
        return nullptr;
    }
    return m_g->item(row - kHeaderRows, col - kHeaderColumns);
}

QString CandidateGrid::cellText(int row, int col) const {
    if (row < 0 || col < 0 || row >= rowCount() || col >= columnCount()) {
        return {};
    }
    if (row == 0 && col == 0) {
        return m_sCornerText;
    }
    const QTableWidgetItem* item = row == 0   ? m_g->horizontalHeaderItem(col - kHeaderColumns)
                                   : col == 0 ? m_g->verticalHeaderItem(row - kHeaderRows)
                                              : TableItem(row, col);
    return item != nullptr ? item->text() : QString();
}

bool CandidateGrid::cellIsSilver(int row, int col) const {
    const QTableWidgetItem* item = TableItem(row, col);
    return item != nullptr && item->background().style() != Qt::NoBrush &&
           item->background().color() == kSilver;
}

void CandidateGrid::g_DblClick(int tableRow, int tableColumn) {
    const int row = tableRow + kHeaderRows;
    const int col = tableColumn + kHeaderColumns;
    // Before the first Calculate the only cell is in the quantum column, so this also
    // covers the empty grid.
    if (col < kFirstRateColumn) {
        return;
    }
    AddCandidate(RangeOf(m_pController).brpMinus1Min + row - kHeaderRows,
                 quillon::kMinTqCount + col - kFirstRateColumn);
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
            m_g->currentRow() >= 0 && m_g->currentColumn() >= 0) {
            g_DblClick(m_g->currentRow(), m_g->currentColumn());
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
