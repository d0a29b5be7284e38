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
#include "window/BitTimingPicture.h"
#include "window/ControllerChoice.h"
#include "window/FdCandidateList.h"
#include "window/FdStepThree.h"
#include "window/WindowDesign.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QToolButton>

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

    vrnBitTime = new CandidateGrid(this);
    vrnBitTime->setObjectName(QStringLiteral("vrnBitTime"));
    vrnBitTime->hide();

    BuildSegmentPanel();
    BuildRegistersButton();
    BuildCopyAsButton();
    BuildFdPanels();
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
            if (m_step == 2 && IsFd()) {
                m_fdStepThree->SetInputs(FdInputsFromBoxes());
            } else if (m_step == 2) {
                DrawBitTiming();
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

    // One pass through the window in reading order; hidden controls are skipped. The
    // controller choice follows the boxes it completes.
    QList<QWidget*> order = {txtOsc, txtCANBaud};
    order << m_controller->TabChain();
    order << QList<QWidget*>{cmdNext, cmdBack, Label13, cmdTarsel};
    for (const char* name : {"g", "lvwTq", "cmdRemove", "cmdClear"}) {
        order << vrnBitTime->findChild<QWidget*>(QString::fromLatin1(name));
    }
    order << m_fdCandidates->list();
    order << QList<QWidget*>{
        lstSelectTq,       sclProp,      sclPhase1,    optPhase2[0],        sclPhase2,
        optPhase2[1],      sclSJW,       cmdRecommend, chkMultipleSampling, chkUseWakeUpFilter,
        cmdGenerateReport, cmdRegisters, cmdCopyAs};
    order << m_fdStepThree->TabChain();
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
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
        vrnBitTime->setGeometry(0, top, width, height);
        pctSegment->setGeometry(0, top, width, height);
        m_fdCandidates->setGeometry(0, top, width, height);
        m_fdStepThreeArea->setGeometry(0, top, width, height);
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
    if (watched == optPhase2Caption && leftClick && optPhase2[1]->isEnabled()) {
        optPhase2[1]->click();
        return true;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        ShowScrollBarFocus(watched, event->type() == QEvent::FocusIn);
    }
    if (watched == pctSegment && event->type() == QEvent::Resize) {
        pctSegment_Resize();
    }
    return QWidget::eventFilter(watched, event);
}

void CalculatorWindow::cmdNext_Click() {
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
    if (m_step == 0) {
        ShowStep1();
    } else if (IsFd()) {
        m_step == 1 ? ShowFdStep2() : ShowFdStep3();
    } else if (m_step == 1) {
        ShowStep2();
    } else if (m_step == 2) {
        ShowStep3();
    }
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

void CalculatorWindow::ShowStep2() {
    CheckStepOneBoxes();
    vrnBitTime->SetOscFreqInMhz(ReadBox(txtOsc));
    vrnBitTime->SetCANBaudRate(ReadBox(txtCANBaud) * 1000);
    vrnBitTime->Calculate();

    lblStep->setText(QStringLiteral("Step 2"));
    lblNote->setText(QString::fromLatin1(kNoteStep2));

    pctSegment->hide();
    vrnBitTime->show();
    vrnBitTime->raise();
    cmdBack->setEnabled(false);
    cmdNext->setEnabled(true);
    vrnBitTime->setFocus(); // the keyboard goes on in the grid
}

void CalculatorWindow::ShowStep3() {
    lblStep->setText(QStringLiteral("Step 3"));
    lblNote->setText(QString::fromLatin1(kNoteStep3));

    std::int32_t count = 0;
    vrnBitTime->GetTqValues(vTqValues, vBRPValues, count);

    {
        const QSignalBlocker quiet(lstSelectTq);
        lstSelectTq->clear();
        for (std::int32_t i = 1; i <= count; ++i) {
            lstSelectTq->addItem(QString::number(vTqValues(static_cast<std::size_t>(i))));
        }
        lstSelectTq->setCurrentIndex(-1);
    }
    if (lstSelectTq->count() > 0) {
        lstSelectTq->setCurrentIndex(0);
        lstSelectTq_Click();
        lstSelectTq->setEnabled(true);
    } else {
        lstSelectTq->setEnabled(false);
    }

    pctSegment->show();
    pctSegment->raise();
    vrnBitTime->hide();
    DrawBitTiming();
    cmdBack->setEnabled(true);
    cmdNext->setEnabled(false);
    // The keyboard goes on with the Tq list, or with "<" when there is nothing to choose.
    if (lstSelectTq->isEnabled()) {
        lstSelectTq->setFocus();
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
