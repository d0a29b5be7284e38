// Step 3's CAN FD buttons: the recommended segments, the FD report and the "Copy as" menu
// of the FD export forms and the Linux driver's own choice for the two rates.
#include "window/FdStepThree.h"

#include "report/classic/ReportValues.h"
#include "report/fd/FdExport.h"
#include "report/fd/FdHtmlReport.h"
#include "report/fd/FdKernelText.h"
#include "timing/common/InputChecks.h"
#include "timing/common/Maker.h"
#include "ui/MessageBox.h"
#include "ui/QtText.h"
#include "ui/WaitCursor.h"
#include "window/BitTimingPicture.h"
#include "window/CalculatorWindow.h"
#include "window/ClipboardCopy.h"
#include "window/CopyNote.h"
#include "window/KernelDialog.h"
#include "window/MenuButton.h"
#include "window/ReportHandOff.h"

#include <QComboBox>
#include <QMenu>

#include <algorithm>

namespace {

const char* const kCorrectInputs =
    " Correct the oscillator frequency or the CAN baud rate and try again.";

// The problem with the inputs that leaves nothing to compute with, if any.
std::optional<std::string> ComputeProblem(const quillon::FdSetting& setting) {
    if (auto problem = quillon::OscillatorComputeProblem(setting.dOscFreqMHz)) {
        return problem;
    }
    return quillon::RateComputeProblem(setting.dNominalKbps);
}

} // namespace

void FdStepThree::BuildCopyAsButton() {
    cmdFdCopyAs = new MenuButton(QStringLiteral("cmdFdCopyAs"), tr("Copy as"), this);
    cmdFdCopyAs->setToolTip(tr("Copy the setting to the clipboard as C for the registers, as a "
                               "Linux ip link command, systemd-networkd file or Raspberry Pi "
                               "overlay line, or as JSON; or see what the Linux driver would "
                               "choose by itself for these rates"));
    cmdFdCopyAs->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* menu = new QMenu(cmdFdCopyAs);
    menu->setObjectName(QStringLiteral("mnuFdCopyAs"));
    for (const quillon::FdExportFormatInfo& info : quillon::FdExportFormats()) {
        QAction* action = menu->addAction(ToQString(info.summary));
        action->setObjectName(QStringLiteral("mnuFdCopyAs_") + ToQString(info.name));
        const quillon::FdExportFormat format = info.format;
        connect(action, &QAction::triggered, this, [this, format] { CopyAs(format); });
    }
    menu->addSeparator();
    QAction* kernel = menu->addAction(tr("The Linux kernel's own choice..."));
    kernel->setObjectName(QStringLiteral("mnuFdKernelChoice"));
    connect(kernel, &QAction::triggered, this, &FdStepThree::ShowKernelChoice);
    // Only where the controller has a Linux driver.
    connect(menu, &QMenu::aboutToShow, this,
            [this, kernel] { kernel->setVisible(m_inputs.Row().linux.has_value()); });
    cmdFdCopyAs->setMenu(menu);
    m_copyNote = new CopyNote(cmdFdCopyAs);
}

void FdStepThree::cmdFdRecommend_Click() {
    if (!HasCandidate()) {
        return;
    }
    quillon::RecommendationGoal goal;
    goal.bus = m_bus;
    if (const std::optional<quillon::FdSetting> recommended =
            quillon::RecommendedFdSetting(CurrentSetting(), goal)) {
        ShowSetting(*recommended);
        return;
    }
    ShowMessage(this, QMessageBox::Information, ToQString(quillon::kAppTitle),
                tr("No split of these time quanta keeps both phases within their register "
                   "ranges."));
}

void FdStepThree::cmdFdReport_Click() {
    WaitCursor wait(this);
    if (!HasCandidate()) {
        return;
    }
    const quillon::FdSetting setting = CurrentSetting();
    if (const auto problem = ComputeProblem(setting)) {
        ShowMessage(this, QMessageBox::Information, ToQString(quillon::kAppTitle),
                    ToQString(*problem) + QString::fromLatin1(kCorrectInputs));
        return;
    }
    const quillon::FdFacts facts = quillon::DescribeFdTiming(setting, DecimalSeparator(), m_bus);
    const quillon::FdReportValues values = quillon::BuildFdReportValues(
        facts, quillon::ReportTimestampNow(LocaleDateSeparators()), DecimalSeparator());
    // The saved bitmap is the drawing of exactly this setting.
    DrawDiagram();
    WriteAndOpenReport(this, *pctFdDisplay,
                       [&values](const std::filesystem::path& folder,
                                 const quillon::SaveBitmapFunction& saveBitmap) {
                           return quillon::WriteFdReportFiles(folder, values, saveBitmap);
                       });
}

void FdStepThree::CopyAs(quillon::FdExportFormat format) {
    if (!HasCandidate()) {
        return;
    }
    const quillon::FdSetting setting = CurrentSetting();
    const auto info = std::find_if(
        quillon::FdExportFormats().begin(), quillon::FdExportFormats().end(),
        [format](const quillon::FdExportFormatInfo& each) { return each.format == format; });
    // Named as quillon-cli fd export names it: "the ip-link-tq form is on the clipboard".
    const QString form = tr("%1 form").arg(ToQString(info->name));
    if (const auto problem = ComputeProblem(setting)) {
        CopyExport(this, m_copyNote, form, {}, {*problem});
        return;
    }
    // The export's numbers are for files and commands: always with a decimal point.
    const quillon::FdExportText text =
        quillon::ExportFdSetting(quillon::DescribeFdTiming(setting, ".", m_bus), format);
    CopyExport(this, m_copyNote, form, text.sText, text.warnings);
}

void FdStepThree::ShowKernelChoice() {
    const quillon::FdSetting& inputs = m_inputs;
    std::optional<std::string> problem = ComputeProblem(inputs);
    if (!problem) {
        problem = quillon::FdDataRateProblem(inputs.dDataKbps);
    }
    if (problem) {
        ShowMessage(this, QMessageBox::Information, ToQString(quillon::kAppTitle),
                    ToQString(*problem) + QString::fromLatin1(kCorrectInputs));
        return;
    }
    const quillon::FdKernelChoice choice = quillon::ChooseFdKernelBitTiming(
        inputs.dOscFreqMHz, inputs.bPll, inputs.dNominalKbps, inputs.dDataKbps, inputs.controller);
    quillon::RecommendationGoal goal;
    goal.bus = m_bus;
    const std::string text =
        quillon::FdKernelText(inputs, choice, quillon::kDefaultLinuxTdc, goal, DecimalSeparator());
    auto* dialog = new KernelDialog(ToQString(text), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
