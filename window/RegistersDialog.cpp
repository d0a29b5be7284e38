#include "window/RegistersDialog.h"

#include "report/classic/ReportValues.h"
#include "timing/common/Maker.h"
#include "ui/MessageBox.h"
#include "ui/QtText.h"
#include "ui/ReadOnlyText.h"
#include "window/StepThreeNotes.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The layouts of the classic controllers, in the table's order.
std::vector<quillon::RegisterLayout> WindowLayouts() {
    std::vector<quillon::RegisterLayout> layouts;
    for (const quillon::Controller& row : quillon::ControllerTable()) {
        if (!row.IsFd() && std::find(layouts.begin(), layouts.end(), row.layout) == layouts.end()) {
            layouts.push_back(row.layout);
        }
    }
    return layouts;
}
// Wide enough for a finding on two or three lines.
constexpr int kPreviewWidthChars = 60;
constexpr int kPreviewLines = 9;

QString LayoutName(quillon::RegisterLayout layout) {
    return ToQString(quillon::LayoutInfo(layout).sControllers) + QStringLiteral(": ") +
           ToQString(quillon::LayoutNames(layout, ", "));
}

// "CNF&1": the register's name with its last digit as the mnemonic.
QString LabelText(std::string_view name) {
    QString text = ToQString(name);
    return text.insert(text.size() - 1, QLatin1Char('&')) + QLatin1Char(':');
}

} // namespace

RegistersDialog::RegistersDialog(double dOscFreqMHz, std::optional<double> dTargetKbps,
                                 std::string decimalSeparator, const quillon::Controller* row,
                                 QWidget* parent)
    : QDialog(parent), m_dOscFreqMHz(dOscFreqMHz), m_dTargetKbps(dTargetKbps),
      m_sDecimalSeparator(std::move(decimalSeparator)), m_row(row), m_layouts(WindowLayouts()) {
    setObjectName(QStringLiteral("RegistersDialog"));
    setWindowTitle(tr("Registers"));
    auto* grid = new QGridLayout(this);

    const std::string sep = m_sDecimalSeparator;
    QString where = tr("The registers run on the %1 oscillator")
                        .arg(ToQString(quillon::OscillatorText(m_dOscFreqMHz, sep)));
    where += m_dTargetKbps ? tr(" and are meant for %1.")
                                 .arg(ToQString(quillon::TargetRateText(*m_dTargetKbps, sep)))
                           : QStringLiteral(".");
    auto* intro = new QLabel(where + tr(" Write each value as 0x91 or 145."), this);
    intro->setWordWrap(true);
    grid->addWidget(intro, 0, 0, 1, 2);

    cboLayout = new QComboBox(this);
    cboLayout->setObjectName(QStringLiteral("cboLayout"));
    for (const quillon::RegisterLayout layout : m_layouts) {
        cboLayout->addItem(LayoutName(layout));
    }
    // The controller chosen in step 1 starts with its own registers.
    if (m_row != nullptr) {
        const auto own = std::find(m_layouts.begin(), m_layouts.end(), m_row->layout);
        cboLayout->setCurrentIndex(
            own == m_layouts.end() ? 0 : static_cast<int>(own - m_layouts.begin()));
    }
    auto* layoutLabel = new QLabel(tr("&Controller:"), this);
    layoutLabel->setBuddy(cboLayout);
    grid->addWidget(layoutLabel, 1, 0);
    grid->addWidget(cboLayout, 1, 1);

    for (int i = 0; i < 3; ++i) {
        txtValue[i] = new QLineEdit(this);
        txtValue[i]->setObjectName(QStringLiteral("txtValue%1").arg(i + 1));
        txtValue[i]->setPlaceholderText(QStringLiteral("0x91 or 145"));
        lblValue[i] = new QLabel(this);
        lblValue[i]->setBuddy(txtValue[i]);
        grid->addWidget(lblValue[i], 2 + i, 0);
        grid->addWidget(txtValue[i], 2 + i, 1);
        connect(txtValue[i], &QLineEdit::textChanged, this, &RegistersDialog::ShowPreview);
    }

    // Read-only and scrollable, so that long findings can be read to the end, also from the
    // keyboard; Tab leaves it.
    txtPreview = new QPlainTextEdit(this);
    txtPreview->setObjectName(QStringLiteral("txtPreview"));
    MakeReadOnlyText(txtPreview);
    FrameFocusedText(txtPreview);
    const QFontMetrics metrics(txtPreview->font());
    txtPreview->setMinimumSize(metrics.averageCharWidth() * kPreviewWidthChars,
                               metrics.lineSpacing() * kPreviewLines);
    grid->addWidget(txtPreview, 5, 0, 1, 2);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    grid->addWidget(buttons, 6, 0, 1, 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &RegistersDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &RegistersDialog::reject);
    connect(cboLayout, &QComboBox::currentIndexChanged, this, &RegistersDialog::ShowLayout);

    setTabOrder(cboLayout, txtValue[0]);
    setTabOrder(txtValue[0], txtValue[1]);
    setTabOrder(txtValue[1], txtValue[2]);
    setTabOrder(txtValue[2], txtPreview);
    setTabOrder(txtPreview, buttons);
    ShowLayout();
    txtValue[0]->setFocus();
}

quillon::RegisterLayout RegistersDialog::Layout() const {
    const int index = cboLayout->currentIndex();
    return index >= 0 && index < static_cast<int>(m_layouts.size())
               ? m_layouts[static_cast<std::size_t>(index)]
               : m_layouts.front();
}

void RegistersDialog::ShowLayout() {
    const quillon::RegisterLayoutInfo& info = quillon::LayoutInfo(Layout());
    for (std::size_t i = 0; i < 3; ++i) {
        const bool used = i < info.count;
        lblValue[i]->setVisible(used);
        txtValue[i]->setVisible(used);
        if (used) {
            lblValue[i]->setText(LabelText(info.names[i]));
        }
    }
    ShowPreview();
}

std::optional<quillon::DecodedRegisters> RegistersDialog::Decode(std::string& problem) const {
    const quillon::RegisterLayout layout = Layout();
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < quillon::LayoutInfo(layout).count; ++i) {
        texts.push_back(ToStdString(txtValue[i]->text()));
    }
    const quillon::RegisterReading reading = quillon::ReadRegisterValues(
        layout, std::vector<std::string_view>(texts.begin(), texts.end()));
    if (!reading) {
        problem = reading.sError;
        return std::nullopt;
    }
    // The registers of step 1's controller are its own (its errata apply); another layout
    // is read as the calculator reads it.
    const quillon::Controller* row = m_row != nullptr && m_row->layout == layout ? m_row : nullptr;
    return quillon::DecodeRegisterValues(m_dOscFreqMHz, m_dTargetKbps, layout, reading.values, row);
}

void RegistersDialog::ShowPreview() {
    std::string problem;
    const std::optional<quillon::DecodedRegisters> decoded = Decode(problem);
    if (!decoded) {
        txtPreview->setPlainText(ToQString(problem));
        return;
    }
    const quillon::BitTimingFacts facts = quillon::DescribeDecoded(*decoded, m_sDecimalSeparator);
    const quillon::SegmentSettings& s = facts.setting.segments;
    QStringList lines;
    lines << tr("%1, sample point %2 %, %3 Tq with BRP-1 %4")
                 .arg(ToQString(facts.rate.sActual), ToQString(facts.sSamplePoint))
                 .arg(s.lTqCount)
                 .arg(facts.setting.lBRPMinus1);
    lines << ToQString(facts.sVerdict);
    for (const quillon::OtherBit& bit : decoded->otherBits) {
        lines << tr("%1 (%2) is %3: %4")
                     .arg(ToQString(bit.sName), ToQString(bit.sPosition))
                     .arg(bit.bSet ? 1 : 0)
                     .arg(ToQString(bit.sMeaning));
    }
    // The verdict stands above; the findings say the rest, each with its severity.
    QStringList findings;
    for (const quillon::Finding& finding : facts.findings) {
        if (finding.sText != facts.sVerdict) {
            findings << FindingNote(finding);
        }
    }
    if (findings.empty()) {
        lines << tr("Findings: none");
    }
    lines << findings;
    if (const auto cannot = quillon::StepThreeProblem(decoded->setting)) {
        lines << tr("Step 3 cannot show it: %1").arg(ToQString(*cannot));
    }
    txtPreview->setPlainText(lines.join(QLatin1Char('\n')));
}

void RegistersDialog::accept() {
    const QString title = ToQString(quillon::kAppTitle);
    std::string problem;
    const std::optional<quillon::DecodedRegisters> decoded = Decode(problem);
    if (!decoded) {
        ShowMessage(this, QMessageBox::Information, title, ToQString(problem));
        return;
    }
    if (const auto cannot = quillon::StepThreeProblem(decoded->setting)) {
        ShowMessage(this, QMessageBox::Information, title,
                    tr("Step 3 cannot show these registers. %1").arg(ToQString(*cannot)));
        return;
    }
    m_setting = decoded->setting;
    QDialog::accept();
}
