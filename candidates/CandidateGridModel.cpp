#include "candidates/CandidateGridModel.h"

#include "timing/classic/DisplayTexts.h"
#include "timing/common/Limits.h"
#include "ui/QtText.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include <utility>

namespace {

constexpr int kRateColumns = quillon::kTqCountCount;
constexpr int kFirstRateColumn = 1; // table column of the lowest Tq count

const QColor kSilver(192, 192, 192);

} // namespace

CandidateGridModel::CandidateGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void CandidateGridModel::SetCandidates(std::vector<quillon::TqCandidate> evaluated,
                                       double dTargetBaud, const QString& sDecimalSeparator) {
    const int rows = static_cast<int>(evaluated.size()) / kRateColumns;
    const bool sameShape = !m_evaluated.empty() && rows == m_rows;
    if (!sameShape) {
        beginResetModel();
    }
    m_evaluated = std::move(evaluated);
    m_rows = rows;
    m_dTargetBaud = dTargetBaud;
    m_sDecimalSeparator = ToStdString(sDecimalSeparator);
    if (!sameShape) {
        endResetModel();
        return;
    }
    // Same rows and columns: the view keeps its current cell, selection and scroll place.
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

int CandidateGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    // Before the first calculation the grid is one empty cell under empty headings.
    return m_evaluated.empty() ? 1 : m_rows;
}

int CandidateGridModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return m_evaluated.empty() ? 1 : kFirstRateColumn + kRateColumns;
}

const quillon::TqCandidate* CandidateGridModel::CandidateAt(int row, int column) const {
    if (row < 0 || row >= m_rows || column < kFirstRateColumn ||
        column >= kFirstRateColumn + kRateColumns) {
        return nullptr;
    }
    return &m_evaluated[static_cast<std::size_t>(row * kRateColumns + column - kFirstRateColumn)];
}

QVariant CandidateGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows) {
        return {};
    }
    const quillon::TqCandidate* candidate = CandidateAt(index.row(), index.column());
    if (candidate == nullptr) {
        // The quantum column: the row's Tq length, plain.
        if (role != Qt::DisplayRole || index.column() != 0) {
            return {};
        }
        const quillon::TqCandidate& first =
            m_evaluated[static_cast<std::size_t>(index.row() * kRateColumns)];
        return QString::fromStdString(quillon::GridTqText(first.dTqSeconds, m_sDecimalSeparator));
    }
    switch (role) {
    case Qt::DisplayRole:
        // Written on every ask: a page of the grid is about a hundred cells, and keeping
        // their texts made no measurable difference to scrolling.
        return QString::fromStdString(
            quillon::GridRateText(candidate->dActualBaud, m_sDecimalSeparator));
    case Qt::AccessibleDescriptionRole:
        // A screen reader reads the rate as the cell's name and this beside it: the match
        // that the bold or silver shows.
        return ToQString(
            quillon::GridCellDescription(*candidate, m_dTargetBaud, m_sDecimalSeparator));
    case Qt::FontRole:
        if (candidate->bMatches) {
            // Bold on the view's own font, so that the few matches stand out in the silver
            // field.
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::BackgroundRole:
        return candidate->bMatches ? QVariant() : QVariant(QBrush(kSilver));
    case Qt::ForegroundRole:
        // A fixed background takes a fixed text colour: a dark theme's light text would
        // vanish on silver.
        return candidate->bMatches ? QVariant() : QVariant(QBrush(QColor(Qt::black)));
    default:
        return {};
    }
}

QVariant CandidateGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0) {
        return {};
    }
    if (m_evaluated.empty()) {
        return section == 0 ? QVariant(QString()) : QVariant();
    }
    if (orientation == Qt::Horizontal) {
        if (section == 0) {
            return ToQString(quillon::kGridTqHeading);
        }
        if (section < kFirstRateColumn + kRateColumns) {
            return QString::fromStdString(
                quillon::GridTqCountHeading(quillon::kMinTqCount + section - kFirstRateColumn));
        }
        return {};
    }
    if (section >= m_rows) {
        return {};
    }
    return QString::fromStdString(quillon::GridRowLabel(
        m_evaluated[static_cast<std::size_t>(section * kRateColumns)].lBRPMinus1));
}

Qt::ItemFlags CandidateGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}
