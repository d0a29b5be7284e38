#pragma once
// Step 3 with a CAN FD controller: the chosen candidate, the segments of both phases in
// spin boxes, the facts of the setting they make (rates, errors, sample points, the TDC,
// the oscillator tolerance with the condition that limits it, the verdict and findings on
// the bus as built), the nominal and the data bit on one drawing, and the report,
// "Registers..." and "Copy as" (with the Linux driver's own choice) for it. Every fact comes
// from DescribeFdTiming; the panel only shows them.
#include "timing/common/BusContext.h"
#include "timing/fd/FdSearch.h"

#include <QList>
#include <QStringList>
#include <QWidget>

#include <string>
#include <vector>

namespace quillon {
inline namespace fd {
enum class FdExportFormat;
} // namespace fd
} // namespace quillon

class BitTimingPicture;
class CopyNote;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

class FdStepThree : public QWidget {
    Q_OBJECT

public:
    explicit FdStepThree(QWidget* parent = nullptr);
    ~FdStepThree() override;

    // The oscillator, PLL and rates of the search, its candidates, and the one chosen
    // (0-based), whose proposal the controls then hold.
    void Show(const quillon::FdSetting& inputs, const std::vector<quillon::FdCandidate>& candidates,
              int index);
    // New oscillator or rates from the boxes above, with the controls' segments kept.
    void SetInputs(const quillon::FdSetting& inputs);
    // Lines for the boxes whose text was read as something other than typed, shown first
    // among the notes.
    void SetBoxReadings(const QStringList& readings) { m_boxReadings = readings; }
    // The bus the findings and Recommend judge the setting for; the facts follow it.
    void SetBus(const quillon::BusContext& bus);
    // The setting the controls hold, with the TDC the controller needs for its data phase.
    quillon::FdSetting CurrentSetting() const;
    QList<QWidget*> TabChain() const;

signals:
    // "Bus..." was pressed: the window asks for the bus and hands it in.
    void busRequested();
    // The notes grew: the panel wants more height than before.
    void heightWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private slots:
    void cboFdCandidate_Click();
    void cmdFdRecommend_Click();
    void cmdFdReport_Click();
    void cmdFdRegisters_Click();

private:
    QStringList m_boxReadings;
    struct PhaseControls {
        QLabel* quanta = nullptr; // "BRP 1, 80 Tq of 25.000 ns"
        QSpinBox* propagation = nullptr;
        QSpinBox* phase1 = nullptr;
        QSpinBox* phase2 = nullptr;
        QSpinBox* sjw = nullptr;
        QLabel* rate = nullptr;
        QLabel* error = nullptr;
        QLabel* samplePoint = nullptr;
    };

    void BuildPhaseRows(class QGridLayout* grid);
    void BuildCopyAsButton();
    void BuildRegistersButton();
    void ShowSetting(const quillon::FdSetting& setting);
    // The facts of the current setting into the labels, the notes and the drawing.
    void Describe();
    void DrawDiagram();
    void CopyAs(quillon::FdExportFormat format);
    void ShowKernelChoice();
    // The setting of register words: its prescalers and Tq counts chosen in the candidate
    // list (added to it where no entry has them), its segments in the controls.
    void ShowRegisterSetting(const quillon::FdSetting& setting);
    // The notes box as high as its whole text, and never lower than a few lines.
    void FitNotes();
    std::string DecimalSeparator() const;
    bool HasCandidate() const;

    quillon::FdSetting m_inputs;
    quillon::BusContext m_bus;
    std::vector<quillon::FdCandidate> m_candidates;
    bool m_bShowing = false; // the controls are being set; one description follows

    QComboBox* cboFdCandidate = nullptr;
    QPushButton* cmdFdRecommend = nullptr;
    QPushButton* cmdFdBus = nullptr;
    QLabel* lblFdBus = nullptr;
    PhaseControls m_phases[2];
    QLabel* lblFdTdc = nullptr;
    QLabel* lblFdTolerance = nullptr;
    BitTimingPicture* pctFdDisplay = nullptr;
    QPlainTextEdit* txtFdNotes = nullptr;
    QPushButton* cmdFdReport = nullptr;
    QPushButton* cmdFdRegisters = nullptr;
    QToolButton* cmdFdCopyAs = nullptr;
    CopyNote* m_copyNote = nullptr; // what "Copy as" put on the clipboard
};
