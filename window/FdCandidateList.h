#pragma once
// Step 2 with a CAN FD controller: the pairs of nominal and data prescaler and Tq count
// that give the two rates, best first as the search orders them, each with the sample
// points and oscillator tolerance of its proposal. One is chosen for step 3.
#include "timing/fd/FdSearch.h"

#include <QWidget>

#include <vector>

class QLabel;
class QTreeWidget;

class FdCandidateList : public QWidget {
    Q_OBJECT

public:
    explicit FdCandidateList(QWidget* parent = nullptr);

    // `sysclk` is the clock's text ("40.000 MHz"); `proposals` holds the facts of each
    // candidate's proposal, in the same order.
    // `clockName` is "SYSCLK" or "CAN clock", `sysclk` its frequency.
    void Show(const QString& clockName, const QString& sysclk,
              const std::vector<quillon::FdCandidate>& candidates,
              const std::vector<quillon::FdFacts>& proposals);
    // The chosen entry, 0-based; -1 when the list is empty.
    int CurrentIndex() const;
    const std::vector<quillon::FdCandidate>& Candidates() const { return m_candidates; }
    QWidget* list() const;

signals:
    // Return or a double click on an entry: go on as ">" does.
    void chosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<quillon::FdCandidate> m_candidates;
    QLabel* lblFdSummary = nullptr;
    QTreeWidget* lvwFdCandidates = nullptr;
};
