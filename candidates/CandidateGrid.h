#pragma once
// The candidate list control of step 2: a grid with the bit rate of every BRP-1/Tq
// combination (matches set apart from the silver rest) and, beside it, the list of chosen
// candidates that the user can extend by double-clicking grid cells, thin out and clear.
// The window sets the two inputs, calls Calculate and later reads the list with
// GetTqValues. The control owns the chosen list as numeric records, so the list texts are
// display only.
#include "timing/classic/CandidateSearch.h"
#include "timing/common/Controllers.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <string>

class CandidateGridModel;
class QAbstractButton;
class QKeyEvent;
class QModelIndex;
class QPushButton;
class QTableView;
class QTreeWidget;

class CandidateGrid : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double dOscFreqInMhz READ OscFreqInMhz WRITE SetOscFreqInMhz)
    Q_PROPERTY(double dCANBaudRate READ CANBaudRate WRITE SetCANBaudRate)

public:
    explicit CandidateGrid(QWidget* parent = nullptr);

    // Oscillator frequency in MHz.
    void SetOscFreqInMhz(double dOscFreqInMhz) { m_dOscFreqInMhz = dOscFreqInMhz; }
    double OscFreqInMhz() const { return m_dOscFreqInMhz; }
    // Target bus rate in bit/s (not kbit/s).
    void SetCANBaudRate(double dCANBaudRate) { m_dCANBaudRate = dCANBaudRate; }
    // The controller whose prescaler range and clock the grid shows; nullptr (the default)
    // is the calculator's 64 x 18 grid.
    void SetController(const quillon::Controller* pController) { m_pController = pController; }
    double CANBaudRate() const { return m_dCANBaudRate; }

    // Evaluates all combinations, rebuilds the grid and refills the chosen list with the
    // matches, discarding the user's edits since the previous calculation.
    void Calculate();

    // The chosen candidates as 1-based arrays of Tq counts and BRP-1 values, in list order.
    // An empty list gives lNumItems 0 and leaves both arrays untouched.
    void GetTqValues(quillon::OneBasedArray<std::int32_t>& vTqValues,
                     quillon::OneBasedArray<std::int32_t>& vBRPValues,
                     std::int32_t& lNumItems) const;

    const quillon::ChosenList& chosenList() const { return m_chosenList; }

    // Appends the grid cell of a prescaler and Tq count to the chosen list, as a
    // double-click on it does.
    void AddCandidate(std::int32_t lBRPMinus1, std::int32_t lTqCount);
    // The chosen list's entry of a prescaler and Tq count (0-based), appended first only
    // when the list has none: a setting brought in from elsewhere is listed once.
    int ChooseCandidate(std::int32_t lBRPMinus1, std::int32_t lTqCount);

    // Decimal separator of every number the control writes from now on (grid and %Err);
    // the user's locale unless set.
    void setDecimalSeparator(const QString& sSeparator) { m_sDecimalSeparator = sSeparator; }
    QString decimalSeparator() const { return m_sDecimalSeparator; }

    // The grid as the user sees it, header row 0 and header column 0 included: 2 x 2 before
    // the first Calculate, 65 x 20 after it.
    int rowCount() const;
    int columnCount() const;
    QString cellText(int row, int col) const;
    // True for a rate cell whose combination misses the target.
    bool cellIsSilver(int row, int col) const;

signals:
    // Return in the chosen list: go on as ">" does.
    void chosen();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void g_DblClick(const QModelIndex& index);
    void cmdRemove_Click();
    void cmdClear_Click();

private:
    void UserControl_Resize();
    void pctLeft_Resize();
    // The chosen list's own keys: Return goes on, Delete removes, Home and End select.
    bool ListKeyPressed(const QKeyEvent* event);
    void AddListItem(const quillon::TqCandidate& candidate);
    void PaintCorner();
    std::string DecimalSeparator() const { return m_sDecimalSeparator.toStdString(); }

    const quillon::Controller* m_pController = nullptr;
    double m_dOscFreqInMhz = 0.0;
    double m_dCANBaudRate = 0.0;
    quillon::ChosenList m_chosenList;
    QString m_sDecimalSeparator;

    CandidateGridModel* m_model = nullptr;
    QTableView* m_g = nullptr;
    // The grid's top-left corner, row 0 / column 0, painted with this heading.
    QAbstractButton* m_gCorner = nullptr;
    QString m_sCornerText;
    QWidget* m_pctLeft = nullptr;
    QTreeWidget* m_lvwTq = nullptr;
    QPushButton* m_cmdRemove = nullptr;
    QPushButton* m_cmdClear = nullptr;
};
