// The bus dialog: its boxes, read the user's way or with a point, checked by the model, and
// the one-line summary the buttons and step 3 show of a bus.
#include "window/BusDialog.h"

#include "timing/common/Maker.h"
#include "timing/common/NumberFormat.h"
#include "ui/MessageBox.h"
#include "ui/QtText.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include <functional>
#include <string>

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("BusDialog", text);
}

// A number as the boxes show it, with the user's decimal separator.
QString Number(double value) {
    return ToQString(quillon::FormatGeneralNumber(value, ToStdString(QLocale().decimalPoint())));
}

// The number a box holds, written the user's way or with a point; nothing for another text.
std::optional<double> ReadNumber(const QString& text) {
    for (QLocale locale : {QLocale(), QLocale::c()}) {
        locale.setNumberOptions(QLocale::RejectGroupSeparator);
        bool ok = false;
        const double value = locale.toDouble(text, &ok);
        if (ok) {
            return value;
        }
    }
    return std::nullopt;
}

QString TransceiverText(quillon::TransceiverClass transceiver) {
    const QString name = ToQString(quillon::TransceiverClassName(transceiver));
    const auto symmetry = quillon::SymmetryOf(transceiver);
    if (!symmetry) {
        return Tr("%1: no bit symmetry check").arg(name);
    }
    return Tr("%1: a %2 ns bit arrives as %3 to %4 ns")
        .arg(name, Number(symmetry->dBitSeconds * 1e9), Number(symmetry->dShortestSeconds * 1e9),
             Number(symmetry->dLongestSeconds * 1e9));
}

} // namespace

QString BusSummary(const quillon::BusContext& bus) {
    QString text = bus.dBusLengthMetres ? Tr("%1 m").arg(Number(*bus.dBusLengthMetres))
                                        : Tr("no length check");
    text += Tr(", %1 ns/m, %2 ns loop delay, crystals %3 ppm")
                .arg(Number(bus.dCableDelayNsPerMetre), Number(bus.dLoopDelayNs),
                     Number(bus.dCrystalPpm));
    if (bus.transceiver != quillon::TransceiverClass::None) {
        text +=
            Tr(", %1 transceivers").arg(ToQString(quillon::TransceiverClassName(bus.transceiver)));
    }
    return text;
}

BusDialog::BusDialog(const quillon::BusContext& bus, QWidget* parent)
    : QDialog(parent), m_bus(bus) {
    setObjectName(QStringLiteral("BusDialog"));
    setWindowTitle(tr("Bus"));
    auto* form = new QFormLayout(this);

    auto* intro = new QLabel(tr("The findings of step 3 judge each setting for this bus. An "
                                "empty box takes the value shown in grey."),
                             this);
    intro->setWordWrap(true);
    form->addRow(intro);

    const quillon::BusContext defaults;
    const auto addBox = [this, form](const char* name, const QString& caption,
                                     const QString& accessibleName, const QString& placeholder) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setAccessibleName(accessibleName);
        box->setPlaceholderText(placeholder);
        form->addRow(caption, box);
        return box;
    };
    txtBusLength = addBox("txtBusLength", tr("Bus &length (m)"), tr("Bus length in metres"),
                          tr("no length check"));
    txtCableDelay =
        addBox("txtCableDelay", tr("&Cable delay (ns/m)"), tr("Cable delay in ns per metre"),
               Number(defaults.dCableDelayNsPerMetre));
    txtLoopDelay =
        addBox("txtLoopDelay", tr("Transceiver l&oop delay (ns)"),
               tr("Transceiver loop delay in ns, TXD to RXD"), Number(defaults.dLoopDelayNs));
    txtCrystalPpm = addBox("txtCrystalPpm", tr("C&rystal tolerance (ppm)"),
                           tr("Crystal tolerance in ppm"), Number(defaults.dCrystalPpm));
    txtLoopDelay->setToolTip(tr("From TXD to RXD through one transceiver; %1 ns is the most "
                                "ISO 11898-2:2016 allows")
                                 .arg(Number(quillon::kDefaultLoopDelayNs)));

    cboTransceiver = new QComboBox(this);
    cboTransceiver->setObjectName(QStringLiteral("cboTransceiver"));
    cboTransceiver->setAccessibleName(tr("CAN FD transceiver class"));
    for (const quillon::TransceiverClass transceiver :
         {quillon::TransceiverClass::None, quillon::TransceiverClass::Sic2M,
          quillon::TransceiverClass::Sic5M}) {
        cboTransceiver->addItem(TransceiverText(transceiver), static_cast<int>(transceiver));
    }
    cboTransceiver->setCurrentIndex(cboTransceiver->findData(static_cast<int>(bus.transceiver)));
    form->addRow(tr("CAN FD &transceivers"), cboTransceiver);

    if (bus.dBusLengthMetres) {
        txtBusLength->setText(Number(*bus.dBusLengthMetres));
    }
    txtCableDelay->setText(Number(bus.dCableDelayNsPerMetre));
    txtLoopDelay->setText(Number(bus.dLoopDelayNs));
    txtCrystalPpm->setText(Number(bus.dCrystalPpm));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &BusDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &BusDialog::reject);
    txtBusLength->setFocus();
}

std::optional<quillon::BusContext> BusDialog::Read(QString& problem, QLineEdit*& wrong) const {
    quillon::BusContext bus; // an empty box keeps its default
    struct Field {
        QLineEdit* box;
        QString name;
        std::function<void(double)> set;
    };
    const Field fields[] = {
        {txtBusLength, tr("bus length"), [&bus](double v) { bus.dBusLengthMetres = v; }},
        {txtCableDelay, tr("cable delay"), [&bus](double v) { bus.dCableDelayNsPerMetre = v; }},
        {txtLoopDelay, tr("transceiver loop delay"), [&bus](double v) { bus.dLoopDelayNs = v; }},
        {txtCrystalPpm, tr("crystal tolerance"), [&bus](double v) { bus.dCrystalPpm = v; }},
    };
    for (const Field& field : fields) {
        const QString text = field.box->text().trimmed();
        if (text.isEmpty()) {
            continue;
        }
        wrong = field.box;
        const std::optional<double> value = ReadNumber(text);
        if (!value) {
            problem = tr("The %1 \"%2\" is not a number.").arg(field.name, text);
            return std::nullopt;
        }
        field.set(*value);
        // The values before this one were taken, so a problem now is this box's.
        if (const auto range = quillon::BusContextProblem(bus)) {
            problem = ToQString(*range);
            return std::nullopt;
        }
    }
    bus.transceiver = static_cast<quillon::TransceiverClass>(cboTransceiver->currentData().toInt());
    return bus;
}

void BusDialog::accept() {
    QString problem;
    QLineEdit* wrong = nullptr;
    const std::optional<quillon::BusContext> read = Read(problem, wrong);
    if (!read) {
        ShowMessage(this, QMessageBox::Information, ToQString(quillon::kAppTitle), problem);
        wrong->setFocus();
        wrong->selectAll();
        return;
    }
    m_bus = *read;
    QDialog::accept();
}
