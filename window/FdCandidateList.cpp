#include "window/FdCandidateList.h"

#include "timing/common/NumberFormat.h"
#include "ui/QtText.h"
#include "ui/Spoken.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString YesNo(bool yes) {
    return yes ? QObject::tr("yes") : QObject::tr("no");
}

QString Prescaled(const quillon::FdPhaseCandidate& phase) {
    return QStringLiteral("%1 x %2 Tq").arg(phase.lBRP).arg(phase.lTqCount);
}

} // namespace

FdCandidateList::FdCandidateList(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ctlFdCandidates"));
    lblFdSummary = new QLabel(this);
    lblFdSummary->setObjectName(QStringLiteral("lblFdSummary"));
    lblFdSummary->setWordWrap(true);

    lvwFdCandidates = new QTreeWidget(this);
    lvwFdCandidates->setObjectName(QStringLiteral("lvwFdCandidates"));
    lvwFdCandidates->setAccessibleName(tr("Pairs of nominal and data timing"));
    lvwFdCandidates->setRootIsDecorated(false);
    lvwFdCandidates->setUniformRowHeights(true);
    lvwFdCandidates->setAlternatingRowColors(true);
    lvwFdCandidates->setHeaderLabels({tr("#"), tr("Nominal"), tr("Data"), tr("Same Tq"), tr("TDC"),
                                      tr("%Err nominal"), tr("%Err data"), tr("Sample points"),
                                      tr("Tolerance"), tr("Usable")});
    for (const int phaseColumn : {1, 2}) {
        lvwFdCandidates->headerItem()->setToolTip(phaseColumn,
                                                  tr("Prescaler (BRP) x time quanta in one bit"));
    }
    lvwFdCandidates->headerItem()->setToolTip(
        7, tr("The sample points of the proposed segments, nominal / data"));
    lvwFdCandidates->headerItem()->setToolTip(
        8, tr("The oscillator tolerance of the proposed segments and, in brackets, the "
              "condition of ISO 11898-1 that limits it"));
    lvwFdCandidates->headerItem()->setToolTip(
        9, tr("No where a tolerance condition of the proposed segments is at or below zero: no "
              "crystal is exact enough for them. Such pairs come last."));
    lvwFdCandidates->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lvwFdCandidates->installEventFilter(this);
    connect(lvwFdCandidates, &QTreeWidget::itemDoubleClicked, this, &FdCandidateList::chosen);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->addWidget(lblFdSummary);
    column->addWidget(lvwFdCandidates, 1);
}

void FdCandidateList::Show(const QString& clockName, const QString& sysclk,
                           const std::vector<quillon::FdCandidate>& candidates,
                           const std::vector<quillon::FdFacts>& proposals) {
    m_candidates = candidates;
    lvwFdCandidates->clear();
    if (candidates.empty()) {
        lblFdSummary->setText(
            tr("%1 %2: no prescaler and Tq count gives both rates within %3 %. Press \"<\" "
               "and change the oscillator or the rates.")
                .arg(clockName, sysclk,
                     ToQString(quillon::FormatGeneralNumber(quillon::kFdNearRatePercent))));
        SetSpokenDescription(lvwFdCandidates, lblFdSummary->text());
        return;
    }
    const auto usable = std::count_if(candidates.begin(), candidates.end(),
                                      [](const quillon::FdCandidate& c) { return c.bUsable; });
    const QString found = candidates.size() == 1
                              ? tr("%1 %2: one pair of nominal and data timing gives these "
                                   "rates")
                                    .arg(clockName, sysclk)
                              : tr("%1 %2: %3 pairs of nominal and data timing give these "
                                   "rates")
                                    .arg(clockName, sysclk)
                                    .arg(candidates.size());
    QString works =
        tr("; %1 of them work with their proposed segments and come first.").arg(usable);
    if (usable == 0) {
        works = tr("; none of them works with its proposed segments.");
    } else if (static_cast<std::size_t>(usable) == candidates.size()) {
        works = tr(".");
    } else if (usable == 1) {
        works = tr("; one of them works with its proposed segments and comes first.");
    }
    lblFdSummary->setText(found + works);
    SetSpokenDescription(lvwFdCandidates, lblFdSummary->text());
    QList<QTreeWidgetItem*> items;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const quillon::FdCandidate& c = candidates[i];
        const quillon::FdFacts& p = proposals[i];
        items << new QTreeWidgetItem(QStringList{
            QString::number(i + 1), Prescaled(c.nominal), Prescaled(c.data), YesNo(c.SameQuantum()),
            YesNo(c.TdcPossible()), ToQString(p.nominal.sError), ToQString(p.data.sError),
            ToQString(p.nominal.sSamplePoint + " / " + p.data.sSamplePoint + " %"),
            ToQString(p.sTolerance + " % (" + std::to_string(p.tolerance.lLimiting) + ")"),
            c.bUsable ? tr("yes")
                      : tr("no: condition %1 at or below zero").arg(p.tolerance.lLimiting)});
    }
    lvwFdCandidates->addTopLevelItems(items);
    lvwFdCandidates->setCurrentItem(items.front());
}

int FdCandidateList::CurrentIndex() const {
    QTreeWidgetItem* item = lvwFdCandidates->currentItem();
    return item == nullptr ? -1 : lvwFdCandidates->indexOfTopLevelItem(item);
}

QWidget* FdCandidateList::list() const {
    return lvwFdCandidates;
}

bool FdCandidateList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lvwFdCandidates && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && CurrentIndex() >= 0) {
            emit chosen();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
