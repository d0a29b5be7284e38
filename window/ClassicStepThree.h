#pragma once
// Step 3 with the classic controllers, the panel pctSegment: the Tq list of the counts
// chosen in step 2, the segment scroll bars, SJW, SAM and WAKFIL, the phase-2 mode, the
// bit timing diagram, the verdict, the analysis and the findings under it, and Recommend,
// the report, "Copy as", "Registers..." and "Bus...". It reads the oscillator, the rate and
// the controller from step 1 and the bus from the window each time it needs them, since
// they can change while it shows; the window only shows it and says when a change wants a
// new drawing.
#include "timing/classic/BitTiming.h"
#include "timing/common/BusContext.h"
#include "timing/common/OneBasedArray.h"

#include <QList>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

namespace quillon {
inline namespace classic {
enum class ExportFormat;
} // namespace classic
} // namespace quillon

class BitTimingPicture;
class CandidateGrid;
class CopyNote;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QToolButton;

// What step 3 reads from the window around it, asked anew on every use.
struct ClassicStepInputs {
    // The oscillator, target rate and controller as step 1's boxes hold them now.
    std::function<quillon::BitTimingSetting()> boxes;
    // True while step 3 is the step on screen: only then do changed boxes get a check line.
    std::function<bool()> inStepThree;
    // The bus as it is built, which the findings and Recommend judge the setting for.
    std::function<quillon::BusContext()> bus;
    // Lines for the boxes whose text was read as something other than typed.
    std::function<QStringList()> boxReadings;
};

class ClassicStepThree : public QWidget {
    Q_OBJECT

public:
    // `grid` is step 2's candidate grid: its chosen Tq counts fill the list, and a register
    // set brought in with "Registers..." joins it.
    ClassicStepThree(CandidateGrid* grid, ClassicStepInputs inputs, QWidget* parent);
    ~ClassicStepThree() override;

    // Fills the Tq list from the grid, proposes segments for its first entry, and shows
    // and draws the panel.
    void Show();
    // True when the list has an entry to choose, which then takes the keyboard.
    bool HasTqChoice() const;
    // Draws the diagram and checks the rules again, as after an edit of the boxes above.
    void DrawBitTiming();
    QList<QWidget*> TabChain() const;

signals:
    // "Bus..." was pressed: the window asks for the bus and draws again.
    void busRequested();
    // The findings grew past the panel's height, which is now its minimum height.
    void heightWanted();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void lstSelectTq_Click();
    void sclProp_Change(int value);
    void sclPhase1_Change(int value);
    void sclPhase2_Change(int value);
    void sclSJW_Change(int value);
    void chkMultipleSampling_Click();
    void optPhase2_Click();
    void cmdGenerateReport_Click();
    void cmdRecommend_Click();
    void cmdRegisters_Click();

private:
    // Building the panel (ClassicStepThree.cpp).
    void BuildSegmentControls();
    void BuildNotesAndButtons();
    void BuildRegistersButton();
    void BuildCopyAsButton();
    void BuildBusButton();
    // The findings under the analysis line as high as their text, and the panel's minimum
    // height with them.
    void FitFindings();
    void ConnectControls();
    // A scroll bar shows its focus as a frame round its value box, the findings round
    // themselves.
    void ShowFocusFrame(QObject* control, bool focused);

    // The segments and the rules (ClassicStepThree_segments.cpp).
    void SetupSegments();
    // The setting the controls hold with the boxes as they read now; its Tq count and
    // BRP-1 are those of the selected entry (0 without one).
    quillon::BitTimingSetting CurrentSetting() const;
    bool HasSelectedTq() const;
    void CheckTimingRules();
    // Sets the controls to `segments` and draws once.
    void ShowSegments(const quillon::SegmentSettings& segments);
    bool InputsChangedSinceSearch() const;

    // The actions (ClassicStepThree_actions.cpp).
    void CopyAs(quillon::ExportFormat format);
    void ShowKernelChoice();
    // Adds a decoded register setting to the Tq list, selects it and shows it.
    void ShowRegisterSetting(const quillon::BitTimingSetting& setting);

    int Twips(double twips) const;
    void Place(QWidget* widget, double left, double top, double width, double height) const;
    std::string DecimalSeparator() const;

    CandidateGrid* m_grid;
    ClassicStepInputs m_inputs;
    // True while SetupSegments assigns the proposal; the one drawing follows it.
    bool m_bSettingUp = false;
    quillon::OneBasedArray<std::int32_t> vTqValues;
    quillon::OneBasedArray<std::int32_t> vBRPValues;

    QComboBox* lstSelectTq = nullptr;
    QScrollBar* sclProp = nullptr;
    QScrollBar* sclPhase1 = nullptr;
    QScrollBar* sclPhase2 = nullptr;
    QScrollBar* sclSJW = nullptr;
    QLabel* lblPropDelay = nullptr;
    QLabel* lblPhase1 = nullptr;
    QLabel* lblPhase2 = nullptr;
    QLabel* lblSJW = nullptr;
    QRadioButton* optPhase2[2] = {nullptr, nullptr};
    QButtonGroup* optPhase2Group = nullptr;
    QLabel* optPhase2Caption = nullptr;
    QCheckBox* chkMultipleSampling = nullptr;
    QCheckBox* chkUseWakeUpFilter = nullptr;
    BitTimingPicture* pctDisplay = nullptr;
    QLabel* lblNotes = nullptr;
    QLabel* lblAnalysis = nullptr;
    QLabel* lblCheck = nullptr;
    QPushButton* cmdRecommend = nullptr;
    QPushButton* cmdGenerateReport = nullptr;
    QToolButton* cmdCopyAs = nullptr;
    CopyNote* m_copyNote = nullptr; // what "Copy as" put on the clipboard
    QPushButton* cmdRegisters = nullptr;
    QPushButton* cmdBus = nullptr;
    QLabel* lblBus = nullptr;
};
