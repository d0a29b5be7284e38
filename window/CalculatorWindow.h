#pragma once
// The calculator window: two header bands, a three-step wizard (inputs, candidate grid,
// segment setup with the bit timing diagram) and the report button. The window only
// coordinates: the arithmetic lives in the timing model, the grid in CandidateGrid and
// the drawing in BitTimingDiagram.
#include "timing/classic/BitTiming.h"
#include "timing/common/OneBasedArray.h"

#include <QLocale>
#include <QWidget>

#include <cstdint>

namespace quillon {
struct DateSeparators;
enum class ExportFormat;
struct FdSetting;
} // namespace quillon

// Step 1's note, which it shows again when CAN FD returns to it.
inline const char* const kNoteStep1 =
    "Enter in the oscillator frequency and desired CAN baud rate. Press next \">\".";

// The date and time separators of a locale's short formats, for the report's time stamp.
quillon::DateSeparators LocaleDateSeparators(const QLocale& locale = QLocale());

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QScrollArea;
class QToolButton;
class BitTimingPicture;
class ControllerChoice;
class FdCandidateList;
class FdStepThree;
class CandidateGrid;

class CalculatorWindow : public QWidget {
    Q_OBJECT

public:
    explicit CalculatorWindow(QWidget* parent = nullptr);
    ~CalculatorWindow() override;

    // The oscillator box, which the automation entry may fill and lock.
    QLineEdit* oscillatorBox() const { return txtOsc; }
    int step() const { return m_step; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void cmdNext_Click();
    void cmdBack_Click();
    void cmdTarsel_Click();
    void Label13_Click();
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
    void pctDisplay_Paint();

private:
    void Form_Load();
    void ShowStep();
    void ShowStep2();
    void ShowStep3();
    // The checks ">" makes of the oscillator and rate boxes, each setting its default.
    void CheckStepOneBoxes();

    // CAN FD beside the classic steps (CalculatorWindow_fd.cpp): the controller choice in
    // step 1, whose "<" from an FD step 2 returns to it, the FD candidates in step 2 and
    // the FD segment panel in step 3.
    void BuildFdPanels();
    void ShowStep1();
    void ShowFdStep2();
    void ShowFdStep3();
    void HideStepPanels();
    // The oscillator, PLL and the two rates as the boxes hold them.
    quillon::FdSetting FdInputsFromBoxes() const;
    bool IsFd() const;
    void LayoutContent();
    void pctSegment_Resize();

    void SetupSegments();
    // The setting the step-3 controls hold with the boxes as they read now; its Tq count
    // and BRP-1 are those of the selected entry (0 without one).
    quillon::BitTimingSetting CurrentSetting() const;
    bool HasSelectedTq() const;
    void CheckTimingRules();
    // Sets the step-3 controls to `segments` and draws once.
    void ShowSegments(const quillon::SegmentSettings& segments);
    bool InputsChangedSinceSearch() const;
    void DrawBitTiming();
    void OpenMakerWebsite();

    void BuildHeaderBands();
    void BuildPromotionalPanel();
    void BuildSegmentPanel();
    void BuildRegistersButton();
    // Adds a decoded register setting to the Tq list, selects it and shows it.
    void ShowRegisterSetting(const quillon::BitTimingSetting& setting);
    void SetUpKeyboard();
    // Step 3's "Copy as" menu (CalculatorWindow_export.cpp): the current setting onto the
    // clipboard in a target's form, and the Linux kernel's own choice beside Quillon's.
    void BuildCopyAsButton();
    void CopyAs(quillon::ExportFormat format);
    void ShowKernelChoice();
    void ShowScrollBarFocus(QObject* bar, bool focused);

    int Twips(double twips) const;
    void Place(QWidget* widget, double left, double top, double width, double height) const;
    double ReadBox(const QLineEdit* box) const;
    std::string DecimalSeparator() const;

    int m_step = 0;
    // True while SetupSegments assigns the proposal; the one drawing follows it.
    bool m_bSettingUp = false;
    quillon::OneBasedArray<std::int32_t> vTqValues;
    quillon::OneBasedArray<std::int32_t> vBRPValues;

    // Header bands.
    QWidget* pctTop = nullptr;
    QWidget* pctTop2 = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdNext = nullptr;
    QLineEdit* txtOsc = nullptr;
    QLineEdit* txtCANBaud = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* lblStep = nullptr;
    QLabel* lblNote = nullptr;

    // Step 1: the promotional panel.
    QLabel* lblVarnholt = nullptr;
    QLabel* lblPlug = nullptr;
    QPushButton* cmdTarsel = nullptr;
    QLabel* lblrev = nullptr;

    // Step 2.
    CandidateGrid* vrnBitTime = nullptr;

    // CAN FD.
    ControllerChoice* m_controller = nullptr;
    FdCandidateList* m_fdCandidates = nullptr;
    QScrollArea* m_fdStepThreeArea = nullptr;
    FdStepThree* m_fdStepThree = nullptr;

    // Step 3.
    QWidget* pctSegment = nullptr;
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
    QPushButton* cmdRegisters = nullptr;
};
