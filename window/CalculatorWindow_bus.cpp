// The bus as built: step 1's "Bus..." button under the controller choice, the one dialog
// every "Bus..." opens, the bus handed to both steps 3 so that their findings follow it at
// once, and the window grown to show a step-3 panel whose findings need more room.
#include "window/CalculatorWindow.h"

#include "window/BusDialog.h"
#include "window/ClassicStepThree.h"
#include "window/FdStepThree.h"

#include <QPushButton>
#include <QScreen>

#include <algorithm>

void CalculatorWindow::BuildBusButton() {
    cmdBus = new QPushButton(tr("&Bus..."), this);
    cmdBus->setObjectName(QStringLiteral("cmdBus"));
    cmdBus->setAutoDefault(true);
    Place(cmdBus, 3300, 5490, 1000, 330);
    connect(cmdBus, &QPushButton::clicked, this, &CalculatorWindow::EditBus);
    ShowBus();
}

void CalculatorWindow::EditBus() {
    BusDialog dialog(m_bus, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    m_bus = dialog.bus();
    ShowBus();
}

void CalculatorWindow::ShowBus() {
    cmdBus->setToolTip(tr("The bus as it is built, which the findings of step 3 judge each "
                          "setting for: %1")
                           .arg(BusSummary(m_bus)));
    if (m_fdStepThree != nullptr) {
        m_fdStepThree->SetBus(m_bus);
    }
    if (m_step == 2 && m_panels == &m_classic) {
        m_classicStepThree->DrawBitTiming();
    }
}

void CalculatorWindow::GrowToShow(int panelHeight) {
    const int needed = pctTop->height() + pctTop2->height() + panelHeight;
    if (height() >= needed) {
        return;
    }
    const QScreen* screen = this->screen();
    const QRect room = screen != nullptr ? screen->availableGeometry() : QRect();
    const int frame = frameGeometry().height() - height();
    resize(width(), room.isValid() ? std::min(needed, room.height() - frame) : needed);
    // Grown downwards; moved up again where it would leave the screen.
    if (room.isValid() && frameGeometry().bottom() > room.bottom()) {
        move(x(), std::max(room.top(), y() - (frameGeometry().bottom() - room.bottom())));
    }
}
