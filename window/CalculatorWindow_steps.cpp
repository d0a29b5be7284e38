// Steps 2 and 3 of both kinds are built after step 1 has been painted: the window shows at
// once, and the panels the user cannot see yet (the candidate grid, the segment panels with
// their diagrams, the CAN FD list) follow in the next turn of the event loop, long before a
// first ">" can reach them. Whatever needs them earlier builds them on the spot.
#include "window/CalculatorWindow.h"

#include "candidates/CandidateGrid.h"
#include "window/ClassicStepThree.h"
#include "window/ControllerChoice.h"
#include "window/FdCandidateList.h"
#include "window/FdStepThree.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QScrollArea>

#include <utility>

namespace {

// A step-3 panel in the scroll area that shows it: the findings under the diagram may need
// more height than the screen has.
QScrollArea* ScrollAreaFor(QWidget* panel, const QString& sName, QWidget* window) {
    auto* area = new QScrollArea(window);
    area->setObjectName(sName);
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidgetResizable(true);
    area->setWidget(panel);
    area->hide();
    return area;
}

} // namespace

void CalculatorWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!m_stepsBuilt && !m_stepsQueued) {
        // Queued behind the frame being painted, so it reaches the screen first.
        m_stepsQueued = true;
        QMetaObject::invokeMethod(this, &CalculatorWindow::EnsureSteps, Qt::QueuedConnection);
    }
}

void CalculatorWindow::EnsureSteps() {
    if (m_stepsBuilt) {
        return;
    }
    m_stepsBuilt = true;
    BuildClassicSteps();
    BuildFdSteps();
    BuildStepPanels();
    ShowBus();
    LayoutContent();
    ApplyTabOrder();
}

void CalculatorWindow::BuildClassicSteps() {
    vrnBitTime = new CandidateGrid(this);
    vrnBitTime->setObjectName(QStringLiteral("vrnBitTime"));
    vrnBitTime->hide();
    // Return in step 2's chosen list goes on as ">" does (in the grid it adds the cell).
    connect(vrnBitTime, &CandidateGrid::chosen, this, [this] {
        if (m_step == 1 && cmdNext->isEnabled()) {
            cmdNext->click();
        }
    });

    ClassicStepInputs inputs;
    inputs.boxes = [this] {
        quillon::BitTimingSetting boxes;
        boxes.pController = m_controller->Row();
        boxes.dOscFreqMHz = ReadBox(txtOsc);
        boxes.dTargetKbps = ReadBox(txtCANBaud);
        return boxes;
    };
    inputs.inStepThree = [this] { return m_step == 2; };
    inputs.bus = [this] { return m_bus; };
    inputs.boxReadings = [this] { return BoxReadings(); };
    // Built in the window, with its fonts, then handed to its scroll area.
    m_classicStepThree = new ClassicStepThree(vrnBitTime, std::move(inputs), this);
    m_classicStepThreeArea =
        ScrollAreaFor(m_classicStepThree, QStringLiteral("scrClassicStepThree"), this);

    connect(m_classicStepThree, &ClassicStepThree::busRequested, this, &CalculatorWindow::EditBus);
    // More findings than the panel had room for: the window grows with them, once the
    // panel's layout has taken in the new height (the connection is queued).
    connect(
        m_classicStepThree, &ClassicStepThree::heightWanted, this,
        [this] {
            if (m_step == 2 && m_panels == &m_classic) {
                GrowToShow(m_classicStepThree->minimumHeight());
            }
        },
        Qt::QueuedConnection);
}

void CalculatorWindow::BuildFdSteps() {
    m_fdCandidates = new FdCandidateList(this);
    m_fdCandidates->setAutoFillBackground(true);
    m_fdCandidates->hide();
    connect(m_fdCandidates, &FdCandidateList::chosen, this, [this] {
        if (m_step == 1 && cmdNext->isEnabled()) {
            cmdNext->click();
        }
    });

    m_fdStepThree = new FdStepThree;
    m_fdStepThreeArea = ScrollAreaFor(m_fdStepThree, QStringLiteral("scrFdStepThree"), this);
    connect(m_fdStepThree, &FdStepThree::busRequested, this, &CalculatorWindow::EditBus);
    connect(
        m_fdStepThree, &FdStepThree::heightWanted, this,
        [this] {
            if (m_step == 2 && m_panels == &m_fd) {
                GrowToShow(FdStepThreeHeight());
            }
        },
        Qt::QueuedConnection);
}

void CalculatorWindow::BuildStepPanels() {
    m_classic.stepTwo = vrnBitTime;
    m_classic.stepThree = m_classicStepThreeArea;
    m_classic.showStepTwo = [this] { ShowClassicStep2(); };
    m_classic.showStepThree = [this] { ShowClassicStep3(); };
    m_classic.boxesEdited = [this] { m_classicStepThree->DrawBitTiming(); };

    m_fd.stepTwo = m_fdCandidates;
    m_fd.stepThree = m_fdStepThreeArea;
    m_fd.showStepTwo = [this] { ShowFdStep2(); };
    m_fd.showStepThree = [this] { ShowFdStep3(); };
    m_fd.boxesEdited = [this] { m_fdStepThree->SetInputs(FdInputsFromBoxes()); };
}

void CalculatorWindow::ApplyTabOrder() {
    // One pass through the window in reading order; hidden controls are skipped. The
    // controller choice follows the boxes it completes.
    QList<QWidget*> order = {txtOsc, txtCANBaud};
    order << m_controller->TabChain();
    order << QList<QWidget*>{cmdBus, chkRemember, cmdNext, cmdBack, Label13, cmdTarsel};
    if (m_stepsBuilt) {
        for (const char* name : {"g", "lvwTq", "cmdRemove", "cmdClear"}) {
            order << vrnBitTime->findChild<QWidget*>(QString::fromLatin1(name));
        }
        order << m_fdCandidates->list();
        order << m_classicStepThree->TabChain();
        order << m_fdStepThree->TabChain();
    }
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}
