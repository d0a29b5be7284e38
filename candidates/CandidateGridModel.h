#pragma once
// The step-2 grid's table: every evaluated BRP-1/Tq combination of the last calculation,
// handed to a QTableView. It keeps the candidates as numbers and writes a cell's rate text
// and its screen reader description only when something asks for that cell, since a user
// sees a few dozen of the 1152 rates at a time. Table column 0 is the quantum length of
// the row, columns 1 on the rates from 8 Tq up; the headers are the row labels and the Tq
// headings.
#include "timing/classic/CandidateSearch.h"

#include <QAbstractTableModel>
#include <QString>

#include <string>
#include <vector>

class CandidateGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit CandidateGridModel(QObject* parent = nullptr);

    // The candidates of one calculation, BRP-1 ascending (outer) and Tq count ascending
    // (inner), as EvaluateAllCandidates gives them; the target rate (bit/s) and the decimal
    // separator are those the texts are written with until the next call.
    void SetCandidates(std::vector<quillon::TqCandidate> evaluated, double dTargetBaud,
                       const QString& sDecimalSeparator);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The candidate behind a rate cell (table column 1 on), or null for the quantum column,
    // an index off the table and a table not yet calculated.
    const quillon::TqCandidate* CandidateAt(int row, int column) const;

private:
    std::vector<quillon::TqCandidate> m_evaluated;
    int m_rows = 0;
    double m_dTargetBaud = 0.0;
    std::string m_sDecimalSeparator;
};
