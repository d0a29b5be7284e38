#include "window/ControllerChoice.h"

#include "timing/common/Controllers.h"
#include "timing/fd/FdSetting.h"
#include "ui/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

// Item data: the row's place in the controller table, or one of these for the two entries
// that stand for a whole kind as the window always offered it.
constexpr int kCalculatorEntry = -1; // the MCP2510/MCP251X with every Microchip register
constexpr int kFdEntry = -2;         // the MCP251xFD and the dsPIC33C together
// The FD entry's name in EntryName; no row of the table is called so.
const char* const kFdEntryName = "canfd";

} // namespace

ControllerChoice::ControllerChoice(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ctlController"));

    auto* lblController = new QLabel(tr("&Controller"), this);
    cboController = new QComboBox(this);
    cboController->setObjectName(QStringLiteral("cboController"));
    cboController->addItem(tr("CAN 2.0 (MCP251X, PIC18, dsPIC, PIC24H)"), kCalculatorEntry);
    const std::vector<quillon::Controller>& table = quillon::ControllerTable();
    // One entry per controller of the table the steps can hold, under the entry of its kind.
    const auto addRows = [&](bool fd) {
        for (std::size_t i = 0; i < table.size(); ++i) {
            const quillon::Controller& row = table[i];
            const bool holds =
                fd ? row.IsFd() : !row.IsFd() && &row != &quillon::DefaultController();
            if (holds) {
                cboController->addItem(QStringLiteral("    ") + ToQString(row.sTitle),
                                       static_cast<int>(i));
            }
        }
    };
    addRows(false);
    cboController->addItem(tr("CAN FD (MCP2517/18FD, MCP251863, dsPIC33C)"), kFdEntry);
    addRows(true);
    cboController->setToolTip(
        tr("CAN 2.0: the MCP2510/MCP251X and the CAN modules of the PIC18, dsPIC30F, dsPIC33F "
           "and PIC24H.\nCAN FD: the MCP2517FD, MCP2518FD and MCP251863 and the CAN FD module "
           "of the dsPIC33CH/CK, with a nominal and a data rate.\nThe indented entries are "
           "single controllers of 'quillon-cli controllers': their own clock, prescaler range, "
           "errata and registers (the AT91 CAN cell takes its peripheral clock in the "
           "oscillator box)."));
    lblController->setBuddy(cboController);

    lblDataRate = new QLabel(tr("&Data (kBPS)"), this);
    txtDataRate = new QLineEdit(ToQString(quillon::kDefaultFdDataRateText), this);
    txtDataRate->setObjectName(QStringLiteral("txtDataRate"));
    txtDataRate->setToolTip(tr("The data phase's rate in kbit/s"));
    lblDataRate->setBuddy(txtDataRate);
    chkPll = new QCheckBox(tr("&PLL (SYSCLK = 10 x oscillator)"), this);
    chkPll->setObjectName(QStringLiteral("chkPll"));
    chkPll->setToolTip(tr("The controller's PLL, used with a 4 MHz crystal"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->addWidget(lblController, 0, 0);
    grid->addWidget(cboController, 0, 1, 1, 2);
    grid->addWidget(lblDataRate, 1, 0);
    grid->addWidget(txtDataRate, 1, 1);
    grid->addWidget(chkPll, 1, 2);
    grid->setColumnStretch(2, 1);
    txtDataRate->setFixedWidth(txtDataRate->fontMetrics().horizontalAdvance(QStringLiteral("0")) *
                               10);

    connect(cboController, &QComboBox::currentIndexChanged, this, &ControllerChoice::ShowFdInputs);
    connect(txtDataRate, &QLineEdit::returnPressed, this, &ControllerChoice::returnPressed);
    ShowFdInputs();
}

bool ControllerChoice::IsFd() const {
    const int entry = cboController->currentData().toInt();
    return entry == kFdEntry || (Row() != nullptr && Row()->IsFd());
}

const quillon::Controller* ControllerChoice::Row() const {
    const int entry = cboController->currentData().toInt();
    return entry < 0 ? nullptr : &quillon::ControllerTable().at(static_cast<std::size_t>(entry));
}

bool ControllerChoice::Pll() const {
    return chkPll->isChecked();
}

QString ControllerChoice::EntryName() const {
    const int entry = cboController->currentData().toInt();
    if (entry == kFdEntry) {
        return QString::fromLatin1(kFdEntryName);
    }
    return ToQString(Row() != nullptr ? Row()->sName : quillon::DefaultController().sName);
}

bool ControllerChoice::ChooseEntry(const QString& name) {
    int entry = kFdEntry;
    if (name != QLatin1String(kFdEntryName)) {
        const quillon::Controller* row = quillon::FindController(ToStdString(name));
        if (row == nullptr) {
            return false;
        }
        entry = row == &quillon::DefaultController()
                    ? kCalculatorEntry
                    : static_cast<int>(row - quillon::ControllerTable().data());
    }
    const int index = cboController->findData(entry);
    if (index < 0) {
        return false;
    }
    cboController->setCurrentIndex(index);
    return true;
}

bool ControllerChoice::SetPll(bool on) {
    if (on && chkPll->isHidden()) {
        return false;
    }
    chkPll->setChecked(on);
    return true;
}

QList<QWidget*> ControllerChoice::TabChain() const {
    return {cboController, txtDataRate, chkPll};
}

void ControllerChoice::ShowFdInputs() {
    for (QWidget* fdOnly : QList<QWidget*>{lblDataRate, txtDataRate, chkPll}) {
        fdOnly->setVisible(IsFd());
    }
    // A cell clocked by its CAN clock (the M_CAN) has no PLL of its own.
    const bool pll = IsFd() && (Row() == nullptr || Row()->clock == quillon::ClockRule::Sysclk);
    chkPll->setVisible(pll);
    if (!pll) {
        chkPll->setChecked(false);
    }
}
