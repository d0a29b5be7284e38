#include "window/FdRegistersDialog.h"

#include "report/common/ReportTexts.h"
#include "report/fd/FdSettingText.h"
#include "timing/common/Maker.h"
#include "timing/common/RegisterReading.h"
#include "timing/fd/FdTiming.h"
#include "ui/MessageBox.h"
#include "ui/QtText.h"
#include "ui/ReadOnlyText.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <array>
#include <cstdint>
#include <utility>

namespace {

// Room for the widest table of the decoding and most of its lines.
constexpr int kPreviewColumns = 112;
constexpr int kPreviewLines = 24;

// "Ci&NBTCFG:", "&NBTP:": the first letter after the family's "Ci" is the mnemonic, so that
// the three words get three different ones.
QString LabelText(std::string_view name) {
    QString text = ToQString(name);
    const int at = text.startsWith(QLatin1String("Ci")) ? 2 : 0;
    return text.insert(at, QLatin1Char('&')) + QLatin1Char(':');
}

} // namespace

FdRegistersDialog::FdRegistersDialog(const quillon::FdSetting& current,
                                     std::string decimalSeparator, const quillon::BusContext& bus,
                                     QWidget* parent)
    : QDialog(parent), m_current(current), m_sDecimalSeparator(std::move(decimalSeparator)),
      m_bus(bus) {
    setObjectName(QStringLiteral("FdRegistersDialog"));
    setWindowTitle(tr("Registers"));
    auto* grid = new QGridLayout(this);

    const quillon::Controller& row = current.Row();
    const std::array<std::string_view, 3> names = quillon::FdWordNames(current.controller);
    const quillon::FdRegisterEncoding encoding = quillon::EncodeFdRegisters(current);
    QString intro =
        encoding.words
            ? tr("The register words of the setting in step 3 for the %1, on a %2 of %3.")
            : tr("The setting in step 3 has no register words for the %1 (%2 of %3): %4");
    intro = intro.arg(
        ToQString(row.sTitle), ToQString(quillon::FdClockName(row)),
        ToQString(quillon::OscillatorText(quillon::FdClockMHz(current), m_sDecimalSeparator)));
    if (!encoding.words) {
        intro = intro.arg(ToQString(encoding.sError));
    }
    intro += tr(" Type words you already have over them to bring their setting into step 3, "
                "each as 0x003E0F0F or in decimal; %1 may be left empty.")
                 .arg(ToQString(names[2]));
    auto* lblIntro = new QLabel(intro, this);
    lblIntro->setObjectName(QStringLiteral("lblFdRegistersIntro"));
    lblIntro->setWordWrap(true);
    grid->addWidget(lblIntro, 0, 0, 1, 2);

    const std::uint32_t words[3] = {encoding.words ? encoding.words->nbtcfg : 0U,
                                    encoding.words ? encoding.words->dbtcfg : 0U,
                                    encoding.words ? encoding.words->tdc : 0U};
    for (int i = 0; i < 3; ++i) {
        txtFdWord[i] = new QLineEdit(this);
        txtFdWord[i]->setObjectName(QStringLiteral("txtFdWord%1").arg(i + 1));
        txtFdWord[i]->setPlaceholderText(QStringLiteral("0x003E0F0F"));
        if (encoding.words) {
            txtFdWord[i]->setText(ToQString(quillon::WordToHex(words[i], 32)));
        }
        auto* label = new QLabel(LabelText(names[static_cast<std::size_t>(i)]), this);
        label->setBuddy(txtFdWord[i]);
        grid->addWidget(label, 1 + i, 0);
        grid->addWidget(txtFdWord[i], 1 + i, 1);
        connect(txtFdWord[i], &QLineEdit::textChanged, this, &FdRegistersDialog::ShowPreview);
    }

    // Read-only and scrollable, in columns as the command line prints it; Tab leaves it.
    txtFdRegisterPreview = new QPlainTextEdit(this);
    txtFdRegisterPreview->setObjectName(QStringLiteral("txtFdRegisterPreview"));
    txtFdRegisterPreview->setAccessibleName(tr("What the words give"));
    MakeReadOnlyText(txtFdRegisterPreview);
    txtFdRegisterPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtFdRegisterPreview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    FrameFocusedText(txtFdRegisterPreview);
    const QFontMetrics metrics(txtFdRegisterPreview->font());
    txtFdRegisterPreview->setMinimumSize(
        metrics.horizontalAdvance(QString(kPreviewColumns, QLatin1Char('0'))),
        metrics.lineSpacing() * kPreviewLines);
    grid->addWidget(txtFdRegisterPreview, 4, 0, 1, 2);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    grid->addWidget(buttons, 5, 0, 1, 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &FdRegistersDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FdRegistersDialog::reject);

    ShowPreview();
    txtFdWord[0]->setFocus();
    txtFdWord[0]->selectAll();
}

QString FdRegistersDialog::preview() const {
    return txtFdRegisterPreview->toPlainText();
}

std::optional<quillon::FdDecoded> FdRegistersDialog::Decode(std::string& problem) const {
    const std::array<std::string_view, 3> names = quillon::FdWordNames(m_current.controller);
    std::optional<std::uint32_t> words[3];
    for (std::size_t i = 0; i < 3; ++i) {
        const QString text = txtFdWord[i]->text().trimmed();
        if (i == 2 && text.isEmpty()) {
            break; // the third word may be left out
        }
        std::string error;
        words[i] = quillon::ReadRegisterWord(ToStdString(text), UINT32_MAX, error);
        if (!words[i]) {
            problem = std::string(names[i]) + ": " + error;
            return std::nullopt;
        }
    }
    quillon::FdDecoded decoded =
        quillon::DecodeFdRegisters(m_current.dOscFreqMHz, m_current.bPll, *words[0], *words[1],
                                   words[2], m_current.controller);
    // Judged against step 3's rates, as step 3 will judge it.
    decoded.setting.dNominalKbps = m_current.dNominalKbps;
    decoded.setting.dDataKbps = m_current.dDataKbps;
    return decoded;
}

void FdRegistersDialog::ShowPreview() {
    std::string problem;
    const std::optional<quillon::FdDecoded> decoded = Decode(problem);
    if (!decoded) {
        txtFdRegisterPreview->setPlainText(ToQString(problem));
        return;
    }
    const quillon::FdFacts facts =
        quillon::DescribeFdTiming(decoded->setting, m_sDecimalSeparator, m_bus);
    QStringList notes;
    for (const std::string& finding : decoded->registerFindings) {
        notes << tr("Note: %1").arg(ToQString(finding));
    }
    if (!decoded->bTdcGiven) {
        notes << tr("Note: %1 left empty, taken as the controller needs it.")
                     .arg(ToQString(quillon::FdWordNames(m_current.controller)[2]));
    }
    if (!facts.bTdcAsRequired) {
        notes << tr("Note: step 3 runs every setting with the TDC the controller needs; OK "
                    "brings these words in with that TDC.");
    }
    const QString tables = ToQString(
        quillon::FdSettingText("the register words (TSEG1 split as Linux splits it)", facts));
    txtFdRegisterPreview->setPlainText(
        notes.isEmpty() ? tables : notes.join(QLatin1Char('\n')) + QStringLiteral("\n\n") + tables);
}

void FdRegistersDialog::accept() {
    std::string problem;
    const std::optional<quillon::FdDecoded> decoded = Decode(problem);
    if (!decoded) {
        ShowMessage(this, QMessageBox::Information, ToQString(quillon::kAppTitle),
                    tr("These words cannot be read. %1").arg(ToQString(problem)));
        return;
    }
    m_setting = decoded->setting;
    QDialog::accept();
}
