// The window's frame and its navigation: the construction, the keyboard's way through the
// window, the layout under the bands, and ">" and "<" between step 1 and the chosen kind's
// steps 2 and 3, with the classic ones.
#include "window/CalculatorWindow.h"

#include "candidates/CandidateGrid.h"
#include "timing/common/InputChecks.h"
#include "timing/common/Maker.h"
#include "timing/common/NumberReading.h"
#include "timing/common/Version.h"
#include "ui/MessageBox.h"
#include "ui/QtText.h"
#include "ui/Twips.h"
#include "ui/WaitCursor.h"
#include "window/ClassicStepThree.h"
#include "window/ControllerChoice.h"
#include "window/FdCandidateList.h"
#include "window/FdStepThree.h"
#include "window/WindowDesign.h"

#include <QCheckBox>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>

namespace {

const char* const kNoteStep2 =
    "The time quanta for the matching CAN baud rates have been selected and are shown at the "
    "left. Add any additional rates by double clicking them in the grid. Click next.";
const char* const kNoteStep3 =
    "Select an appropiate time quanta and adjust the various bit timing segments.";
// What the step-2 checks add to the problem with a box.
const char* const kSettingToDefault = " Setting to default value.";

// Return, Enter or Space: what presses a focused control.
bool IsActivationKey(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

QString WindowCaption() {
    return ToQString(quillon::kAppTitle) + QStringLiteral(" - ") + ToQString(quillon::kMakerName) +
           QStringLiteral(" (") + ToQString(quillon::kMakerUrl) + QStringLiteral(")");
}

} // namespace

CalculatorWindow::CalculatorWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMainBitTime"));
    setWindowTitle(WindowCaption());
    setFont(ArialFont(8.25));

    BuildHeaderBands();
    BuildPromotionalPanel();

    BuildControllerChoice();
    BuildBusButton();
    BuildRememberBox();
    SetUpKeyboard();

    resize(Twips(kDesignWidthTwips), Twips(kDesignHeightTwips));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    Form_Load();
}

CalculatorWindow::~CalculatorWindow() = default;

void CalculatorWindow::SetUpKeyboard() {
    // Return in a box of step 1 goes on as ">" does; Alt+Right and Alt+Left are ">" and "<"
    // wherever the focus is, while those buttons are enabled.
    for (QLineEdit* box : {txtOsc, txtCANBaud}) {
        connect(box, &QLineEdit::returnPressed, this, [this] {
            if (m_step == 0 && cmdNext->isEnabled()) {
                cmdNext->click();
            }
        });
        // Step 3 works with what the boxes hold; it shows at once what an edit changes.
        connect(box, &QLineEdit::textEdited, this, [this] {
            if (m_step == 2) {
                m_panels->boxesEdited();
            }
        });
    }
    const auto pressWhenEnabled = [this](QKeyCombination keys, QPushButton* button) {
        auto* shortcut = new QShortcut(QKeySequence(keys), this);
        connect(shortcut, &QShortcut::activated, button, [button] {
            if (button->isEnabled()) {
                button->click();
            }
        });
    };
    pressWhenEnabled(Qt::ALT | Qt::Key_Right, cmdNext);
    pressWhenEnabled(Qt::ALT | Qt::Key_Left, cmdBack);

    connect(m_controller, &ControllerChoice::returnPressed, this, [this] {
        if (m_step == 0 && cmdNext->isEnabled()) {
            cmdNext->click();
        }
    });
    ApplyTabOrder();
    txtOsc->setFocus();
    txtOsc->selectAll();
}

int CalculatorWindow::Twips(double twips) const {
    return TwipsToPixels(twips, this);
}

void CalculatorWindow::Place(QWidget* widget, double left, double top, double width,
                             double height) const {
    widget->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

std::string CalculatorWindow::DecimalSeparator() const {
    return ToStdString(QLocale().decimalPoint());
}

double CalculatorWindow::ReadBox(const QLineEdit* box) const {
    return quillon::ReadLeadingNumber(ToStdString(box->text()));
}

void CalculatorWindow::Form_Load() {
    lblrev->setText(QStringLiteral("Rev %1").arg(quillon::kRevision));
}

void CalculatorWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutContent();
}

void CalculatorWindow::LayoutContent() {
    const int width = this->width();
    // The two bands stay at the top, one below the other, at their design sizes.

    const int top = pctTop->height() + pctTop2->height();
    const int height = this->height() - top;
    if (height > 0) {
        for (const StepPanels* kind : {&m_classic, &m_fd}) {
            if (kind->stepTwo == nullptr) {
                continue; // not built yet
            }
            kind->stepTwo->setGeometry(0, top, width, height);
            kind->stepThree->setGeometry(0, top, width, height);
        }
    }
    lblVarnholt->setGeometry(0, lblVarnholt->y(), width, lblVarnholt->height());
    lblPlug->setGeometry(0, lblPlug->y(), width, lblPlug->height());
}

bool CalculatorWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool leftClick = event->type() == QEvent::MouseButtonRelease &&
                           static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (watched == Label13 && (leftClick || IsActivationKey(event))) {
        Label13_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CalculatorWindow::HideStepPanels() {
    // Only ever after ">", so the steps are built.
    for (const StepPanels* kind : {&m_classic, &m_fd}) {
        kind->stepTwo->hide();
        kind->stepThree->hide();
    }
}

void CalculatorWindow::cmdNext_Click() {
    EnsureSteps();
    if (m_step == 0) {
        m_panels = m_controller->IsFd() ? &m_fd : &m_classic;
    }
    ++m_step;
    ShowStep();
}

void CalculatorWindow::cmdBack_Click() {
    --m_step;
    ShowStep();
}

void CalculatorWindow::ShowStep() {
    WaitCursor wait(this);
    cmdTarsel->hide();
    m_controller->hide();
    cmdBus->hide();
    chkRemember->hide();
    if (m_step == 0) {
        ShowStep1();
    } else if (m_step == 1) {
        m_panels->showStepTwo();
    } else if (m_step == 2) {
        m_panels->showStepThree();
    }
}

void CalculatorWindow::ShowStep1() {
    HideStepPanels();
    lblStep->setText(QStringLiteral("Step 1:"));
    lblNote->setText(QString::fromLatin1(kNoteStep1));
    lblNote->setToolTip(QString());
    cmdTarsel->show();
    m_controller->show();
    cmdBus->show();
    chkRemember->show();
    cmdBack->setEnabled(false);
    cmdNext->setEnabled(true);
    m_controller->setFocus();
    m_controller->TabChain().front()->setFocus();
}

void CalculatorWindow::CheckStepOneBoxes() {
    const QString title = ToQString(quillon::kAppTitle);
    if (const auto problem = quillon::OscillatorProblem(ReadBox(txtOsc))) {
        ShowMessage(this, QMessageBox::Information, title,
                    ToQString(*problem) + QString::fromLatin1(kSettingToDefault));
        txtOsc->setText(ToQString(quillon::kDefaultOscillatorText));
    }
    if (const auto problem = quillon::RateProblem(ReadBox(txtCANBaud))) {
        ShowMessage(this, QMessageBox::Information, title,
                    ToQString(*problem) + QString::fromLatin1(kSettingToDefault));
        txtCANBaud->setText(ToQString(quillon::kDefaultRateText));
    }
}

void CalculatorWindow::ShowClassicStep2() {
    CheckStepOneBoxes();
    vrnBitTime->SetOscFreqInMhz(ReadBox(txtOsc));
    vrnBitTime->SetCANBaudRate(ReadBox(txtCANBaud) * 1000);
    vrnBitTime->SetController(m_controller->Row());
    vrnBitTime->Calculate();

    lblStep->setText(QStringLiteral("Step 2"));
    SetStepTwoNote(QString::fromLatin1(kNoteStep2));

    m_classicStepThreeArea->hide();
    vrnBitTime->show();
    vrnBitTime->raise();
    cmdBack->setEnabled(false);
    cmdNext->setEnabled(true);
    vrnBitTime->setFocus(); // the keyboard goes on in the grid
}

void CalculatorWindow::ShowClassicStep3() {
    lblStep->setText(QStringLiteral("Step 3"));
    lblNote->setText(QString::fromLatin1(kNoteStep3));
    lblNote->setToolTip(QString());
    m_classicStepThreeArea->show();
    m_classicStepThreeArea->raise();
    m_classicStepThree->Show();
    vrnBitTime->hide();
    GrowToShow(m_classicStepThree->minimumHeight());
    cmdBack->setEnabled(true);
    cmdNext->setEnabled(false);
    // The keyboard goes on with the Tq list, or with "<" when there is nothing to choose.
    if (m_classicStepThree->HasTqChoice()) {
        m_classicStepThree->TabChain().front()->setFocus();
    } else {
        cmdBack->setFocus();
    }
}

void CalculatorWindow::cmdTarsel_Click() {
    OpenMakerWebsite();
}

void CalculatorWindow::Label13_Click() {
    OpenMakerWebsite();
}
