// What the classic step 3 hands on: "Generate Report..." for the setting the controls
// hold, the "Copy as" menu (the setting onto the clipboard in a target's form, and the
// Linux kernel's own choice beside Quillon's), and "Registers...", which brings a register
// set the user already has into the Tq list as a grid double-click adds a candidate (or
// chooses the entry already listed for it), with its segments, SJW, flags and phase-2 mode,
// so the diagram, the verdict, the analysis and the report follow as for any other choice.
#include "window/ClassicStepThree.h"

#include "candidates/CandidateGrid.h"
#include "report/classic/Export.h"
#include "report/classic/HtmlReport.h"
#include "report/classic/KernelComparisonText.h"
#include "report/classic/ReportValues.h"
#include "report/common/ReportFiles.h"
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
#include "window/RegistersDialog.h"
#include "window/ReportHandOff.h"

#include <QComboBox>
#include <QMenu>
#include <QSignalBlocker>
#include <QToolButton>

#include <optional>

namespace {

// What the report handler adds to the problem with a box.
const char* const kCorrectOscillator =
    " Correct the oscillator frequency and generate the report again.";
const char* const kCorrectRate = " Correct the CAN baud rate and generate the report again.";

} // namespace

void ClassicStepThree::cmdGenerateReport_Click() {
    WaitCursor wait(window());
    if (!HasSelectedTq()) {
        return;
    }
    const QString title = ToQString(quillon::kAppTitle);
    const quillon::BitTimingFacts facts =
        quillon::DescribeBitTiming(CurrentSetting(), DecimalSeparator(), m_inputs.bus());

    if (facts.busIdleWarning) {
        ShowMessage(this, QMessageBox::Critical, ToQString(quillon::kBusIdleErrataTitle),
                    ToQString(*facts.busIdleWarning));
    }

    // The report describes what the boxes hold. The boxes stay editable in step 3, and a
    // value nothing can be computed with would give a report of infinities: that one is
    // refused with the reason instead.
    if (const auto problem = quillon::OscillatorComputeProblem(facts.setting.dOscFreqMHz)) {
        ShowMessage(this, QMessageBox::Information, title,
                    ToQString(*problem) + QString::fromLatin1(kCorrectOscillator));
        return;
    }
    if (const auto problem = quillon::RateComputeProblem(facts.setting.dTargetKbps)) {
        ShowMessage(this, QMessageBox::Information, title,
                    ToQString(*problem) + QString::fromLatin1(kCorrectRate));
        return;
    }
    if (!facts.registers) {
        ShowMessage(this, QMessageBox::Critical, title, ToQString(facts.registers.sError));
        return;
    }

    const quillon::ReportValues values = quillon::BuildReportValues(
        facts, quillon::ReportTimestampNow(LocaleDateSeparators()), DecimalSeparator());
    WriteAndOpenReport(this, *pctDisplay,
                       [&values](const std::filesystem::path& folder,
                                 const quillon::SaveBitmapFunction& saveBitmap) {
                           return quillon::WriteReportFiles(folder, values, saveBitmap);
                       });
}

void ClassicStepThree::BuildCopyAsButton() {
    cmdCopyAs = new MenuButton(QStringLiteral("cmdCopyAs"), tr("Copy as"), this);
    cmdCopyAs->setToolTip(tr("Copy the setting to the clipboard as C for the registers, as a "
                             "Linux ip link command, systemd-networkd file or Raspberry Pi "
                             "overlay line, or as JSON; or see what the Linux kernel would "
                             "choose by itself for this rate"));

    auto* menu = new QMenu(cmdCopyAs);
    menu->setObjectName(QStringLiteral("mnuCopyAs"));
    QList<QAction*> copies;
    std::vector<std::pair<QAction*, quillon::ExportFormat>> forms;
    for (const quillon::ExportFormatInfo& info : quillon::kExportFormats) {
        QAction* action = menu->addAction(ToQString(info.title));
        action->setObjectName(QStringLiteral("mnuCopyAs_") + ToQString(info.name));
        const quillon::ExportFormat format = info.format;
        connect(action, &QAction::triggered, this, [this, format] { CopyAs(format); });
        copies << action;
        forms.emplace_back(action, format);
        action->setVisible(quillon::FormatFits(format, quillon::DefaultController()));
    }
    menu->addSeparator();
    QAction* kernel = menu->addAction(tr("The Linux kernel's own choice..."));
    kernel->setObjectName(QStringLiteral("mnuKernelChoice"));
    connect(kernel, &QAction::triggered, this, &ClassicStepThree::ShowKernelChoice);
    // Copying needs a chosen Tq count; the kernel's choice only the two boxes.
    // Only the forms of the chosen controller are offered (the calculator's own takes the
    // three Microchip C forms and the mcp251x's Linux forms), and its driver's choice only
    // where it has a Linux driver.
    const auto offer = [this, copies, forms, kernel] {
        const quillon::Controller& row = CurrentSetting().Row();
        for (const auto& [action, format] : forms) {
            action->setVisible(quillon::FormatFits(format, row));
        }
        for (QAction* action : copies) {
            action->setEnabled(HasSelectedTq());
        }
        kernel->setVisible(row.linux.has_value());
    };
    connect(menu, &QMenu::aboutToShow, this, offer);
    cmdCopyAs->setMenu(menu);
    Place(cmdCopyAs, 7365, 4350, 855, 300);
    m_copyNote = new CopyNote(cmdCopyAs);
}

void ClassicStepThree::CopyAs(quillon::ExportFormat format) {
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
    CopyExport(this, m_copyNote, form, result.text, result.warnings);
}

void ClassicStepThree::ShowKernelChoice() {
    const quillon::BitTimingSetting setting = CurrentSetting();
    const std::string sep = DecimalSeparator();
    const quillon::KernelComparison comparison =
        quillon::CompareWithKernel(setting.dOscFreqMHz, setting.dTargetKbps, sep,
                                   setting.IsCalculatorRow() ? nullptr : &setting.Row());
    auto* dialog =
        new KernelDialog(ToQString(quillon::KernelComparisonText(comparison, sep)), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void ClassicStepThree::cmdRegisters_Click() {
    const quillon::BitTimingSetting boxes = m_inputs.boxes();
    const double dOscFreqMHz = boxes.dOscFreqMHz;
    if (const auto problem = quillon::OscillatorComputeProblem(dOscFreqMHz)) {
        ShowMessage(this, QMessageBox::Information, ToQString(quillon::kAppTitle),
                    ToQString(*problem) + tr(" Correct the oscillator frequency first."));
        return;
    }
    // A rate nothing can be compared with leaves the registers' own rate as the target.
    const double dRateKbps = boxes.dTargetKbps;
    const std::optional<double> target =
        quillon::RateComputeProblem(dRateKbps) ? std::nullopt : std::optional<double>(dRateKbps);
    RegistersDialog dialog(dOscFreqMHz, target, DecimalSeparator(), boxes.pController, this);
    if (dialog.exec() == QDialog::Accepted) {
        ShowRegisterSetting(dialog.setting());
    }
}

void ClassicStepThree::ShowRegisterSetting(const quillon::BitTimingSetting& setting) {
    // A setting already listed is chosen again rather than listed twice.
    const int index = m_grid->ChooseCandidate(setting.lBRPMinus1, setting.segments.lTqCount);
    std::int32_t count = 0;
    m_grid->GetTqValues(vTqValues, vBRPValues, count);
    {
        const QSignalBlocker quiet(lstSelectTq);
        if (index >= lstSelectTq->count()) {
            lstSelectTq->addItem(QString::number(setting.segments.lTqCount));
        }
        lstSelectTq->setCurrentIndex(index);
    }
    lstSelectTq->setEnabled(true);
    ShowSegments(setting.segments);
}
