// Step 3's "Copy as" menu: the setting the step-3 controls hold onto the clipboard in the
// form its target takes (report/Export), and the Linux kernel's own choice for the
// oscillator and rate beside Quillon's. What a target would refuse or change is said in a
// message box after the text is copied; without text (a box that cannot be computed with)
// nothing is copied and the box says why.
#include "window/CalculatorWindow.h"

#include "report/classic/Export.h"
#include "report/classic/KernelComparisonText.h"
#include "ui/QtText.h"
#include "window/ClipboardCopy.h"
#include "window/KernelDialog.h"
#include "window/MenuButton.h"

#include <QComboBox>
#include <QMenu>
#include <QToolButton>

void CalculatorWindow::BuildCopyAsButton() {
    cmdCopyAs = new MenuButton(QStringLiteral("cmdCopyAs"), tr("Copy as"), pctSegment);
    cmdCopyAs->setToolTip(tr("Copy the setting to the clipboard as C for the registers, as a "
                             "Linux ip link command, systemd-networkd file or Raspberry Pi "
                             "overlay line, or as JSON; or see what the Linux kernel would "
                             "choose by itself for this rate"));

    auto* menu = new QMenu(cmdCopyAs);
    menu->setObjectName(QStringLiteral("mnuCopyAs"));
    QList<QAction*> copies;
    for (const quillon::ExportFormatInfo& info : quillon::kExportFormats) {
        // The window's classic steps are the calculator's own MCP2510/MCP251X.
        if (!quillon::FormatFits(info.format, quillon::DefaultController())) {
            continue;
        }
        QAction* action = menu->addAction(ToQString(info.title));
        action->setObjectName(QStringLiteral("mnuCopyAs_") + ToQString(info.name));
        const quillon::ExportFormat format = info.format;
        connect(action, &QAction::triggered, this, [this, format] { CopyAs(format); });
        copies << action;
    }
    menu->addSeparator();
    QAction* kernel = menu->addAction(tr("The Linux kernel's own choice..."));
    kernel->setObjectName(QStringLiteral("mnuKernelChoice"));
    connect(kernel, &QAction::triggered, this, &CalculatorWindow::ShowKernelChoice);
    // Copying needs a chosen Tq count; the kernel's choice only the two boxes.
    connect(menu, &QMenu::aboutToShow, this, [this, copies] {
        for (QAction* action : copies) {
            action->setEnabled(HasSelectedTq());
        }
    });
    cmdCopyAs->setMenu(menu);
    Place(cmdCopyAs, 7365, 4350, 855, 300);
}

void CalculatorWindow::CopyAs(quillon::ExportFormat format) {
    if (!HasSelectedTq()) {
        return;
    }
    const quillon::BitTimingSetting setting = CurrentSetting();
    quillon::ExportOptions options;
    options.selection = quillon::GridSelection(setting, lstSelectTq->count());
    const quillon::ExportResult result =
        quillon::ExportSetting(format, setting, options, DecimalSeparator());
    const QString form =
        ToQString(quillon::kExportFormats.at(static_cast<std::size_t>(format)).title);
    CopyExport(this, form, result.text, result.warnings);
}

void CalculatorWindow::ShowKernelChoice() {
    const quillon::BitTimingSetting setting = CurrentSetting();
    const std::string sep = DecimalSeparator();
    const quillon::KernelComparison comparison =
        quillon::CompareWithKernel(setting.dOscFreqMHz, setting.dTargetKbps, sep);
    auto* dialog =
        new KernelDialog(ToQString(quillon::KernelComparisonText(comparison, sep)), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
