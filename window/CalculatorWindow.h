#pragma once
// The calculator window: two header bands and a three-step wizard, step 1's inputs with
// the controller choice, then a step 2 and a step 3 for the classic controllers or for
// CAN FD. The window only coordinates: each kind's steps are widgets of their own
// (CandidateGrid and ClassicStepThree, FdCandidateList and FdStepThree), the arithmetic
// lives in the timing model and the drawing in the diagram library. It keeps the bus as
// built, which both steps 3 judge their settings for.
#include "timing/common/BusContext.h"

#include <QLocale>
#include <QWidget>

#include <functional>
#include <string>

namespace quillon {
inline namespace common {
struct DateSeparators;
} // namespace common
inline namespace fd {
struct FdSetting;
} // namespace fd
} // namespace quillon

// Step 1's note, which it shows again when CAN FD returns to it.
inline const char* const kNoteStep1 =
    "Enter in the oscillator frequency and desired CAN baud rate. Press next \">\".";

// The date and time separators of a locale's short formats, for the report's time stamp.
quillon::DateSeparators LocaleDateSeparators(const QLocale& locale = QLocale());

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class ClassicStepThree;
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
    // The first frame queues the building of steps 2 and 3.
    void paintEvent(QPaintEvent* event) override;
    // With "Remember these inputs" on, keeps step 1's inputs for the next start.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void cmdNext_Click();
    void cmdBack_Click();
    void cmdTarsel_Click();
    void Label13_Click();

private:
    // One kind of controller's steps 2 and 3: the panels it shows under the bands and the
    // functions that fill and show them. ">" from step 1 picks the classic or the CAN FD
    // pair from the controller choice; ">", "<" and Return then call that pair's functions.
    struct StepPanels {
        QWidget* stepTwo = nullptr;
        QWidget* stepThree = nullptr;
        std::function<void()> showStepTwo;
        std::function<void()> showStepThree;
        // Step 3 follows an edit of the oscillator or rate box above it.
        std::function<void()> boxesEdited;
    };

    void Form_Load();
    // Steps 2 and 3 of both kinds (CalculatorWindow_steps.cpp): built once, after the
    // first frame or on the spot when something needs them earlier.
    void EnsureSteps();
    void BuildClassicSteps();
    void BuildFdSteps();
    void BuildStepPanels();
    void ApplyTabOrder();
    void ShowStep();
    void ShowStep1();
    void HideStepPanels();
    // The checks ">" makes of the oscillator and rate boxes, each setting its default.
    void CheckStepOneBoxes();
    void LayoutContent();

    // The classic steps: the candidate grid and the segment panel.
    void ShowClassicStep2();
    void ShowClassicStep3();

    // CAN FD (CalculatorWindow_fd.cpp): the controller choice in step 1, whose "<" from an
    // FD step 2 returns to it, the FD candidates in step 2 and the FD segment panel in
    // step 3.
    void BuildControllerChoice();
    void ShowFdStep2();
    void ShowFdStep3();
    // The oscillator, PLL and the two rates as the boxes hold them.
    quillon::FdSetting FdInputsFromBoxes() const;
    // What steps 2 and 3 say of the boxes whose text was read as something other than typed.
    QStringList BoxReadings() const;
    // Step 2's note, after the lines for boxes read as something other than typed.
    void SetStepTwoNote(const QString& note);
    // The height the FD step 3 panel needs at the window's width.
    int FdStepThreeHeight() const;

    // The bus (CalculatorWindow_bus.cpp): step 1's "Bus..." button, the dialog every
    // "Bus..." opens, the bus handed to both steps 3, and the window grown to show a step-3
    // panel of `panelHeight` where the screen has room.
    void BuildBusButton();
    void EditBus();
    void ShowBus();
    void GrowToShow(int panelHeight);

    // Step 1's "Remember these inputs" (CalculatorWindow_remember.cpp): the check box, and
    // the controller, boxes, PLL and bus put back from the settings file, kept in it, or
    // removed from it.
    void BuildRememberBox();
    void RestoreInputs();
    void StoreInputs();
    void ForgetInputs();

    void OpenMakerWebsite();
    void BuildHeaderBands();
    void BuildPromotionalPanel();
    void SetUpKeyboard();

    int Twips(double twips) const;
    void Place(QWidget* widget, double left, double top, double width, double height) const;
    double ReadBox(const QLineEdit* box) const;
    std::string DecimalSeparator() const;

    int m_step = 0;
    bool m_stepsBuilt = false;
    bool m_stepsQueued = false;
    StepPanels m_classic;
    StepPanels m_fd;
    const StepPanels* m_panels = &m_classic; // the kind chosen when step 1 was left

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
    QPushButton* cmdBus = nullptr;
    quillon::BusContext m_bus;
    QCheckBox* chkRemember = nullptr;

    // The classic steps (null until built).
    CandidateGrid* vrnBitTime = nullptr;
    QScrollArea* m_classicStepThreeArea = nullptr;
    ClassicStepThree* m_classicStepThree = nullptr;

    // CAN FD (the steps null until built).
    ControllerChoice* m_controller = nullptr;
    FdCandidateList* m_fdCandidates = nullptr;
    QScrollArea* m_fdStepThreeArea = nullptr;
    FdStepThree* m_fdStepThree = nullptr;
};
